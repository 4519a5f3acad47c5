#!/usr/bin/env bash
# End-to-end run of the editor as a desktop program: started on a file, its
# title names it and marks unsaved changes; Ctrl+S on a file of a format it
# does not write asks for a name, then writes back to the file it named;
# saving over an existing file asks first; adjustments moved but not applied
# are applied on the user's word before a save; a file dragged from another
# program opens; Ctrl+Q ends the program even with the help window open.
# Every saved file is compared with the engine's result (mirlan-batch).
#
# usage: desktop_editor.sh MIRLAN MIRLAN_BATCH SOURCE_DIR (DRAG_SOURCE: the
# drag source program)
source "$(dirname "$0")/e2e_lib.sh"
drag_source=$(realpath "${DRAG_SOURCE:?the drag source program}")

write_sample "$work/sample.ppm"
engine_result "$work/expect_neg.tga" negatif
engine_result "$work/expect_neg_rot.tga" negatif rot90h
start_editor sample.ppm
eventually titled "sample.ppm — Mirlan" || fail "title at start: $(title)"

key alt+t; for _ in 1 2 3 4 5; do key Down; done; key Return   # Traitements > Négatif
key F4
eventually titled "*sample.ppm — Mirlan" || fail "title once changed: $(title)"
key ctrl+s                                    # PNM is not written: a chooser
answer_chooser '^Enregistrer sous$' out       # no extension: the proposed PNG's
same_pixels out.png expect_neg.tga
eventually titled "out.png — Mirlan" || fail "title once saved: $(title)"

key alt+i; key o; key 9                       # Image > Rotation > 90° horaire
key ctrl+s                                    # back to out.png, no question
same_pixels out.png expect_neg_rot.tga

key F7                                        # Enregistrer sous TGA
answer_chooser '^Enregistrer sous TGA$' out.png   # gets .tga: out.tga is new
same_pixels out.tga expect_neg_rot.tga
key F7
answer_chooser '^Enregistrer sous TGA$' out.tga   # exists: asks
question=$(wait_visible '^Enregistrer sous$')
send key --window "$question" Escape          # "Annuler": nothing written
wait_gone '^Enregistrer sous$'
key F7
answer_chooser '^Enregistrer sous TGA$' out.tga
question=$(wait_visible '^Enregistrer sous$')
send key --window "$question" Return          # "Remplacer"
wait_gone '^Enregistrer sous$'

# The contrast moved, not applied: saving asks to apply it first.
click 160 343
key F7
pending=$(wait_visible '^Travail en attente$')
send key --window "$pending" Return           # "Appliquer"
wait_gone '^Travail en attente$'
answer_chooser '^Enregistrer sous TGA$' asked.tga
key ctrl+z                                    # the same contrast by hand
click 160 343
key alt+r
key F7
answer_chooser '^Enregistrer sous TGA$' by_hand.tga
same_pixels asked.tga by_hand.tga
cmp -s <(gm convert asked.tga ppm:-) <(gm convert out.tga ppm:-) && fail "the contrast was not applied"

# A file dropped from another program, its name percent-encoded.
cp "$work/sample.ppm" "$work/dropped file.ppm"
"$drag_source" "file://$work/dropped%20file.ppm"$'\r\n'"file:///elsewhere.png" &
source_pid=$!
pid=$source_pid wait_visible '^Source$' >/dev/null
eval "$(xdotool getwindowgeometry --shell "$main" 2>/dev/null)"
send mousemove 50 50                          # from the drag source's window
send mousedown 1
sleep 1
for step in 1 2 3 4 5 6 7 8 8; do              # to the middle of the editor
  send mousemove $((50 + (X + 300 - 50) * step / 8)) $((50 + (Y + 250 - 50) * step / 8))
  sleep 0.2
done
sleep 0.5
send mouseup 1
eventually titled "dropped file.ppm — Mirlan" || fail "title after the drop: $(title)"
kill "$source_pid" 2>/dev/null || true

key F1                                        # the help window stays open
wait_visible '^Documentation' >/dev/null
quit_editor
echo "PASS: file argument, title, Ctrl+S, replace question, pending work, drop, quit with help open"
