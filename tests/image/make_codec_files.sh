#!/usr/bin/env bash
# make_codec_files.sh DIR: writes PNG, JPEG and WebP files made by netpbm,
# GraphicsMagick, cjpeg, cwebp and img2webp into DIR, from the pictures the
# test left there: rgb.ppm, grey.pgm and mask.pgm (an alpha channel), all
# of one size. Each name says what its file exercises.
set -euo pipefail
cd "$1"

# The first pixel of a file as a pnmtopng colour ("=rgb:hh/hh/hh", 4 hex
# digits a sample for 16-bit files): a colour the picture surely holds.
first_colour() {
    local digits=$1 v
    v=($(pamcut -left 0 -top 0 -width 1 -height 1 "$2" | pnmtoplainpnm | tail -n 1))
    [ ${#v[@]} = 1 ] && v=("${v[0]}" "${v[0]}" "${v[0]}")
    printf "=rgb:%0${digits}x/%0${digits}x/%0${digits}x" "${v[@]}"
}

# 16-bit samples that are not byte multiples of 257, so that no tool
# shortens them to 8 bits.
pamdepth 65535 grey.pgm | pamfunc -adder=100 > grey16.pgm
pamdepth 65535 rgb.ppm | pamfunc -adder=100 > rgb16.ppm
pamdepth 65535 mask.pgm | pamfunc -adder=100 > mask16.pgm

# PNG: every colour type and bit depth, palettes, tRNS, interlacing.
pamthreshold -simple grey.pgm | pnmtopng > grey1.png
pamdepth 3 grey.pgm | pnmtopng > grey2.png
pamdepth 15 grey.pgm | pnmtopng > grey4.png
pnmtopng grey.pgm > grey8.png
pnmtopng -interlace grey.pgm > grey8-interlaced.png
pnmtopng grey16.pgm > grey16.png
pnmtopng -interlace grey16.pgm > grey16-interlaced.png
pnmtopng -transparent "$(first_colour 2 grey.pgm)" grey.pgm > grey8-trns.png
pnmtopng -transparent "$(first_colour 4 grey16.pgm)" grey16.pgm > grey16-trns.png
pnmtopng -alpha mask.pgm grey.pgm > grey-alpha8.png
pnmtopng -alpha mask16.pgm grey16.pgm > grey-alpha16.png
pnmtopng rgb.ppm > rgb8.png
pnmtopng -interlace rgb.ppm > rgb8-interlaced.png
pnmtopng rgb16.ppm > rgb16.png
pnmtopng -transparent "$(first_colour 2 rgb.ppm)" rgb.ppm > rgb8-trns.png
pnmtopng -transparent "$(first_colour 4 rgb16.ppm)" rgb16.ppm > rgb16-trns.png
pnmtopng -alpha mask.pgm rgb.ppm > rgba8.png
pnmtopng -interlace -alpha mask.pgm rgb.ppm > rgba8-interlaced.png
pnmtopng -alpha mask16.pgm rgb16.ppm > rgba16.png
pnmtopng -interlace -alpha mask16.pgm rgb16.ppm > rgba16-interlaced.png
for colours in 2 4 16 200; do
    pnmquant "$colours" rgb.ppm 2>/dev/null > q"$colours".ppm
    pnmtopng q"$colours".ppm > palette"$colours".png
done
pnmtopng -interlace q16.ppm > palette16-interlaced.png
pnmtopng -transparent "$(first_colour 2 q16.ppm)" q16.ppm > palette16-trns.png
gm convert rgb.ppm gm-rgb.png

# JPEG: baseline, progressive, grey, 4:4:4, arithmetic, restarts, CMYK.
cjpeg rgb.ppm > baseline.jpg
cjpeg -quality 95 -sample 1x1 rgb.ppm > baseline444.jpg
cjpeg -progressive rgb.ppm > progressive.jpg
cjpeg -grayscale rgb.ppm > grey.jpg
cjpeg -progressive grey.pgm > grey-progressive.jpg
cjpeg -optimize -restart 1 rgb.ppm > restart.jpg
cjpeg -arithmetic rgb.ppm > arithmetic.jpg
gm convert rgb.ppm -colorspace CMYK cmyk.jpg

# WebP: lossy and lossless, with and without alpha, and an animation whose
# first frame is rgb.ppm.
pnmtopng -alpha mask.pgm rgb.ppm > rgba.png
cwebp -quiet -q 80 rgb.ppm -o lossy.webp
cwebp -quiet -q 80 rgba.png -o lossy-alpha.webp
cwebp -quiet -lossless rgb.ppm -o lossless.webp
cwebp -quiet -lossless rgba.png -o lossless-alpha.webp
img2webp -lossless rgb.ppm q4.ppm -o animated.webp > /dev/null 2>&1
rm -f q*.ppm grey16.pgm rgb16.ppm mask16.pgm rgba.png
