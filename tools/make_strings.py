#!/usr/bin/python3
"""Writes data/strings, the message declarations the language template writer reads: one
line per message key the program looks up, with its built-in text.

  key='text';                       a quote inside is doubled
  key='first line'+                 a line break: the text goes on, after "+", on the next line
  'second line';

The keys and texts come from the sources' LookupMessage("text", "key") calls; a call whose
text is not written out there takes the Russian language file's text. Run after adding a
message; tests/check_message_keys.py fails while the file is behind the sources.

  make_strings.py [ROOT]
"""
import os
import re
import sys

FOLDERS = ["base", "ui", "lang", "request", "delivery", "capture", "organize", "app", "dialogs"]
LITERAL = r'"(?:[^"\\]|\\.)*"'
# The text as one or more adjacent literals, then the key.
CALL = re.compile(r'LookupMessage\(\s*((?:%s\s*)+),\s*"([A-Za-z0-9]+)"\s*\)' % LITERAL)
ANY_CALL = re.compile(r'LookupMessage\((?:[^;]*?),\s*"([A-Za-z0-9]+)"\s*\)', re.S)
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\", "'": "'"}


def unescape(literals):
    text = ""
    for literal in re.findall(LITERAL, literals):
        body = literal[1:-1]
        text += re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), body)
    return text


def code_messages(root):
    texts, keys = {}, []
    for folder in FOLDERS:
        for directory, _, names in sorted(os.walk(os.path.join(root, folder))):
            for name in sorted(names):
                if not name.endswith((".cpp", ".h")):
                    continue
                with open(os.path.join(directory, name), encoding="utf-8") as f:
                    source = f.read()
                for literals, key in CALL.findall(source):
                    texts.setdefault(key, unescape(literals))
                for key in ANY_CALL.findall(source):
                    if key not in keys:
                        keys.append(key)
    return texts, keys


def russian_misc(root):
    entries, section = {}, None
    with open(os.path.join(root, "data", "Russian.lng"), encoding="utf-8-sig") as f:
        for line in f.read().splitlines():
            stripped = line.strip()
            if stripped.startswith("[") and stripped.endswith("]"):
                section = stripped[1:-1].lower()
            elif section == "misc" and "=" in line:
                key, value = line.split("=", 1)
                entries.setdefault(key.strip(), value.replace("*|*", "\r\n"))
    return entries


def declaration(key, text):
    lines = text.replace("\r\n", "\n").split("\n")
    quoted = ["'%s'" % line.replace("'", "''") for line in lines]
    return key + "=" + "+\r\n".join(quoted) + ";"


def messages(root):
    texts, keys = code_messages(root)
    fallback = russian_misc(root)
    return [(key, texts[key] if key in texts else fallback.get(key, "")) for key in sorted(keys, key=str.lower)]


def main(root):
    with open(os.path.join(root, "data", "strings"), "w", encoding="utf-8-sig", newline="") as f:
        f.write("// The program's messages: key='text'; (the language template writer reads these)\r\n")
        for key, text in messages(root):
            f.write(declaration(key, text) + "\r\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
