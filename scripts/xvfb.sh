# Sourced by the scripts that need an X display: start_xvfb starts a virtual
# X server on a free display number, exports DISPLAY, waits until it answers
# and leaves its process id in xvfb_pid (the caller stops it).
start_xvfb() {
  local display=99
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  # -noreset: by default the server resets whenever its last client leaves,
  # and refuses connections meanwhile; tests are many short-lived clients.
  Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":${display}"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
}
