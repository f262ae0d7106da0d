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
checks=0
expect() {  # expect DESCRIPTION FIXED-TEXT
  checks=$((checks + 1))
  if grep -qF -- "$2" <<<"$output"; then echo "ok: $1"; else echo "FAILED: $1 (no '$2')"; failures=$((failures + 1)); fi
}
[[ $status -eq 0 ]] || { echo "FAILED: the main job exited with $status"; failures=$((failures + 1)); }
expect "the program ended normally" "the program ended"
expect "start-up record beside the program" "first startup cmdline:=update,,autostart"
expect "hand-off reached the running window" 'CopyData IS :={"AlbumID":123'
expect "shortcut created" "CreateDeskFavor :=true"
expect "renamed with the episode count" "renamed: "
expect "pointed at the play page" "and pointed at the album's play page"
expect "album icon 128 first" "--icon --index=1 --width=128 --height=128 --bit-depth=32"
expect "album icon 48 second" "--icon --index=2 --width=48 --height=48 --bit-depth=32"
expect "album icon 32 third" "--icon --index=3 --width=32 --height=32 --bit-depth=32"
expect "album icon 16 fourth" "--icon --index=4 --width=16 --height=16 --bit-depth=32"
expect "album icon file size" "file size 82726 bytes"
expect "badge icon beside it" "updatealbum_123.ico"
expect "shell link trace in Chinese" "CreateDesktopShotCut=释放CLSID_ShellLink成功！"
expect "lnk description is the clean name" "Description			: ABC"
expect "lnk arguments carry the source tag" "Command line arguments		: &src=fromtailcast"
expect "lnk icon is the badge the reminder brought" 'Icon location			: C:\Users\Public\Vexo\VexoClient\Icon\updatealbum_123.ico'
expect "lnk target is the play page with the source tag" "http://www.vexo.com/a_123.html?src=fromtailcast"
expect "store row" 'ABC|ABC 更新至12集|123|2|0|http://www.vexo.com/a_123.html|&src=fromtailcast|C:\Users\Public\Vexo\VexoClient\Icon\updatealbum_123.ico|C:\users\'

expect "start pingback received" "pingback action 3 login "
expect "close pingback received" "pingback action 14 login "
expect "the pop-up showed at the second log-on" "the pop-up shows"
expect "the program ended after the pop-up" "the program ended again"
expect "the pop-up photographed at its size" "main-job-popup.png (297x147)"
expect "the forced request noted in the bookkeeping file" "vx-demo-machine=1"
expect "the album's small picture stored" "ache/updateImage_0.jpg"
passed=$((checks - failures))
echo "main job: $passed passed, $failures failed"
[[ $failures -eq 0 ]]
