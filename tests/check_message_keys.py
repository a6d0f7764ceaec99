#!/usr/bin/python3
"""Every message the program looks up has its key in each shipped language file, and its
declaration with the built-in text in "strings" (tools/make_strings.py writes it); and the
shipped language files hold the same keys, so that none of them leaves a text untranslated.

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
    return {key for section, key in all_keys(path) if section == "misc"}


def declarations(path):
    """The messages of "strings" as the language template writer reads them."""
    with open(path, encoding="utf-8-sig") as f:
        kept = []
        for line in f.read().splitlines():
            line = line.strip()
            if "='" in line or line.startswith(("'", "+", "#")):
                kept.append(line)
    for i in range(len(kept) - 1, 0, -1):
        if "='" not in kept[i]:
            kept[i - 1] += kept.pop(i)
    entries = {}
    for line in kept:
        line = line[:-2]
        equals = line.index("=")
        key, value = line[:equals], (line[:equals + 1] + line[equals + 2:]).split("=", 1)[1].replace("''", "'")
        entries[key] = re.sub(r"'\+[^']*'", "*|*", value)
    return entries


def check_declarations(root):
    sys.path.insert(0, os.path.join(root, "tools"))
    import make_strings
    declared = declarations(os.path.join(root, "data", "strings"))
    missing = 0
    for key, text in make_strings.messages(root):
        if declared.get(key) != text.replace("\r\n", "*|*"):
            print("strings lacks %s as the code says it (run tools/make_strings.py)" % key)
            missing += 1
    return missing


def all_keys(path):
    keys, section = set(), None
    with open(path, encoding="utf-8-sig") as f:
        for line in f.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].lower()
            elif "=" in line:
                keys.add((section, line.split("=", 1)[0].strip().lower()))
    return keys


def check_parity(root):
    files = {language: all_keys(os.path.join(root, "data", language)) for language in LANGUAGES}
    every = set().union(*files.values())
    missing = 0
    for language, keys in files.items():
        for section, key in sorted(every - keys):
            print("%s lacks [%s] %s, which another language file has" % (language, section, key))
            missing += 1
    return missing


def main(root):
    keys = source_keys(root)
    missing = 0
    for language in LANGUAGES:
        present = misc_keys(os.path.join(root, "data", language))
        for key, where in sorted(keys.items()):
            if key.lower() not in present:
                print("%s lacks %s (looked up in %s)" % (language, key, where))
                missing += 1
    missing += check_declarations(root)
    missing += check_parity(root)
    print("%d message keys, %d languages, %d missing" % (len(keys), len(LANGUAGES), missing))
    return 1 if missing or not keys else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
