#!/usr/bin/env bash
# Draws the desktop icon: our bunny's side view on a round dark-green badge, transparent
# around it, as PNGs at 48, 128 and 256 pixels in the hicolor theme's layout, and as the
# window's own icon at 16, 32, 48 and 64 pixels in a C++ source (the game cannot read dist/).
#   make_icons.sh <icons_dir> <work_dir> <bunny_side_view.ppm> <window_icon.cpp>
# The PNGs carry no time stamps, so a rebuild gives the same files.
set -euo pipefail

out=$1
work=$2
side=$3
source=$4
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

# Each size as its width, its height, then its pixels 0xAARRGGBB in rows from the top.
{
    echo "// The game's window icon, drawn by tools/make_icons.sh (make assets) from the same"
    echo "// picture as the desktop icons in dist/icons. Do not edit."
    echo
    echo '#include "app/window_identity.h"'
    echo
    echo "static const uint32_t windowIcon[] = {"
    for size in 16 32 48 64; do
        echo "    $size, $size,"
        convert "$work/icon_512.png" -filter Lanczos -resize "${size}x${size}" -depth 8 RGBA:- |
            od -An -v -tx1 -w4 |
            awk '{ printf "%s0x%s%s%s%s,", (NR % 6 == 1 ? "    " : " "), $4, $1, $2, $3;
                   if (NR % 6 == 0) printf "\n" } END { if (NR % 6 != 0) printf "\n" }'
    done
    echo "};"
    echo
    echo "const uint32_t* windowIconData(size_t& count)"
    echo "{"
    echo "    count = sizeof windowIcon / sizeof windowIcon[0];"
    echo "    return windowIcon;"
    echo "}"
} > "$source"
