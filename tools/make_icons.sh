#!/usr/bin/env bash
# Draws the desktop icon: our bunny's side view on a round dark-green badge, transparent
# around it, as PNGs at 48, 128 and 256 pixels in the hicolor theme's layout.
#   make_icons.sh <icons_dir> <work_dir> <bunny_side_view.ppm>
# The PNGs carry no time stamps, so a rebuild gives the same files.
set -euo pipefail

out=$1
work=$2
side=$3
mkdir -p "$work"

convert -size 512x512 radial-gradient:'#4c8a34'-'#102a0c' \
    \( -size 512x512 xc:black -fill white -draw "circle 256,256 256,10" \) \
    -alpha off -compose copy-opacity -composite \
    -fill none -stroke '#e8c070' -strokewidth 10 -draw "circle 256,256 256,15" "$work/badge.png"
convert "$side" -transparent magenta -filter Lanczos -resize 88% "$work/icon_bunny.png"
convert "$work/badge.png" "$work/icon_bunny.png" -gravity center -geometry +0+8 \
    -compose over -composite "$work/icon_512.png"
for size in 48 128 256; do
    mkdir -p "$out/${size}x${size}/apps"
    convert "$work/icon_512.png" -filter Lanczos -resize "${size}x${size}" -strip \
        -define png:exclude-chunks=date,time "PNG32:$out/${size}x${size}/apps/vantreska.png"
done
