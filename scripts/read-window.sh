#!/usr/bin/env bash
# Reads the Zorvelan window as a screen reader does, over the desktop
# accessibility bus (AT-SPI), on a private X server and session bus:
#   scripts/read-window.sh [--press BUTTON] [--keys KEY,KEY...] [NUMBER]
# opens build/test/zorvelan (or $ZORVELAN) with NUMBER in the entry box,
# presses BUTTON (Quick Test, Analyze or Generate) through its accessible
# action, prints every object with its role, name and child count, each
# list with its items, and with --keys types the keys (xdotool names, e.g.
# Up,Tab) and prints the focus and selection events a reader hears.
# With --wait it reads once the pressed command has ended, however long the
# run takes, instead of one second after the press; --all-items prints every
# item of the lists instead of the first 40 and the last.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${ZORVELAN_READ_SESSION:-}" ]; then
  scripts/deps.sh xvfb dbus at-spi2-core python3-pyatspi xdotool
  ZORVELAN_READ_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

reader_args=()
while [ $# -gt 1 ] && [[ "$1" == --* ]]; do
  if [[ "$1" == --wait || "$1" == --all-items ]]; then reader_args+=("$1"); shift; continue; fi
  reader_args+=("$1" "$2"); shift 2
done

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 1
"${ZORVELAN:-build/test/zorvelan}" "$@" &
pids+=($!)
sleep 2
xdotool search --sync --onlyvisible --name '^Zorvelan$' windowfocus --sync
# pyatspi comes with Debian's Python.
/usr/bin/python3 scripts/read_window.py "${reader_args[@]}"
