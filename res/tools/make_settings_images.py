#!/usr/bin/env python3
"""Draws the settings dialog's page pictures (50 x 50, on the white of its header band), the report page's five
marks (16 x 16 with transparency: off, partly on, on, option not chosen, option chosen) and the economics pane's
parameters mark for its context menu (13 x 13, white where the menu shows through), and the script that names
them (res/program/settings_images.rsrc).

Our own pictures, made for this program. Deterministic, so a run reproduces the committed files exactly.
Run from anywhere: python3 res/tools/make_settings_images.py
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_tree_images import Icon  # noqa: E402
from make_scene_textures import OUT, Picture  # noqa: E402

WHITE = (255, 255, 255)
DARK = (40, 40, 40)
GREY = (150, 150, 150)
LIGHT = (215, 215, 215)
ASPHALT = (90, 90, 96)
LINE = (250, 250, 250)
POLE = (70, 80, 90)
LAMP = (255, 210, 40)
GLOW = (255, 240, 160)
GREEN = (0, 140, 40)
BLUE = (30, 80, 200)
PAPER = (250, 250, 240)
GOLD = (220, 170, 30)
GOLD_DARK = (150, 105, 10)


def blend(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def fill(p, inside, c):
    for y in range(p.height):
        for x in range(p.width):
            if inside(x + 0.5, y + 0.5):
                p.put(x, y, c)


def thick_line(p, x0, y0, x1, y1, width, c):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2.0
    fill(p, inside, c)


def calculation():
    """A street lamp lighting the road, with the grid of points where the light is reckoned."""
    p = Picture(50, 50, WHITE)
    p.rect(0, 36, 50, 50, ASPHALT)
    for x in (3, 17, 31, 45):
        p.rect(x, 42, x + 6, 44, LINE)
    fill(p, lambda x, y: 36 <= y < 50 and abs(x - 30) < (y - 10) * 0.62, blend(ASPHALT, LAMP, 0.45))
    fill(p, lambda x, y: 12 <= y < 36 and abs(x - 30) < (y - 10) * 0.62, GLOW)
    for gx in range(4, 50, 8):
        for gy in (39, 47):
            p.rect(gx, gy, gx + 2, gy + 2, (230, 40, 40))
    p.rect(8, 6, 11, 50, POLE)
    p.rect(8, 6, 30, 9, POLE)
    p.rect(24, 9, 36, 12, DARK)
    p.rect(26, 12, 34, 13, LAMP)
    return p


def image():
    """Isolines of a lit area in false colours."""
    p = Picture(50, 50, WHITE)
    colours = [(20, 40, 170), (20, 130, 220), (30, 180, 90), (200, 210, 30), (240, 130, 20), (210, 20, 20)]
    for i, c in enumerate(colours):
        rx, ry = 23 - 3.6 * i, 19 - 3.0 * i
        fill(p, lambda x, y, rx=rx, ry=ry: ((x - 25) / rx) ** 2 + ((y - 25) / ry) ** 2 <= 1.0, c)
    p.frame(1, 3, 49, 47, 1, DARK)
    return p


def report():
    """A printed report: lines of text and a table."""
    p = Picture(50, 50, WHITE)
    p.rect(12, 4, 42, 48, GREY)
    p.rect(10, 2, 40, 46, PAPER)
    p.frame(10, 2, 40, 46, 1, DARK)
    p.rect(14, 6, 32, 8, DARK)
    for y in (11, 14, 17):
        p.rect(14, y, 36, y + 1, GREY)
    p.frame(14, 21, 37, 41, 1, DARK)
    for y in (26, 31, 36):
        p.rect(14, y, 37, y + 1, DARK)
    p.rect(22, 21, 23, 41, DARK)
    p.rect(15, 22, 22, 26, (180, 200, 240))
    p.rect(23, 22, 36, 26, (180, 200, 240))
    return p


def colour():
    """A painter's palette of the colours the views take."""
    p = Picture(50, 50, WHITE)
    swatches = [(220, 30, 30), (250, 150, 20), (250, 220, 30), (40, 170, 60), (30, 120, 220), (120, 50, 180),
                (90, 90, 96), (160, 110, 60), (255, 255, 255)]
    for i, c in enumerate(swatches):
        x, y = 4 + (i % 3) * 15, 4 + (i // 3) * 15
        p.rect(x, y, x + 12, y + 12, c)
        p.frame(x, y, x + 12, y + 12, 1, DARK)
    return p


def font():
    """A capital letter and its smaller size: the font's size is what the page changes."""
    p = Picture(50, 50, WHITE)
    thick_line(p, 5, 44, 16, 6, 5, DARK)
    thick_line(p, 16, 6, 27, 44, 5, DARK)
    p.rect(10, 30, 23, 34, DARK)
    thick_line(p, 33, 44, 39, 24, 3, BLUE)
    thick_line(p, 39, 24, 45, 44, 3, BLUE)
    p.rect(35, 37, 43, 39, BLUE)
    p.rect(2, 46, 48, 47, GREY)
    return p


def box(i):
    i.box(2, 2, 14, 14, (255, 255, 255))
    i.frame(2, 2, 14, 14, DARK)
    return i


def mark_off():
    return box(Icon())


def mark_partly():
    i = box(Icon())
    i.box(5, 5, 11, 11, GREY)
    return i


def mark_on():
    i = box(Icon())
    for x, y in ((4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6), (11, 5)):
        i.box(x, y - 1, x + 1, y + 1, GREEN)
    return i


def circle(i):
    i.fill(lambda x, y: math.hypot(x - 8, y - 8) <= 6.2, DARK)
    i.fill(lambda x, y: math.hypot(x - 8, y - 8) <= 5.0, (255, 255, 255))
    return i


def option_off():
    return circle(Icon())


def option_on():
    i = circle(Icon())
    i.fill(lambda x, y: math.hypot(x - 8, y - 8) <= 2.6, BLUE)
    return i


def economic_parameters():
    """A stack of coins: the prices the estimate takes."""
    p = Picture(13, 13, WHITE)
    for top in (8, 5, 2):
        fill(p, lambda x, y, t=top: ((x - 6.5) / 5.5) ** 2 + ((y - t - 1.5) / 2.0) ** 2 <= 1.0 or
             (abs(x - 6.5) <= 5.5 and t + 1.5 <= y <= t + 3.0), GOLD_DARK)
        fill(p, lambda x, y, t=top: ((x - 6.5) / 4.5) ** 2 + ((y - t - 1.5) / 1.2) ** 2 <= 1.0, GOLD)
    return p


PAGES = [
    (149, "settings_calculation.png", "IDB_SETTINGS_CALCULATION", calculation),
    (328, "settings_image.png", "IDB_SETTINGS_IMAGE", image),
    (329, "settings_report.png", "IDB_SETTINGS_REPORT", report),
    (330, "settings_colour.png", "IDB_SETTINGS_COLOUR", colour),
    (331, "settings_font.png", "IDB_SETTINGS_FONT", font),
]

MARKS = [
    (156, "report_mark_off.png", "IDI_REPORT_MARK_OFF", mark_off),
    (157, "report_mark_partly.png", "IDI_REPORT_MARK_PARTLY", mark_partly),
    (158, "report_mark_on.png", "IDI_REPORT_MARK_ON", mark_on),
    (159, "report_option_off.png", "IDI_REPORT_OPTION_OFF", option_off),
    (160, "report_option_on.png", "IDI_REPORT_OPTION_ON", option_on),
]


def main():
    lines = ["// The settings dialog's page pictures, the report page's marks in the order of their states, and the",
             "// economics pane's parameters mark. Drawn by res/tools/make_settings_images.py; run it again rather",
             "// than editing the pictures.", ""]
    for ident, name, symbol, painter in PAGES:
        painter().save(name)
        lines.append('BITMAP %d %s "%s"' % (ident, symbol, name))
    lines.append("")
    for ident, name, symbol, painter in MARKS:
        painter().save(name)
        lines.append('ICON %d %s "%s"' % (ident, symbol, name))
    lines.append("")
    economic_parameters().save("economic_parameters_mark.png")
    lines.append('BITMAP 327 IDB_ECONOMIC_PARAMETERS_MARK "economic_parameters_mark.png"')
    with open(os.path.join(OUT, "settings_images.rsrc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
