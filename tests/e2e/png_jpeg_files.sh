#!/usr/bin/env bash
# End-to-end run of the editor on the files people have: a PNG opened
# through the file chooser, turned, saved as PNG from the "Enregistrer sous"
# menu; then a JPEG opened, its negative applied, saved as JPEG with the
# quality the dialog proposes. The PNG is read back by GraphicsMagick and
# compared with the engine's result; the JPEG must be byte for byte the one
# mirlan-batch writes for the same steps.
#
# usage: png_jpeg_files.sh MIRLAN MIRLAN_BATCH SOURCE_DIR
source "$(dirname "$0")/e2e_lib.sh"

write_sample "$work/sample.ppm"
pnmtopng "$work/sample.ppm" >"$work/sample.png" 2>/dev/null
cjpeg -quality 95 -outfile "$work/sample.jpg" "$work/sample.ppm"
engine_result "$work/expect_png.tga" rot90h
"$batch" "$work/sample.jpg" "$work/expect.jpg" negatif || fail "mirlan-batch refused the JPEG"
start_editor

key ctrl+o
answer_chooser '^Ouvrir image$' sample.png
key alt+i; key o; key 9                       # Image > Rotation > 90° horaire
key alt+f; key e; key p                       # Fichier > Enregistrer sous > PNG
answer_chooser '^Enregistrer sous PNG$' out.png

key ctrl+o
answer_chooser '^Ouvrir image$' sample.jpg
key alt+t; for _ in 1 2 3 4 5; do key Down; done; key Return   # Traitements > Négatif
key F4
key alt+f; key e; key j                       # Fichier > Enregistrer sous > JPEG
answer_chooser '^Enregistrer sous JPEG$' out.jpg
quality=$(wait_visible '^Qualit.* JPEG$')
send key --window "$quality" Return           # the 90 it proposes
wait_gone '^Qualit.* JPEG$'
quit_editor

same_pixels out.png expect_png.tga
cmp -s out.jpg expect.jpg || fail "out.jpg is not the JPEG mirlan-batch writes"
echo "PASS: PNG and JPEG opened through the chooser, saved as PNG and JPEG"
