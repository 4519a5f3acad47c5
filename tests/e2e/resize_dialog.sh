#!/usr/bin/env bash
# End-to-end run of the resize dialog with X key events: open the 61 x 37
# sample, Ctrl+T, type 30 as the width (the height follows in proportion,
# 18), Enter; save as TGA (tool bar) and quit. The file must hold the engine's resize
# of the sample to 30 x 18.
#
# usage: resize_dialog.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"
engine_result "$work/expect.tga" redim 30 18
start_editor

key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm
type_width 30
wait_gone "^Taille de l'image$"
click $tga_button   # the tool bar's TGA button
answer_chooser '^Enregistrer sous TGA$' out.tga
quit_editor

same_pixels out.tga expect.tga
echo "PASS: resized to 30 x 18 through the dialog, saved, quit"
