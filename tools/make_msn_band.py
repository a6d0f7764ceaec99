#!/usr/bin/python3
"""Draws the popup reports' band app/msn.bmp: 138x3 pixels in four coloured bands.

Each band is three rows of its own shades, from the top row down; the report stretches the
band along its bottom edge.
"""
import sys

import make_glyphs as g

# (first column, last column, top, middle and bottom row colours)
BANDS = (
    (0, 71, (0xFFFF33, 0xFBDA30, 0xFFCC33)),
    (72, 93, (0xF7A310, 0xFF0000, 0xCC0000)),
    (94, 115, (0x3399CC, 0x3366CC, 0x2B2990)),
    (116, 137, (0x99CC99, 0x73BC88, 0x0F8D30)),
)


def rgb(value):
    return (value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF)


def band():
    return [sum(([rgb(rows[y])] * (last - first + 1) for first, last, rows in BANDS), []) for y in range(3)]


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "app/msn.bmp", "wb") as f:
        f.write(g.bmp_bytes(band()))
