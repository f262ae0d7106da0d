#!/bin/bash
# A power cut loses nothing: five rounds, each a burst of 30 web favourites handed to the
# running program and its process ended hard (TerminateProcess) at a random moment of the burst,
# then the program started again, then the same 30 handed over again (vx_power_cut). After each
# start and after each second hand-over, what the program keeps is read back with independent
# readers: no temporary of a save is left on the desktop or in the icon folder, every shortcut
# reads with lnkinfo and names an icon that exists, every icon reads with icotool, the store
# passes sqlite3's integrity check and each of its rows names a shortcut and an icon that exist,
# and no album has two rows or two shortcuts. The moment of each cut comes from a seed printed
# with it; VX_POWER_CUT_SEED=N repeats a run's moments. Runs inside the Wine session of the test
# run, with the emulator.
#   tests/e2e/power_cut_test.sh BUILD_BIN_DIR [ROUNDS]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env.sh"
bin=$1
rounds=${2:-5}
per_round=30
first=30001
if [[ -z "${VX_WINE_SESSION:-}" || -z "${VXTAILCAST_SERVICE_URL:-}" ]]; then
  echo "FAILED: run inside tools/wine-session.sh and tools/with-emulator.sh"
  exit 1
fi
seed=${VX_POWER_CUT_SEED:-$(( $(date +%s) % 1000000 ))}
RANDOM=$seed  # the planted names too
echo "seed $seed (VX_POWER_CUT_SEED=$seed repeats the moments of this run)"

data_windows='C:\vxpowercut\data'
program_windows='C:\vxpowercut\program'
base=$WINEPREFIX/drive_c/vxpowercut
data=$base/data
program=$base/program
store=$data/VexoClient/vexo_shortCut.dll
icons=$data/VexoClient/Icon

unix_path() {  # unix_path VAR PATH: sets VAR to the path on drive C: as Linux sees it
  local path=${2#[Cc]:\\}
  printf -v "$1" '%s/drive_c/%s' "$WINEPREFIX" "${path//\\//}"
}

work=$(mktemp -d)
desktop=""
cleanup() {
  rm -rf "$work" "$base"
  [[ -n $desktop ]] && rm -f "$desktop"/Thousand\ 3*.lnk
}
trap cleanup EXIT

rm -rf "$base"
mkdir -p "$program"
cp "$bin/VXTailcast.exe" "$program/" && cp -r "$bin/tcskin" "$program/" || { echo "FAILED: no program to run"; exit 1; }
started=$(date +%s)

checks=0
failures=0
check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
none_in() {  # passes when the file named by $1 is empty; otherwise shows its first lines
  [[ ! -s $1 ]] && return 0
  head -n 5 "$1" | sed 's/^/  /'
  return 1
}

driver() {  # driver STEP ARGS...: one step of vx_power_cut; its output is shown indented
  LC_ALL=zh_CN.UTF-8 "$VX_WINE" "$bin/vx_power_cut.exe" "$@" >"$work/driver.txt" 2>/dev/null
  local status=$?
  tr -d '\r' <"$work/driver.txt" | grep -v '^desktop ' | sed 's/^/  /'
  return $status
}

find_desktop() {  # from what the driver printed
  local desktop_windows
  desktop_windows=$(tr -d '\r' <"$work/driver.txt" | sed -n 's/^desktop //p')
  [[ -n $desktop_windows ]] && unix_path desktop "$desktop_windows"
}

# The album of a shortcut file name ("Thousand <id>[ <episodes>].lnk"), in `id`; false for others.
album_of() {
  [[ $1 =~ ^Thousand\ ([0-9]+)(\ .*)?\.lnk$ ]] || return 1
  id=${BASH_REMATCH[1]}
  (( id >= first && id <= last_id ))
}

expected_icon_listing=$(index=0; for side in 128 48 32 16; do
  index=$((index + 1))
  echo "--icon --index=$index --width=$side --height=$side --bit-depth=32 --palette-size=0"
done)

# check_state WHEN WHOLE_UP_TO: everything above for the albums handed over so far (up to
# last_id); those up to WHOLE_UP_TO must also have exactly one row and one shortcut, the one
# the row names.
check_state() {
  local when=$1 whole_up_to=$2
  echo "--- $when"
  find "$desktop/" "$icons/" -maxdepth 1 -iname '~vx*' -printf '%f (%s bytes) in %h\n' >"$work/temporaries" 2>/dev/null
  check "$when: no temporary file is left on the desktop or in the icon folder" none_in "$work/temporaries"

  local integrity="no store"
  [[ -f $store ]] && integrity=$(sqlite3 "$store" 'pragma integrity_check' 2>&1)
  [[ ! -f $store && $whole_up_to -lt $first ]] && integrity=ok  # cut before the first favourite
  check "$when: the store passes sqlite3's integrity check ($integrity)" test "$integrity" = ok

  : >"$work/rows"
  [[ -f $store ]] &&
    sqlite3 -separator '|' "$store" 'select nAlbumID, strLNK, strIconName from shortcut order by nAlbumID' 2>/dev/null |
    iconv -f gbk -t utf-8 >"$work/rows"
  local file icon
  while IFS='|' read -r row_id lnk icon_name; do
    unix_path file "$lnk"
    unix_path icon "$icon_name"
    [[ -f $file ]] || echo "album $row_id: its row names $lnk, which is not there"
    [[ -f $icon ]] || echo "album $row_id: its row names the icon $icon_name, which is not there"
  done <"$work/rows" >"$work/rows.bad"
  check "$when: every row names a shortcut and an icon that exist" none_in "$work/rows.bad"
  cut -d'|' -f1 "$work/rows" | sort | uniq -d | sed 's/^/album /; s/$/ has two rows/' >"$work/rows.doubled"
  check "$when: no album has two rows" none_in "$work/rows.doubled"

  declare -A shortcuts=()
  : >"$work/links.bad"
  local name info
  while IFS= read -r name; do
    album_of "$name" || continue
    shortcuts[$id]+="$name|"
    info=$(lnkinfo "$desktop/$name" 2>&1) || { echo "$name: lnkinfo cannot read it" >>"$work/links.bad"; continue; }
    icon=$(sed -n 's/^[[:space:]]*Icon location[[:space:]]*: //p' <<<"$info")
    unix_path file "$icon"
    [[ -n $icon && -f $file ]] || echo "$name: its icon ${icon:-(none)} is not there" >>"$work/links.bad"
  done < <(cd "$desktop" && ls -1 -- Thousand\ *.lnk 2>/dev/null)
  check "$when: every shortcut reads with lnkinfo and names an icon that exists" none_in "$work/links.bad"
  for id in "${!shortcuts[@]}"; do
    [[ ${shortcuts[$id]} == *"|"*"|" ]] && echo "album $id has two shortcuts: ${shortcuts[$id]}"
  done >"$work/links.doubled"
  check "$when: no album has two shortcuts" none_in "$work/links.doubled"

  local files=("$icons"/*.ico)
  [[ -e ${files[0]} ]] || files=()
  for ((i = 0; i < ${#files[@]}; i++)); do echo "$expected_icon_listing"; done >"$work/icons.expected"
  if ! icotool -l "${files[@]}" 2>&1 | cmp -s - "$work/icons.expected"; then
    for file in "${files[@]}"; do
      [[ $(icotool -l "$file" 2>&1) == "$expected_icon_listing" ]] || echo "${file##*/}"
    done
  fi >"$work/icons.bad"
  check "$when: every icon (${#files[@]}) lists 128, 48, 32 and 16 at 32 bits with icotool" none_in "$work/icons.bad"

  for ((id = first; id <= whole_up_to; id++)); do
    local rows_of lnk
    rows_of=$(grep -c "^$id|" "$work/rows")
    lnk=$(grep -m1 "^$id|" "$work/rows" | cut -d'|' -f2)
    local named=${shortcuts[$id]:-}
    if [[ $rows_of -ne 1 || $named != *"|" || $named == *"|"*"|" || "$lnk" != *"\\${named%|}" ]]; then
      echo "album $id: $rows_of rows (${lnk:-no shortcut named}), shortcuts on the desktop: ${named:-none}"
    fi
  done >"$work/whole.bad"
  if (( whole_up_to >= first )); then
    check "$when: albums $first-$whole_up_to have one row each and the one shortcut it names" none_in "$work/whole.bad"
  fi
}

# What cuts at moments too short to hit by chance leave, planted beside what the real cut left:
# an empty temporary of a save (GetTempFileNameW makes the file before the save writes it: hex
# in lower case under Wine, upper case on Windows) on the desktop and in the icon folder, and
# from round 2 on a rename cut between the store's write and the move (the row names the new
# name, the shortcut, saved with its album icon, still has its first name).
plant_cut_short_writes() {
  local planted=("~vx$(printf '%x' $((RANDOM % 4096 + 1))).tmp on the desktop")
  : >"$desktop/${planted[0]%% *}"
  if [[ -d $icons ]]; then
    planted+=("~vx$(printf '%X' $((RANDOM % 4096 + 1))).tmp in the icon folder")
    : >"$icons/${planted[1]%% *}"
  fi
  local id renamed
  for ((id = first + ($1 - 1) * per_round - 1; id >= first + ($1 - 2) * per_round && id >= first; id--)); do
    renamed="$desktop/Thousand $id 更新至12集.lnk"
    (( id % 3 == 0 )) && [[ -f $renamed ]] || continue
    mv "$renamed" "$desktop/Thousand $id.lnk"
    planted+=("album $id back under its first name")
    break
  done
  local item
  for item in "${planted[@]}"; do echo "  planted: $item"; done
}

last_id=$((first - 1))
for ((round = 1; round <= rounds; round++)); do
  round_first=$((first + (round - 1) * per_round))
  last_id=$((round_first + per_round - 1))
  round_seed=$((seed + round))
  echo "=== round $round: albums $round_first-$last_id, seed $round_seed"
  check "round $round: the burst was cut short" \
    driver cut "$round_first" "$per_round" "$data_windows" "$program_windows" "$round_seed"
  [[ -n $desktop ]] || find_desktop
  [[ -n $desktop ]] || { echo "FAILED: the driver named no desktop"; exit 1; }
  left=$(find "$desktop/" "$icons/" -maxdepth 1 -iname '~vx*' 2>/dev/null | wc -l)
  echo "  the cut left $left temporaries; $(cd "$desktop" && ls -1 -- Thousand\ 3*.lnk 2>/dev/null | wc -l) shortcuts on the desktop"
  plant_cut_short_writes "$round"
  check "round $round: the program started again and ended normally" \
    driver restart "$data_windows" "$program_windows"
  check_state "round $round, started again after the cut" $((round_first - 1))
  check "round $round: the same favourites handed over again were taken and finished" \
    driver again "$round_first" "$per_round" "$data_windows" "$program_windows"
  check_state "round $round, handed over again" "$last_id"
done

passed=$((checks - failures))
echo "power cut: $passed passed, $failures failed, $(($(date +%s) - started)) s in all (seed $seed)"
[[ $failures -eq 0 ]]
