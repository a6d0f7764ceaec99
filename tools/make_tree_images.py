#!/usr/bin/python3
"""Draws the bookmark tree's pictures app/tree_images.bmp: one 80x16 strip of five 16x16 images.

0 a closed category (folder), 1 an open one, 2 the bookmarks (the root, and the categories
"Вставить категорию" makes), 3 unused, 4 a request (a page with a globe). The ground is the
glyphs' grey, which the program takes as transparent.
"""
import struct
import sys

import make_glyphs as g


def closed_folder(c):
    g.folder(c, 1, 3, 14, 13)


def open_folder(c):
    g.folder(c, 1, 3, 13, 13)
    # The front flap, tilted open towards the viewer.
    for i, y in enumerate(range(8, 14)):
        left, right = 4 - i // 2, 15 - i // 2
        c.hline(left, right, y, "y")
        c.put(left, y, "Y")
        c.put(right, y, "Y")
    c.hline(4, 15, 8, "Y")
    c.hline(1, 12, 13, "Y")


def bookmarks(c):
    # An open book with a red ribbon hanging from its right page.
    c.fill(0, 3, 15, 13, "b")
    c.fill(1, 2, 7, 12, "w")
    c.fill(8, 2, 14, 12, "w")
    c.frame(1, 2, 7, 12, "k")
    c.frame(8, 2, 14, 12, "k")
    for y in (4, 6, 8, 10):
        c.hline(3, 6, y, "g")
        c.hline(9, 10, y, "g")
    c.fill(11, 1, 13, 14, "r")
    c.put(12, 14, "b")


def unused(c):
    pass


def request(c):
    g.page(c, 1, 0, 12, 15)
    g.text_lines(c, 3, 9, (4, 6, 8))
    rows = (
        "..kkkk..",
        ".kbnnbk.",
        "kbnnnbbk",
        "kbbnbbnk",
        "kbbbnnbk",
        ".kbbbbk.",
        "..kkkk..",
    )
    c.sprite(rows, 7, 9)


def strip():
    canvases = []
    for draw in (closed_folder, open_folder, bookmarks, unused, request):
        c = g.Canvas()
        draw(c)
        canvases.append(c.px)
    return [sum((px[y] for px in canvases), []) for y in range(g.SIZE)]


def bmp_bytes(rows):
    width = len(rows[0])
    row_size = (width * 3 + 3) // 4 * 4
    image = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(b"".join(bytes((b, gr, r)) for r, gr, b in row))
        image += line + b"\0" * (row_size - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, len(rows), 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + bytes(image)


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "app/tree_images.bmp", "wb") as f:
        f.write(bmp_bytes(strip()))
