#!/usr/bin/env bash
# Runs every benchmark of the bench build and prints one line per figure.
set -euo pipefail
build="$1"
export QT_QPA_PLATFORM=offscreen
for program in "$build"/bench/bench_*; do
  if [ -f "$program" ] && [ -x "$program" ]; then "$program"; fi
done
