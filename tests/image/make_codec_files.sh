#!/usr/bin/env bash
# make_codec_files.sh DIR: makes in DIR the files codec_files.txt lists, each
# from the pictures this script leaves there first (see codec_files.txt).
set -euo pipefail
manifest="$(dirname "$(readlink -f "$0")")/codec_files.txt"
cd "$1"

# The first pixel of a file as a pnmtopng colour ("=rgb:hh/hh/hh", 4 hex
# digits a sample for 16-bit files).
first_colour() {
    local digits=$1 v
    v=($(pamcut -left 0 -top 0 -width 1 -height 1 "$2" | pnmtoplainpnm | tail -n 1))
    [ ${#v[@]} = 1 ] && v=("${v[0]}" "${v[0]}" "${v[0]}")
    printf "=rgb:%0${digits}x/%0${digits}x/%0${digits}x" "${v[@]}"
}

noise() { pgmnoise -randomseed="$1" 37 23 2>/dev/null; }
noise 5 > grey.pgm
noise 7 > mask.pgm
rgb3toppm grey.pgm <(noise 6) <(noise 8) > rgb.ppm
for p in grey.pgm mask.pgm rgb.ppm; do
    pamdepth 65535 "$p" | pamfunc -adder=100 > "${p%.*}16.${p#*.}"
done
pnmquant 4 rgb.ppm > q4.ppm 2>/dev/null
pnmquant 16 rgb.ppm > q16.ppm 2>/dev/null

while IFS= read -r line <&3; do
    [[ $line = \#* ]] || eval "${line#* : }" > "${line%% *}" 2>/dev/null
done 3< "$manifest"
