#!/bin/bash
# An album icon and its badge icon made under Wine from the emulator's album picture, read
# back by icotool (an independent .ico reader). Runs inside the Wine session of the test run.
#   tests/e2e/icon_file_test.sh BUILD_BIN_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env.sh"
bin=$1
if [[ -z "${VX_WINE_SESSION:-}" || -z "${VXTAILCAST_SERVICE_URL:-}" ]]; then
  echo "FAILED: run inside tools/wine-session.sh and tools/with-emulator.sh"
  exit 1
fi

album=7001
stage=$WINEPREFIX/drive_c/VXIconTool
icons=$WINEPREFIX/drive_c/users/Public/Vexo/VexoClient/Icon
rm -rf "$stage" && mkdir -p "$stage"
cp "$bin/vx_icon_tool.exe" "$stage/"
cp -r "$root/tcskin" "$stage/tcskin"
rm -f "$icons/album_$album.ico" "$icons/updatealbum_$album.ico"
# The client's own data folder, if an earlier test left one, would take the place of the default.
"$VX_WINE" reg delete 'HKLM\Software\Vexo\Dorsa' /v HKernelPath /f >/dev/null 2>&1

output=$("$VX_WINE" "$stage/vx_icon_tool.exe" "$album" "$VXTAILCAST_SERVICE_URL/pictures/album_123.jpg" 0 | tr -d '\r')
status=$?
echo "$output"

checks=0
failures=0
check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
listing() { icotool -l "$1" 2>&1; }
expected_listing=$(index=0; for side in 128 48 32 16; do
  index=$((index + 1))
  echo "--icon --index=$index --width=$side --height=$side --bit-depth=32 --palette-size=0"
done)

check "the tool ended normally" test "$status" -eq 0
check "album icon path printed" grep -qxF "C:\\Users\\Public\\Vexo\\VexoClient\\Icon\\album_$album.ico" <<<"$output"
check "badge icon path printed" grep -qxF "C:\\Users\\Public\\Vexo\\VexoClient\\Icon\\updatealbum_$album.ico" <<<"$output"
for name in "album_$album.ico" "updatealbum_$album.ico"; do
  file=$icons/$name
  echo "----- $name, read by icotool"
  listing "$file"
  check "$name exists in the client's icon folder" test -f "$file"
  check "$name lists 128, 48, 32 and 16 at 32 bits, in that order" test "$(listing "$file")" = "$expected_listing"
  check "$name is 82,726 bytes" test "$(stat -c %s "$file" 2>/dev/null)" = 82726
done
check "nothing else was left in the icon folder" \
  test -z "$(find "$icons" -maxdepth 1 -name '*.tmp' -print -quit 2>/dev/null)"

passed=$((checks - failures))
echo "icon file: $passed passed, $failures failed"
[[ $failures -eq 0 ]]
