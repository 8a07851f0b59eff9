"""Reads the Zorvelan window over AT-SPI as a screen reader does; see read-window.sh."""
import argparse
import subprocess
import time

import pyatspi
from gi.repository import GLib

SHOWN_STATES = (pyatspi.STATE_FOCUSED, pyatspi.STATE_SELECTED, pyatspi.STATE_SHOWING,
                pyatspi.STATE_MANAGES_DESCENDANTS)
ITEMS_SHOWN = 40


def application(name):
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    raise SystemExit("no application %r on the accessibility bus" % name)


def states(node):
    return " ".join(pyatspi.stateToString(s) for s in node.getState().getStates() if s in SHOWN_STATES)


def describe(node):
    description = " description=%r" % node.description if node.description else ""
    return "%s %r%s" % (node.getRoleName(), node.name, description)


def show(node, all_items, depth=0):
    indent = "  " * depth
    print("%s%s children=%d %s" % (indent, describe(node), node.childCount, states(node)))
    if node.getRoleName() == "list":
        count = node.childCount
        shown = count if all_items else ITEMS_SHOWN
        rows = list(range(min(count, shown))) + ([count - 1] if count > shown else [])
        for row in rows:
            item = node.getChildAtIndex(row)
            print("%s  [%d] %s index=%d %s" % (indent, row, describe(item), item.getIndexInParent(), states(item)))
        return
    for child in node:
        show(child, all_items, depth + 1)


def find(app, role, name):
    found = pyatspi.findDescendant(app, lambda n: n.getRoleName() == role and n.name == name)
    if found is None:
        raise SystemExit("no %s %r" % (role, name))
    return found


def press(app, button):
    find(app, "push button", button).queryAction().doAction(0)


def wait_for_end(entry, status_line):
    """Waits until the pressed command has ended. Every run ends with a status,
    and the entry box, locked while a command runs, takes input again in the
    same step in which the commands take clicks again. The status must then
    read the same twice in a row. A busy window may answer late: a call that
    times out is asked again."""
    last = None
    while True:
        time.sleep(0.5)
        try:
            status = status_line.name
            idle = not entry.getState().contains(pyatspi.STATE_READ_ONLY)
        except GLib.GError:
            last = None
            continue
        if status and idle and status == last:
            return
        last = status if idle else None


def type_keys(keys):
    def heard(event):
        change = "" if event.type.startswith("focus") else " " + ("on" if event.detail1 else "off")
        print("heard %s%s: %s" % (event.type, change, describe(event.source)))

    def type_them():
        for key in keys:
            subprocess.run(["xdotool", "key", key], check=True)
        GLib.timeout_add(1500, pyatspi.Registry.stop)
        return False

    pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused", "object:state-changed:selected", "focus:")
    GLib.timeout_add(500, type_them)
    pyatspi.Registry.start()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--press", help="button to press first: Quick Test, Analyze or Generate")
    parser.add_argument("--keys", help="keys to type afterwards, comma-separated xdotool names")
    parser.add_argument("--wait", action="store_true", help="read once the pressed command has ended")
    parser.add_argument("--all-items", action="store_true", help="print every item of the lists, not the first and last")
    args = parser.parse_args()
    app = application("zorvelan")
    if args.press:
        # Found while the lists are empty: a search later would walk their items.
        entry = find(app, "text", "Number")
        status_line = find(app, "panel", "Status")[0]
        press(app, args.press)
        if args.wait:
            wait_for_end(entry, status_line)
        else:
            time.sleep(1)
    show(app, args.all_items)
    if args.keys:
        type_keys(args.keys.split(","))


main()
