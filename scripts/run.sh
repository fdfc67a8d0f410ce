#!/usr/bin/env bash
# The main job: runs Tessora, the resident tray application.
#
# With a display it simply runs there. Without one it first brings up a virtual session of its
# own: Xvfb, the openbox window manager, trayer as the tray and a D-Bus session bus, with fresh
# settings in a temporary folder. It starts Tessora, finishes the first-run welcome, presses the
# shortcut (Ctrl+Escape), picks three applications and a layout in the launcher by keyboard, so
# that they open and are arranged, saves screenshots under build/screenshots/ and prints how to
# look at the session. It keeps running until Ctrl+C (or, without a terminal, ends there).
#   LAYOUT=quadra PICKS="xterm uxterm imagemagick" make run
#   make run                       TESSORA=/path/to/tessora make run   (another build)
set -euo pipefail
cd "$(dirname "$0")/.."
tessora=${TESSORA:-$PWD/build/bin/tessora}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$tessora" "$@"
fi

# A session bus of our own, so that a Tessora running on another display never answers for us.
if [ -z "${TESSORA_RUN_SESSION:-}" ]; then
  export TESSORA_RUN_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

shots=$PWD/build/screenshots
mkdir -p "$shots"
scratch=$(mktemp -d)
session_pids=()  # ended last first: Tessora, then the tray, the window manager, the server
cleanup() {
  trap - EXIT INT TERM
  local i
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
    kill "${session_pids[$i]}" 2>/dev/null || true
    wait "${session_pids[$i]}" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 0' INT TERM

# Waits up to ~10 s for a command to succeed.
wait_for() {
  local _
  for _ in $(seq 200); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "Gave up waiting for: $*" >&2
  return 1
}
# Tessora's windows say what they are in WM_WINDOW_ROLE: "launcher" or "settings".
active_role() { xprop -id "$(xdotool getactivewindow)" WM_WINDOW_ROLE 2>/dev/null; }
panel_is_active() { active_role | grep -q '"launcher"'; }
welcome_is_active() { active_role | grep -q '"settings"'; }

echo "No display: starting a virtual session (Xvfb 1600x900, openbox, trayer, D-Bus)"
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1600x900x24 -nolisten tcp 2>/dev/null)
session_pids+=($!)
read -r number <&3
export DISPLAY=:$number
export XDG_CONFIG_HOME=$scratch/config
openbox --sm-disable >/dev/null 2>&1 &
session_pids+=($!)
wait_for sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
trayer --edge top --align right --widthtype request --height 26 --heighttype pixel \
  --SetDockType true --SetPartialStrut true --transparent true --alpha 0 --tint 0x1a1726 \
  >/dev/null 2>&1 &
session_pids+=($!)
wait_for xdotool search --classname trayer

"$tessora" &
session_pids+=($!)
tessora_pid=$!
# A first run opens the welcome window; Return continues from it.
if wait_for welcome_is_active; then
  import -window root "$shots/run-first-run.png"
  xdotool key Return
fi
# The main job through the launcher, by keyboard, as a user does it: the shortcut, a few
# letters and Tab for each application, Ctrl+2 for the layouts, the layout's name and Tab.
# The applications open and their windows are arranged in the layout.
layout=${LAYOUT:-triad}
read -r -a picks <<<"${PICKS:-xterm uxterm imagemagick}"
xdotool key ctrl+Escape
wait_for panel_is_active || true
for pick in "${picks[@]}"; do
  xdotool type --delay 30 "$pick"
  xdotool key Tab
done
import -window root "$shots/run-launcher-selection.png"
xdotool key ctrl+2
xdotool type --delay 30 "$layout"
import -window root "$shots/run-launcher-layouts.png"
xdotool key Tab
# The arrangement waits for each window to settle; give it the few seconds that takes.
windows_open() { [ "$(xdotool search --onlyvisible --class 'xterm|uxterm|display' 2>/dev/null | wc -l)" -ge "${#picks[@]}" ]; }
wait_for windows_open || true
sleep 3
import -window root "$shots/run-arranged.png"

cat <<EOF

Tessora is running (pid $tessora_pid) on the virtual display $DISPLAY, with its settings in
$XDG_CONFIG_HOME. It opened ${picks[*]} through the launcher and arranged them in
"$layout". Screenshots: $shots/run-first-run.png, $shots/run-launcher-selection.png,
$shots/run-launcher-layouts.png, $shots/run-arranged.png

Look at the session from another terminal:
  DISPLAY=$DISPLAY xdotool key ctrl+Escape              # show or hide the launcher
  DISPLAY=$DISPLAY import -window root shot.png         # a screenshot of the whole screen
  DISPLAY=$DISPLAY xterm &                              # an application to arrange
  DISPLAY=$DISPLAY xdotool mousemove 1590 12 click 3    # the tray menu (top right)

Ctrl+C ends Tessora and the session.
EOF
# Without a terminal to end it from, the run ends here.
if [ -t 0 ]; then
  wait "$tessora_pid" || true
fi
