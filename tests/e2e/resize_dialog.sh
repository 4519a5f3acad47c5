#!/usr/bin/env bash
# End-to-end run of the resize dialog with X key events: open the 61 x 37
# sample, Ctrl+T, type 30 as the width (the height follows in proportion,
# 18), Enter; save as TGA and quit. The file must hold the engine's resize
# of the sample to 30 x 18.
#
# usage: resize_dialog.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"
engine_result "$work/expect.tga" redim 30 18
start_editor

key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm
key ctrl+t
dialog=$(wait_visible "^Taille de l'image$")
sleep 0.5
# Without a window manager no window gets the keyboard focus when shown: a
# click sent to the dialog itself (whatever window lies on top there) puts
# it in the "Largeur" field (x 65, y 12, 100 x 25).
eval "$(xdotool getwindowgeometry --shell "$dialog" 2>/dev/null)"
send mousemove $((X + 150)) $((Y + 24))
send click --window "$dialog" 1
sleep 0.3
send key --window "$dialog" End
send key --window "$dialog" --repeat 6 --delay 20 BackSpace
send type --window "$dialog" --delay 60 30
sleep 0.2
send key --window "$dialog" Return
wait_gone "^Taille de l'image$"
key F7
answer_chooser '^Enregistrer sous TGA$' out.tga
quit_editor

same_pixels out.tga expect.tga
echo "PASS: resized to 30 x 18 through the dialog, saved, quit"
