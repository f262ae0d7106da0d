#!/bin/bash
# Draws the pictures of the reminder pop-up's skin (tcskin/PersonalCenter/Push.xml) into
# tcskin/PersonalCenter/. Texts are not drawn here: the pop-up draws them with the system's
# own UI font, so Chinese titles render wherever the program runs.
#   top.png                 the 297 x 28 title strip (a deep blue gradient with a soft sheen)
#   close_{normal,hot,pushed}.png     the 28 x 28 close button (a white cross)
#   left_*.png, right_*.png           the 16 x 16 paging arrows (normal, hot, disabled)
#   play_{normal,hot,pushed}.png      the 56 x 24 "watch now" button (a rounded orange pill)
#   picture_frame.png       the 145 x 90 picture's stand-in until the album picture arrives
#   picture_tips.png        the 145 x 90 overlay shown while the pointer rests on the picture
# The output depends only on this script and ImageMagick.
#   tools/make-push-art.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/tcskin/PersonalCenter
mkdir -p "$out"
png=(-strip -define png:exclude-chunks=date,time)

# shrink BIG_IMAGE_ARGS... OUT SIZE: drawn four times larger and reduced, for smooth edges.
shrink() { local size=$1 dest=$2; shift 2; convert "$@" -filter box -resize "$size!" "${png[@]}" "PNG32:$dest"; }

# The title strip: top-to-bottom gradient with a lighter upper half.
convert -size 297x28 gradient:'#3a63d8-#2541a8' \
  \( -size 297x13 gradient:'#ffffff30-#ffffff00' \) -geometry +0+0 -composite \
  "${png[@]}" "PNG32:$out/top.png"

# close STATE BACKGROUND CROSS
close_button() {
  local state=$1 background=$2 cross=$3
  shrink 28x28 "$out/close_$state.png" -size 112x112 xc:none \
    -fill "$background" -draw 'roundrectangle 8,16 104,96 14,14' \
    -stroke "$cross" -strokewidth 9 -draw 'line 40,40 72,72' -draw 'line 72,40 40,72'
}
close_button normal none white
close_button hot '#ffffff40' white
close_button pushed '#00000040' '#e6ecff'

# arrow SIDE STATE COLOUR: a chevron in a circle outline.
arrow() {
  local side=$1 state=$2 colour=$3 points
  if [[ $side == left ]]; then points='38,16 22,32 38,48'; else points='26,16 42,32 26,48'; fi
  shrink 16x16 "$out/${side}_$state.png" -size 64x64 xc:none \
    -fill none -stroke "$colour" -strokewidth 4 -draw 'circle 32,32 32,3' \
    -strokewidth 6 -draw "polyline $points"
}
for side in left right; do
  arrow "$side" normal '#7a8499'
  arrow "$side" hot '#2f5bd3'
  arrow "$side" disabled '#d3d7df'
done

# play STATE TOP BOTTOM: a rounded pill with a small play triangle at its left end; the label
# "观看" is the button's own text.
play_button() {
  local state=$1 top=$2 bottom=$3
  convert -size 256x96 gradient:"$top-$bottom" \
    \( -size 256x96 xc:black -fill white -draw 'roundrectangle 0,0 255,95 47,47' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill white -draw 'polygon 40,30 40,66 70,48' \
    -filter box -resize '56x24!' "${png[@]}" "PNG32:$out/play_$state.png"
}
play_button normal '#ff9a3c' '#f26b1d'
play_button hot '#ffb060' '#ff7d2e'
play_button pushed '#e4772a' '#c85410'

# The picture's stand-in: a soft grey card with a film-frame glyph.
shrink 145x90 "$out/picture_frame.png" -size 580x360 gradient:'#eef1f6-#dde2ea' \
  -fill none -stroke '#b9c1cf' -strokewidth 12 -draw 'roundrectangle 210,110 370,250 18,18' \
  -fill '#b9c1cf' -stroke none -draw 'polygon 272,145 272,215 330,180'

# The overlay over the picture: a dark veil with a round play mark in the middle.
shrink 145x90 "$out/picture_tips.png" -size 580x360 xc:'#00000066' \
  -fill '#ffffffd9' -draw 'circle 290,180 290,112' \
  -fill '#2f5bd3' -draw 'polygon 268,142 268,218 330,180'
echo "push skin pictures written to $out"
