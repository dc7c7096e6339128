#!/usr/bin/env bash
# Draws the game's eleven images with ImageMagick and writes them as 24-bit BMP3 files.
#   make_images.sh <out_dir> <work_dir> <bunny_side_view.ppm>
# Every random step has a fixed seed (ImageMagick -seed, a Park-Miller generator in awk), so a
# rebuild gives the same pictures on the same ImageMagick version.
set -euo pipefail

out=$1
work=$2
side=$3
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
title_font=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
mkdir -p "$out" "$work"

# Writes a picture as an uncompressed 24-bit bottom-up BMP with the 54-byte header.
save_bmp() {
    convert "$1" -alpha off -type TrueColor -compress None BMP3:"$2"
}

# Prints n lines of pseudo-random numbers in [0, 1), k per line, from the given seed.
random_table() {
    awk -v seed="$1" -v n="$2" -v k="$3" 'BEGIN {
        x = seed
        for (i = 0; i < n; i++) {
            line = ""
            for (j = 0; j < k; j++) {
                x = (x * 16807) % 2147483647
                line = line sprintf("%.6f ", x / 2147483647)
            }
            print line
        }
    }'
}

# Grass: tiling noise stretched into upright blades over a faintly patchy layer, mapped to
# greens. The ground repeats one corner of the picture in every cell, so the large-scale
# shading stays weak to keep the cell grid from showing.
make_grass() {
    convert -size 256x256 xc:gray50 -seed 11 +noise Random -colorspace gray \
        -virtual-pixel tile -motion-blur 0x5+90 -motion-blur 0x5+270 -auto-level "$work/blades.png"
    convert -size 256x256 xc:gray50 -seed 12 +noise Random -colorspace gray \
        -virtual-pixel tile -blur 0x14 -auto-level +level 78%,100% "$work/patches.png"
    convert "$work/blades.png" "$work/patches.png" -compose multiply -composite -auto-level \
        \( -size 1x256 gradient:'#14300c'-'#9bd65a' \) -clut \
        -virtual-pixel tile -unsharp 0x1 "$work/grass.png"
    save_bmp "$work/grass.png" "$out/grass.bmp"
}

# Wall: eight courses of bricks in running bond, each brick its own shade, grey mortar, grain
# and a light bevel; bricks cut by the edge are drawn on both sides so the picture tiles.
make_wall() {
    local draw=""
    local row col x y shade r g b
    while read -r row col shade; do
        y=$((row * 32))
        x=$((col * 64 + (row % 2) * 32))
        r=$(awk -v s="$shade" 'BEGIN { printf "%d", 128 + s * 50 }')
        g=$(awk -v s="$shade" 'BEGIN { printf "%d", 56 + s * 26 }')
        b=$(awk -v s="$shade" 'BEGIN { printf "%d", 40 + s * 18 }')
        for dx in 0 -256; do
            draw+="fill rgb($r,$g,$b) rectangle $((x + dx + 2)),$((y + 2)) $((x + dx + 61)),$((y + 29)) "
        done
    done < <(random_table 4242 32 1 | awk '{ print int((NR - 1) / 4), (NR - 1) % 4, $1 }')
    convert -size 256x256 xc:'rgb(118,114,106)' -draw "$draw" "$work/bricks.png"
    convert -size 256x256 xc:gray50 -seed 21 +noise Random -colorspace gray \
        -virtual-pixel tile -blur 0x1 -auto-level "$work/grain.png"
    convert "$work/bricks.png" -colorspace gray -threshold 45% -negate -virtual-pixel tile -blur 0x2 \
        -shade 120x50 -level 0%,153% "$work/bevel.png"
    convert "$work/bricks.png" \( "$work/grain.png" -level -40%,140% \) -compose overlay -composite \
        "$work/bevel.png" -compose overlay -composite "$work/wall.png"
    save_bmp "$work/wall.png" "$out/wall.bmp"
}

# Moon: a grey disc on black with darker seas, craters lit from the upper left (bowl and rim
# drawn into a height map, then shaded) and a darker limb.
make_moon() {
    local craters=""
    local cx cy rad
    while read -r a b c; do
        cx=$(awk -v a="$a" 'BEGIN { printf "%d", 30 + a * 196 }')
        cy=$(awk -v b="$b" 'BEGIN { printf "%d", 30 + b * 196 }')
        rad=$(awk -v c="$c" 'BEGIN { printf "%d", 3 + c * c * c * 20 }')
        craters+="stroke gray(72%) stroke-width $((rad / 3 + 1)) fill gray(30%) "
        craters+="circle $cx,$cy $((cx + rad)),$cy "
    done < <(random_table 777 40 3)
    convert -size 256x256 xc:gray50 -draw "$craters" -blur 0x1.5 \
        \( -size 256x256 xc:gray50 -seed 33 +noise Random -colorspace gray -blur 0x1 \
           -level -300%,400% \) -compose overlay -composite \
        -shade 135x40 -level 5%,95% "$work/moon_relief.png"
    convert -size 256x256 -seed 31 plasma:gray55-gray85 -colorspace gray -blur 0x3 "$work/moon_base.png"
    convert -size 256x256 xc:gray50 -seed 32 +noise Random -colorspace gray -blur 0x18 \
        -auto-level -threshold 58% -blur 0x8 -negate "$work/seas.png"
    convert "$work/moon_base.png" \( "$work/seas.png" -level -45%,100% \) -compose multiply \
        -composite "$work/moon_relief.png" -compose overlay -composite "$work/moon_surface.png"
    convert -size 256x256 radial-gradient:white-gray35 "$work/limb.png"
    convert -size 256x256 xc:black -fill white -draw "circle 128,128 128,9" -blur 0x1 "$work/disc.png"
    convert "$work/moon_surface.png" \( "$work/limb.png" -level 0%,85% \) -compose multiply -composite \
        "$work/disc.png" -compose multiply -composite "$work/moon.png"
    save_bmp "$work/moon.png" "$out/moon.bmp"
}

# Gunmetal: dark blue-grey metal brushed along its length, with a soft sheen band.
make_gunmetal() {
    convert -size 256x256 xc:gray50 -seed 41 +noise Random -colorspace gray \
        -virtual-pixel tile -motion-blur 0x18+0 -motion-blur 0x18+180 -auto-level \
        -level 30%,70% "$work/brush.png"
    convert -size 256x256 gradient:gray35-gray75 -rotate 90 -sigmoidal-contrast 4x50% "$work/sheen.png"
    convert "$work/brush.png" "$work/sheen.png" -compose multiply -composite \
        \( -size 1x256 gradient:'#14171c'-'#7d8691' \) -clut "$work/gunmetal.png"
    save_bmp "$work/gunmetal.png" "$out/Gunmetal.bmp"
}

# A menu panel: a bevelled dark-red button on black with its words in white bold letters.
make_panel() {
    local words=$1 width=$2 name=$3
    local box="roundrectangle 6,8 $((width - 7)),119 16,16"
    convert -size "${width}x128" xc:black gradient:'#c0382e'-'#4a0d0a' \
        \( -size "${width}x128" xc:black -fill white -draw "$box" \) -composite \
        -fill none -stroke '#e8c070' -strokewidth 4 -draw "$box" "$work/panel_$name.png"
    convert "$work/panel_$name.png" -gravity center -font "$font" -pointsize 44 \
        -fill '#00000099' -stroke none -annotate +3+4 "$words" \
        -fill white -annotate +0+0 "$words" "$work/panel_$name.png"
    save_bmp "$work/panel_$name.png" "$out/$name.bmp"
}

# Title: large serif capitals with a gold-to-red fill, a dark outline and a glow, on black.
make_title() {
    convert -size 512x128 xc:black -font "$title_font" -pointsize 78 -gravity center \
        -fill '#ff7a1a' -annotate +0+4 "Vantreska" -blur 0x7 -level 0%,70% "$work/title_glow.png"
    convert -size 512x128 xc:black -font "$title_font" -pointsize 78 -gravity center \
        -fill white -annotate +0+4 "Vantreska" "$work/title_mask.png"
    convert -size 512x40 xc:'#fff6c0' -size 512x40 gradient:'#fff6c0'-'#ffa418' \
        -size 512x48 gradient:'#ffa418'-'#a80c04' -append "$work/title_fill.png"
    convert "$work/title_glow.png" \( "$work/title_fill.png" "$work/title_mask.png" \
        -alpha off -compose copy-opacity -composite \) -compose over -composite \
        -font "$title_font" -pointsize 78 -gravity center -fill none -stroke '#3a0800' \
        -strokewidth 2.5 -annotate +0+4 "Vantreska" "$work/title.png"
    save_bmp "$work/title.png" "$out/Vantreska.bmp"
}

# Bunny pictures: the side view of our own mesh over a dark green spotlight, facing left, and
# its mirror image facing right.
make_bunnies() {
    convert -size 512x512 radial-gradient:'#2e5a22'-black "$work/spot.png"
    convert "$side" -transparent magenta "$work/bunny_cut.png"
    convert "$work/spot.png" "$work/bunny_cut.png" -compose over -composite \
        -filter Lanczos -resize 128x128 "$work/bunny_left.png"
    save_bmp "$work/bunny_left.png" "$out/bunnyLeft.bmp"
    convert "$work/bunny_left.png" -flop "$work/bunny_right.png"
    save_bmp "$work/bunny_right.png" "$out/bunnyRight.bmp"
}

make_grass
make_wall
make_moon
make_gunmetal
make_panel "Start New Game" 512 StartNewGame
make_panel "Options" 256 Options
make_panel "Help" 256 Help
make_panel "Quit" 256 Quit
make_title
make_bunnies
