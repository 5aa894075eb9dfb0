#!/usr/bin/env python3
"""Draws the splash screen shown while the program starts (res/program/splash.png, bitmap 155) and the script that
names it (res/program/splash.rsrc).

Our own picture: a road at night lit by a row of street lamps, the product name in a stroke lettering drawn here
(no font files are read), and the version. Deterministic, so a run reproduces the committed files exactly.
Run from anywhere: python3 res/shell/make_splash_image.py
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scene"))
from make_scene_textures import OUT, Picture  # noqa: E402

WIDTH, HEIGHT = 480, 300
SKY_TOP, SKY_LOW = (8, 16, 44), (30, 52, 96)
GROUND = (22, 30, 30)
ASPHALT = (52, 54, 60)
MARKING = (225, 225, 215)
POLE = (120, 130, 140)
LAMP = (255, 226, 120)
LIGHT = (255, 214, 110)
TITLE = (255, 255, 255)
VERSION = (190, 205, 230)


def blend(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---- Stroke lettering: each glyph a list of polylines in units; caps 10 high, lower case 7, baseline at y = 10.

def arc(cx, cy, rx, ry, a0, a1, steps=18):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy - ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


def ellipse(cx, cy, rx, ry):
    return arc(cx, cy, rx, ry, 0, 360, 32)


GLYPHS = {
    "T": (6, [[(0, 0), (6, 0)], [(3, 0), (3, 10)]]),
    "R": (6.2, [[(0, 10), (0, 0), (3.2, 0)] + arc(3.2, 2.75, 2.75, 2.75, 90, -90)[1:] + [(0, 5.5)],
                [(2.8, 5.5), (6.2, 10)]]),
    "e": (6, [[(0, 6.5), (6, 6.5)] + arc(3, 6.5, 3, 3.5, 0, 320)[1:]]),
    "s": (5.4, [arc(2.7, 4.75, 2.7, 1.75, 20, 270) + arc(2.7, 8.25, 2.7, 1.75, 90, -160)[1:]]),
    "m": (7.4, [[(0, 3), (0, 10)], [(0, 5.2)] + arc(1.85, 5.2, 1.85, 2.0, 180, 0) + [(3.7, 10)],
                [(3.7, 5.2)] + arc(5.55, 5.2, 1.85, 2.0, 180, 0) + [(7.4, 10)]]),
    "i": (0.6, [[(0.3, 3), (0.3, 10)], [(0.3, 0.4), (0.3, 0.9)]]),
    "r": (4.2, [[(0, 3), (0, 10)], [(0, 6.4)] + arc(3.6, 6.4, 3.6, 3.4, 180, 75)]),
    "a": (6, [ellipse(3, 6.5, 3, 3.5), [(6, 3), (6, 10)]]),
    "o": (6, [ellipse(3, 6.5, 3, 3.5)]),
    "d": (6, [ellipse(3, 6.5, 3, 3.5), [(6, 0), (6, 10)]]),
    " ": (3, []),
    "6": (6, [ellipse(3, 7, 3, 3), arc(6.2, 7, 6.2, 7, 112, 180)]),
    "0": (6, [ellipse(3, 5, 3, 5)]),
    "4": (6, [[(4.6, 10), (4.6, 0), (0, 7), (6, 7)]]),
    "2": (6, [arc(3, 3, 3, 3, 160, -25) + [(0, 10), (6, 10)]]),
    ".": (0.6, [[(0.3, 9.5), (0.3, 10)]]),
}


def text_segments(text, x, y, scale, gap):
    """The strokes of the text as pixel segments, its left end at x and its cap top at y."""
    segments = []
    for ch in text:
        width, lines = GLYPHS[ch]
        for line in lines:
            points = [(x + px * scale, y + py * scale) for px, py in line]
            segments += list(zip(points, points[1:]))
        x += (width + gap) * scale
    return segments, x


def text_width(text, scale, gap):
    return (sum(GLYPHS[ch][0] + gap for ch in text) - gap) * scale


def stroke(p, segments, width, colour):
    """Anti-aliased strokes: each pixel covered by the share of its 4 x 4 samples near a segment."""
    half = width / 2.0
    x0 = int(min(min(a[0], b[0]) for a, b in segments) - half) - 1
    x1 = int(max(max(a[0], b[0]) for a, b in segments) + half) + 2
    y0 = int(min(min(a[1], b[1]) for a, b in segments) - half) - 1
    y1 = int(max(max(a[1], b[1]) for a, b in segments) + half) + 2
    boxes = [(min(a[0], b[0]) - half - 1, max(a[0], b[0]) + half + 1,
              min(a[1], b[1]) - half - 1, max(a[1], b[1]) + half + 1, a, b) for a, b in segments]
    for y in range(max(0, y0), min(p.height, y1)):
        row = [s for s in boxes if s[2] <= y + 1 and s[3] >= y]
        if not row:
            continue
        for x in range(max(0, x0), min(p.width, x1)):
            near = [s for s in row if s[0] <= x + 1 and s[1] >= x]
            if not near:
                continue
            hits = 0
            for sy in range(4):
                for sx in range(4):
                    qx, qy = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                    for _, _, _, _, a, b in near:
                        dx, dy = b[0] - a[0], b[1] - a[1]
                        length = dx * dx + dy * dy
                        t = 0.0 if length == 0 else max(0.0, min(1.0, ((qx - a[0]) * dx + (qy - a[1]) * dy) / length))
                        if math.hypot(qx - a[0] - t * dx, qy - a[1] - t * dy) <= half:
                            hits += 1
                            break
            if hits:
                p.put(x, y, blend(p.get(x, y), colour, hits / 16.0))


def write(p, text, centre_x, top, scale, gap, width, colour, shadow=None):
    left = centre_x - text_width(text, scale, gap) / 2
    if shadow:
        segments, _ = text_segments(text, left + 2, top + 2, scale, gap)
        stroke(p, segments, width, shadow)
    segments, _ = text_segments(text, left, top, scale, gap)
    stroke(p, segments, width, colour)


# ---- The scene.

HORIZON = 176
VANISH_X = 300


def road_edge(y, side):
    """x of the road's left (-1) or right (+1) edge at row y, the road narrowing to the horizon."""
    t = (y - HORIZON) / float(HEIGHT - HORIZON)
    return VANISH_X + side * (8 + 250 * t)


def scene():
    p = Picture(WIDTH, HEIGHT, SKY_TOP)
    for y in range(HORIZON):
        p.rect(0, y, WIDTH, y + 1, blend(SKY_TOP, SKY_LOW, y / float(HORIZON)))
    # A few stars, fixed.
    for i in range(40):
        x, y = (i * 97 + 31) % WIDTH, (i * 53 + 7) % (HORIZON - 90)
        p.put(x, y, blend(SKY_LOW, (255, 255, 255), 0.4 + (i % 3) * 0.2))
    p.rect(0, HORIZON, WIDTH, HEIGHT, GROUND)
    for y in range(HORIZON, HEIGHT):
        p.rect(int(road_edge(y, -1)), y, int(road_edge(y, 1)), y + 1, ASPHALT)
        # The dashed centre line, dashes longer nearer the eye.
        t = (y - HORIZON) / float(HEIGHT - HORIZON)
        if int(math.sqrt(t) * 14) % 2 == 0:
            w = 1 + 3 * t
            p.rect(int(VANISH_X - w), y, int(VANISH_X + w) + 1, y + 1, MARKING)
    # Street lamps along the right edge, lit pools on the road beneath them.
    for depth in (0.95, 0.62, 0.40, 0.26, 0.17):
        base_y = HORIZON + depth * (HEIGHT - HORIZON)
        base_x = road_edge(base_y, 1) + 14 * depth
        height = 150 * depth
        top_y = base_y - height
        pool_rx, pool_ry = 120 * depth, 24 * depth
        cx = base_x - 60 * depth
        for y in range(int(base_y - pool_ry), int(base_y + pool_ry) + 1):
            for x in range(int(cx - pool_rx), int(cx + pool_rx) + 1):
                d = ((x - cx) / pool_rx) ** 2 + ((y - base_y) / pool_ry) ** 2
                if d < 1 and 0 <= x < WIDTH and HORIZON <= y < HEIGHT:
                    p.put(x, y, blend(p.get(x, y), LIGHT, 0.35 * (1 - d)))
        w = max(1, int(round(4 * depth)))
        p.rect(int(base_x) - w // 2, int(top_y), int(base_x) - w // 2 + w, int(base_y), POLE)
        arm_end = base_x - 60 * depth
        p.rect(int(arm_end), int(top_y), int(base_x), int(top_y) + w, POLE)
        lamp_w, lamp_h = max(3, int(18 * depth)), max(2, int(5 * depth))
        p.rect(int(arm_end), int(top_y) + w, int(arm_end) + lamp_w, int(top_y) + w + lamp_h, LAMP)
    # A dark band behind the lettering, so the name reads against the sky and the lamps alike.
    for y in range(16, 142):
        fade = min(1.0, (y - 16) / 20.0, (142 - y) / 20.0)
        for x in range(0, WIDTH):
            p.put(x, y, blend(p.get(x, y), SKY_TOP, 0.55 * fade))
    write(p, "Tesmira Road", WIDTH / 2, 40, 5.2, 1.7, 6.0, TITLE, shadow=(0, 0, 0))
    write(p, "6.0.42", WIDTH / 2, 104, 1.7, 1.2, 2.2, VERSION)
    # A thin frame, as a window without a border needs one.
    p.frame(0, 0, WIDTH, HEIGHT, 1, (90, 110, 150))
    return p


def main():
    scene().save("splash.png")
    lines = ["// The splash screen shown while the program starts. Drawn by res/shell/make_splash_image.py; run it",
             "// again rather than editing the picture.", "",
             'BITMAP 155 IDB_SPLASH "splash.png"']
    with open(os.path.join(OUT, "splash.rsrc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
