#!/usr/bin/env bash
# A whole editing session of the real mirlan binary under valgrind memcheck:
# open a sample through the file chooser, turn it, convert it to grey and
# back, preview and apply a treatment, zoom, resize, undo, open the help and
# the About window, save as TGA and BMP, close, quit; all with X key events
# (xdotool). Fails if memcheck reports an error or a definite leak, or if
# the session does not go through. Uses the current DISPLAY, or starts its
# own Xvfb when there is none. MEMCHECK_LOG=file keeps memcheck's report.
#
# usage: scripts/valgrind-session.sh [MIRLAN_BINARY]   (default build-test/app/mirlan)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mirlan=$(realpath "${1:-$root/build-test/app/mirlan}")
[ -x "$mirlan" ] || { echo "no mirlan binary at $mirlan" >&2; exit 2; }

work=$(mktemp -d /tmp/mirlan_valgrind_XXXXXX)
pid= xvfb=
cleanup() {
  if [ -n "${MEMCHECK_LOG:-}" ] && [ -f "$work/memcheck.log" ]; then cp "$work/memcheck.log" "$MEMCHECK_LOG"; fi
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/memcheck.log" ] && tail -n 40 "$work/memcheck.log" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
  source "$root/scripts/xvfb.sh"
  start_xvfb
  xvfb=$xvfb_pid
fi

cp "$root/samples/petite_37x23.ppm" "$work/sample.ppm"
ln -s "$root/doc" "$work/doc"
cd "$work"
valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
  --show-leak-kinds=definite --error-exitcode=99 --num-callers=30 \
  --suppressions="$root/scripts/valgrind.supp" --log-file="$work/memcheck.log" \
  "$mirlan" >"$work/mirlan.log" 2>&1 &
pid=$!

# Every pause and wait five times the scenarios': valgrind is slow.
SLOWDOWN=5
source "$root/tests/e2e/x_events.sh"
main=$(wait_visible '^Mirlan$')
sleep 2

key ctrl+o
answer_chooser '^Ouvrir image$' sample.ppm
key alt+i; key o; key 9                          # Image > Rotation > 90° horaire
key alt+n                                        # grey levels
key alt+c                                        # back to RGB
key alt+t; for _ in 1 2 3 4 5; do key Down; done; key Return   # Traitements > Négatif
key F3                                           # preview the treatment
key F4                                           # apply it
key ctrl+plus; key ctrl+e; key ctrl+r            # zoom in, fit, actual size
key ctrl+t                                       # resize dialog: apply the sizes it shows
taille=$(wait_visible "^Taille de l'image$")
sleep 1; send key --window "$taille" Return; wait_gone "^Taille de l'image$"
key ctrl+z                                       # undo
key F1                                           # the help window
doc=$(wait_visible '^Documentation')
sleep 2; send key --window "$doc" Escape; wait_gone '^Documentation'
key F7
answer_chooser '^Enregistrer sous TGA$' out.tga
key F6
answer_chooser '^Enregistrer sous BMP$' out.bmp
key ctrl+d                                       # close the image
key ctrl+q

for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the editor did not quit"
status=0; wait "$pid" || status=$?
pid=
[ -s out.tga ] || fail "out.tga was not written"
[ -s out.bmp ] || fail "out.bmp was not written"
# The sample is 37 x 23; the quarter turn makes it 23 x 37 (the undo only
# takes back the resize to the same size).
le16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
[ "$(le16 out.tga 12)x$(le16 out.tga 14)" = 23x37 ] || fail "out.tga is not the turned picture"
[ "$(le16 out.bmp 18)x$(le16 out.bmp 22)" = 23x37 ] || fail "out.bmp is not the turned picture"
summary=$(grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable' memcheck.log | sed 's/^==[0-9]*== *//')
echo "$summary"
[ "$status" -eq 0 ] || fail "mirlan under memcheck exited with $status"
grep -q 'ERROR SUMMARY: 0 errors' memcheck.log || fail "memcheck reported errors"
echo "PASS: session under memcheck without errors or definite leaks"
