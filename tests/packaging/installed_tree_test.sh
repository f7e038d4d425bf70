#!/usr/bin/env bash
# Installs into a temporary prefix and converts a sample model with the installed programs.
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in lib/morvane/morvane-convert lib/morvane/Morvane lib/morvane/plugin/xfile_in.so \
         lib/morvane/plugin/brick_in.so lib/morvane/plugin/xfile_out.so lib/morvane/plugin/rayinc_out.so \
         lib/morvane/plugin/formats_out.so lib/morvane/plugin/formats_in.so \
         lib/morvane/morvane-model-reader \
         share/applications/morvane.desktop share/icons/hicolor/scalable/apps/morvane.svg \
         share/mime/packages/morvane.xml share/man/man1/morvane-convert.1 share/man/man1/Morvane.1; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ "$(readlink "$prefix/bin/morvane-convert")" = "../lib/morvane/morvane-convert" ] || fail "bin/morvane-convert is no link"

# The installed converter finds the installed plug-ins through its link.
export XDG_CONFIG_HOME=$prefix/config
out=$prefix/out
mkdir -p "$out"
"$prefix/bin/morvane-convert" --list | grep -q "Libraries: 7" || fail "installed plug-ins not found"
"$prefix/bin/morvane-convert" "$source/examples/table.x" -o "$out/table.inc"
grep -q "#declare TableTop" "$out/table.inc" || fail "no TableTop in the converted file"
[ -s "$out/table.udo" ] || fail "no .udo beside the .inc"
# The exchange-format import classes find their reader program beside the installed plug-ins.
printf 'solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid t\n' >"$out/t.stl"
"$prefix/bin/morvane-convert" --info --from "STL (*.stl)" "$out/t.stl" | grep -q "MESH" || fail "installed STL import read nothing"
man -l "$prefix/share/man/man1/morvane-convert.1" >/dev/null 2>&1 || fail "man page does not format"
echo "installed tree converts"
