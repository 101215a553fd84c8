#!/usr/bin/env bash
# The include check on a copy of src/: it passes as the tree is, and each kind of include
# against the layers, planted into the copy, makes it fail and name the place.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
check=$root/tools/check-includes.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAILED: $1" >&2
  failures=$((failures + 1))
}

fresh_copy() {
  rm -rf "$work/src"
  cp -r "$root/src" "$work/src"
}

# plant FILE LINE EXPECTED: adds LINE to the copy's FILE and expects EXPECTED in the complaint.
plant() {
  local file=$1 line=$2 expected=$3 output
  fresh_copy
  mkdir -p "$(dirname "$work/src/$file")"
  echo "$line" >>"$work/src/$file"
  if output=$("$check" "$work/src" 2>&1); then
    fail "$file with '$line' passed the check"
  elif ! grep -qF -- "$expected" <<<"$output"; then
    fail "$file with '$line' said: $output"
  fi
}

# allow FILE LINE: adds LINE to the copy's FILE and expects the check to pass.
allow() {
  local file=$1 line=$2
  fresh_copy
  echo "$line" >>"$work/src/$file"
  "$check" "$work/src" >/dev/null 2>&1 || fail "$file with '$line' was refused"
}

allow app/frm_info.cpp '// the tree as it is'
allow platform/Twips.cpp '  #  include "platform/Err.h"   // spaced'
allow errors/frm_ErrorList.cpp '#include "app/HeadlessRun.h"' # windows may include any core file
allow app/UiMainLayout.cpp '#include "app/frm_main.h"'       # the main window's own parts

plant catalog/EntryWriter.cpp '#include "backup/BackupRun.h"' "catalog/EntryWriter.cpp:"
plant base/Prog.h '#include "settings/Settings.h"' "points up from base to settings"
plant errors/COLError.cpp '#include "errors/frm_ErrorList.h"' "core code includes a window"
plant errors/frm_ErrorList.cpp '#include "listtools/frm_ToolTip.h"' "points up from errors to listtools"
plant listtools/frm_ToolTip.cpp '#include "app/frm_main.h"' "only the start-up"
plant app/frm_info.cpp '#include "frm_main.h"' "app/frm_info.cpp:"
plant newpart/Thing.cpp '#include "base/Prog.h"' "a folder that is no layer"

[ "$failures" -eq 0 ] && echo "the include check finds every planted violation"
exit "$failures"
