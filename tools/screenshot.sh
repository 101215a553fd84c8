#!/usr/bin/env bash
# Starts Bravel under a virtual X display, waits, and saves a screenshot of the screen.
# Usage: tools/screenshot.sh OUT.png SECONDS bravel-arguments...
set -euo pipefail
out="$1"; wait_seconds="$2"; shift 2
display=":$((90 + RANDOM % 9))"
home=$(mktemp -d)
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb "${BRAVEL:-build/bravel}" "$@" &
app=$!
sleep "$wait_seconds"
DISPLAY="$display" import -window root "$out"
kill $app 2>/dev/null || true
wait $app 2>/dev/null || true
