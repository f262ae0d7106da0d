#!/bin/bash
# The program's main job inside the current Wine session (tools/wine-session.sh): a
# log-on start through the stand-in updater, a favourite handed over by a second start,
# then the shortcut it wrote (read by lnkinfo), the store row (read by sqlite3) and the
# pingbacks the emulator received; then a second log-on start whose reminder feed names the
# album: a screenshot of the pop-up (build/main-job-popup.png, or build/SHOT_NAME), the badge
# icon the shortcut now carries and the reminder bookkeeping file.
#   tools/run-main-job.sh BUILD_BIN_DIR DIST_DIR [SHOT_NAME]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
bin=$1
dist=$2
stage=$WINEPREFIX/drive_c/VXTailcast
rm -rf "$stage" && mkdir -p "$stage"
cp -r "$dist/." "$stage/"
cp "$bin/VexoUpdate.exe" "$bin/vx_main_job.exe" "$stage/"
touch "$stage/VexoUpdate.relaunch"

# The program keeps its store in the ANSI code page: run it as its users do, under a Chinese one.
# The job stops once its pop-up shows, until the screen is photographed; then it ends the program.
job_log=$(mktemp)
LC_ALL=zh_CN.UTF-8 "$VX_WINE" "$stage/vx_main_job.exe" >"$job_log" 2>&1 &
job=$!
shot=$(cd "$bin/../.." && pwd)/${3:-main-job-popup.png}
rm -f "$shot"
popup=""
while kill -0 "$job" 2>/dev/null && [[ -z "$popup" ]]; do
  popup=$(grep -a '^POPUP ' "$job_log" | tail -n 1 || true)
  sleep 0.2
done
if [[ -n "$popup" ]]; then
  read -r _ x y width height <<<"$popup"
  import -window root -display "$DISPLAY" -crop "${width}x${height}+${x}+${y}" +repage "$shot"
  touch "$stage/popup-photographed"
fi
job_status=0
wait "$job" || job_status=$?
grep -av '^POPUP ' "$job_log"
rm -f "$job_log"
[[ $job_status -eq 0 ]] || exit "$job_status"

echo
lnk=$(find -L "$WINEPREFIX/drive_c/users" "$HOME" -name 'ABC 更新至12集.lnk' 2>/dev/null | head -n 1)
if [[ -z "$lnk" ]]; then
  echo "FAILED: no 'ABC 更新至12集.lnk' on the desktop"
  exit 1
fi
echo "----- the desktop shortcut, read by lnkinfo: $lnk"
lnkinfo "$lnk" | sed -n '/Link information/,$p'
data=$WINEPREFIX/drive_c/users/Public/Vexo
echo "----- the album icon, read by icotool: $data/VexoClient/Icon/album_123.ico"
icotool -l "$data/VexoClient/Icon/album_123.ico"
echo "file size $(stat -c %s "$data/VexoClient/Icon/album_123.ico") bytes"
ls "$data/VexoClient/Icon/"
store=$data/VexoClient/vexo_shortCut.dll
echo "----- the store, read by sqlite3 (texts in GBK, shown in UTF-8): $store"
sqlite3 -header "$store" 'select strAlbumName, strTips, nAlbumID, nChannelID, nFinished, strVideoURL, strStartupParams, strIconName, strLNK from shortcut' | iconv -f gbk -t utf-8
echo "----- the pingbacks the service received (the emulator at \$VXTAILCAST_SERVICE_URL)"
if [[ -n "${VXTAILCAST_SERVICE_URL:-}" ]]; then
  /usr/bin/python3 - "$VXTAILCAST_SERVICE_URL" <<'PY'
import json, sys, urllib.request
with urllib.request.urlopen(sys.argv[1] + "/__emu/pingbacks", timeout=10) as answer:
    for pingback in json.load(answer):
        query = pingback["query"]
        print("pingback action %s login %s uuid %s" % (query.get("a"), query.get("login"), query.get("uuid")))
PY
else
  echo "(no emulator: run through tools/with-emulator.sh)"
fi

echo
if [[ ! -f "$shot" ]]; then
  echo "FAILED: the reminder pop-up did not show"
  exit 1
fi
echo "----- the reminder pop-up, photographed from the screen: $shot ($(identify -format '%wx%h' "$shot"))"
echo "----- the shortcut's icon now (the \"update\" badge): $(lnkinfo "$lnk" | grep -a 'Icon location' | sed 's/^[[:space:]]*//')"
icotool -l "$data/VexoClient/Icon/updatealbum_123.ico" | head -n 3
echo "----- the reminder bookkeeping file: $data/VexoClient/vexo_remind.ini"
iconv -f gbk -t utf-8 "$data/VexoClient/vexo_remind.ini"
# "Cache" and the media table's "cache" are one folder to Windows; Linux sees the name made first.
echo "----- the picture the pop-up shows: $(cd "$data/VexoClient" && ls -d [Cc]ache/updateImage_*)"
