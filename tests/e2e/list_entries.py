#!/usr/bin/python3
"""Prints, one a line, the entries of a list of a running program, read over the
accessibility bus: list_entries.py APPLICATION LIST_ACCESSIBLE_NAME."""
import sys

import pyatspi


def find_list(node, name, depth=0):
    if node is None or depth > 14:
        return None
    if node.name == name and node.getRoleName() in ("list", "list box"):
        return node
    for i in range(node.childCount):
        hit = find_list(node[i], name, depth + 1)
        if hit is not None:
            return hit
    return None


def main():
    application, name = sys.argv[1], sys.argv[2]
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == application:
            found = find_list(app, name)
            if found is not None:
                for i in range(found.childCount):
                    print(found[i].name)
                return 0
    print(f"no list named {name} in {application}", file=sys.stderr)
    return 1


sys.exit(main())
