#!/usr/bin/env bash
# End-to-end run of the real editor on a 6000 x 4000 photo: Ctrl+E must
# show it whole, below 20 % (its four corners, one colour each, on the
# screen); at 100 % (Ctrl+R), a drag with the middle button must move the
# picture with the mouse. The picture is a gradient (red across, green
# down), so a pixel of the screen tells which part of it is there.
#
# usage: large_picture_fit_pan.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

# Corner blocks of 300 x 300: yellow, green, blue, magenta; the gradient's
# blue is 128, so it never takes a corner's colour, nor does the mark (red,
# black, white).
python3 - "$work/photo.ppm" <<'PY'
import sys
w, h, block = 6000, 4000, 300
red = [x * 255 // (w - 1) for x in range(w)]
rows = {}
with open(sys.argv[1], "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (w, h))
    for y in range(h):
        g = y * 255 // (h - 1)
        if g not in rows:
            rows[g] = b"".join(bytes((r, g, 128)) for r in red)
        row = rows[g]
        if y < block or y >= h - block:
            left, right = ((255, 255, 0), (0, 255, 0)) if y < block else ((0, 0, 255), (255, 0, 255))
            row = bytes(left) * block + row[3 * block:-3 * block] + bytes(right) * block
        f.write(row)
PY
start_editor
key ctrl+o
answer_chooser '^Ouvrir image$' photo.ppm
sleep 1

# The image tab's scroll area: 512 x 465 at (198, 85) of the main window.
key ctrl+e
# "x y r g b" for each pixel of it.
read_view() {
  xwd -id "$main" -silent | gm convert xwd:- -crop 512x465+198+85 -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): *( *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)).*/\1 \2 \3 \4 \5/p' >"$work/view.txt"
}
# A corner's colour: its width on the screen, 0 when it is not there.
corner_width() {  # r g b
  awk -v r="$1" -v g="$2" -v b="$3" '$3 == r && $4 == g && $5 == b { seen[$1] = 1 }
    END { n = 0; for (x in seen) n++; print n }' "$work/view.txt"
}
missing_corner() {  # the first corner's colour not on the screen, if any
  read_view
  for colour in "255 255 0" "0 255 0" "0 0 255" "255 0 255"; do
    [ "$(corner_width $colour)" -gt 0 ] || { echo "$colour"; return; }
  done
}
whole() { [ -z "$(missing_corner)" ]; }
eventually whole || fail "Ctrl+E: the corner of colour $(missing_corner) is not on the screen"
# A corner block is 300 pixels wide, so 3 pixels on the screen per percent.
percent=$(( $(corner_width 255 255 0) / 3 ))
[ "$percent" -lt 20 ] || fail "Ctrl+E: the zoom is $percent %, not below 20 %"

key ctrl+r
sleep 1
before=$(pixel_at 450 300)
send mousemove --window "$main" 450 300
send mousedown 2
for step in 1 2 3 4; do
  send mousemove --window "$main" $((450 - 50 * step)) $((300 - 40 * step))
  sleep 0.1
done
send mouseup 2
sleep 0.5
after=$(pixel_at 450 300)
# 200 pixels to the left and 160 up: the screen shows what was 200 pixels
# to the right and 160 below, 200 * 255 / 5999 reds and 160 * 255 / 3999
# greens further on (give or take the rounding of the gradient).
IFS=, read -r r0 g0 _ <<<"$before"
IFS=, read -r r1 g1 _ <<<"$after"
dr=$((r1 - r0)) dg=$((g1 - g0))
[ "$dr" -ge 7 ] && [ "$dr" -le 10 ] && [ "$dg" -ge 9 ] && [ "$dg" -le 12 ] ||
  fail "the middle-button drag moved the picture by $dr reds and $dg greens ($before, then $after)"
quit_editor
echo "PASS: Ctrl+E shows the 6000 x 4000 photo whole at $percent %, the middle button drags it"
