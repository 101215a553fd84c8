#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it with the
# repository's .clang-format, and names each such file. With --fix the files are formatted in
# place instead.
# Usage: tools/check-format.sh [--fix] [FILE...]   (default: every tracked *.cpp and *.h)
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=${CLANG_FORMAT:-clang-format}
fix=false
if [ "${1:-}" = --fix ]; then
  fix=true
  shift
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
fi

if $fix; then
  "$formatter" -i --style=file:.clang-format "${files[@]}"
  exit 0
fi

differing=0
for file in "${files[@]}"; do
  if ! "$formatter" --style=file:.clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (tools/check-format.sh --fix $file)" >&2
    differing=$((differing + 1))
  fi
done
if [ "$differing" -gt 0 ]; then
  echo "$differing file(s) differ from .clang-format" >&2
  exit 1
fi
echo "every file follows .clang-format"
