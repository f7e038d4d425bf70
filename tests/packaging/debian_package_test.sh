#!/usr/bin/env bash
# Builds the Debian package and checks its files and its dependencies. On a CI machine run as
# root it also installs and removes the package.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# With CPack's own trace in its log, shown only when the package cannot be made.
(cd "$work" && cpack -G DEB -D CPACK_DEBIAN_PACKAGE_DEBUG=ON --config "$build/CPackConfig.cmake" \
  >cpack.log 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/morvane_*.deb)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/lib/morvane/Morvane ./usr/lib/morvane/morvane-convert ./usr/lib/morvane/plugin/xfile_in.so \
         ./usr/lib/morvane/plugin/rayinc_out.so ./usr/lib/morvane/plugin/formats_out.so \
         ./usr/lib/morvane/plugin/formats_in.so ./usr/lib/morvane/morvane-model-reader \
         ./usr/share/applications/morvaneogl.desktop \
         ./usr/share/mime/packages/morvane.xml ./usr/bin/morvane-convert; do
  grep -q " $f" <<<"$contents" || { echo "FAIL: $f not in the package"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6core6 libassimp5; do
  grep -q "$lib" <<<"$depends" || { echo "FAIL: no dependency on $lib: $depends"; exit 1; }
done
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
  dpkg -i "$deb" >/dev/null
  XDG_CONFIG_HOME=$work/config /usr/bin/morvane-convert --list | grep -q "Libraries: 7"
  dpkg -r morvane >/dev/null
  [ ! -e /usr/lib/morvane ] || { echo "FAIL: /usr/lib/morvane left after removal"; exit 1; }
fi
echo "package $deb: $depends"
