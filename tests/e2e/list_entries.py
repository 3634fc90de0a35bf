#!/usr/bin/python3
"""Reads a list of a running program over the accessibility bus.

list_entries.py APPLICATION LIST_ACCESSIBLE_NAME
    prints the list's entries, one a line.
list_entries.py APPLICATION --focused
    prints the role and name of the control that has the keyboard focus.
list_entries.py APPLICATION LIST_ACCESSIBLE_NAME --top-around COMMAND...
    prints the list's top index (its first entry shown) just before COMMAND runs, and
    150 ms and 600 ms after it has returned, on one line: what a scroll that must stop
    on COMMAND did meanwhile, read without the start-up time of a new process."""
import subprocess
import sys
import time

import pyatspi


def find(node, name, roles, depth=0):
    if node is None or depth > 14:
        return None
    if node.name == name and node.getRoleName() in roles:
        return node
    for i in range(node.childCount):
        hit = find(node[i], name, roles, depth + 1)
        if hit is not None:
            return hit
    return None


def top_index(found):
    """The first entry the list shows whole: the first whose row starts inside the list
    (the one above it still touches the list's frame, so it counts as showing)."""
    list_top = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y
    for i in range(found.childCount):
        if found[i].queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y >= list_top:
            return i
    return -1


def focused(node, depth=0):
    if node is None or depth > 14:
        return None
    role = node.getRoleName()
    # A page tab stays focused beside the control that has the keys: look past it.
    if node.getState().contains(pyatspi.STATE_FOCUSED) and role not in ("page tab", "page tab list", "filler"):
        return node
    if role in ("list", "combo box"):
        return None
    for i in range(node.childCount):
        hit = focused(node[i], depth + 1)
        if hit is not None:
            return hit
    return None


def main():
    application, name = sys.argv[1], sys.argv[2]
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != application:
            continue
        if name == "--focused":
            hit = focused(app)
            print(f"{hit.getRoleName()} {hit.name}" if hit is not None else "none")
            return 0
        found = find(app, name, ("list", "list box"))
        if found is None:
            continue
        if len(sys.argv) > 4 and sys.argv[3] == "--top-around":
            before = top_index(found)
            subprocess.run(sys.argv[4:], check=True)
            start = time.monotonic()
            samples = []
            for at in (0.150, 0.600):
                time.sleep(max(0.0, start + at - time.monotonic()))
                samples.append(top_index(found))
            print(before, *samples)
            return 0
        for i in range(found.childCount):
            print(found[i].name)
        return 0
    print(f"no list named {name} in {application}", file=sys.stderr)
    return 1


sys.exit(main())
