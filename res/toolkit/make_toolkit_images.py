#!/usr/bin/env python3
"""Draws the toolkit module's cursors and bitmaps (res/toolkit/*.png) from the text grids below.

Our own pictures, one character a pixel, so that a change shows in a diff. Letters name colours in PALETTE;
'.' is transparent in cursors and the mask colour RGB(192, 192, 192) in the opaque bitmaps. Deterministic: a run
reproduces the committed files exactly. Run from anywhere: python3 res/toolkit/make_toolkit_images.py
"""

import os
import struct
import zlib

OUT = os.path.dirname(os.path.abspath(__file__))

PALETTE = {
    "K": (0, 0, 0), "W": (255, 255, 255), "g": (128, 128, 128), "s": (192, 192, 192), "D": (64, 64, 64),
    "R": (200, 30, 30), "G": (40, 150, 40), "B": (30, 60, 190), "Y": (250, 210, 40), "O": (240, 140, 30),
    "C": (40, 170, 200), "M": (170, 60, 170), "b": (130, 80, 30), "L": (150, 190, 240),
}
MASK = (192, 192, 192)

# ---- Cursors (32 x 32; the grid is placed at the top left, the rest transparent)

ARROW = [
    "K...........",
    "KK..........",
    "KWK.........",
    "KWWK........",
    "KWWWK.......",
    "KWWWWK......",
    "KWWWWWK.....",
    "KWWWWWWK....",
    "KWWWWWWWK...",
    "KWWWWWWWWK..",
    "KWWWWWKKKKK.",
    "KWWKWWK.....",
    "KWK.KWWK....",
    "KK..KWWK....",
    "K....KWWK...",
    ".....KWWK...",
    "......KK....",
]

# The control being dragged: a small button below the arrow, with the sign of what a release does.
DRAG_BOX = {
    "copy": [
        "KKKKKKKKKKK",
        "KWWWWWWWWWK",
        "KWWWWKWWWWK",
        "KWWWWKWWWWK",
        "KWWKKKKKWWK",
        "KWWWWKWWWWK",
        "KWWWWKWWWWK",
        "KWWWWWWWWWK",
        "KKKKKKKKKKK",
    ],
    "move": [
        "KKKKKKKKKKK",
        "KWWWWWWWWWK",
        "KWgWgWgWgWK",
        "KWWWWWWWWWK",
        "KWgWgWgWgWK",
        "KWWWWWWWWWK",
        "KWgWgWgWgWK",
        "KWWWWWWWWWK",
        "KKKKKKKKKKK",
    ],
    "delete": [
        "KKKKKKKKKKK",
        "KWWWWWWWWWK",
        "KWRRWWWRRWK",
        "KWWRRWRRWWK",
        "KWWWRRRWWWK",
        "KWWRRWRRWWK",
        "KWRRWWWRRWK",
        "KWWWWWWWWWK",
        "KKKKKKKKKKK",
    ],
}

# Splitter between panes side by side: the bar may move left or right. Hot spot at the middle.
SPLIT_LEFT_RIGHT = [
    "........KKKKKK........",
    "........KWKKWK........",
    "........KWKKWK........",
    "........KWKKWK........",
    "....K...KWKKWK...K....",
    "...KK...KWKKWK...KK...",
    "..KWKKKKKWKKWKKKKKWK..",
    ".KWWWWWWWWKKWWWWWWWWK.",
    "KWWWWWWWWWKKWWWWWWWWWK",
    ".KWWWWWWWWKKWWWWWWWWK.",
    "..KWKKKKKWKKWKKKKKWK..",
    "...KK...KWKKWK...KK...",
    "....K...KWKKWK...K....",
    "........KWKKWK........",
    "........KWKKWK........",
    "........KWKKWK........",
    "........KKKKKK........",
]

# The same turned a quarter: panes one above the other, the bar moves up or down.
SPLIT_UP_DOWN = ["".join(row[i] for row in SPLIT_LEFT_RIGHT) for i in range(len(SPLIT_LEFT_RIGHT[0]))]

# Resizing a control on a bar while customising: a double arrow through an upright edge.
CONTROL_RESIZE = [
    "......KKK......",
    "......KWK......",
    "...K..KWK..K...",
    "..KK..KWK..KK..",
    ".KWKKKKWKKKKWK.",
    "KWWWWWWWWWWWWWK",
    ".KWKKKKWKKKKWK.",
    "..KK..KWK..KK..",
    "...K..KWK..K...",
    "......KWK......",
    "......KKK......",
]


def cursor(*parts):
    """Grids placed at (x, y) on a transparent 32 x 32 picture."""
    pixels = [[None] * 32 for _ in range(32)]
    for grid, x0, y0 in parts:
        for y, row in enumerate(grid):
            for x, ch in enumerate(row):
                if ch != ".":
                    pixels[y0 + y][x0 + x] = PALETTE[ch]
    return pixels


# ---- Bitmaps: 16 x 16 images side by side on the mask colour

# The system-command icons of an MDI child on the menu bar, in the order restore, minimise, maximise, close.
SYSTEM_COMMANDS = [
    [
        "................",
        "................",
        "......KKKKKKK...",
        "......KKKKKKK...",
        "......K.....K...",
        "...KKKKKKK..K...",
        "...KKKKKKK..K...",
        "...K.....KKKK...",
        "...K.....K......",
        "...K.....K......",
        "...K.....K......",
        "...KKKKKKK......",
        "................",
        "................",
        "................",
        "................",
    ],
    [
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "....KKKKKK......",
        "....KKKKKK......",
        "................",
        "................",
        "................",
        "................",
    ],
    [
        "................",
        "................",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...K.......K....",
        "...K.......K....",
        "...K.......K....",
        "...K.......K....",
        "...K.......K....",
        "...K.......K....",
        "...K.......K....",
        "...KKKKKKKKK....",
        "................",
        "................",
        "................",
        "................",
    ],
    [
        "................",
        "................",
        "................",
        "....KK....KK....",
        ".....KK..KK.....",
        "......KKKK......",
        ".......KK.......",
        "......KKKK......",
        ".....KK..KK.....",
        "....KK....KK....",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    ],
]

# Ten pictures the customise sheet offers for a button of the user's own.
BUTTON_PICTURES = [
    [  # smiling face
        "................", ".....KKKKKK.....", "...KKYYYYYYKK...", "..KYYYYYYYYYYK..", ".KYYYKYYYYKYYYK.",
        ".KYYYKYYYYKYYYK.", "KYYYYYYYYYYYYYYK", "KYYYYYYYYYYYYYYK", "KYYKYYYYYYYYKYYK", "KYYYKYYYYYYKYYYK",
        ".KYYYKKKKKKYYYK.", ".KYYYYYYYYYYYYK.", "..KYYYYYYYYYYK..", "...KKYYYYYYKK...", ".....KKKKKK.....",
        "................",
    ],
    [  # star
        ".......KK.......", ".......KK.......", "......KYYK......", "......KYYK......", "KKKKKKYYYYKKKKKK",
        ".KYYYYYYYYYYYYK.", "..KYYYYYYYYYYK..", "...KYYYYYYYYK...", "....KYYYYYYK....", "...KYYYYYYYYK...",
        "...KYYYKKYYYK...", "..KYYYK..KYYYK..", "..KYYK....KYYK..", ".KYK........KYK.", ".KK..........KK.",
        "................",
    ],
    [  # heart
        "................", "................", "..KKKK....KKKK..", ".KRRRRK..KRRRRK.", "KRRWRRRKKRRRRRRK",
        "KRWRRRRRRRRRRRRK", "KRRRRRRRRRRRRRRK", "KRRRRRRRRRRRRRRK", ".KRRRRRRRRRRRRK.", "..KRRRRRRRRRRK..",
        "...KRRRRRRRRK...", "....KRRRRRRK....", ".....KRRRRK.....", "......KRRK......", ".......KK.......",
        "................",
    ],
    [  # arrow to the right
        "................", "................", "........K.......", "........KK......", "........KGK.....",
        "KKKKKKKKKGGK....", "KGGGGGGGGGGGK...", "KGGGGGGGGGGGGK..", "KGGGGGGGGGGGGK..", "KGGGGGGGGGGGK...",
        "KKKKKKKKKGGK....", "........KGK.....", "........KK......", "........K.......", "................",
        "................",
    ],
    [  # flag
        "................", ".KK.............", ".KKBBBBBBBBBB...", ".KKBBBBBBBBBB...", ".KKBBWWWWWWBB...",
        ".KKBBBBBBBBBB...", ".KKBBWWWWWWBB...", ".KKBBBBBBBBBB...", ".KK.............", ".KK.............",
        ".KK.............", ".KK.............", ".KK.............", ".KK.............", "KKKK............",
        "................",
    ],
    [  # bell
        ".......KK.......", "......KOOK......", ".....KOOOOK.....", "....KOOOOOOK....", "....KOWOOOOK....",
        "....KOWOOOOK....", "....KOOOOOOK....", "...KOOOOOOOOK...", "...KOOOOOOOOK...", "..KOOOOOOOOOOK..",
        ".KOOOOOOOOOOOOK.", "KKKKKKKKKKKKKKKK", "......KOOK......", ".......KK.......", "................",
        "................",
    ],
    [  # house
        ".......KK.......", "......KRRK......", ".....KRRRRK.....", "....KRRRRRRK....", "...KRRRRRRRRK...",
        "..KRRRRRRRRRRK..", ".KKKKKKKKKKKKKK.", "..KWWWWWWWWWWK..", "..KWCCWWWWCCWK..", "..KWCCWWWWCCWK..",
        "..KWWWWbbWWWWK..", "..KWWWWbbWWWWK..", "..KWWWWbbWWWWK..", "..KKKKKKKKKKKKK.", "................",
        "................",
    ],
    [  # lamp post, for the road lighting this program designs
        "...KKKKKKKKK....", "...KYYYYYYYK....", "....KYYYYYK.....", ".....KKKKK......", ".......K........",
        ".......D........", ".......D........", ".......D........", ".......D........", ".......D........",
        ".......D........", ".......D........", ".......D........", "......DDD.......", ".....DDDDD......",
        "....KKKKKKK.....",
    ],
    [  # tick
        "................", "................", "..............G.", ".............GG.", "............GGG.",
        "...........GGG..", "..........GGG...", ".G.......GGG....", ".GG.....GGG.....", ".GGG...GGG......",
        "..GGG.GGG.......", "...GGGGG........", "....GGG.........", ".....G..........", "................",
        "................",
    ],
    [  # question mark
        "................", ".....MMMMMM.....", "....MMMMMMMM....", "...MMM....MMM...", "...MMM....MMM...",
        "..........MMM...", ".........MMM....", "........MMM.....", ".......MMM......", ".......MMM......",
        ".......MMM......", "................", ".......MMM......", ".......MMM......", "................",
        "................",
    ],
]


def strip(images):
    pixels = [[None] * (16 * len(images)) for _ in range(16)]
    for i, grid in enumerate(images):
        assert len(grid) == 16 and all(len(row) == 16 for row in grid), i
        for y, row in enumerate(grid):
            for x, ch in enumerate(row):
                pixels[y][16 * i + x] = MASK if ch == "." else PALETTE[ch]
    return pixels


def save(name, pixels):
    """RGBA PNG; None is a transparent pixel."""
    raw = b""
    for row in pixels:
        raw += b"\x00" + b"".join(bytes(p) + b"\xff" if p is not None else b"\x00\x00\x00\x00" for p in row)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(png)


def main():
    save("cursor_drag_copy.png", cursor((ARROW, 0, 0), (DRAG_BOX["copy"], 10, 18)))
    save("cursor_drag_move.png", cursor((ARROW, 0, 0), (DRAG_BOX["move"], 10, 18)))
    save("cursor_drag_delete.png", cursor((ARROW, 0, 0), (DRAG_BOX["delete"], 10, 18)))
    save("cursor_split_left_right.png", cursor((SPLIT_LEFT_RIGHT, 5, 7)))
    save("cursor_split_up_down.png", cursor((SPLIT_UP_DOWN, 7, 5)))
    save("cursor_control_resize.png", cursor((CONTROL_RESIZE, 8, 10)))
    save("system_commands.png", strip(SYSTEM_COMMANDS))
    save("button_pictures.png", strip(BUTTON_PICTURES))


if __name__ == "__main__":
    main()
