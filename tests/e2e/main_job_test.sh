#!/bin/bash
# The main job end to end, checked with independent readers: the shortcut with lnkinfo,
# the store with sqlite3. Runs inside the Wine session of the test run.
#   tests/e2e/main_job_test.sh BUILD_BIN_DIR DIST_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
output=$("$root/tools/run-main-job.sh" "$1" "$2" 2>&1)
status=$?
echo "$output"
failures=0
expect() {  # expect DESCRIPTION FIXED-TEXT
  if grep -qF -- "$2" <<<"$output"; then echo "ok: $1"; else echo "FAILED: $1 (no '$2')"; failures=$((failures + 1)); fi
}
[[ $status -eq 0 ]] || { echo "FAILED: the main job exited with $status"; failures=$((failures + 1)); }
expect "the program ended normally" "the program ended"
expect "start-up record beside the program" "first startup cmdline:=update,,autostart"
expect "hand-off reached the running window" 'CopyData IS :={"AlbumID":123'
expect "shortcut created" "CreateDeskFavor :=true"
expect "shell link trace in Chinese" "CreateDesktopShotCut=释放CLSID_ShellLink成功！"
expect "lnk description is the clean name" "Description			: ABC"
expect "lnk arguments carry the source tag" "Command line arguments		: &src=fromtailcast"
expect "lnk icon is the skin's favourite icon" 'Icon location			: C:\VXTailcast\tcskin\favorite.ico'
expect "lnk target is the play page with the source tag" "http://www.vexo.com/v_123.html?src=fromtailcast"
expect "store row" 'ABC|123|2|http://www.vexo.com/v_123.html|&src=fromtailcast|C:\users\'
expect "start pingback received" "pingback action 3 login "
expect "close pingback received" "pingback action 14 login "
passed=$((12 - failures))
echo "main job: $passed passed, $failures failed"
[[ $failures -eq 0 ]]
