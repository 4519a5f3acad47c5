#!/usr/bin/env bash
# End-to-end run of the file choosers and of the question before a changed
# picture is dropped: the open chooser is pointed at hostile files (the
# editor must live on), then opens the sample by its whole path typed over
# the field; the negative is applied; Ctrl+Q asks, Escape cancels, Ctrl+Q
# asks again and Return saves through the save chooser, given a bare name
# typed over its whole field: the file lands in the folder shown, the editor
# quits.
#
# usage: unsaved_changes_choosers.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"
engine_result "$work/expect.tga" negatif
# A bitmap 0x7FFFFFFF pixels wide, and a GIF under a bitmap's name.
printf 'BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xff\xff\xff\x7f\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$work/a_large.bmp"
printf 'GIF89a\x05\0\x05\0\xf7\0\0\x2c\0\0\0\0\x05\0\x05\0\0\x08\xff\xff\xff' >"$work/b_gif.bmp"
start_editor

key ctrl+o
chooser=$(wait_visible '^Ouvrir image$')
sleep 0.5
# Click the first rows of the file list (folders first, then the files).
eval "$(xdotool getwindowgeometry --shell "$chooser" 2>/dev/null)"
for row in 0 1 2 3 4; do
  send mousemove $((X + 60)) $((Y + 55 + 18 * row))
  send click 1
  sleep 1.3  # past the delay after which a preview would have been read
  kill -0 "$pid" 2>/dev/null || fail "the editor died pointing at row $row of the chooser"
done
# A reader hung on one of them shows as the chooser never closing below.
send mousemove $((X + 300)) $((Y + 322))   # the name field
send click 1
sleep 0.2
send key --window "$chooser" ctrl+a
send type --window "$chooser" --delay 40 "$work/sample.ppm"   # a whole path
send key --window "$chooser" Return
wait_gone '^Ouvrir image$'
sleep 0.3
key alt+t; for _ in 1 2 3 4 5; do key Down; done; key Return   # Traitements > Négatif
key F4

key ctrl+q
question=$(wait_visible '^Image modifi')
send key --window "$question" Escape
wait_gone '^Image modifi'
kill -0 "$pid" 2>/dev/null || fail "Escape in the question quit the editor"

key ctrl+q
question=$(wait_visible '^Image modifi')
send key --window "$question" Return   # "Enregistrer…"
answer_chooser '^Enregistrer sous$' gardee.tga
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the editor did not quit after saving"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the editor exited with $status"

same_pixels gardee.tga expect.tga
echo "PASS: hostile files pointed at, bare names typed, changes saved on quit"
