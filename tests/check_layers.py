#!/usr/bin/python3
"""Checks the direction of every #include "..." of the program's sources.

The folders are layers, bottom to top: base/ (1), ui/ (2), the subsystems lang/, request/,
delivery/, capture/, organize/ (3), app/ and dialogs/ (4). A file may include its own layer
and those below it, never one above. Prints each include that breaks the rule and exits 1.

  check_layers.py ROOT [--plant FILE:HEADER]

--plant checks the tree as if FILE also included HEADER: the check's own test plants an
upward include and expects the check to fail.
"""
import argparse
import os
import re
import sys

LAYERS = {"base": 1, "ui": 2, "lang": 3, "request": 3, "delivery": 3, "capture": 3, "organize": 3, "app": 4, "dialogs": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    return LAYERS.get(path.replace("\\", "/").split("/", 1)[0])


def includes(root):
    """(file, line number, included header) of every source file of the layered folders."""
    for folder in LAYERS:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        match = INCLUDE.match(line)
                        if match:
                            yield relative, number, match.group(1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--plant", help="FILE:HEADER, an include to check as if it were there")
    options = parser.parse_args()
    found = list(includes(options.root))
    if options.plant:
        file, header = options.plant.split(":", 1)
        found.append((file, 0, header))
    broken = 0
    for file, number, header in found:
        own, other = layer_of(file), layer_of(header)
        if other is None:
            continue  # a header of the same folder by its bare name, or a system one
        if other > own:
            print("%s:%d includes %s: layer %d includes layer %d above it" % (file, number, header, own, other))
            broken += 1
    print("%d includes checked, %d against the layers" % (len(found), broken))
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
