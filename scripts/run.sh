#!/usr/bin/env bash
# The main job: lists this machine's applications, then opens three real applications and
# arranges their windows in a layout, as `tessora --arrange` does for a user. Without a display
# it brings up its own virtual X session (Xvfb and the openbox window manager), saves a
# screenshot of the result and closes the session again.
#   LAYOUT=quadra APPS="debian-xterm display-im6.q16" make run
set -euo pipefail
cd "$(dirname "$0")/.."
tessora=${TESSORA:-$PWD/build/bin/tessora}
layout=${LAYOUT:-triad}
read -r -a apps <<<"${APPS:-debian-xterm debian-uxterm display-im6.q16}"
shots=$PWD/build/screenshots
mkdir -p "$shots"

session_pids=()  # ended last first: the applications, then the window manager, then the server
cleanup() {
  local i
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
    kill "${session_pids[$i]}" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "No display: starting a virtual X session (Xvfb 1600x900, openbox)"
  exec 3< <(Xvfb -displayfd 1 -screen 0 1600x900x24 -nolisten tcp 2>/dev/null)
  session_pids+=($!)
  read -r number <&3
  export DISPLAY=:$number
  openbox --sm-disable >/dev/null 2>&1 &
  session_pids+=($!)
  # The window manager is ready once it names itself on the root window.
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
  virtual=1
fi

echo "== Installed applications (tessora --list-apps)"
"$tessora" --list-apps "${QUERY:-}"
echo
echo "== tessora --arrange $layout ${apps[*]}"
status=0
"$tessora" --arrange "$layout" "${apps[@]}" || status=$?
shot=$shots/arrange-$layout.png
if import -window root "$shot" 2>/dev/null; then
  echo "Screenshot of the arranged windows: $shot"
fi
if [ -n "${virtual:-}" ]; then
  # Close what runs on the virtual display (the applications the run opened) before the
  # window manager and the server go.
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" = "$$" ] && continue
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qx "DISPLAY=$DISPLAY"; then
      case " ${session_pids[*]} " in *" $pid "*) ;; *) session_pids+=("$pid") ;; esac
    fi
  done
fi
exit "$status"
