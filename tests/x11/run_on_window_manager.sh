#!/usr/bin/env bash
# Runs the X11 tests under another window manager than openbox, each test in an X session of
# its own (tests/support/x11/XSession reads TESSORA_TEST_WINDOW_MANAGER), inside a session bus
# that window managers such as xfwm4, mutter and kwin need for their settings.
#   run_on_window_manager.sh "WINDOW-MANAGER [ARGS]" TEST-BINARY [TEST ARGS...]
# Exits 77 (skipped, with the reason) where the window manager is not installed or cannot take
# over a headless X server on this machine.
set -u
window_manager=$1
shift
program=${window_manager%% *}
if ! command -v "$program" >/dev/null 2>&1; then
  echo "skipped: $program is not installed"
  exit 77
fi
for tool in Xvfb xprop dbus-run-session; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

# Whether the window manager takes over a display of its own within thirty seconds (kwin takes
# a while on a busy machine).
takes_over() {
  local display server wm _
  exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
  server=$!
  read -r -t 10 display <&3 || { kill "$server" 2>/dev/null; return 1; }
  # In a home of its own (fluxbox would set a wallpaper, through a helper that outlives it and
  # may reach the next test's display), and a process group of its own, ended whole.
  local home
  home=$(mktemp -d)
  mkdir -p "$home/.fluxbox"
  echo "background: none" >"$home/.fluxbox/overlay"
  DISPLAY=:$display HOME=$home XDG_CONFIG_HOME=$home/config setsid $window_manager \
    >/dev/null 2>&1 &
  wm=$!
  local taken=1
  for _ in $(seq 300); do
    if DISPLAY=:$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      taken=0
      break
    fi
    sleep 0.1
  done
  # Some window managers (fluxbox) ignore a polite request to end.
  kill -KILL -- "-$wm" 2>/dev/null
  kill "$server" 2>/dev/null
  wait "$wm" "$server" 2>/dev/null
  exec 3<&-
  rm -rf "$home"
  return $taken
}

export -f takes_over
export window_manager
if ! dbus-run-session -- bash -c takes_over; then
  echo "skipped: $window_manager cannot take over a headless X server here"
  exit 77
fi
export TESSORA_TEST_WINDOW_MANAGER=$window_manager
exec dbus-run-session -- "$@"
