#!/bin/bash
# Draws the program icon (a play mark on a rounded tile with a tail swoosh) at the sizes
# Windows asks for, and packs them into app/res/VXTailcast.ico. Needs ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
  -fill '#1f8ef1' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill '#0b5cad' -draw 'path "M 8,190 Q 128,150 247,200 L 247,247 L 8,247 Z"' \
  -fill white -draw 'polygon 96,70 96,186 190,128' \
  "$work/icon-256.png"
for size in 16 24 32 48 64; do
  convert "$work/icon-256.png" -resize ${size}x${size} "$work/icon-$size.png"
done
convert "$work/icon-16.png" "$work/icon-24.png" "$work/icon-32.png" "$work/icon-48.png" \
  "$work/icon-64.png" "$work/icon-256.png" -depth 8 "$root/app/res/VXTailcast.ico"
echo "wrote $root/app/res/VXTailcast.ico"
