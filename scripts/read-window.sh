#!/usr/bin/env bash
# Reads the Zorvelan window as a screen reader does, over the desktop
# accessibility bus (AT-SPI), on a private X server and session bus:
#   scripts/read-window.sh [--wayland] [--wait] [--all-items] [--press BUTTON] [--keys KEY,KEY...] [NUMBER]
# opens build/test/zorvelan (or $ZORVELAN) with NUMBER in the entry box,
# presses BUTTON (Quick Test, Analyze or Generate) through its accessible
# action, prints every object with its role, name and child count, each
# list with its items, and with --keys types the keys (xdotool names, e.g.
# Up,Tab) and prints the focus and selection events a reader hears.
# With --wait it reads once the pressed command has ended, however long the
# run takes, instead of one second after the press; --all-items prints every
# item of the lists instead of the first 40 and the last.
# With --wayland the window runs on a headless Weston compositor instead,
# with no X display at all (--keys types through X, so not there).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${ZORVELAN_READ_SESSION:-}" ]; then
  scripts/deps.sh xvfb weston qt6-wayland dbus at-spi2-core python3-pyatspi xdotool
  ZORVELAN_READ_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

start_xvfb() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display QT_QPA_PLATFORM=xcb
}
focus_xvfb() { xdotool search --sync --onlyvisible --name '^Zorvelan$' windowfocus --sync; }

# Qt is left to choose its platform plugin, as in a Wayland session; Weston
# gives the new window the focus by itself.
start_weston() {
  unset DISPLAY QT_QPA_PLATFORM
  weston_runtime=$(mktemp -d)
  export XDG_RUNTIME_DIR=$weston_runtime WAYLAND_DISPLAY=wayland-zorvelan XDG_SESSION_TYPE=wayland
  weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 >/dev/null 2>&1 &
  pids+=($!)
  for _ in {1..50}; do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && return
    sleep 0.1
  done
  echo "read-window: Weston did not start" >&2
  exit 1
}
focus_weston() { :; }

start_display=start_xvfb focus_window=focus_xvfb
if [ "${1:-}" = --wayland ]; then
  start_display=start_weston focus_window=focus_weston
  shift
  [[ " $* " != *" --keys "* ]] || { echo "read-window: --keys needs X, not --wayland" >&2; exit 2; }
fi

reader_args=()
while [ $# -gt 1 ] && [[ "$1" == --* ]]; do
  if [[ "$1" == --wait || "$1" == --all-items ]]; then reader_args+=("$1"); shift; continue; fi
  reader_args+=("$1" "$2"); shift 2
done

pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "${weston_runtime:-}"' EXIT
$start_display
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 1
"${ZORVELAN:-build/test/zorvelan}" "$@" &
pids+=($!)
sleep 2
$focus_window
# pyatspi comes with Debian's Python.
/usr/bin/python3 scripts/read_window.py "${reader_args[@]}"
