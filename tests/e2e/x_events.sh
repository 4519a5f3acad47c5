# x_events.sh: driving the running editor with X events (xdotool), for every
# script that does: the end-to-end scenarios (through e2e_lib.sh), the
# screenshots and the session under valgrind. The sourcing script defines
# fail, sets pid to the editor's process, and main to its window once up.
# SLOWDOWN (default 1) multiplies every pause and wait, for slower runs.

# xdotool warns about the missing window manager on every call, and a key
# that closes its window makes it report an error after the key was sent.
xdo() { xdotool "$@" 2>/dev/null; }
send() { xdotool "$@" 2>/dev/null || true; }
nap() { sleep "$(awk -v s="$1" -v k="${SLOWDOWN:-1}" 'BEGIN { print s * k }')"; }
tries() { awk -v k="${SLOWDOWN:-1}" 'BEGIN { print int(100 * k) }'; }  # waits of 0.1 s

# Windows are looked up among the editor's own (by process id).
wait_visible() {  # title regex -> window id, once the window is mapped
  local id
  for _ in $(seq "$(tries)"); do
    id=$(xdo search --all --onlyvisible --pid "$pid" --name "$1" | head -n1) || true
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  fail "no window named $1"
}
# A result of the keys sent so far, which a loaded machine may show late.
eventually() {  # COMMAND...: true once COMMAND is, within 10 s
  local deadline=$((SECONDS + $(awk -v k="${SLOWDOWN:-1}" 'BEGIN { print int(10 * k) }')))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
wait_gone() {
  for _ in $(seq "$(tries)"); do
    xdo search --all --onlyvisible --pid "$pid" --name "$1" >/dev/null || return 0
    sleep 0.1
  done
  fail "window $1 did not close"
}
key() { send key --window "$main" "$@"; nap 0.25; }
# Without a window manager no window gets the keyboard focus when shown: a
# click sent to a window (whatever window lies on top there) gives it.
click_in() {  # WINDOW X Y: a left click at (X, Y) in that window
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  send mousemove $((X + $2)) $((Y + $3))
  send click --window "$1" 1
  nap 0.25
}
click() { click_in "$main" "$@"; }  # X Y in the main window
type_in() {  # WINDOW X Y TEXT: TEXT typed over the whole field at (X, Y)
  click_in "$1" "$2" "$3"
  send key --window "$1" ctrl+a
  send type --window "$1" --delay 60 "$4"
  nap 0.2
}
answer_chooser() {  # title regex, text typed over the whole field
  local chooser
  chooser=$(wait_visible "$1")
  nap 0.3
  send key --window "$chooser" ctrl+a
  send type --window "$chooser" --delay 40 "$2"
  nap 0.2
  send key --window "$chooser" Return
  wait_gone "$1"
  nap 0.3
}
