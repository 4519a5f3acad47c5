#!/usr/bin/env bash
# End-to-end run of the real editor: open a picture larger than the view,
# zoom to 300 % with the keys, scroll down with the mouse wheel, zoom out to
# the lowest zoom, and the picture must still be on the screen at the
# view's corner (the scroll position brought back inside it); then Ctrl+wheel
# zooms one step in.
#
# usage: zoom_scroll_view.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

gm convert -size 1500x1200 'xc:#2080c0' "$work/big.ppm"
start_editor

key ctrl+o
answer_chooser '^Ouvrir image$' big.ppm
for _ in $(seq 20); do key ctrl+plus; done     # Affichage > Agrandir, up to 300 %
send mousemove --window "$main" 400 300
for _ in $(seq 40); do send click 5; done       # the wheel, down
sleep 0.3
for _ in $(seq 28); do key ctrl+minus; done    # Affichage > Réduire, down to 20 %
# At 20 % the picture is 300 pixels wide; Ctrl+wheel up zooms one step, to
# 30 %, and the picture then reaches 600 pixels into the window.
narrow() { ! shows 600 150 "32,128,192"; }
eventually narrow || fail "the picture is wider than 20 %"
eventually shows 260 150 "32,128,192" || fail "the view's corner shows $(pixel_at 260 150), not the picture"
send keydown ctrl
send click 4
send keyup ctrl
eventually shows 600 150 "32,128,192" || fail "Ctrl+wheel did not zoom in: $(pixel_at 600 150) at x 600"
quit_editor
echo "PASS: zoomed to 300 %, scrolled down, zoomed out, the picture in view, Ctrl+wheel zooms in"
