#!/usr/bin/env bash
# Every file the build, the tests and the main job take from the system comes from a Debian
# package that scripts/setup.sh installs: one it names, or one that those pull in through
# Depends or Pre-Depends (Recommends are not installed by setup.sh). A file from anywhere else is
# a missing install step that a machine where the package happens to be installed hides.
#   packages_test.sh BUILD_DIR SOURCE_DIR [SETUP_SCRIPT]
# Files checked: the CMake package configurations found (CMakeCache.txt), the programs and
# files the cache names, the headers the compiler read (ninja's deps log), the libraries linked
# (link lines and what the built programs load), the Qt and Mesa modules loaded at run time,
# the POV-Ray include files our scenes name, and the programs the tests and scripts run.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
setup=${3:-$source/scripts/setup.sh}

if ! command -v dpkg-query >/dev/null; then
  echo "not a Debian system: nothing to check"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- What setup.sh installs: its packages=( ... ) list and their Depends/Pre-Depends.
sed -n '/^packages=(/,/^)/{s/#.*//;s/^packages=(//;s/)//;p}' "$setup" | tr -s ' \t' '\n\n' | sed '/^$/d' >"$work/named"
[ -s "$work/named" ] || { echo "FAIL: no packages=( ... ) list in $setup"; exit 1; }
dpkg-query -W -f='${Package}\t${db:Status-Status}\t${Provides}\t${Pre-Depends}, ${Depends}\n' >"$work/installed"
awk -F'\t' '
  function bare(name) { sub(/\(.*/, "", name); gsub(/[ \t]/, "", name); sub(/:.*/, "", name); return name }
  FILENAME == ARGV[1] { if ($2 == "installed") { installed[$1] = 1; deps[$1] = $4
                          n = split($3, p, ","); for (i = 1; i <= n; i++) providers[bare(p[i])] = providers[bare(p[i])] " " $1 }
                        next }
  { queue[++tail] = $0 }
  END {
    # Breadth first; of "a | b" the first alternative this machine has stands for the group.
    while (head < tail) {
      pkg = queue[++head]
      if (pkg in closed) continue
      closed[pkg] = 1; print pkg
      if (!(pkg in installed)) continue
      n = split(deps[pkg], groups, ",")
      for (g = 1; g <= n; g++) {
        m = split(groups[g], alts, "|")
        for (a = 1; a <= m; a++) {
          name = bare(alts[a]); if (name == "") continue
          if (name in installed) { queue[++tail] = name; break }
          if (name in providers) { k = split(providers[name], ps, " "); for (j = 1; j <= k; j++) queue[++tail] = ps[j]; break }
        }
      }
    }
  }' "$work/installed" "$work/named" | sort -u >"$work/closure"

# --- The files, each with what needs it: "path<TAB>reason".
files=$work/files
: >"$files"
outside() { case $1 in "$source"/* | "$build"/* | /tmp/* | /proc/*) return 1 ;; /*) return 0 ;; *) return 1 ;; esac; }
need() { outside "$1" && printf '%s\t%s\n' "$1" "$2" >>"$files" || true; }
missing=()

# CMake: the configuration file of each package found, the programs and files of the cache
# that the build rules use (compiler, archiver, ninja, ...; a library a find module noticed but
# nothing links does not count) and the ones the tests were configured with (MORVANE_*).
while IFS= read -r line; do
  name=${line%%_DIR:PATH=*}
  dir=${line#*_DIR:PATH=}
  case $dir in /*) ;; *) continue ;; esac
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
  for f in "$dir/${name}Config.cmake" "$dir/$lower-config.cmake" "$dir"; do
    if [ -e "$f" ]; then need "$f" "CMake package $name"; break; fi
  done
done < <(grep -E '^[A-Za-z0-9_]+_DIR:PATH=' "$build/CMakeCache.txt")
while IFS='=' read -r key value; do
  [ -f "$value" ] || continue
  if [[ $key == MORVANE_* ]] || grep -qF "$value" "$build/build.ninja" "$build/CMakeFiles/rules.ninja" 2>/dev/null; then
    need "$value" "CMake ${key%%:*}"
  fi
done < <(grep -E '^[A-Za-z0-9_]+:FILEPATH=/' "$build/CMakeCache.txt")

# Headers: every file outside the tree the compiler read, as ninja recorded it.
if [ -f "$build/build.ninja" ]; then
  ninja -C "$build" -t deps 2>/dev/null | sed -n 's/^ \{4\}\(\/.*\)/\1/p' | sort -u | xargs -r -d '\n' realpath -ms |
    while IFS= read -r f; do need "$f" "header"; done
  # Libraries on the link lines, -lname resolved the way the compiler resolves it.
  cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
  for token in $(sed -n 's/^ *LINK_LIBRARIES = //p' "$build/build.ninja" | tr -s ' ' '\n' | sort -u); do
    case $token in
      /*) need "$token" "linked library" ;;
      -l*)
        for suffix in so a; do
          f=$("$cxx" -print-file-name="lib${token#-l}.$suffix")
          case $f in /*) need "$(realpath -ms "$f")" "linked library $token"; break ;; esac
        done ;;
    esac
  done
fi
# What the built programs and plug-ins load.
for f in "$build"/bin/* "$build"/bin/plugin/*.so; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  ldd "$f" 2>/dev/null | sed -n 's/.*=> \(\/[^ ]*\) .*/\1/p'
done | sort -u | while IFS= read -r f; do need "$f" "shared library loaded by the built programs"; done

# Loaded at run time rather than linked: Qt's platforms (offscreen for the widget tests, xcb
# under Xvfb) and its GLX integration, and Mesa's software OpenGL under Xvfb.
triplet=$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)
for f in /usr/lib/$triplet/qt6/plugins/platforms/libqoffscreen.so \
         /usr/lib/$triplet/qt6/plugins/platforms/libqxcb.so \
         /usr/lib/$triplet/qt6/plugins/xcbglintegrations/libqxcb-glx-integration.so \
         /usr/lib/$triplet/libGLX_mesa.so.0 /usr/lib/$triplet/dri/swrast_dri.so; do
  if [ -e "$f" ]; then need "$f" "loaded at run time"; else missing+=("$f (loaded at run time)"); fi
done

# Programs the build, the tests, run.sh and test.sh run.
for program in cmake ninja cpack ctest g++ clang clang-format povray assimp Xvfb xvfb-run xauth \
               dpkg-deb dpkg-shlibdeps file desktop-file-validate update-mime-database man \
               locale-gen; do
  if f=$(command -v "$program"); then need "$f" "program $program"; else missing+=("$program (program)"); fi
done

# POV-Ray's include files that our scenes name: literal #include "x.inc" in the scene writers
# and tests, and in the scenes the main job wrote; each is looked up on POV-Ray's library path.
povray_library=()
for ini in /etc/povray/3.7/povray.ini; do
  [ -f "$ini" ] && mapfile -t povray_library < <(sed -n 's/^Library_Path="\{0,1\}\([^"]*\)"\{0,1\}/\1/p' "$ini")
done
[ ${#povray_library[@]} -gt 0 ] || povray_library=(/usr/share/povray-3.7/include)
{
  grep -rhoE --exclude="${0##*/}" '#include \\?"[A-Za-z0-9_.-]+\.inc\\?"' "$source/scripts" "$source/plugins" "$source/tests" 2>/dev/null || true
  find "$build/examples" -maxdepth 1 -name '*.pov' -exec grep -hoE '#include "[A-Za-z0-9_.-]+\.inc"' {} + 2>/dev/null || true
} | sed -E 's/.*"([^"\\]+)\\?"$/\1/; s/.*"([^"\\]+)\\?".*/\1/' | sort -u | while IFS= read -r inc; do
  found=
  for dir in "${povray_library[@]}"; do
    if [ -f "$dir/$inc" ]; then found=$dir/$inc; break; fi
  done
  if [ -n "$found" ]; then
    need "$found" "POV-Ray include $inc"
  elif ! [ -e "$build/examples/$inc" ] && ! find "$source/examples" -name "$inc" | grep -q .; then
    echo "$inc" >>"$work/unfound-includes"
  fi
done
if [ -s "$work/unfound-includes" ]; then
  while IFS= read -r inc; do missing+=("$inc (POV-Ray include, not on ${povray_library[*]})"); done <"$work/unfound-includes"
fi

# --- Owners. A path dpkg does not list may be a link made by a maintainer script (the
# alternatives), or live under /lib where dpkg lists /usr/lib (or the other way round): each
# hop of its link chain and both spellings are asked for, the first one owned counts.
sort -u -o "$files" "$files"
candidates() {
  local orig=$1 f=$1 hops=0 next
  while :; do
    printf '%s\t%s\n' "$orig" "$f"
    case $f in
      /usr/lib/* | /usr/bin/* | /usr/sbin/*) printf '%s\t%s\n' "$orig" "${f#/usr}" ;;
      /lib/* | /lib64/* | /bin/* | /sbin/*) printf '%s\t/usr%s\n' "$orig" "$f" ;;
    esac
    [ -L "$f" ] && [ $hops -lt 8 ] || break
    next=$(readlink "$f")
    case $next in /*) f=$next ;; *) f=$(realpath -ms "${f%/*}/$next") ;; esac
    hops=$((hops + 1))
  done
}
cut -f1 "$files" | while IFS= read -r f; do candidates "$f"; done >"$work/candidates"
cut -f2 "$work/candidates" | sort -u >"$work/asked"
xargs -a "$work/asked" -d '\n' dpkg-query -S 2>/dev/null >"$work/owners" || true

awk -F'\t' -v closure="$work/closure" -v owners="$work/owners" -v files="$files" '
  BEGIN {
    while ((getline line < closure) > 0) installs[line] = 1
    # "pkg1:amd64, pkg2: /path"
    while ((getline line < owners) > 0) {
      i = index(line, ": /"); if (!i) continue
      path = substr(line, i + 2); list = substr(line, 1, i - 1)
      n = split(list, ps, ", "); for (j = 1; j <= n; j++) { sub(/:.*/, "", ps[j]); owner[path] = owner[path] " " ps[j] }
    }
    while ((getline line < files) > 0) { split(line, fr, "\t"); if (!(fr[1] in reason)) reason[fr[1]] = fr[2] }
  }
  { f = $1; c = $2; if (f in decided || !(c in owner)) next
    decided[f] = 1
    n = split(owner[c], ps, " "); ok = 0
    for (j = 1; j <= n; j++) if (ps[j] in installs) ok = 1
    if (!ok) printf "FAIL: scripts/setup.sh does not install %s (nor a package that depends on it), which provides %s (%s)\n", ps[1], f, reason[f]
  }
  END {
    for (f in reason) if (!(f in decided))
      printf "FAIL: %s (%s) belongs to no Debian package: installed by hand?\n", f, reason[f]
  }' "$work/candidates" | sort >"$work/failures"

for m in "${missing[@]}"; do echo "FAIL: $m is not on this machine; scripts/setup.sh should install it" >>"$work/failures"; done
checked=$(wc -l <"$files")
if [ -s "$work/failures" ]; then
  cat "$work/failures"
  echo "$(wc -l <"$work/failures") of $checked files are not installed by scripts/setup.sh"
  exit 1
fi
echo "all $checked files the build and the tests take from the system come from packages scripts/setup.sh installs ($(wc -l <"$work/closure") packages with their dependencies)"
