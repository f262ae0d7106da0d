#!/bin/bash
# Draws the program icon (a play mark on a rounded tile with a tail swoosh) at the sizes
# Windows asks for at 100 %, 125 %, 150 % and 200 % (16, 20, 24, 32, 40, 48, 64 and 256) and
# packs them into app/res/VXTailcast.ico, 32-bit with alpha. Needs ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
  -fill '#1f8ef1' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill '#0b5cad' -draw 'path "M 8,190 Q 128,150 247,200 L 247,247 L 8,247 Z"' \
  -fill white -draw 'polygon 96,70 96,186 190,128' \
  "$work/icon-256.png"
sizes=(16 20 24 32 40 48 64)
images=()
for size in "${sizes[@]}"; do
  convert "$work/icon-256.png" -resize ${size}x${size} "PNG32:$work/icon-$size.png"
  images+=("$work/icon-$size.png")
done
convert "${images[@]}" "$work/icon-256.png" -depth 8 "$root/app/res/VXTailcast.ico"
echo "wrote $root/app/res/VXTailcast.ico"
