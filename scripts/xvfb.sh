# Starts one Xvfb for the session's Windows UI (popup menus, message boxes); stopped on exit.
start_xvfb() {
  local display=:${XVFB_DISPLAY:-97}
  if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'kill $XVFB_PID 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
      xdpyinfo -display "$display" >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  export DISPLAY=$display
}
