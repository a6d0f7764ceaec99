#!/usr/bin/python3
"""Every message the program looks up has its key in each shipped language file.

A language file that lacks a key shows an empty text where the message should be, so each
LookupMessage("default", "key") of the sources must find "key" in the [Misc] section of
English.lng, Russian.lng and Ukraine.lng. Prints what is missing and exits 1.

  check_message_keys.py ROOT
"""
import os
import re
import sys

FOLDERS = ["base", "ui", "lang", "request", "delivery", "capture", "organize", "app", "dialogs"]
LOOKUP = re.compile(r'LookupMessage\(\s*"(?:[^"\\]|\\.)*"\s*,\s*"([A-Za-z0-9]+)"\s*\)')
LANGUAGES = ["English.lng", "Russian.lng", "Ukraine.lng"]


def source_keys(root):
    keys = {}
    for folder in FOLDERS:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(directory, name)
                    with open(path, encoding="utf-8") as f:
                        for key in LOOKUP.findall(f.read()):
                            keys.setdefault(key, os.path.relpath(path, root))
    return keys


def misc_keys(path):
    keys, section = set(), None
    with open(path, encoding="utf-8-sig") as f:
        for line in f.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].lower()
            elif section == "misc" and "=" in line:
                keys.add(line.split("=", 1)[0].strip().lower())
    return keys


def main(root):
    keys = source_keys(root)
    missing = 0
    for language in LANGUAGES:
        present = misc_keys(os.path.join(root, "data", language))
        for key, where in sorted(keys.items()):
            if key.lower() not in present:
                print("%s lacks %s (looked up in %s)" % (language, key, where))
                missing += 1
    print("%d message keys, %d languages, %d missing" % (len(keys), len(LANGUAGES), missing))
    return 1 if missing or not keys else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
