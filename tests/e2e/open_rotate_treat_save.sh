#!/usr/bin/env bash
# End-to-end run of the real editor under the current DISPLAY, driven with X
# key events only: open a sample through the file chooser by typing its name,
# turn it a quarter clockwise, select and apply the negative, save as TGA,
# undo the negative, save as BMP, quit. The two files are then read back with
# GraphicsMagick and compared with the engine's result for the same steps.
#
# usage: open_rotate_treat_save.sh MIRLAN E2E_REFERENCE SOURCE_DIR
set -euo pipefail
mirlan=$(realpath "$1") reference=$(realpath "$2") source_dir=$(realpath "$3")
: "${DISPLAY:?the end-to-end test needs an X display}"

work=$(mktemp -d /tmp/mirlan_e2e_XXXXXX)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -z "${E2E_SCREENSHOT:-}" ] || xwd -root -silent >"$E2E_SCREENSHOT"; exit 1; }

# The toolkit's file chooser rewrites its field whenever the folder part of
# what is typed changes, so a whole path cannot be typed into it. The editor
# therefore runs in the sample's folder (with the help pages linked in), and
# the names are typed after the folder the chooser shows: "folder/" when it
# opens, "folder" (no slash) when a chooser with another pattern reopens.
"$reference" sample "$work/sample.ppm"
"$reference" expect "$work/expect_tga.ppm" rot90h negatif
"$reference" expect "$work/expect_bmp.ppm" rot90h
ln -s "$source_dir/doc" "$work/doc"
cd "$work"
"$mirlan" >"$work/mirlan.log" 2>&1 &
pid=$!

# xdotool warns about the missing window manager on every call, and a key
# that closes its window makes it report an error after the key was sent.
xdo() { xdotool "$@" 2>/dev/null; }
send() { xdotool "$@" 2>/dev/null || true; }
wait_visible() {  # title regex -> window id, once the window is mapped
  local id
  for _ in $(seq 100); do
    id=$(xdo search --onlyvisible --name "$1" | head -n1) || true
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  fail "no window named $1"
}
wait_gone() {
  for _ in $(seq 100); do
    xdo search --onlyvisible --name "$1" >/dev/null || return 0
    sleep 0.1
  done
  fail "window $1 did not close"
}
key() { send key --window "$main" "$@"; sleep 0.25; }
answer_chooser() {  # title regex, text typed after the field's folder
  local chooser
  chooser=$(wait_visible "$1")
  sleep 0.3
  send key --window "$chooser" End
  send type --window "$chooser" --delay 40 "$2"
  sleep 0.2
  send key --window "$chooser" Return
  wait_gone "$1"
  sleep 0.3
}

main=$(wait_visible '^Mirlan$')
sleep 0.5

key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm

key alt+i; key o; key 9                       # Image > Rotation > 90° horaire
key alt+t; for _ in 1 2 3 4 5; do key Down; done; key Return   # Traitements > Négatif
key F4                                        # apply the current treatment
key F7
answer_chooser '^Enregistrer sous TGA$' /out.tga
key ctrl+z                                    # undo the negative
key F6
answer_chooser '^Enregistrer sous BMP$' /out.bmp
key ctrl+q

for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the editor did not quit"
status=0; wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { cat "$work/mirlan.log" >&2; fail "the editor exited with $status"; }

same_pixels() {  # saved file, expected PPM
  [ -f "$1" ] || fail "$1 was not written"
  gm convert "$1" ppm:"$work/got.ppm"
  gm convert "$2" ppm:"$work/want.ppm"
  cmp -s "$work/got.ppm" "$work/want.ppm" || fail "$1 differs from the engine's result"
}
same_pixels out.tga expect_tga.ppm
same_pixels out.bmp expect_bmp.ppm
echo "PASS: opened, rotated, treated, undone, saved as TGA and BMP, quit"
