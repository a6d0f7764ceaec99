#!/usr/bin/python3
"""Draws the bookmark tree's pictures app/tree_images.bmp: one 80x16 strip of five 16x16 images.

0 a closed category (folder), 1 an open one, 2 the bookmarks (the root, and the categories
"Вставить категорию" makes), 3 unused, 4 a request (a page with a globe). The ground is the
glyphs' grey, which the program takes as transparent.
"""
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


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "app/tree_images.bmp", "wb") as f:
        f.write(g.bmp_bytes(strip()))
