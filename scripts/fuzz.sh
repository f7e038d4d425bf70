#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (-fsanitize=fuzzer,address,undefined) and runs each
# for a given time with its seed corpus.
#
#   scripts/fuzz.sh TARGET|all SECONDS
#
# TARGET is one of: xfile_parse xfile_binary xfile_inflate read_ldraw settings_parse number_field.
# Build folder: build-fuzz (MORVANE_FUZZ_BUILD overrides). The growing corpus of each target is
# kept in <build>/fuzz/corpus/<target>/ and resumed on the next run; an input that fails is
# saved as <build>/fuzz/crashes/<target>/crash-* (or leak-*, timeout-*, oom-*) and reported.
# After the fault is fixed, copy it to tests/fuzz/regressions/<target>/: the normal test suite
# (test_fuzz) feeds every saved input through the same entry point.
# The log of each run is <build>/fuzz/<target>.log; its last lines give executions and coverage.
# Exits non-zero when any target found a fault. Run it under `nice -n 19` on a shared machine.
set -uo pipefail
cd "$(dirname "$0")/.."

targets_all="xfile_parse xfile_binary xfile_inflate read_ldraw settings_parse number_field"
target=${1:-}
seconds=${2:-}
if [[ -z "$target" || -z "$seconds" || ! "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 TARGET|all SECONDS   (TARGET: $targets_all)" >&2
  exit 2
fi
if [[ "$target" == all ]]; then
  targets=$targets_all
elif [[ " $targets_all " == *" $target "* ]]; then
  targets=$target
else
  echo "$0: unknown target '$target' (one of: $targets_all)" >&2
  exit 2
fi

build=${MORVANE_FUZZ_BUILD:-build-fuzz}
if ! command -v clang++ >/dev/null; then
  scripts/setup.sh || exit 1
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_FUZZ=ON -DMORVANE_SANITIZE=ON -DMORVANE_BUILD_BENCH=OFF >/dev/null || exit 1
cmake --build "$build" -j "$(nproc)" --target $(for t in $targets; do echo "fuzz_$t"; done) || exit 1

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0

failed=0
for t in $targets; do
  corpus=$build/fuzz/corpus/$t
  crashes=$build/fuzz/crashes/$t
  log=$build/fuzz/$t.log
  mkdir -p "$corpus" "$crashes"
  extra=()
  case $t in
    xfile_parse)
      seeds=plugins/xfile_in/fuzz/seeds
      extra=(-dict=plugins/xfile_in/fuzz/xfile.dict -max_len=65536) ;;
    xfile_binary)
      seeds=plugins/xfile_in/fuzz/seeds_binary
      extra=(-max_len=16384) ;;
    xfile_inflate)
      seeds=plugins/xfile_in/fuzz/seeds_inflate
      extra=(-max_len=16384) ;;
    read_ldraw)
      seeds=tests/fuzz/seeds/read_ldraw
      extra=(-max_len=16384) ;;
    settings_parse)
      seeds=tests/fuzz/seeds/settings_parse
      extra=(-max_len=8192) ;;
    number_field)
      seeds=tests/fuzz/seeds/number_field
      extra=(-max_len=300) ;;
  esac
  # A target without saved fault inputs has no regressions folder; libFuzzer refuses a missing one.
  regressions=()
  [[ -d tests/fuzz/regressions/$t ]] && regressions=(tests/fuzz/regressions/$t)
  echo "== $t: ${seconds}s, log $log"
  "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "${extra[@]}" "$corpus" "$seeds" "${regressions[@]}" \
    >"$log" 2>&1
  status=$?
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED|RELOAD)' "$log" | tail -n 1
  grep -E '^Done [0-9]+ runs' "$log"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log"
  if [[ $status -ne 0 ]]; then
    echo "!! $t found a fault (status $status); input saved in $crashes/:" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|artifact_prefix|Test unit written)' "$log" | head -n 5 >&2
    failed=1
  fi
done
exit $failed
