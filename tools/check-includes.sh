#!/usr/bin/env bash
# Fails on any include in src/ that points against the layers. Layers, lowest first:
#   platform < errors < base < settings < catalog < backup < listtools < scan < app
# Core files (all but frm_* and Ui*) include core files of their own and lower layers only.
# Windows (frm_*, Ui*) include core files of any layer and windows of their own or lower layers.
# Only the start-up (app/UiStart.cpp) and the main window's own files (app/frm_main*, app/UiMain*)
# include frm_main.h; other windows get a small interface from the main window instead.
# Usage: tools/check-includes.sh [SRC_DIR]   (default: src/ beside this script)
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
layers=(platform errors base settings catalog backup listtools scan app)

rank() {
  local i
  for i in "${!layers[@]}"; do
    if [ "${layers[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

may_include_main_window() {
  case "$1" in
    app/UiStart.cpp | app/frm_main* | app/UiMain*) return 0 ;;
    *) return 1 ;;
  esac
}

is_window() {
  case "$(basename "$1")" in
    frm_* | Ui*) return 0 ;;
    *) return 1 ;;
  esac
}

violations=0
report() {
  echo "$1: $2" >&2
  violations=$((violations + 1))
}

cd "$src"
while IFS= read -r -d '' file; do
  file=${file#./}
  from_layer=${file%%/*}
  from_rank=$(rank "$from_layer")
  if [ "$from_rank" -lt 0 ]; then
    [ "$file" = "${file#*/}" ] && continue # main.cpp beside the layers
    report "$file" "a folder that is no layer; add it to the layers of tools/check-includes.sh"
    continue
  fi
  while IFS=: read -r line target; do
    if [ ! -f "$target" ] && [ -f "$(dirname "$file")/$target" ]; then
      target=$(dirname "$file")/$target # written beside the including file
    fi
    [ -f "$target" ] || continue # Qt, system and generated headers
    to_layer=${target%%/*}
    to_rank=$(rank "$to_layer")
    where="$file:$line includes $target"
    if [ "$target" = app/frm_main.h ] && ! may_include_main_window "$file"; then
      report "$where" "only the start-up and the main window's own files include the main window"
    elif [ "$to_rank" -lt 0 ]; then
      report "$where" "the included file belongs to no layer"
    elif is_window "$target" && ! is_window "$file"; then
      report "$where" "core code includes a window"
    elif [ "$to_rank" -gt "$from_rank" ] && { ! is_window "$file" || is_window "$target"; }; then
      report "$where" "points up from $from_layer to $to_layer"
    fi
  done < <(awk 'match($0, /^[ \t]*#[ \t]*include[ \t]*"[^"]*"/) {
      path = substr($0, RSTART, RLENGTH); sub(/^[^"]*"/, "", path); sub(/"$/, "", path)
      print FNR ":" path }' "$file")
done < <(find . \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

if [ "$violations" -gt 0 ]; then
  echo "$violations include(s) against the layers" >&2
  exit 1
fi
echo "includes follow the layers"
