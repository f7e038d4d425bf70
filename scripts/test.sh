#!/usr/bin/env bash
# Sets up, builds and runs every test: once in an optimised build with debug
# information (build/), once under AddressSanitizer + UndefinedBehaviorSanitizer
# (build-asan/). Exits non-zero when any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1
# strict_string_checks stays off: the X keyboard library hands strndup unterminated buffers.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0

echo "== release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
# The longest test takes about 10 s here; a test that hangs fails after two minutes rather
# than holding up the run.
ctest --test-dir build -j "$jobs" --timeout 120

echo "== sanitizer build (address, undefined)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON -DMORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan -j "$jobs" --timeout 300
