#!/usr/bin/env bash
# End-to-end run of the real editor under a memory limit and a file-size
# limit, set in the child that starts it. Open the sample and turn it half
# a turn; resize it to 5999 pixels wide, which the memory left cannot hold:
# the alert says memory is short. Undo, which must still give the sample as
# opened. Save it as BMP, a file larger than the size limit: the alert says
# the save failed, and nothing is left in the folder. The editor must still
# run, and a save as TGA (smaller than the limit) must hold the sample.
#
# usage: memory_and_file_size_limits.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"

# The editor's address space once it shows the sample, from a first run
# without limits; the second run gets 40 MB more, far below what a
# 5999-pixel-wide copy of the sample and its display copy take.
start_editor
key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm
base_kb=$(awk '/^VmSize:/ { print $2 }' "/proc/$pid/status")
quit_editor

# The sample as TGA takes 6789 bytes and as BMP 6862: the limit lies between.
mirlan_unlimited=$mirlan
mirlan="$work/limited.sh"
printf '#!/bin/sh\nexec prlimit --as=%d --fsize=6800 -- "%s"\n' \
  $(((base_kb + 40 * 1024) * 1024)) "$mirlan_unlimited" >"$mirlan"
chmod +x "$mirlan"
rm "$work/doc"
start_editor
key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm

answer_alert() {  # the alert box (a window without a title) closed by Return
  local alert
  alert=$(wait_visible '^$')
  sleep 0.3
  send key --window "$alert" Return
  wait_gone '^$'
  sleep 0.3
  kill -0 "$pid" 2>/dev/null || fail "the editor died: $(cat "$work/mirlan.log")"
}

key alt+i; key o; key 1                       # Image > Rotation > 180°
type_width 5999
answer_alert
wait_gone "^Taille de l'image$"
key ctrl+z

key F6
answer_chooser '^Enregistrer sous BMP$' out.bmp
answer_alert
[ -z "$(find "$work" -name '*out.bmp*')" ] || fail "a failed save left $(ls -a "$work")"

key F7
answer_chooser '^Enregistrer sous TGA$' out.tga
quit_editor

same_pixels out.tga sample.ppm
echo "PASS: short memory and a full disk alerted, the editor kept its picture and saved it"
