#!/usr/bin/env python3
"""Draws the program's icon (res/program/program_icon.png, icon 128 of the main window): a road running into the
night under a street lamp whose light falls on it.

Shapes are bold so the picture still reads when shrunk to 16 x 16; edges are smoothed by drawing at four times the
size. Deterministic, so a run reproduces the committed file exactly. Run from anywhere:
python3 res/shell/make_program_icon.py [--preview DIR]   (the preview writes the 16, 32 and 48 pixel sizes)
"""

import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "program")
SIZE = 48
FINE = 4  # samples per pixel along each side

SKY_TOP, SKY_LOW = (14, 28, 70), (40, 70, 130)
GROUND = (28, 60, 40)
ASPHALT = (70, 72, 80)
MARKING = (250, 250, 240)
POLE = (200, 205, 215)
LAMP = (255, 230, 110)
LIGHT = (255, 214, 90)


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def road_half_width(y):
    # From 3 pixels wide at the horizon (y 20) to the full foot of the picture (y 48).
    t = (y - 20) / 28
    return 1.5 + t * 22


def colour_at(x, y):
    """The colour at a point of the 48 x 48 picture, or None outside it."""
    if not inside_rounded(x, y, 0.5, 0.5, 47.5, 47.5, 7):
        return None
    if y < 20:
        t = y / 20
        c = tuple(a + (b - a) * t for a, b in zip(SKY_TOP, SKY_LOW))
    else:
        c = GROUND
        road_x = 27
        half = road_half_width(y)
        if abs(x - road_x) <= half:
            c = ASPHALT
            # The pool of light the lamp throws on the road.
            d = ((x - 24) / 13) ** 2 + ((y - 36) / 8) ** 2
            if d < 1:
                k = 0.55 * (1 - d)
                c = tuple(a + (b - a) * k for a, b in zip(c, LIGHT))
            # The dashed centre line, its dashes longer as they come nearer.
            t = (y - 20) / 28
            if abs(x - road_x) <= 0.4 + 1.4 * t and int(((y - 20) ** 0.7) * 1.6) % 2 == 0:
                c = MARKING
    # The light's cone from the lamp head down to the road.
    if 11 <= y <= 36:
        t = (y - 11) / 25
        if abs(x - 24) <= 2 + 11 * t:
            c = tuple(a + (b - a) * 0.22 for a, b in zip(c, LIGHT))
    # The pole on the left and its arm out over the road.
    if 8 <= x <= 11 and 7 <= y <= 44:
        c = POLE
    if 8 <= x <= 24 and 7 <= y <= 9.5:
        c = POLE
    # The lamp head under the arm's end.
    if inside_rounded(x, y, 18.5, 8.5, 29.5, 13, 2):
        c = LAMP
    return c


def draw(size):
    """Rows of RGBA pixels of the picture drawn at `size` pixels."""
    rows = []
    scale = SIZE / size
    n = FINE * max(1, round(scale))
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) * scale, (py + (sy + 0.5) / n) * scale)
                    if c is not None:
                        covered += 1
                        for k in range(3):
                            total[k] += c[k]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(v / covered) for v in total) + (round(255 * covered / (n * n)),))
        rows.append(row)
    return rows


def save(rows, path):
    size = len(rows)
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    save(draw(SIZE), os.path.join(OUT, "program_icon.png"))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        for size in (16, 32, 48):
            save(draw(size), os.path.join(sys.argv[2], "program_icon_%d.png" % size))


if __name__ == "__main__":
    main()
