# e2e_lib.sh: what the end-to-end scenarios share. Sourced with MIRLAN,
# MIRLAN_BATCH and SOURCE_DIR as $1 $2 $3: a private work folder, the sample
# picture and the engine's result for it (through mirlan-batch), the editor
# started in it and driven with X events (x_events.sh), the wait for it to
# quit, a pixel of its window read back, and the comparison of a saved file
# with the engine's result through
# GraphicsMagick.
set -euo pipefail
mirlan=$(realpath "$1") batch=$(realpath "$2") source_dir=$(realpath "$3")
: "${DISPLAY:?the end-to-end tests need an X display}"

work=$(mktemp -d /tmp/mirlan_e2e_XXXXXX)
# A new user's home: no toolkit preferences (the file chooser keeps some)
# left by an earlier run.
HOME=$(mktemp -d /tmp/mirlan_home_XXXXXX)
export HOME
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work" "$HOME"
}
trap cleanup EXIT
# On failure, E2E_SCREENSHOT (if set) names an xwd file for the screen.
fail() {
  echo "FAIL: $*" >&2
  [ -z "${E2E_SCREENSHOT:-}" ] || xwd -root -silent >"$E2E_SCREENSHOT"
  exit 1
}

# The editor runs in the work folder (with the help pages linked in), where
# its file choosers open; a bare name typed there names a file of that folder.
start_editor() {  # [FILE]: runs the editor in the work folder; sets pid and main
  ln -s "$source_dir/doc" "$work/doc"
  cd "$work"
  "$mirlan" "$@" >"$work/mirlan.log" 2>&1 &
  pid=$!
  # The title names the file opened, if any ("sample.ppm — Mirlan").
  main=$(wait_visible 'Mirlan$')
  sleep 0.5
}
source "$source_dir/tests/e2e/x_events.sh"
title() { xdotool getwindowname "$main" 2>/dev/null; }
titled() { [ "$(title)" = "$1" ]; }

# The tool bar's buttons, as click coordinates.
open_button="26 42" bmp_button="69 42" tga_button="108 42"

quit_editor() {  # Ctrl+Q, then the editor must end by itself, with status 0
  key ctrl+q
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the editor did not quit"
  local status=0
  wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || { cat "$work/mirlan.log" >&2; fail "the editor exited with $status"; }
}

pixel_at() {  # x y of the main window -> "r,g,b" on the screen
  xwd -id "$main" -silent | gm convert xwd:- -crop "1x1+$1+$2" -depth 8 txt:- |
    sed -n 's/^[^(]*( *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1,\2,\3/p' | head -n1
}
shows() { [ "$(pixel_at "$1" "$2")" = "$3" ]; }  # x y "r,g,b"

# The sample the editor opens: 61 x 37 pixels, odd sides, so that a BMP row
# needs padding and every turn or mirror moves every pixel somewhere else.
write_sample() {  # PATH
  perl -e 'print "P6\n61 37\n255\n";
    for $y (0..36) { for $x (0..60) { print pack("C3", $x * 4 + $y, $y * 7, ($x * $y) ^ 0x5a) } }' >"$1"
}

# The engine's result for $work/sample.ppm after the given steps.
engine_result() {  # OUT.tga STEP...
  local out=$1
  shift
  "$batch" "$work/sample.ppm" "$out" "$@" || fail "mirlan-batch refused $*"
}

same_pixels() {  # saved file, expected file: equal once both are read by GraphicsMagick
  eventually same_file_pixels "$1" "$2" && return 0
  [ -f "$1" ] || fail "$1 was not written"
  fail "$1 differs from the engine's result: $(gm identify "$1") / $(gm identify "$2")"
}
same_file_pixels() {
  [ -f "$1" ] && gm convert "$1" ppm:"$work/got.ppm" 2>/dev/null && gm convert "$2" ppm:"$work/want.ppm" &&
    cmp -s "$work/got.ppm" "$work/want.ppm"
}

type_width() {  # opens "Taille de l'image" (Ctrl+T), types WIDTH, confirms
  local dialog
  key ctrl+t
  dialog=$(wait_visible "^Taille de l'image$")
  sleep 0.5
  type_in "$dialog" 150 24 "$1"   # the "Largeur" field: x 65, y 12, 100 x 25
  send key --window "$dialog" Return
}
