#!/usr/bin/env bash
# The editor still looks as the README shows it: takes every screenshot of
# screenshots/ again with take_screenshots.sh and compares them pixel for
# pixel (layout, labels, drawing of the views, the mark, the dialogs). A
# change of look that is meant retakes them:
#   bash tests/e2e/take_screenshots.sh build/app/mirlan .
#
# usage: screenshots_unchanged.sh MIRLAN MIRLAN_BATCH SOURCE_DIR (as the
# other scenarios; mirlan-batch is not needed here)
set -euo pipefail
mirlan=$1 source_dir=$3
out=$(mktemp -d /tmp/mirlan_looks_XXXXXX)
trap 'rm -rf "$out"' EXIT
bash "$source_dir/tests/e2e/take_screenshots.sh" "$mirlan" "$source_dir" "$out"
pixels() { gm identify -format '%wx%h\n' "$1" && gm convert "$1" -depth 8 rgb:-; }  # no comment, no page offset
status=0
for want in "$source_dir"/screenshots/*.png; do
  got="$out/$(basename "$want")"
  if [ ! -f "$got" ] || ! cmp -s <(pixels "$want") <(pixels "$got"); then
    echo "FAIL: $(basename "$want") differs from the editor's window now ($got)"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "PASS: every screenshot is the editor as it looks now"
exit "$status"
