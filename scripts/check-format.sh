#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted by the house .clang-format, and names it.
# scripts/check-format.sh --fix reformats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -co --exclude-standard '*.cpp' '*.h' | grep -v '^build')
else  # an unpacked tree without git: every C++ file outside the build folders
  mapfile -t files < <(find . -path './build*' -prune -o -path './.*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
fi
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
# One clang-format run over every file; it names each file that would change.
mapfile -t bad < <(clang-format --dry-run "${files[@]}" 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  echo "check-format: not in the house format (scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files in the house format"
