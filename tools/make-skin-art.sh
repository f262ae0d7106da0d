#!/bin/bash
# Draws the skin pictures the icon composer reads and writes them into tcskin/:
#   skin/mask/mask_S.png          frame of an ordinary album icon
#   mask/mask_S.png, mask_S.png   frame of an episodic album icon (a film strip along the bottom)
#   updateIcon/update_S.png, update_S.png   the "update" badge (red disc, white exclamation mark)
#   favorite.ico                  the provisional shortcut icon (a star over a rounded tile)
# for S = 256, 128, 64, 48, 32, 24, 16. A mask is transparent where the album picture shows
# (the middle) and where the composer's corner cut shows (four corner triangles), with a thin
# light frame just inside the cut. The output depends only on this script and ImageMagick.
#   tools/make-skin-art.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
skin=$root/tcskin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# No time stamps or other varying chunks, so a rerun gives the same bytes.
png_options=(-strip -define png:exclude-chunks=date,time)

# Corner cut per size, as the composer paints it.
declare -A cut=([256]=38 [128]=19 [64]=10 [48]=8 [32]=5 [24]=4 [16]=3)
sizes=(256 128 64 48 32 24 16)

# mask SIZE EPISODIC OUT
mask() {
  local s=$1 episodic=$2 out=$3
  local r=${cut[$s]}
  local t=$((s / 32 > 0 ? s / 32 : 1))  # frame thickness
  local td=$((t + (t + 1) / 2))         # the same thickness measured across a diagonal
  # u: distance from the nearer side edge; rows of the bottom corners are one shorter.
  local u="min(i,w-1-i)"
  local cut_area="($u+j<$r || $u+(h-1-j)<$r-1)"
  local frame="($u<$t || j<$t || h-1-j<$t || $u+j<$r+$td || $u+(h-1-j)<$r-1+$td)"
  local strip="0" hole="0"
  if [[ $episodic == 1 ]]; then
    local sh=$((s / 8 > 2 ? s / 8 : 2))  # strip height
    local x0=$((r + td)) p=$((s / 16 > 2 ? s / 16 : 2))
    strip="(j>=h-$t-$sh && j<h-$t && i>=$x0 && i<w-$x0)"
    hole="($strip && j>=h-$t-$sh+$sh/4 && j<h-$t-$sh/4 && mod(i-$x0,$p)<$p/2)"
  fi
  convert -size "${s}x${s}" xc:none \
    -channel A -fx "$cut_area ? 0 : ($hole ? 0.9 : ($strip ? 0.75 : ($frame ? 0.85 : 0)))" \
    -channel RGB -fx "$hole ? 0.95 : ($strip ? 0.12 : 1)" +channel \
    "${png_options[@]}" "PNG32:$out"
}

# badge SIZE OUT: drawn eight times larger and reduced, for smooth edges.
badge() {
  local s=$1 out=$2
  local big=$((s * 8))
  local c=$((big / 2)) bar=$((big / 14 > 1 ? big / 14 : 1))
  convert -size "${big}x${big}" xc:none \
    -fill '#d81e1e' -draw "circle $c,$c $c,1" \
    -fill white -draw "roundrectangle $((c - bar)),$((big * 3 / 16)) $((c + bar)),$((big * 10 / 16)) $bar,$bar" \
    -draw "circle $c,$((big * 25 / 32)) $c,$((big * 25 / 32 - bar - bar / 4))" \
    -filter box -resize "${s}x${s}" "${png_options[@]}" "PNG32:$out"
}

# The five-pointed star of the provisional icon, as polygon points on a 256 square.
star_points() {
  awk 'BEGIN { pi = atan2(0, -1)
    for (k = 0; k < 10; k++) {
      radius = (k % 2 == 0) ? 92 : 38
      angle = -pi / 2 + k * pi / 5
      printf "%s%.1f,%.1f", (k ? " " : ""), 128 + radius * cos(angle), 136 + radius * sin(angle)
    } }'
}

favorite_icon() {
  convert -size 256x256 xc:none \
    -fill '#2b6fd6' -draw 'roundrectangle 8,8 247,247 52,52' \
    -fill '#1d56ad' -draw 'roundrectangle 8,150 247,247 52,52' -draw 'rectangle 8,150 247,190' \
    -fill '#ffd23f' -stroke '#fff4c2' -strokewidth 6 -draw "polygon $(star_points)" \
    "${png_options[@]}" "PNG32:$work/favorite-256.png"
  local layers=()
  for s in 16 32 48; do
    convert "$work/favorite-256.png" -filter box -resize "${s}x${s}" "${png_options[@]}" "PNG32:$work/favorite-$s.png"
    layers+=("$work/favorite-$s.png")
  done
  convert "${layers[@]}" "$work/favorite-256.png" "${png_options[@]}" "$skin/favorite.ico"
}

mkdir -p "$skin/skin/mask" "$skin/mask" "$skin/updateIcon"
for s in "${sizes[@]}"; do
  mask "$s" 0 "$skin/skin/mask/mask_$s.png"
  mask "$s" 1 "$skin/mask/mask_$s.png"
  cp "$skin/mask/mask_$s.png" "$skin/mask_$s.png"
  badge "$s" "$skin/updateIcon/update_$s.png"
  cp "$skin/updateIcon/update_$s.png" "$skin/update_$s.png"
done
favorite_icon
echo "wrote the masks, badges and favorite.ico into $skin"
