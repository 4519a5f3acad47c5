#!/usr/bin/env bash
# End-to-end run of the colour chooser with X events: open the 61 x 37
# sample (tool bar), select the 4-connected distance map, click "Couleur
# courante", type 0.002 in the chooser's red, green and blue fields, OK;
# apply the map from the point the opening left at the centre (30, 18) with
# the counter's 2; save as TGA and quit. The map paints the channels whose
# component is not 0, and 0.002 rounds to 1 out of 255 (0.51): the file must
# hold the engine's result for the colour 1 1 1, not the red the chooser
# started from.
#
# usage: colour_chooser.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"
engine_result "$work/expect.tga" distance4 1 1 1 30 18 2
start_editor

click $open_button
answer_chooser '^Ouvrir image$' sample.ppm
key alt+t; for _ in 1 2 3 4; do key Down; done; key Right; key Return   # Distance (4 connexité)
click 98 410   # "Couleur courante", in the left pane
colours=$(wait_visible '^Couleur courante$')
sleep 0.5
for y in 48 80 111; do   # the red, green and blue fields' middle in the window
  type_in "$colours" 175 "$y" 0.002
done
send key --window "$colours" Return
wait_gone '^Couleur courante$'
key F4
key F7
answer_chooser '^Enregistrer sous TGA$' out.tga
quit_editor

same_pixels out.tga expect.tga
echo "PASS: colour typed in the chooser, distance map applied with it, saved, quit"
