#!/usr/bin/env bash
# Runs a command in an X session of its own: Xvfb, a window manager (openbox unless
# TESSORA_TEST_WINDOW_MANAGER names another), a session bus and the accessibility bus on it,
# so that a test or a benchmark can reach the program's windows as a user or a screen reader
# does.
#   run_on_display.sh COMMAND [ARGS...]
# Exits 77 (skipped, with the reason) where a part is not installed.
set -u
window_manager=${TESSORA_TEST_WINDOW_MANAGER:-openbox}
for tool in Xvfb dbus-run-session xprop "${window_manager%% *}"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

inner() {
  local display server wm status home
  home=$(mktemp -d)
  exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
  server=$!
  read -r -t 20 display <&3 || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=:$display
  HOME=$home XDG_CONFIG_HOME=$home/config setsid $window_manager >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  # The accessibility bus, started as a desktop session starts it; Qt joins it when asked to.
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  local bus=$!
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 GTK_A11Y=atspi
  "$@"
  status=$?
  kill "$bus" 2>/dev/null
  kill -KILL -- "-$wm" 2>/dev/null
  kill "$server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$home"
  return $status
}
export -f inner
export window_manager
exec dbus-run-session -- bash -c 'inner "$@"' inner "$@"
