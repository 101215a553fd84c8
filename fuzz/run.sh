#!/usr/bin/env bash
# Runs every fuzz target of the build folder $1 for $2 seconds (default 30) over its seed corpus.
# New inputs go to <build>/corpus/<target>, never into the repository; a crash leaves its input
# in <build>/artifacts/ and fails the run.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/artifacts"
status=0
for program in "$build"/fuzz/fuzz_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name=$(basename "$program")
  mkdir -p "$build/corpus/$name"
  start=$(date +%s)
  log="$build/artifacts/$name.log"
  if QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
     UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
       "$build/corpus/$name" "$here/corpus/$name" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "$name: ok, $runs inputs in $(( $(date +%s) - start )) s"
  else
    echo "$name: FAILED after $(( $(date +%s) - start )) s (log: $log)"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
