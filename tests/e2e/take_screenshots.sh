#!/usr/bin/env bash
# Takes the README's screenshots of the real editor under the current DISPLAY
# (an Xvfb screen without a window manager): the window at start, a colour
# picture on both tabs, the adjustment preview with three sliders moved,
# then the 8-connected distance map applied from a point clicked in the
# image, the colour chooser, the open chooser, the resize dialog and the
# About window. Writes them as PNG files to OUT (default screenshots/ under
# SOURCE_DIR).
#
# usage: take_screenshots.sh MIRLAN SOURCE_DIR [OUT]
set -euo pipefail
mirlan=$(realpath "$1") source_dir=$(realpath "$2")
: "${DISPLAY:?needs an X display}"
out=$(realpath -m "${3:-$source_dir/screenshots}")
mkdir -p "$out"

# The histogram page shows the picture's path: always the same folder, one
# run at a time.
work=/tmp/mirlan_screenshots
exec 9>"$work.lock"
flock 9
rm -rf "$work"
mkdir -p "$work"
captures=$(mktemp -d /tmp/mirlan_captures_XXXXXX)
# A new user's home: no toolkit preferences (the file chooser keeps some)
# left by an earlier run.
HOME=$(mktemp -d /tmp/mirlan_home_XXXXXX)
export HOME
# The fonts the screenshots were taken with, whatever else the machine has.
source "$source_dir/tests/e2e/pinned_fonts.sh"
pin_fonts "$HOME/fontconfig"
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work" "$captures" "$HOME"
}
trap cleanup EXIT

cp "$source_dir/samples/degrade.ppm" "$work/"
ln -s "$source_dir/doc" "$work/doc"
cd "$work"
"$mirlan" >/dev/null 2>&1 &
pid=$!

source "$source_dir/tests/e2e/x_events.sh"
fail() { echo "$*" >&2; exit 1; }
SLOWDOWN=1.2
main=$(wait_visible '^Mirlan$')

shot() {  # file name [window id, default the main window]
  sleep 1
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "${2:-$main}" 2>/dev/null)
  # On a busy machine the editor may still be drawing: the window is taken
  # once two captures a quarter of a second apart agree.
  # Captures go beside the work folder, which the open chooser shows.
  rm -f "$captures/shot.ppm"
  for _ in $(seq 20); do
    (eval "$geometry"; xwd -root -silent | gm convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$captures/next.ppm")
    cmp -s "$captures/next.ppm" "$captures/shot.ppm" && break
    mv "$captures/next.ppm" "$captures/shot.ppm"
    sleep 0.25
  done
  gm convert "$captures/shot.ppm" "$out/$1"
}

shot main_window.png
key ctrl+o
chooser=$(wait_visible '^Ouvrir image$')
sleep 0.3
shot open_chooser.png "$chooser"
send key --window "$chooser" ctrl+a
send type --window "$chooser" --delay 40 degrade.ppm
send key --window "$chooser" Return
sleep 1
shot image_tab.png
click 290 75    # the "Histogrammes" tab
shot histograms_tab.png
click 225 75    # back to the "Image" tab

# Left pane sliders: the track starts right of the value box.
click 125 251   # Gamma
click 160 343   # Contraste
click 175 366   # Saturation
shot adjustment_preview.png

key alt+z       # reset the adjustments
click 330 200   # the treatment point, in the image
key alt+t; for _ in 1 2 3 4; do key Down; done; key Right; key Down; key Return
key F4
shot treatment_applied.png

# The dialogs over the main window: where they open shows too.
click 100 458   # the G slider: some green, which the chooser's swatches show
click 98 410    # "Couleur courante"
colours=$(wait_visible '^Couleur courante$')
shot colour_chooser.png "$colours"
send key --window "$colours" Escape
sleep 0.3
key ctrl+t
shot resize_dialog.png
send key --window "$(wait_visible "^Taille de l'image$")" Escape
sleep 0.3
key alt+d; key p   # Aide > A propos de Mirlan
wait_visible '^A propos de Mirlan$' >/dev/null
shot about.png
