#!/usr/bin/python3
"""Draws the 16x16 pictures of the request buttons (data/icons/1.bmp ... 22.bmp) and, for a person to look at, a contact sheet of them."""
# Usage: make_glyphs.py [OUTDIR] [--sheet SHEET.png]
#
# Longer than a file should be: it holds a drawing of its own for each of the 22 pictures,
# kept together so they share one palette and one set of shapes.
#
# Each picture is a 24-bit uncompressed Windows bitmap on a plain grey ground. The colour of
# the lower-left pixel is taken as transparent, so the ground colour is never used for
# drawing: a part drawn in it would show through as a hole.
#
# The pictures follow the buttons of the shipped Buttons.ini:
#   1 page (globe)        2 links (page, arrow)  3 picture             4 FTP gzip (box)
#   5 FTP listing         6 FTP file (floppy)    7 text (page)         8 www4mail help
#   9 GetWeb help        10 ftpmail help        11 HTML source        12 FTP MIME
#  13 FTP text (notepad) 14 FTP names           15..19 second servers ("2" badge)
#  20 www4mail help topic (book)                 21, 22 search 1 and 2 (magnifier)
import argparse
import os
import struct
import sys
import zlib

SIZE = 16
GROUND = (192, 192, 192)

PALETTE = {
    "k": (0, 0, 0),
    "w": (255, 255, 255),
    "g": (128, 128, 128),
    "m": (160, 164, 176),
    "b": (0, 0, 176),
    "B": (64, 128, 240),
    "c": (150, 210, 255),
    "y": (255, 220, 60),
    "Y": (176, 128, 0),
    "r": (210, 0, 0),
    "n": (0, 136, 0),
    "N": (100, 200, 90),
    "o": (120, 70, 20),
    "O": (214, 164, 96),
}

DIGITS = {
    "0": ("###", "#.#", "#.#", "#.#", "###"),
    "1": (".#.", "##.", ".#.", ".#.", "###"),
    "2": ("###", "..#", "###", "#..", "###"),
    "3": ("###", "..#", "###", "..#", "###"),
    "4": ("#.#", "#.#", "###", "..#", "..#"),
    "5": ("###", "#..", "###", "..#", "###"),
    "6": ("###", "#..", "###", "#.#", "###"),
    "7": ("###", "..#", ".#.", ".#.", ".#."),
    "8": ("###", "#.#", "###", "#.#", "###"),
    "9": ("###", "#.#", "###", "..#", "###"),
}

QUESTION = (
    ".####.",
    "##..##",
    "....##",
    "...##.",
    "..##..",
    "..##..",
    "......",
    "..##..",
)


class Canvas:
    def __init__(self):
        self.px = [[GROUND] * SIZE for _ in range(SIZE)]

    def put(self, x, y, colour):
        if isinstance(colour, str):
            colour = PALETTE[colour]
        # Drawing in the ground colour would punch a transparent hole into the picture.
        assert colour != GROUND, "the ground colour is reserved for transparency"
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = colour

    def clear(self, x, y):
        """Gives a pixel back to the ground (a cut corner), the one way to draw ground."""
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = GROUND

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y, colour)

    def sprite(self, rows, x0, y0, ink=None):
        """Draws a character map; "." is left as it is, "#" takes the ink colour."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == ".":
                    continue
                self.put(x0 + dx, y0 + dy, ink if ch == "#" else ch)


# Parts shared by several pictures.

def page(c, x0, y0, x1, y1, fold=3):
    """A white sheet with the upper right corner folded over."""
    c.fill(x0, y0, x1, y1, "w")
    c.frame(x0, y0, x1, y1, "k")
    for i in range(fold):
        for x in range(x1 - fold + 1 + i, x1 + 1):
            c.clear(x, y0 + i)
    for i in range(fold + 1):
        c.put(x1 - fold + i, y0 + i, "k")
    for y in range(y0, y0 + fold + 1):
        c.put(x1 - fold, y, "k")
    c.hline(x1 - fold, x1, y0 + fold, "k")


def text_lines(c, x0, x1, ys, colour="k", ragged=True):
    for i, y in enumerate(ys):
        end = x1 - 3 if ragged and i % 3 == 2 else x1
        c.hline(x0, end, y, colour)


def folder(c, x0, y0, x1, y1):
    c.fill(x0, y0 + 2, x1, y1, "y")
    c.frame(x0, y0 + 2, x1, y1, "Y")
    c.fill(x0 + 1, y0, x0 + 5, y0 + 1, "y")
    c.hline(x0 + 1, x0 + 5, y0, "Y")
    c.put(x0, y0 + 1, "Y")
    c.put(x0 + 6, y0 + 1, "Y")
    c.hline(x0 + 1, x1 - 1, y0 + 3, "w")


def envelope(c, x0, y0, x1, y1):
    c.fill(x0, y0, x1, y1, "w")
    # The flap: a V from the upper corners down to the middle.
    half = (x1 - x0) / 2
    depth = (y1 - y0) * 0.6
    for x in range(x0, x1 + 1):
        d = min(x - x0, x1 - x)
        c.put(x, y0 + round(d * depth / half), "g")
    c.frame(x0, y0, x1, y1, "k")


def floppy(c):
    c.fill(1, 1, 14, 14, "b")
    c.frame(1, 1, 14, 14, "k")
    c.clear(14, 1)
    c.put(13, 1, "k")
    c.put(14, 2, "k")
    c.fill(4, 2, 11, 6, "m")
    c.fill(9, 3, 10, 5, "b")
    c.fill(3, 8, 12, 14, "w")
    c.frame(3, 8, 12, 14, "k")
    c.put(2, 13, "k")


def down_arrow(c, x, y, colour):
    """A download arrow 6 wide and 6 high, its top left at (x, y)."""
    c.fill(x + 2, y, x + 3, y + 2, colour)
    c.hline(x, x + 5, y + 3, colour)
    c.hline(x + 1, x + 4, y + 4, colour)
    c.hline(x + 2, x + 3, y + 5, colour)


def badge(c, digit):
    """A small number in the lower right corner, to tell apart buttons of a second server."""
    c.fill(11, 9, 15, 15, "w")
    c.frame(11, 9, 15, 15, "k")
    c.sprite(DIGITS[digit], 12, 10, ink="r")


def question(c, x, y, colour):
    c.sprite(QUESTION, x, y, ink=colour)


# The pictures, one function a button.

def g_globe(c):
    rows = (
        ".....kkkkkk.....",
        "...kkbbnnbbkk...",
        "..kbbbnnnnbBbk..",
        ".kbbnnnnnbbBBbk.",
        ".kbnnnnnnbbbBbk.",
        "kbbnnnnnbbbnnbbk",
        "kbbbnnnbbbnnnnbk",
        "kbbbbnnbbbbnnnbk",
        "kbbbbnbbbbbnnbbk",
        "kbbbbbnnbbbbbbbk",
        "kbbbbbnnnbbbbbbk",
        ".kbbbbnnnbbbbbk.",
        ".kbbbbnnbbbbbbk.",
        "..kbbbbnbbbbbk..",
        "...kkbbbbbbkk...",
        ".....kkkkkk.....",
    )
    c.sprite(rows, 0, 0)
    # The lower-left corner has to stay ground.
    assert rows[15][0] == "."


def g_links(c):
    page(c, 1, 1, 11, 14)
    text_lines(c, 3, 7, (4,))
    text_lines(c, 3, 9, (6, 12))
    # The arrow leads out of the page: a link to another one.
    arrow = (
        ".....#...",
        ".....##..",
        ".....###.",
        "#########",
        "#########",
        ".....###.",
        ".....##..",
        ".....#...",
    )
    c.sprite(arrow, 7, 6, ink="r")


def g_picture(c):
    c.fill(1, 2, 14, 13, "c")
    c.frame(1, 2, 14, 13, "k")
    for dx, dy in ((1, 0), (2, 0), (0, 1), (1, 1), (2, 1), (3, 1), (0, 2), (1, 2), (2, 2), (3, 2), (1, 3), (2, 3)):
        c.put(9 + dx, 4 + dy, "y")
    for y in range(6, 13):
        half = y - 6
        for x in range(5 - half, 5 + half + 1):
            if 2 <= x <= 13:
                c.put(x, y, "n")
    for y in range(8, 13):
        half = y - 8
        for x in range(10 - half, 10 + half + 1):
            if 2 <= x <= 13:
                c.put(x, y, "N")
    c.hline(2, 13, 12, "n")


def g_archive(c):
    c.fill(2, 4, 13, 14, "O")
    c.frame(2, 4, 13, 14, "o")
    c.fill(1, 2, 14, 4, "O")
    c.frame(1, 2, 14, 4, "o")
    # A zipper down the middle: the contents are packed.
    for y in range(2, 15):
        c.put(7, y, "k" if y % 2 else "m")
        c.put(8, y, "m" if y % 2 else "k")
    c.fill(6, 7, 9, 9, "m")
    c.frame(6, 7, 9, 9, "k")


def g_ftp_list(c):
    folder(c, 1, 2, 14, 14)
    for y in (7, 9, 11):
        c.put(3, y, "o")
        c.hline(5, 12 - (y == 9) * 2, y, "o")


def g_ftp_file(c):
    floppy(c)
    down_arrow(c, 5, 8, "n")
    # The arrow runs from edge to edge of the label; the edge goes back on top of it.
    c.frame(3, 8, 12, 14, "k")


def g_text(c):
    page(c, 2, 1, 13, 14)
    text_lines(c, 4, 11, (5, 7, 9, 11))
    c.hline(4, 8, 3, "k")


def g_help_w4m(c):
    envelope(c, 0, 7, 11, 14)
    question(c, 10, 0, "r")


def g_help_getweb(c):
    page(c, 2, 1, 13, 14)
    question(c, 5, 4, "b")


def g_help_ftp(c):
    folder(c, 1, 2, 14, 14)
    question(c, 5, 6, "r")


def g_source(c):
    page(c, 1, 1, 14, 14)
    c.sprite(("...#", "..#.", ".#..", "#...", ".#..", "..#.", "...#"), 2, 5, ink="r")
    c.sprite(("#...", ".#..", "..#.", "...#", "..#.", ".#..", "#..."), 10, 5, ink="r")
    c.sprite(("..#", "..#", ".#.", ".#.", ".#.", "#..", "#.."), 6, 5, ink="b")


def g_mime(c):
    envelope(c, 0, 5, 13, 14)
    clip = (
        "..kkk.",
        ".k...k",
        ".k.k.k",
        ".k.k.k",
        ".k.k.k",
        ".k.k.k",
        ".k.k.k",
        ".k...k",
        "..kkk.",
    )
    c.sprite(clip, 9, 0)


def g_notepad(c):
    c.fill(2, 2, 13, 14, "w")
    c.frame(2, 2, 13, 14, "k")
    for x in (4, 7, 10):
        c.put(x, 1, "k")
        c.put(x, 2, "g")
        c.put(x + 1, 1, "k")
        c.put(x + 1, 2, "g")
    for y in (5, 7, 9, 11):
        c.hline(4, 11 - (y == 11) * 3, y, "B")


def g_names(c):
    page(c, 2, 1, 13, 14)
    for y in (4, 7, 10):
        c.fill(4, y, 5, y + 1, "r")
        c.hline(7, 11 - (y == 7) * 2, y, "k")


def g_book(c):
    c.fill(0, 3, 15, 13, "b")
    c.fill(1, 2, 7, 12, "w")
    c.fill(8, 2, 14, 12, "w")
    c.frame(1, 2, 7, 12, "k")
    c.frame(8, 2, 14, 12, "k")
    for y in (4, 6, 8, 10):
        c.hline(3, 6, y, "g")
    question(c, 8, 3, "r")
    c.put(0, 13, "b")
    c.hline(1, 14, 13, "b")


def magnifier(c, digit):
    lens = (
        "...kkkkk...",
        ".kkcccccckk",
        ".kcccccccck",
        "kccccccccck",
        "kccccccccck",
        "kccccccccck",
        "kccccccccck",
        "kccccccccck",
        ".kcccccccck",
        ".kkcccccckk",
        "...kkkkk...",
    )
    c.sprite(lens, 0, 0)
    for i in range(5):
        c.fill(9 + i, 9 + i, 10 + i, 10 + i, "o")
    c.put(15, 15, "o")
    c.sprite(DIGITS[digit], 4, 3, ink="b")
    if digit == "1":
        # A one-pixel "1" is lost in the lens; its stem is doubled.
        c.sprite(DIGITS[digit], 5, 3, ink="b")


def with_badge(draw, digit):
    def picture(c):
        draw(c)
        badge(c, digit)
    return picture


GLYPHS = {
    1: g_globe,
    2: g_links,
    3: g_picture,
    4: g_archive,
    5: g_ftp_list,
    6: g_ftp_file,
    7: g_text,
    8: g_help_w4m,
    9: g_help_getweb,
    10: g_help_ftp,
    11: g_source,
    12: g_mime,
    13: g_notepad,
    14: g_names,
    15: with_badge(g_text, "2"),
    16: with_badge(g_help_getweb, "2"),
    17: with_badge(g_ftp_file, "2"),
    18: with_badge(g_ftp_list, "2"),
    19: with_badge(g_help_ftp, "2"),
    20: g_book,
    21: lambda c: magnifier(c, "1"),
    22: lambda c: magnifier(c, "2"),
}


def render(number):
    c = Canvas()
    GLYPHS[number](c)
    return c.px


def bmp_bytes(px):
    """A 24-bit uncompressed bitmap of rows of (r, g, b), top row first, any size."""
    width, height = len(px[0]), len(px)
    row_size = (width * 3 + 3) // 4 * 4
    image = bytearray()
    for row in reversed(px):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_size - len(line))
        image += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + bytes(image)


def read_bmp(data):
    """Reads back what bmp_bytes writes; the self-check compares the two."""
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    assert magic == b"BM" and file_size == len(data) and size == 40
    assert width == SIZE and height == SIZE and planes == 1 and bits == 24 and compression == 0
    row_size = (width * 3 + 3) // 4 * 4
    assert offset + row_size * height == len(data)
    px = []
    for y in range(height):
        base = offset + (height - 1 - y) * row_size
        px.append([(data[base + 3 * x + 2], data[base + 3 * x + 1], data[base + 3 * x]) for x in range(width)])
    return px


def png_bytes(px):
    height, width = len(px), len(px[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in px)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def contact_sheet(pictures, scale=4, columns=6):
    """All pictures enlarged, each over its button number, on white."""
    cell_w, cell_h = SIZE * scale + 16, SIZE * scale + 28
    rows = (len(pictures) + columns - 1) // columns
    sheet = [[(255, 255, 255)] * (cell_w * columns) for _ in range(cell_h * rows)]
    for i, (number, px) in enumerate(sorted(pictures.items())):
        ox, oy = (i % columns) * cell_w + 8, (i // columns) * cell_h + 6
        for y in range(SIZE):
            for x in range(SIZE):
                for sy in range(scale):
                    for sx in range(scale):
                        sheet[oy + y * scale + sy][ox + x * scale + sx] = px[y][x]
        label = str(number)
        lx = ox + (SIZE * scale - (len(label) * 8 - 2)) // 2
        for j, ch in enumerate(label):
            for dy, line in enumerate(DIGITS[ch]):
                for dx, bit in enumerate(line):
                    if bit == "#":
                        for sy in range(2):
                            for sx in range(2):
                                sheet[oy + SIZE * scale + 6 + dy * 2 + sy][lx + j * 8 + dx * 2 + sx] = (0, 0, 0)
    return sheet


def self_check(pictures):
    for number, px in pictures.items():
        assert len(px) == SIZE and all(len(row) == SIZE for row in px), number
        assert px[SIZE - 1][0] == GROUND, f"picture {number}: the lower-left pixel must be the ground"
        drawn = sum(p != GROUND for row in px for p in row)
        assert drawn >= 40, f"picture {number} is nearly empty ({drawn} pixels)"
        assert read_bmp(bmp_bytes(px)) == px, f"picture {number} does not read back"
        assert len(bmp_bytes(px)) == 54 + SIZE * SIZE * 3
        assert render(number) == px, f"picture {number} is not drawn the same twice"
    # Rows are stored bottom row first: the magnifier's handle ends in the lower right corner,
    # so the first stored row ends with it and the last one does not.
    data = bmp_bytes(pictures[21])
    r, g, b = PALETTE["o"]
    assert data[54 + 15 * 3:54 + 16 * 3] == bytes((b, g, r)), "rows are not stored bottom-up"
    assert data[-3:] == bytes(reversed(GROUND)), "rows are not stored bottom-up"
    seen = {}
    for number, px in pictures.items():
        key = tuple(p for row in px for p in row)
        assert key not in seen, f"pictures {seen.get(key)} and {number} are the same"
        seen[key] = number


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("outdir", nargs="?", help="folder for 1.bmp ... 22.bmp")
    parser.add_argument("--sheet", help="also write a PNG contact sheet, each picture enlarged 4 times")
    args = parser.parse_args(argv)
    if not args.outdir and not args.sheet:
        parser.error("give an output folder, --sheet, or both")
    pictures = {n: render(n) for n in GLYPHS}
    assert sorted(pictures) == list(range(1, 23))
    self_check(pictures)
    if args.outdir:
        os.makedirs(args.outdir, exist_ok=True)
        for number, px in pictures.items():
            with open(os.path.join(args.outdir, f"{number}.bmp"), "wb") as f:
                f.write(bmp_bytes(px))
    if args.sheet:
        with open(args.sheet, "wb") as f:
            f.write(png_bytes(contact_sheet(pictures)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
