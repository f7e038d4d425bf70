#!/usr/bin/env bash
# run_test.sh [--xvfb] PROGRAM [ARGUMENT]...
# Runs one test program, with --xvfb under an X server of its own (xvfb-run); its output is
# shown when it ends. Under the leak checker, a run in which the checker itself broke down
# ("LeakSanitizer has encountered a fatal error": its tracer crashes now and then while it
# reads the thread-local storage of Qt's and Mesa's threads, a fault of the checker, not a
# leak) is run again, up to three times more: on a loaded machine about one run in six of a
# viewer test breaks down, so twice in a row happens now and then in a full run. A leak or a
# failed test is never run again.
xvfb=()
if [ "${1:-}" = --xvfb ]; then
  xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
  shift
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
attempts=4
for attempt in $(seq 1 $attempts); do
  "${xvfb[@]}" "$@" >"$out" 2>&1
  status=$?
  cat "$out"
  if [ $status -ne 0 ] && [ $attempt -lt $attempts ] &&
     grep -q "LeakSanitizer has encountered a fatal error" "$out" &&
     ! grep -q "detected memory leaks" "$out"; then
    echo "run_test: the leak checker broke down (not a leak); running the program again"
    continue
  fi
  exit $status
done
