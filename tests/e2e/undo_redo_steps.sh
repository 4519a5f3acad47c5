#!/usr/bin/env bash
# End-to-end run of the history with X key events: open the sample, make five
# changes (quarter turn, negative by F4, mirror, equalisation by F4, grey
# levels), undo all five with Ctrl+Z, redo all five with Ctrl+Y, saving as
# TGA (F7, a new name each time) after every step. Each file must hold the
# engine's result for the steps done at that point: after k undos, the first
# 5 - k steps.
#
# usage: undo_redo_steps.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

steps=(rot90h negatif symetrieh egalisation niveauxgris)
change_keys=("alt+i o 9"                        # Image > Rotation > 90° horaire
             "alt+t Down Down Down Down Down Return F4"  # Traitements > Négatif, applied
             "alt+i o h"                        # Image > Rotation > Symétrie d'axe horizontale
             "alt+t Down Down Down Right Return F4"      # Traitements > Histogrammes > Egalisation
             "alt+n")                           # Image > Niveaux de gris
write_sample "$work/sample.ppm"
for k in 0 1 2 3 4 5; do engine_result "$work/expect$k.tga" "${steps[@]:0:k}"; done
start_editor

saved=()   # FILE:STEPS DONE, one per save
save_as() {  # NAME STEPS-DONE
  key F7
  answer_chooser '^Enregistrer sous TGA$' "$1"
  saved+=("$1:$2")
}
key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm
for k in 1 2 3 4 5; do
  for press in ${change_keys[k - 1]}; do key "$press"; done
  save_as "change$k.tga" "$k"
done
for k in 1 2 3 4 5; do key ctrl+z; save_as "undo$k.tga" $((5 - k)); done
for k in 1 2 3 4 5; do key ctrl+y; save_as "redo$k.tga" "$k"; done
quit_editor

for entry in "${saved[@]}"; do same_pixels "${entry%%:*}" "expect${entry##*:}.tga"; done
echo "PASS: five changes, five undos and five redos, each saved and equal to the engine's steps"
