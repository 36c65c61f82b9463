#!/usr/bin/env python3
"""Check that the source folders include one another in one direction.

Usage: python3 tests/static/check_floors.py [SOURCE_ROOT]

The folders stand on floors, from the programs at the top down to what the
program and the hook library share. A file may include files of its own
folder and of folders on lower floors, never of its own floor or above.
Every folder holding C or C++ sources must stand on a floor (tests/ and
tools/ look at everything and stand on none). Prints each fault and exits 1,
or exits 0 when the house is in order.
"""

import os
import re
import sys

FLOORS = [
    ("startup", "qvetool"),  # the clock's start and end; the skin authors' tool
    ("clockwin",),           # the clock window: docking, menu, commands, tray, tooltip
    ("dialogs",),            # caption painter and the three dialogs
    ("skin",),               # skin files, outline and face
    ("base",),               # the process-wide state and small helpers
    ("hooklib", "res"),      # the hook library; resource ids and script
    ("common",),             # what the program and the hook library share
]
OUTSIDE = {"tests", "tools", "docs", "cmake", "build", "dist"}
SOURCE_ENDINGS = (".c", ".cpp", ".h", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def source_files(root):
    for top in sorted(os.listdir(root)):
        path = os.path.join(root, top)
        if top.startswith(".") or top in OUTSIDE or not os.path.isdir(path):
            continue
        for folder, _, names in os.walk(path):
            for name in sorted(names):
                if name.endswith(SOURCE_ENDINGS):
                    yield top, os.path.join(folder, name)


def resolve(root, including, name, floors):
    """The file an include names: beside the includer, else from one of the
    include folders the builds use (the root and each floor's folder)."""
    for base in [os.path.dirname(including), root] + [os.path.join(root, f) for f in floors]:
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            return candidate
    return None  # the system's, or made by the build


def check(root):
    floors = {folder: level for level, folders in enumerate(FLOORS) for folder in folders}
    faults = []
    for top, path in source_files(root):
        if top not in floors:
            faults.append("%s: folder %s/ stands on no floor" % (os.path.relpath(path, root), top))
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            text = source.read()
        for name in INCLUDE.findall(text):
            target = resolve(root, path, name, floors)
            if target is None:
                continue
            other = os.path.relpath(target, root).split(os.sep)[0]
            if other != top and floors.get(other, -1) <= floors[top]:
                faults.append("%s (%s/, floor %d) includes %s (%s/, floor %d; -1: none): an include runs down only"
                              % (os.path.relpath(path, root), top, floors[top], name, other, floors.get(other, -1)))
    return faults


def main(argv):
    root = os.path.abspath(argv[1] if len(argv) > 1 else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    faults = check(root)
    for fault in faults:
        print(fault)
    if not faults:
        print("floors in order: " + " > ".join("/".join(level) for level in FLOORS))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
