#!/usr/bin/env python3
"""Draws the ten scene textures of the program (res/program/texture_*.png), the view's navigation cursors
(res/program/cursor_*.png) and the scripts that name them.

Our own pictures, made for this program: ground finishes and the storey-high facade tiles the buildings repeat
(one tile is 6 m x 3 m of wall, one storey). Deterministic, so a run reproduces the committed files exactly.
Run from anywhere: python3 res/scene/make_scene_textures.py
"""

import os
import random
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "program")


class Picture:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [bytearray(bytes(colour) * width) for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][3 * x:3 * x + 3] = bytes(colour)

    def get(self, x, y):
        return tuple(self.rows[y][3 * x:3 * x + 3])

    def rect(self, x0, y0, x1, y1, colour):
        x0, x1 = max(0, x0), min(self.width, x1)
        if x1 <= x0:
            return
        for y in range(max(0, y0), min(self.height, y1)):
            self.rows[y][3 * x0:3 * x1] = bytes(colour) * (x1 - x0)

    def frame(self, x0, y0, x1, y1, thickness, colour):
        self.rect(x0, y0, x1, y0 + thickness, colour)
        self.rect(x0, y1 - thickness, x1, y1, colour)
        self.rect(x0, y0, x0 + thickness, y1, colour)
        self.rect(x1 - thickness, y0, x1, y1, colour)

    def grain(self, rng, spread):
        """Shifts every pixel's brightness a little, as a real surface is never one flat colour."""
        for row in self.rows:
            for i in range(0, len(row), 3):
                d = rng.randint(-spread, spread)
                row[i] = min(255, max(0, row[i] + d))
                row[i + 1] = min(255, max(0, row[i + 1] + d))
                row[i + 2] = min(255, max(0, row[i + 2] + d))

    def save(self, name):
        raw = b"".join(b"\x00" + bytes(r) for r in self.rows)

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png)


def asphalt(rng):
    p = Picture(341, 256, (74, 74, 78))
    p.grain(rng, 10)
    for _ in range(2500):  # light stones of the aggregate
        x, y, v = rng.randrange(341), rng.randrange(256), rng.randint(105, 140)
        p.put(x, y, (v, v, v + 3))
    return p


def paving(rng):
    p = Picture(256, 128, (150, 146, 140))
    p.grain(rng, 8)
    for y in range(0, 128, 32):  # tiles of 32 x 64 pixels laid in a running bond
        p.rect(0, y, 256, y + 2, (95, 92, 88))
        offset = 32 if (y // 32) % 2 else 0
        for x in range(offset, 256 + 64, 64):
            p.rect(x % 256, y, x % 256 + 2, y + 32, (95, 92, 88))
    return p


def grass(rng):
    p = Picture(256, 128, (62, 118, 44))
    p.grain(rng, 14)
    for _ in range(1800):  # blades
        x, y, length = rng.randrange(256), rng.randrange(128), rng.randint(3, 7)
        shade = (rng.randint(70, 110), rng.randint(140, 180), rng.randint(40, 70))
        for k in range(length):
            p.put(x + k // 3, (y - k) % 128, shade)
    return p


WALL = (214, 198, 170)
GLASS = (92, 122, 146)
FRAME = (238, 238, 232)


def window(p, x, y, w, h):
    p.rect(x - 6, y + h, x + w + 6, y + h + 8, (180, 180, 176))  # sill
    p.rect(x, y, x + w, y + h, FRAME)
    p.rect(x + 6, y + 6, x + w - 6, y + h - 6, GLASS)
    p.rect(x + w // 2 - 3, y + 6, x + w // 2 + 3, y + h - 6, FRAME)  # mullion
    p.rect(x + 6, y + h // 3, x + w - 6, y + h // 3 + 5, FRAME)  # transom
    p.rect(x + 10, y + 10, x + w // 2 - 8, y + 18, (150, 175, 196))  # sky in the pane


def facade(rng):
    """The long side of a block: one storey, three windows."""
    p = Picture(680, 340, WALL)
    p.grain(rng, 6)
    p.rect(0, 0, 680, 14, (176, 162, 140))  # floor slab band
    for x in (60, 270, 480):
        window(p, x, 90, 140, 170)
    return p


def facade_end(rng):
    """A block's end facing a recess: a narrower window pair and the stair light."""
    p = Picture(680, 340, (204, 188, 162))
    p.grain(rng, 6)
    p.rect(0, 0, 680, 14, (170, 156, 134))
    window(p, 120, 90, 120, 170)
    window(p, 440, 90, 120, 170)
    p.rect(320, 40, 360, 300, (186, 172, 150))  # pilaster
    return p


def section_front(rng):
    """The recessed front between blocks: a balcony door and a window."""
    p = Picture(680, 340, (196, 206, 210))
    p.grain(rng, 5)
    p.rect(0, 0, 680, 14, (160, 170, 174))
    p.rect(110, 60, 250, 340, FRAME)  # door
    p.rect(118, 68, 242, 340, GLASS)
    p.rect(176, 68, 184, 340, FRAME)
    window(p, 380, 90, 200, 170)
    return p


def brick(rng):
    p = Picture(680, 340, (200, 196, 186))  # mortar
    for row, y in enumerate(range(0, 340, 20)):
        offset = 0 if row % 2 == 0 else 30
        for x in range(-60 + offset, 680, 60):
            base = (rng.randint(140, 170), rng.randint(62, 80), rng.randint(48, 60))
            p.rect(x + 2, y + 2, x + 58, y + 18, base)
    p.grain(rng, 6)
    for x in (110, 450):
        window(p, x, 100, 130, 160)
    return p


def balcony(rng):
    p = Picture(512, 128, (226, 226, 222))  # the slab's edge and the railing
    p.rect(0, 0, 512, 14, (150, 150, 150))  # top rail
    p.rect(0, 108, 512, 128, (170, 168, 164))  # slab edge
    for x in range(0, 512, 16):
        p.rect(x + 6, 14, x + 10, 108, (120, 122, 126))  # balusters
    p.grain(rng, 4)
    return p


def roof(rng):
    p = Picture(680, 340, (88, 84, 82))
    p.grain(rng, 9)
    for x in range(0, 680, 85):  # seams of the membrane
        p.rect(x, 0, x + 3, 340, (66, 63, 61))
    for _ in range(600):  # gravel
        x, y, v = rng.randrange(680), rng.randrange(340), rng.randint(110, 150)
        p.put(x, y, (v, v - 4, v - 8))
    return p


def parapet(rng):
    p = Picture(680, 170, (176, 174, 168))  # concrete
    p.grain(rng, 8)
    p.rect(0, 0, 680, 22, (140, 142, 146))  # metal capping
    for x in range(0, 680, 170):  # joints between elements
        p.rect(x, 22, x + 3, 170, (130, 128, 124))
    return p


# id, file, name, painter; in the order the registry loads them.
TEXTURES = [
    (326, "texture_asphalt.png", "IDB_TEXTURE_ASPHALT", asphalt),
    (720, "texture_facade.png", "IDB_TEXTURE_FACADE", facade),
    (721, "texture_section_front.png", "IDB_TEXTURE_SECTION_FRONT", section_front),
    (722, "texture_brick.png", "IDB_TEXTURE_BRICK", brick),
    (723, "texture_grass.png", "IDB_TEXTURE_GRASS", grass),
    (719, "texture_paving.png", "IDB_TEXTURE_PAVING", paving),
    (717, "texture_facade_end.png", "IDB_TEXTURE_FACADE_END", facade_end),
    (718, "texture_balcony.png", "IDB_TEXTURE_BALCONY", balcony),
    (724, "texture_roof.png", "IDB_TEXTURE_ROOF", roof),
    (725, "texture_parapet.png", "IDB_TEXTURE_PARAPET", parapet),
]


class Cursor:
    """A 32 x 32 cursor with transparency: black outline, white fill, as the system's cursors look."""

    def __init__(self):
        self.rgba = [[None] * 32 for _ in range(32)]

    def dot(self, x, y, colour):
        if 0 <= x < 32 and 0 <= y < 32:
            self.rgba[y][x] = colour

    def disc(self, cx, cy, r, colour):
        for y in range(32):
            for x in range(32):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.dot(x, y, colour)

    def ring(self, cx, cy, r0, r1, colour, keep=lambda x, y: True):
        for y in range(32):
            for x in range(32):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if r0 * r0 <= d <= r1 * r1 and keep(x, y):
                    self.dot(x, y, colour)

    def box(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.dot(x, y, colour)

    def save(self, name):
        rows = []
        for row in self.rgba:
            line = bytearray(b"\x00")
            for c in row:
                line += bytes(c + (255,)) if c else b"\x00\x00\x00\x00"
            rows.append(bytes(line))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 32, 32, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png)


BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def cursor_rotate():
    """Mode 1: an open circle with an arrow head, turning the 3D view."""
    c = Cursor()
    gap = lambda x, y: not (x > 16 and y < 12)
    c.ring(16, 16, 7, 12, BLACK, gap)
    c.ring(16, 16, 8, 11, WHITE, gap)
    for i in range(7):  # arrow head at the gap
        c.box(17 + i // 2, 2 + i, 26 - i // 2, 3 + i, BLACK)
    for i in range(5):
        c.box(19 + i // 2, 3 + i, 24 - i // 2, 4 + i, WHITE)
    return c


def cursor_pan():
    """Mode 2: four arrows, moving the view."""
    c = Cursor()
    c.box(14, 3, 18, 29, BLACK)
    c.box(3, 14, 29, 18, BLACK)
    c.box(15, 4, 17, 28, WHITE)
    c.box(4, 15, 28, 17, WHITE)
    for i in range(5):
        c.box(16 - i, 2 + i, 16 + i, 3 + i, BLACK)  # up
        c.box(16 - i, 29 - i, 16 + i, 30 - i, BLACK)  # down
        c.box(2 + i, 16 - i, 3 + i, 16 + i, BLACK)  # left
        c.box(29 - i, 16 - i, 30 - i, 16 + i, BLACK)  # right
    return c


def cursor_zoom():
    """Modes 4 and 8: a magnifier."""
    c = Cursor()
    c.disc(12, 12, 9, BLACK)
    c.disc(12, 12, 7, WHITE)
    c.box(10, 11, 15, 13, BLACK)  # the cross of the lens
    c.box(11, 10, 13, 15, BLACK)
    for i in range(9):
        c.box(18 + i, 18 + i, 22 + i, 21 + i, BLACK)  # handle
    return c


def cursor_arrow():
    """Any other mode: the pointer."""
    c = Cursor()
    for y in range(20):
        c.box(0, y, y // 1 * 2 // 3 + 1, y + 1, BLACK)
    for y in range(2, 18):
        c.box(1, y, (y - 1) * 2 // 3, y + 1, WHITE)
    c.box(6, 18, 10, 27, BLACK)
    c.box(7, 18, 9, 26, WHITE)
    return c


# id, file, name, painter, hot spot.
CURSORS = [
    (291, "cursor_rotate.png", "IDC_VIEW_ROTATE", cursor_rotate, (16, 16)),
    (300, "cursor_pan.png", "IDC_VIEW_PAN", cursor_pan, (16, 16)),
    (334, "cursor_zoom.png", "IDC_VIEW_ZOOM", cursor_zoom, (12, 12)),
    (104, "cursor_arrow.png", "IDC_VIEW_ARROW", cursor_arrow, (0, 0)),
]


def main():
    lines = ["// The scene textures: ground finishes and storey-high facade tiles (6 m x 3 m of wall).",
             "// Drawn by res/scene/make_scene_textures.py; run it again rather than editing the pictures.", ""]
    for ident, name, symbol, painter in TEXTURES:
        painter(random.Random(ident)).save(name)
        lines.append('BITMAP %d %s "%s"' % (ident, symbol, name))
    with open(os.path.join(OUT, "scene_textures.rsrc"), "w") as f:
        f.write("\n".join(lines) + "\n")

    lines = ["// The view's cursors for the navigation modes: rotate, pan, zoom, and the pointer for any other.",
             "// Drawn by res/scene/make_scene_textures.py.", ""]
    for ident, name, symbol, painter, (x, y) in CURSORS:
        painter().save(name)
        lines.append('CURSOR %d %s "%s" %d %d' % (ident, symbol, name, x, y))
    with open(os.path.join(OUT, "view_cursors.rsrc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
