#!/usr/bin/env bash
# Checks that every C++ file git tracks is formatted as .clang-format says;
# `check-format.sh --fix` formats them in place instead. Names each file
# that differs and exits 1 when any does.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2> /tmp/ombrel-format.$$; then
  grep -o '^[^:]*\.\(cpp\|h\):' /tmp/ombrel-format.$$ | sort -u | sed 's/:$/: not formatted (scripts\/check-format.sh --fix)/' >&2
  rm -f /tmp/ombrel-format.$$
  exit 1
fi
rm -f /tmp/ombrel-format.$$
echo "format: ${#files[@]} files as .clang-format says"
