# Sourced by the scripts that need an X display: start_xvfb starts a virtual
# X server on a free display number, exports DISPLAY once it accepts
# connections, and leaves its process id in xvfb_pid (the caller stops it).
start_xvfb() {
  local ready
  ready=$(mktemp /tmp/mirlan_xvfb_XXXXXX)
  # -displayfd: the server takes the first free display number itself and
  # writes it once it listens, so servers started side by side never clash.
  # -noreset: by default the server resets whenever its last client leaves,
  # and refuses connections meanwhile; tests are many short-lived clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$ready" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [ -s "$ready" ] && break
    sleep 0.05
  done
  [ -s "$ready" ] || { echo "Xvfb did not start" >&2; rm -f "$ready"; return 1; }
  export DISPLAY=":$(head -n1 "$ready")"
  rm -f "$ready"
}
