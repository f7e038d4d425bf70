#!/usr/bin/env bash
# Runs test programs under valgrind memcheck and fails when valgrind finds an error (invalid
# reads or writes, uses of uninitialised values, bad frees, definite leaks).
#
#   scripts/valgrind.sh [TEST_PROGRAM...]      e.g. scripts/valgrind.sh test_settings test_fuzz
#
# Without names every test program of the build runs (slow: valgrind runs code 20-50 times
# slower). Build folder: build-valgrind (MORVANE_VALGRIND_BUILD overrides), an optimised build
# with debug information and without sanitizers. GTEST_FILTER narrows the tests of each
# program; MORVANE_VALGRIND_CHILDREN=1 follows child processes (the converter the tests start).
# Each program's report is <build>/valgrind/<program>.log, its output <program>.out. Exits non-zero when any program
# has an error or a failing test.
set -uo pipefail
cd "$(dirname "$0")/.."

if ! command -v valgrind >/dev/null; then
  sudo=""; [[ $(id -u) -ne 0 ]] && sudo=sudo
  $sudo apt-get install -y valgrind >/dev/null || { echo "$0: valgrind is missing" >&2; exit 1; }
fi

build=${MORVANE_VALGRIND_BUILD:-build-valgrind}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_SANITIZE=OFF \
  -DMORVANE_BUILD_BENCH=OFF >/dev/null || exit 1
if [[ $# -gt 0 ]]; then
  programs=("$@")
  cmake --build "$build" -j "$(nproc)" --target "${programs[@]}" || exit 1
else
  cmake --build "$build" -j "$(nproc)" || exit 1
  programs=()
  for p in "$build"/tests/*/test_* "$build"/bin/test_*; do
    [[ -x "$p" && -f "$p" ]] && programs+=("$(basename "$p")")
  done
fi

build=$(cd "$build" && pwd)
root=$(pwd)
mkdir -p "$build/valgrind"
children=no
[[ "${MORVANE_VALGRIND_CHILDREN:-0}" == 1 ]] && children=yes
failed=0
for name in $(printf '%s\n' "${programs[@]}" | sort -u); do
  program=$(find "$build" -type f -name "$name" -perm -u+x | head -n 1)
  if [[ -z "$program" ]]; then
    echo "$0: no test program $name in $build" >&2
    failed=1
    continue
  fi
  log=$build/valgrind/$name.log
  config=$(mktemp -d)
  echo "== $name"
  # Code compiled at run time has no symbols and defeats memcheck's tracking of defined
  # bytes: Qt's regular expressions run without PCRE2's JIT. Mesa's llvmpipe keeps its JIT
  # (softpipe is ten times slower under valgrind); valgrind.supp passes over that code.
  XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=offscreen QT_ENABLE_REGEXP_JIT=0 \
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
      --errors-for-leak-kinds=definite --show-leak-kinds=definite \
      --trace-children=$children --trace-children-skip='*/sh,*/bash,*/setpriv,*/rm,*/chmod,*/ls,*/grep' \
      --suppressions="$root/scripts/valgrind.supp" --log-file="$log.%p" \
      "$program" ${GTEST_FILTER:+--gtest_filter="$GTEST_FILTER"} >"$build/valgrind/$name.out" 2>&1
  status=$?
  rm -rf "$config"
  cat "$log".* > "$log" 2>/dev/null; rm -f "$log".*
  awk '/ERROR SUMMARY/ { processes++; errors += $4 }
       END { printf "   %d processes, %d errors\n", processes, errors }' "$log"
  grep -E '^\[  (PASSED|FAILED) ' "$build/valgrind/$name.out" | sed 's/^/   /'
  if [[ $status -ne 0 ]]; then
    echo "!! $name: status $status (99: valgrind found errors), see $log" >&2
    failed=1
  fi
done
exit $failed
