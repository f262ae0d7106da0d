#!/bin/bash
# A thousand web favourites handed to one running program back to back (vx_thousand_favorites),
# then everything it wrote read back with independent readers: the store with sqlite3, every
# shortcut with lnkinfo, every album icon and badge icon with icotool. Runs inside the Wine
# session of the test run, with the emulator.
#   tests/e2e/thousand_favorites_test.sh BUILD_BIN_DIR [FIRST_ALBUM COUNT]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env.sh"
bin=$1
first=${2:-20001}
count=${3:-1000}
last=$((first + count - 1))
if [[ -z "${VX_WINE_SESSION:-}" || -z "${VXTAILCAST_SERVICE_URL:-}" ]]; then
  echo "FAILED: run inside tools/wine-session.sh and tools/with-emulator.sh"
  exit 1
fi

data_windows='C:\vxthousand'
data=$WINEPREFIX/drive_c/vxthousand
store=$data/VexoClient/vexo_shortCut.dll
icons=$data/VexoClient/Icon

# Both set a variable rather than print, so that the loops below start no process per album.
unix_path() {  # unix_path VAR PATH: the path on drive C: as Linux sees it
  local path=${2#[Cc]:\\}
  printf -v "$1" '%s/drive_c/%s' "$WINEPREFIX" "${path//\\//}"
}
final_name() {  # final_name ID: sets `name`, the shortcut's final name by the album's kind (id % 3)
  case $(($1 % 3)) in
    0) name="Thousand $1 更新至12集" ;;
    1) name="Thousand $1 40集全" ;;
    2) name="Thousand $1" ;;
  esac
}

work=$(mktemp -d)
desktop=""
cleanup() {
  rm -rf "$work" "$data"
  [[ -n $desktop ]] && rm -f "$desktop"/Thousand\ *.lnk
}
trap cleanup EXIT

rm -rf "$data"
started=$(date +%s)
# Earlier tests in the session end their programs by force, which may leave a temporary of a
# save cut short: only files made from here on count against this run.
touch "$work/before-the-run"
# Into a file, not a pipe: a program left running would keep a pipe open.
LC_ALL=zh_CN.UTF-8 "$VX_WINE" "$bin/vx_thousand_favorites.exe" "$first" "$count" "$data_windows" \
  >"$work/driver.txt" 2>/dev/null
status=$?
tr -d '\r' <"$work/driver.txt" | tee "$work/driver"
desktop_windows=$(sed -n 's/^desktop //p' "$work/driver")
[[ -n $desktop_windows ]] && unix_path desktop "$desktop_windows"

checks=0
failures=0
check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
# Passes when the file named by $1 is empty; otherwise shows its first lines.
none_in() {
  [[ ! -s $1 ]] && return 0
  head -n 5 "$1" | sed 's/^/  /'
  return 1
}
check "the driver handed every favourite over and the program finished them, ran on and ended normally" \
  test "$status" -eq 0
check "the driver named the desktop" test -n "$desktop_windows"

# --- the store, read by sqlite3 (texts in GBK)
sqlite3 -separator '|' "$store" \
  'select nAlbumID, strAlbumName, strTips, strLNK, nFinished, nChannelID, strVideoURL, strStartupParams, strIconName
   from shortcut order by nAlbumID' 2>&1 | iconv -f gbk -t utf-8 >"$work/rows"
for ((id = first; id <= last; id++)); do
  final_name "$id"
  tips=$name finished=0 channel=2
  (( id % 3 == 1 )) && finished=1
  (( id % 3 == 2 )) && tips="Vexo视频" channel=1
  printf '%s\n' "$id|Thousand $id|$tips|$desktop_windows\\$name.lnk|$finished|$channel|http://www.vexo.com/a_$id.html|&src=fromtailcast|$data_windows\\VexoClient\\Icon\\album_$id.ico"
done >"$work/expected"
diff "$work/expected" "$work/rows" >"$work/rows.diff"
check "the store holds exactly $count rows, one per album, with the final name, address and icon" \
  none_in "$work/rows.diff"

# --- the desktop: one shortcut per album under its final name, nothing half-written left
(cd "$desktop" 2>/dev/null && ls -1 -- Thousand\ *.lnk 2>/dev/null) | sort >"$work/desktop"
for ((id = first; id <= last; id++)); do final_name "$id"; echo "$name.lnk"; done | sort >"$work/expected-desktop"
diff "$work/expected-desktop" "$work/desktop" >"$work/desktop.diff"
check "the desktop has exactly one shortcut per album, under its final name" none_in "$work/desktop.diff"
find "$desktop/" -maxdepth 1 -iname '~vx*' -newer "$work/before-the-run" -printf '%TT %s %f\n' >"$work/leftovers" 2>/dev/null
check "no temporary file was left on the desktop" none_in "$work/leftovers"

# --- every shortcut, read by lnkinfo: it points where its row says
read_links=0
while IFS='|' read -r id name _ lnk _ _ address arguments icon; do
  read_links=$((read_links + 1))
  unix_path file "$lnk"
  info=$(lnkinfo "$file" 2>&1)
  [[ $info == *"$address?src=fromtailcast"* && $info == *"Command line arguments"*": $arguments"* &&
     $info == *"Icon location"*": $icon"* && $info == *"Description"*": $name"$'\n'* ]] ||
    echo "$id: $(grep -aiE 'target|arguments|Icon location|Description|error|unable' <<<"$info" | tr -s '\t ' ' ' | paste -sd ';')"
done < <(grep -a '^[0-9]' "$work/rows") >"$work/links.bad"
check "$count shortcuts read" test "$read_links" -eq "$count"
check "every shortcut parses and points at its row's address, with its arguments, icon and name" \
  none_in "$work/links.bad"

# --- every album icon and its badge, read by icotool: four sizes at 32 bits
expected_listing=$(index=0; for side in 128 48 32 16; do
  index=$((index + 1))
  echo "--icon --index=$index --width=$side --height=$side --bit-depth=32 --palette-size=0"
done)
files=()
for ((id = first; id <= last; id++)); do files+=("$icons/album_$id.ico" "$icons/updatealbum_$id.ico"); done
# One icotool for all files; only when their listings differ is each file read alone, to name it.
for ((i = 0; i < ${#files[@]}; i++)); do echo "$expected_listing"; done >"$work/icons.expected"
if ! icotool -l "${files[@]}" 2>&1 | cmp -s - "$work/icons.expected"; then
  for file in "${files[@]}"; do
    [[ $(icotool -l "$file" 2>&1) == "$expected_listing" ]] || echo "${file##*/}"
  done
fi >"$work/icons.bad"
check "every album icon and badge icon lists 128, 48, 32 and 16 at 32 bits" none_in "$work/icons.bad"
find "$icons/" -maxdepth 1 \( -name '*.tmp' -o -iname '~*' \) >"$work/icon-leftovers" 2>/dev/null
check "no temporary file was left in the icon folder" none_in "$work/icon-leftovers"

passed=$((checks - failures))
echo "thousand favourites: $passed passed, $failures failed, $(($(date +%s) - started)) s in all"
[[ $failures -eq 0 ]]
