#!/usr/bin/python3
"""Draws the program icon app/quillpost.ico: a letter with a quill, 16x16 and 32x32."""
import struct
import sys


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def put(x, y, rgba):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = rgba

    # The envelope.
    for y in range(int(9 * s), int(27 * s)):
        for x in range(int(3 * s), int(29 * s)):
            edge = y in (int(9 * s), int(27 * s) - 1) or x in (int(3 * s), int(29 * s) - 1)
            put(x, y, (40, 70, 140, 255) if edge else (250, 248, 235, 255))
    # The flap.
    for x in range(int(3 * s), int(29 * s)):
        d = abs(x - 16 * s)
        put(x, int(9 * s + (13 * s - d * 0.8)), (40, 70, 140, 255))
    # The quill, from the upper right down to the envelope.
    for t in range(int(22 * s)):
        x, y = int(28 * s - t * 0.75), int(2 * s + t * 0.75)
        for w in range(max(1, int(3 * s) - t // 8)):
            put(x + w, y, (200, 60, 30, 255))
    return px


def bitmap(size):
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + b"\0" * (mask_row * size)


def main(path):
    images = [bitmap(16), bitmap(32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/quillpost.ico")
