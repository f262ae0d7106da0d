#!/bin/bash
# Draws the pictures of the reminder pop-up's skin (tcskin/PersonalCenter/Push.xml) into
# tcskin/PersonalCenter/, each at its design size (name.png, for up to 125 %) and at twice
# that size (name@2x.png, which the UI library takes above 125 %). Both are reduced from the
# same larger drawing (the title strip's gradients are drawn at each size), so the 2x one has
# its own detail rather than the 1x one's pixels enlarged. Texts are not drawn here: the pop-up draws them with the system's own UI font, so
# Chinese titles render wherever the program runs.
#   top                     the 297 x 28 title strip (a deep blue gradient with a soft sheen)
#   close_{normal,hot,pushed}         the 28 x 28 close button (a white cross)
#   left_*, right_*                   the 16 x 16 paging arrows (normal, hot, disabled)
#   play_{normal,hot,pushed}          the 56 x 24 "watch now" button (a rounded orange pill)
#   picture_frame           the 145 x 90 picture's stand-in until the album picture arrives
#   picture_tips            the 145 x 90 overlay shown while the pointer rests on the picture
# The output depends only on this script and ImageMagick.
#   tools/make-push-art.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/tcskin/PersonalCenter
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
png=(-strip -define png:exclude-chunks=date,time)

# art NAME WIDTH HEIGHT BIG_IMAGE_ARGS...: the picture drawn large by the arguments (about four
# times the design size, for smooth edges), then reduced to WIDTHxHEIGHT and to twice that.
art() {
  local name=$1 width=$2 height=$3; shift 3
  convert "$@" "$work/$name.miff"
  convert "$work/$name.miff" -filter box -resize "${width}x${height}!" "${png[@]}" "PNG32:$out/$name.png"
  convert "$work/$name.miff" -filter box -resize "$((width * 2))x$((height * 2))!" "${png[@]}" "PNG32:$out/$name@2x.png"
}

# The title strip: top-to-bottom gradient with a lighter upper half. Gradients have no edges
# to smooth, so each size is drawn as it is.
for scale in 1 2; do
  suffix=$([[ $scale == 2 ]] && echo @2x || true)
  convert -size $((297 * scale))x$((28 * scale)) gradient:'#3a63d8-#2541a8' \
    \( -size $((297 * scale))x$((13 * scale)) gradient:'#ffffff30-#ffffff00' \) -geometry +0+0 -composite \
    "${png[@]}" "PNG32:$out/top$suffix.png"
done

# close STATE BACKGROUND CROSS
close_button() {
  local state=$1 background=$2 cross=$3
  art "close_$state" 28 28 -size 112x112 xc:none \
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
  art "${side}_$state" 16 16 -size 64x64 xc:none \
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
  art "play_$state" 56 24 -size 256x96 gradient:"$top-$bottom" \
    \( -size 256x96 xc:black -fill white -draw 'roundrectangle 0,0 255,95 47,47' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill white -draw 'polygon 40,30 40,66 70,48'
}
play_button normal '#ff9a3c' '#f26b1d'
play_button hot '#ffb060' '#ff7d2e'
play_button pushed '#e4772a' '#c85410'

# The picture's stand-in: a soft grey card with a film-frame glyph.
art picture_frame 145 90 -size 580x360 gradient:'#eef1f6-#dde2ea' \
  -fill none -stroke '#b9c1cf' -strokewidth 12 -draw 'roundrectangle 210,110 370,250 18,18' \
  -fill '#b9c1cf' -stroke none -draw 'polygon 272,145 272,215 330,180'

# The overlay over the picture: a dark veil with a round play mark in the middle.
art picture_tips 145 90 -size 580x360 xc:'#00000066' \
  -fill '#ffffffd9' -draw 'circle 290,180 290,112' \
  -fill '#2f5bd3' -draw 'polygon 268,142 268,218 330,180'
echo "push skin pictures written to $out at 1x and 2x"
