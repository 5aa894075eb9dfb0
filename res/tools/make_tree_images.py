#!/usr/bin/env python3
"""Draws the object tree's item icons (res/program/tree_*.png), the bitmaps of its context menus' items that the
object selector does not already have (res/program/menu_add_*.png) and the script that names them
(res/program/tree_images.rsrc).

Our own pictures, made for this program: 16 x 16, one small pictogram per kind of object; a switched-off object
shows its pictogram faded with a red stroke across. Deterministic, so a run reproduces the committed files
exactly. Run from anywhere: python3 res/tools/make_tree_images.py
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scene"))
from make_scene_textures import OUT, Picture  # noqa: E402

DARK = (40, 40, 40)
ASPHALT = (90, 90, 96)
LINE = (250, 250, 250)
PAVING = (196, 164, 120)
BRICK = (178, 70, 48)
GRASS = (70, 160, 70)
BLUE = (40, 90, 200)
YELLOW = (245, 200, 40)
RED = (220, 30, 30)
GREY = (150, 150, 150)
PAPER = (250, 250, 240)
MENU_BACK = (236, 233, 216)


class Icon:
    """16 x 16 with transparency."""

    def __init__(self):
        self.px = [[None] * 16 for _ in range(16)]

    def dot(self, x, y, c):
        if 0 <= x < 16 and 0 <= y < 16:
            self.px[y][x] = c

    def box(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.box(x0, y0, x1, y0 + 1, c)
        self.box(x0, y1 - 1, x1, y1, c)
        self.box(x0, y0, x0 + 1, y1, c)
        self.box(x1 - 1, y0, x1, y1, c)

    def fill(self, inside, c):
        for y in range(16):
            for x in range(16):
                if inside(x + 0.5, y + 0.5):
                    self.dot(x, y, c)

    def outline(self, inside, c):
        """The pixels of `inside` that touch a pixel outside it."""
        keep = [[inside(x + 0.5, y + 0.5) for x in range(16)] for y in range(16)]
        for y in range(16):
            for x in range(16):
                if keep[y][x] and any(not (0 <= x + dx < 16 and 0 <= y + dy < 16 and keep[y + dy][x + dx])
                                      for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                    self.dot(x, y, c)

    def off(self):
        """Faded, with a red stroke from the top right to the bottom left."""
        for row in self.px:
            for i, c in enumerate(row):
                if c:
                    g = (c[0] + c[1] + c[2]) // 3
                    row[i] = ((g + 2 * 235) // 3,) * 3
        for i in range(14):
            self.dot(14 - i, 1 + i, RED)
            self.dot(15 - i, 1 + i, RED)
        return self

    def save(self, name):
        rows = []
        for row in self.px:
            line = bytearray(b"\x00")
            for c in row:
                line += bytes(c + (255,)) if c else b"\x00\x00\x00\x00"
            rows.append(bytes(line))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 16, 16, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png)


def project():
    """A bound report: a sheet with a blue spine."""
    i = Icon()
    i.box(3, 1, 14, 15, PAPER)
    i.frame(3, 1, 14, 15, DARK)
    i.box(3, 1, 5, 15, BLUE)
    for y in (4, 7, 10):
        i.box(7, y, 12, y + 1, GREY)
    return i


def road_strip(i, x0, x1):
    i.box(x0, 0, x1, 16, ASPHALT)
    mid = (x0 + x1) // 2
    for y in (1, 6, 11):
        i.box(mid, y, mid + 1, y + 3, LINE)


def straight_road():
    i = Icon()
    i.box(1, 0, 4, 16, PAVING)
    i.box(12, 0, 15, 16, PAVING)
    road_strip(i, 4, 12)
    return i


def carriageway():
    i = Icon()
    road_strip(i, 3, 13)
    return i


def sidewalk():
    i = Icon()
    i.box(2, 1, 14, 15, PAVING)
    for y in (5, 10):
        i.box(2, y, 14, y + 1, DARK)
    for x, y0 in ((6, 1), (10, 5), (6, 10)):
        i.box(x, y0, x + 1, y0 + 4, DARK)
    return i


def walls():
    i = Icon()
    i.box(1, 3, 15, 14, BRICK)
    for y in (6, 9, 12):
        i.box(1, y, 15, y + 1, PAPER)
    for row, y in enumerate((3, 6, 9, 12)):
        for x in ((4, 10) if row % 2 else (7, 13)):
            i.box(x, y, x + 1, y + 3, PAPER)
    return i


def pole(i, x, lamp):
    i.box(x, 4, x + 1, 15, DARK)
    i.box(x - 2, 15, x + 3, 16, DARK)
    i.box(x + 1, 4, x + 4, 5, DARK)
    i.box(x + 2, 5, x + 5, 7, lamp)


def groups_container():
    i = Icon()
    for x in (1, 6, 11):
        i.box(x, 7, x + 1, 15, DARK)
        i.box(x - 1, 15, x + 2, 16, DARK)
        i.box(x, 5, x + 3, 7, YELLOW)
    i.frame(0, 0, 16, 3, BLUE)
    return i


def group_on():
    i = Icon()
    pole(i, 6, YELLOW)
    for dx, dy in ((4, 8), (6, 9), (8, 10)):
        i.dot(6 + dx, dy, YELLOW)
    return i


def group_off():
    i = Icon()
    pole(i, 6, GREY)
    return i


def open_site():
    i = Icon()
    i.box(1, 1, 15, 15, GRASS)
    i.frame(1, 1, 15, 15, DARK)
    i.box(4, 4, 12, 12, ASPHALT)
    return i


def triangle():
    i = Icon()
    inside = lambda x, y: y >= 2 and y <= 14 and abs(x - 8) <= (y - 2) * 0.55
    i.fill(inside, BLUE)
    i.outline(inside, DARK)
    return i


def rectangle():
    i = Icon()
    i.box(2, 4, 14, 13, BLUE)
    i.frame(2, 4, 14, 13, DARK)
    return i


def ellipse():
    i = Icon()
    inside = lambda x, y: ((x - 8) / 6.5) ** 2 + ((y - 8) / 5) ** 2 <= 1
    i.fill(inside, BLUE)
    i.outline(inside, DARK)
    return i


def ring_sector():
    i = Icon()

    def inside(x, y):
        r = math.hypot(x - 2, y - 14)
        return 6 <= r <= 13 and x >= 2 and y <= 14

    i.fill(inside, BLUE)
    i.outline(inside, DARK)
    return i


POLYGON = [(2, 6), (7, 2), (14, 4), (12, 13), (4, 14)]


def in_polygon(points, x, y):
    inside = False
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            inside = not inside
    return inside


def polygon(colour=BLUE):
    i = Icon()
    inside = lambda x, y: in_polygon(POLYGON, x, y)
    i.fill(inside, colour)
    i.outline(inside, DARK)
    return i


def polygon_hidden():
    """Switched on but not drawn: only the outline, dashed."""
    i = Icon()
    inside = lambda x, y: in_polygon(POLYGON, x, y)
    i.outline(inside, DARK)
    for y in range(16):
        for x in range(16):
            if i.px[y][x] and (x + y) % 3 == 0:
                i.px[y][x] = None
    return i


def polygon_few():
    """Fewer than three vertices: two points and the line between them."""
    i = Icon()
    for t in range(11):
        i.dot(3 + t, 12 - t, DARK)
    i.box(2, 11, 5, 14, BLUE)
    i.box(12, 2, 15, 5, BLUE)
    return i


def background():
    i = Icon()
    i.box(0, 0, 16, 8, (150, 200, 240))
    i.box(0, 8, 16, 16, GRASS)
    i.box(9, 2, 13, 6, YELLOW)
    return i


def shading():
    """A building: a block with windows."""
    i = Icon()
    i.box(3, 2, 13, 15, GREY)
    i.frame(3, 2, 13, 15, DARK)
    for y in (4, 7, 10):
        for x in (5, 9):
            i.box(x, y, x + 2, y + 2, BLUE)
    return i


def form(paths):
    """A typical form: asphalt strips along the given boxes on grass."""
    i = Icon()
    i.box(0, 0, 16, 16, GRASS)
    for x0, y0, x1, y1 in paths:
        i.box(x0, y0, x1, y1, ASPHALT)
    return i


def turn():
    return form([(5, 0, 11, 11), (5, 5, 16, 11)])


def crossing():
    return form([(5, 0, 11, 16), (0, 5, 16, 11)])


def junction():
    return form([(5, 0, 11, 16), (5, 5, 16, 11)])


def fork():
    i = form([(5, 8, 11, 16)])
    for y in range(9):
        i.box(5 - (8 - y) // 2 - 1, y, 8 - (8 - y) // 2 + 1, y + 1, ASPHALT)
        i.box(8 + (8 - y) // 2 - 1, y, 11 + (8 - y) // 2 + 1, y + 1, ASPHALT)
    return i


def widening():
    i = form([(6, 8, 10, 16)])
    for y in range(8):
        i.box(2 + y // 2, y, 14 - y // 2, y + 1, ASPHALT)
    return i


def roundabout():
    i = form([(6, 0, 10, 16), (0, 6, 16, 10)])
    i.fill(lambda x, y: 3 <= math.hypot(x - 8, y - 8) <= 6.5, ASPHALT)
    i.fill(lambda x, y: math.hypot(x - 8, y - 8) < 3, GRASS)
    return i


def interchange():
    i = form([(0, 6, 16, 10)])
    i.box(6, 0, 10, 16, (120, 120, 128))
    i.box(5, 0, 6, 16, DARK)
    i.box(10, 0, 11, 16, DARK)
    return i


def primitive_group(open_):
    """A folder, open when its item is selected."""
    i = Icon()
    i.box(1, 3, 7, 5, YELLOW)
    i.box(1, 5, 15, 14, (230, 190, 60))
    i.frame(1, 5, 15, 14, DARK)
    if open_:
        i.box(3, 8, 15, 14, YELLOW)
        i.frame(3, 8, 15, 14, DARK)
    return i


# id, file, painter; the image list takes them in this order.
ICONS = [
    (132, "tree_project.png", project),
    (135, "tree_straight_road.png", straight_road),
    (136, "tree_carriageway.png", carriageway),
    (137, "tree_carriageway_off.png", lambda: carriageway().off()),
    (138, "tree_sidewalk.png", sidewalk),
    (139, "tree_sidewalk_off.png", lambda: sidewalk().off()),
    (140, "tree_walls.png", walls),
    (141, "tree_walls_off.png", lambda: walls().off()),
    (142, "tree_groups.png", groups_container),
    (143, "tree_group.png", group_on),
    (144, "tree_group_off.png", lambda: group_off().off()),
    (161, "tree_open_site.png", open_site),
    (162, "tree_triangle.png", triangle),
    (163, "tree_triangle_off.png", lambda: triangle().off()),
    (164, "tree_rectangle.png", rectangle),
    (165, "tree_rectangle_off.png", lambda: rectangle().off()),
    (166, "tree_ellipse.png", ellipse),
    (167, "tree_ellipse_off.png", lambda: ellipse().off()),
    (168, "tree_background.png", background),
    (170, "tree_ring_sector.png", ring_sector),
    (169, "tree_ring_sector_off.png", lambda: ring_sector().off()),
    (319, "tree_turn.png", turn),
    (320, "tree_crossing.png", crossing),
    (321, "tree_junction.png", junction),
    (322, "tree_fork.png", fork),
    (323, "tree_widening.png", widening),
    (324, "tree_roundabout.png", roundabout),
    (338, "tree_polygon.png", polygon),
    (339, "tree_polygon_off.png", lambda: polygon().off()),
    (341, "tree_polygon_few.png", polygon_few),
    (340, "tree_polygon_few_off.png", lambda: polygon_few().off()),
    (750, "tree_shading.png", shading),
    (751, "tree_interchange.png", interchange),
    (752, "tree_polygon_hidden.png", polygon_hidden),
    (757, "tree_primitive_group.png", lambda: primitive_group(False)),
    (758, "tree_primitive_group_open.png", lambda: primitive_group(True)),
]


def menu_bitmap(icon):
    """A 16 x 16 menu bitmap: the icon's pictogram on the menu's face colour."""
    p = Picture(16, 16, MENU_BACK)
    for y, row in enumerate(icon.px):
        for x, c in enumerate(row):
            if c:
                p.put(x, y, c)
    return p


# id, file, the icon it shows; ids 317 to 321 and 768 come from the object selector's set.
BITMAPS = [
    (310, "menu_add_fork.png", fork),
    (311, "menu_add_straight_road.png", straight_road),
    (312, "menu_add_turn.png", turn),
    (313, "menu_add_crossing.png", crossing),
    (314, "menu_add_junction.png", junction),
    (315, "menu_add_widening.png", widening),
    (316, "menu_add_open_site.png", open_site),
    (322, "menu_add_roundabout.png", roundabout),
    (765, "menu_add_interchange.png", interchange),
]


def main():
    lines = ["// The object tree's item icons, in the order of its image list, and the bitmaps of its context menus'",
             "// items. Drawn by res/tools/make_tree_images.py; run it again rather than editing the pictures.", ""]
    for ident, name, painter in ICONS:
        painter().save(name)
        lines.append('ICON %d "%s"' % (ident, name))
    lines.append("")
    for ident, name, painter in BITMAPS:
        menu_bitmap(painter()).save(name)
        lines.append('BITMAP %d "%s"' % (ident, name))
    with open(os.path.join(OUT, "tree_images.rsrc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
