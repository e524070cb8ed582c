#!/usr/bin/env python3
"""The program's floors and the includes between them.

Every folder under src/ is one floor of the program, from the platform at the
bottom to the shell that assembles the program at the top; tools/dbtool sits
on the business subsystems beside the shell. A source file may include its own
floor and the floors below it, never one above.

    scripts/floors.py            checks, prints each arrow that runs upwards
    scripts/floors.py --dot      the drawing of the includes as a Graphviz graph
                                 (dot -Tsvg turns it into a picture)

Exits 1 when an include runs from a lower floor to a higher one, 2 when a file
lies in no known floor.
"""
import collections
import os
import re
import sys

# Bottom first, as the libraries are linked in CMakeLists.txt.
FLOORS = [
    "platform",
    "app",
    "data",
    "controls",
    "views",
    "catalogue",
    "estimating",
    "jobs",
    "customers",
    "printing",
    "reports",
    "production",
    "exchange",
    "shell",
]
# Folders that belong to a floor without being one.
ALIASES = {"resources": "app"}
TOOL = "tools/dbtool"
TOOL_RANK = FLOORS.index("exchange") + 0.5  # beside the shell, on exchange

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(path):
    """The floor of a path relative to src/ (or an include text), or None."""
    head = path.split("/", 1)[0]
    head = ALIASES.get(head, head)
    return head if head in FLOORS else None


def rank(floor):
    return TOOL_RANK if floor == TOOL else FLOORS.index(floor)


def walk(root):
    """Yields (floor, file, included floor) for every include between floors."""
    for base, floor_for in ((os.path.join(root, "src"), None), (os.path.join(root, TOOL), TOOL)):
        for folder, _, files in os.walk(base):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(folder, name)
                rel = os.path.relpath(path, base)
                own = floor_for or floor_of(rel)
                if own is None:
                    print(f"{os.path.relpath(path, root)}: in no floor", file=sys.stderr)
                    sys.exit(2)
                with open(path, encoding="utf-8", errors="replace") as text:
                    for line in text:
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = floor_of(m.group(1))
                        if target and target != own:
                            yield own, os.path.relpath(path, root), target


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    edges = collections.Counter()
    upward = []
    for own, path, target in walk(root):
        edges[(own, target)] += 1
        if rank(target) > rank(own):
            upward.append(f"{path}: {own} includes {target}, a higher floor")
    if "--dot" in sys.argv[1:]:
        print("digraph floors {")
        print("  rankdir=BT; node [shape=box];")
        for (own, target), count in sorted(edges.items()):
            colour = "red" if rank(target) > rank(own) else "black"
            print(f'  "{own}" -> "{target}" [label="{count}", color={colour}];')
        print("}")
    for line in upward:
        print(line, file=sys.stderr)
    return 1 if upward else 0


if __name__ == "__main__":
    sys.exit(main())
