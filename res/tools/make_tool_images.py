#!/usr/bin/env python3
"""Draws the object selector's handle cursors (res/program/cursor_handle_*.png), its menu-item bitmaps
(res/program/menu_*.png) and the script that names them (res/program/tool_images.rsrc).

Our own pictures, made for this program, in the style of the view's navigation cursors. Deterministic, so a run
reproduces the committed files exactly. Run from anywhere: python3 res/tools/make_tool_images.py
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scene"))
from make_scene_textures import BLACK, OUT, WHITE, Cursor, Picture  # noqa: E402


def cursor_turn_handle():
    """Handle 9: an arch with an arrow head at each foot, turning a primitive."""
    c = Cursor()
    upper = lambda x, y: y <= 17
    c.ring(16, 17, 8, 12, BLACK, upper)
    c.ring(16, 17, 9, 11, WHITE, upper)
    for i in range(6):  # heads pointing down at both feet, black rim, white core
        c.box(3 + i, 17 + i, 14 - i, 18 + i, BLACK)
        c.box(18 + i, 17 + i, 29 - i, 18 + i, BLACK)
    for i in range(4):
        c.box(5 + i, 18 + i, 12 - i, 19 + i, WHITE)
        c.box(20 + i, 18 + i, 27 - i, 19 + i, WHITE)
    return c


def cursor_move_handle():
    """Handles 0 to 8 and the group's moves: a square with four outward arrows, moving or sizing."""
    c = Cursor()
    c.box(11, 11, 21, 21, BLACK)
    c.box(13, 13, 19, 19, WHITE)
    c.box(15, 2, 17, 30, BLACK)
    c.box(2, 15, 30, 17, BLACK)
    for i in range(4):
        c.box(16 - i, 2 + i, 16 + i, 3 + i, BLACK)
        c.box(16 - i, 29 - i, 16 + i, 30 - i, BLACK)
        c.box(2 + i, 16 - i, 3 + i, 16 + i, BLACK)
        c.box(29 - i, 16 - i, 30 - i, 16 + i, BLACK)
    return c


MENU_BACK = (236, 233, 216)
DARK = (40, 40, 40)
BLUE = (40, 90, 200)
RED = (200, 30, 30)
GREEN = (30, 150, 50)
YELLOW = (240, 200, 40)


def menu_copy():
    """Copy: two overlapping sheets."""
    p = Picture(16, 16, MENU_BACK)
    p.rect(1, 1, 10, 12, DARK)
    p.rect(2, 2, 9, 11, WHITE)
    p.rect(6, 4, 15, 15, DARK)
    p.rect(7, 5, 14, 14, WHITE)
    for y in (7, 9, 11):
        p.rect(8, y, 13, y + 1, BLUE)
    return p


def menu_delete():
    """Delete: a red cross."""
    p = Picture(16, 16, MENU_BACK)
    for i in range(12):
        p.rect(2 + i, 2 + i, 4 + i, 4 + i, RED)
        p.rect(12 - i, 2 + i, 14 - i, 4 + i, RED)
    return p


def layered(front_on_top):
    """Front or back: two squares, the one in question drawn blue."""
    p = Picture(16, 16, MENU_BACK)
    back, front = ((2, 2), (6, 6)) if front_on_top else ((6, 6), (2, 2))
    p.rect(back[0], back[1], back[0] + 8, back[1] + 8, DARK)
    p.rect(back[0] + 1, back[1] + 1, back[0] + 7, back[1] + 7, WHITE)
    p.rect(front[0], front[1], front[0] + 8, front[1] + 8, DARK)
    p.rect(front[0] + 1, front[1] + 1, front[0] + 7, front[1] + 7, BLUE)
    return p


def menu_parameters():
    """Parameters: a sheet with a table of values."""
    p = Picture(16, 16, MENU_BACK)
    p.rect(2, 1, 14, 15, DARK)
    p.rect(3, 2, 13, 14, WHITE)
    for y in (4, 7, 10):
        p.rect(4, y, 7, y + 2, GREEN)
        p.rect(8, y, 12, y + 2, DARK)
    return p


def menu_switch():
    """Switch a group on or off: a lamp."""
    p = Picture(16, 16, MENU_BACK)
    for y in range(1, 10):
        half = 4 if 2 < y < 8 else 2
        p.rect(8 - half, y, 8 + half, y + 1, YELLOW)
    p.frame(5, 10, 11, 15, 1, DARK)
    p.rect(6, 11, 10, 14, (160, 160, 160))
    return p


# id, file, name, painter, hot spot.
CURSORS = [
    (293, "cursor_handle_turn.png", "IDC_HANDLE_TURN", cursor_turn_handle, (16, 16)),
    (294, "cursor_handle_move.png", "IDC_HANDLE_MOVE", cursor_move_handle, (16, 16)),
]
BITMAPS = [
    (317, "menu_copy.png", "IDB_MENU_COPY", menu_copy),
    (318, "menu_delete.png", "IDB_MENU_DELETE", menu_delete),
    (319, "menu_to_front.png", "IDB_MENU_TO_FRONT", lambda: layered(True)),
    (320, "menu_to_back.png", "IDB_MENU_TO_BACK", lambda: layered(False)),
    (321, "menu_parameters.png", "IDB_MENU_PARAMETERS", menu_parameters),
    (768, "menu_switch.png", "IDB_MENU_SWITCH", menu_switch),
]


def main():
    lines = ["// The object selector's handle cursors and the bitmaps of its context menus' items.",
             "// Drawn by res/tools/make_tool_images.py; run it again rather than editing the pictures.", ""]
    for ident, name, symbol, painter, (x, y) in CURSORS:
        painter().save(name)
        lines.append('CURSOR %d %s "%s" %d %d' % (ident, symbol, name, x, y))
    for ident, name, symbol, painter in BITMAPS:
        painter().save(name)
        lines.append('BITMAP %d %s "%s"' % (ident, symbol, name))
    with open(os.path.join(OUT, "tool_images.rsrc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
