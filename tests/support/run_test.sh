#!/usr/bin/env bash
# run_test.sh [--xvfb] PROGRAM [ARGUMENT]...
# Runs one test program, with --xvfb under an X server of its own (xvfb-run); its output is
# shown when it ends. Under the leak checker, a run in which the checker itself broke down
# ("LeakSanitizer has encountered a fatal error": its tracer crashes now and then while it
# reads the thread-local storage of Qt's and Mesa's threads, a fault of the checker, not a
# leak) is run once more. A leak or a failed test is never run again.
xvfb=()
if [ "${1:-}" = --xvfb ]; then
  xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
  shift
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  "${xvfb[@]}" "$@" >"$out" 2>&1
  status=$?
  cat "$out"
  if [ $status -ne 0 ] && [ $attempt -eq 1 ] &&
     grep -q "LeakSanitizer has encountered a fatal error" "$out" &&
     ! grep -q "detected memory leaks" "$out"; then
    echo "run_test: the leak checker broke down (not a leak); running the program once more"
    continue
  fi
  exit $status
done
