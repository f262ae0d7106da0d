#!/bin/bash
# The program's main job inside the current Wine session (tools/wine-session.sh): a
# log-on start through the stand-in updater, a favourite handed over by a second start,
# then the shortcut it wrote (read by lnkinfo) and the store row (read by sqlite3).
#   tools/run-main-job.sh BUILD_BIN_DIR DIST_DIR
set -euo pipefail
bin=$1
dist=$2
stage=$WINEPREFIX/drive_c/VXTailcast
rm -rf "$stage" && mkdir -p "$stage"
cp -r "$dist/." "$stage/"
cp "$bin/VexoUpdate.exe" "$bin/vx_main_job.exe" "$stage/"
touch "$stage/VexoUpdate.relaunch"

/usr/lib/wine/wine64 "$stage/vx_main_job.exe"

echo
lnk=$(find -L "$WINEPREFIX/drive_c/users" "$HOME" -name 'ABC.lnk' 2>/dev/null | head -n 1)
if [[ -z "$lnk" ]]; then
  echo "FAILED: no ABC.lnk on the desktop"
  exit 1
fi
echo "----- the desktop shortcut, read by lnkinfo: $lnk"
lnkinfo "$lnk" | sed -n '/Link information/,$p'
store=$WINEPREFIX/drive_c/users/Public/Vexo/VexoClient/vexo_shortCut.dll
echo "----- the store, read by sqlite3: $store"
sqlite3 -header "$store" 'select strAlbumName, nAlbumID, nChannelID, strVideoURL, strStartupParams, strLNK from shortcut'
