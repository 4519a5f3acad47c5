#!/usr/bin/env bash
# End-to-end run of the real editor under the current DISPLAY, driven with X
# key events and a click on the tool bar: open a sample through the file
# chooser by typing its name, turn it a quarter clockwise, select and apply
# the negative, save as TGA, undo the negative, save as BMP (tool bar), quit.
# The two files are then read back with GraphicsMagick and compared with the
# engine's result for the same steps.
#
# usage: open_rotate_treat_save.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"
engine_result "$work/expect_tga.tga" rot90h negatif
engine_result "$work/expect_bmp.tga" rot90h
start_editor

key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm
key alt+i; key o; key 9                       # Image > Rotation > 90° horaire
key alt+t; for _ in 1 2 3 4 5; do key Down; done; key Return   # Traitements > Négatif
key F4                                        # apply the current treatment
key F7
answer_chooser '^Enregistrer sous TGA$' out.tga
key ctrl+z                                    # undo the negative
click $bmp_button                             # the tool bar's BMP button
answer_chooser '^Enregistrer sous BMP$' out.bmp
quit_editor

same_pixels out.tga expect_tga.tga
same_pixels out.bmp expect_bmp.tga
echo "PASS: opened, rotated, treated, undone, saved as TGA and BMP, quit"
