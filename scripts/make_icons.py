#!/usr/bin/env python3
"""Draws the program's and its documents' icons for the desktop (cmake/desktop/icons/<size>/*.png).

Plain Python: each pixel is the coverage of 4x4 samples of a few shapes, so the small sizes stay smooth.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)


def write_png(path, size, pixels):
    rows = b"".join(b"\x00" + bytes(pixels[y * size * 4:(y + 1) * size * 4]) for y in range(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        out.write(chunk(b"IEND", b""))


def rounded_box(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def render(size, layers):
    """layers: (shape in unit coordinates, (r, g, b, a)) painted in order."""
    samples = 4
    pixels = []
    for py in range(size):
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    cr = cg = cb = ca = 0.0
                    for shape, (lr, lg, lb, la) in layers:
                        if shape(x, y):
                            alpha = la / 255
                            cr = lr * alpha + cr * (1 - alpha)
                            cg = lg * alpha + cg * (1 - alpha)
                            cb = lb * alpha + cb * (1 - alpha)
                            ca = alpha + ca * (1 - alpha)
                    r += cr
                    g += cg
                    b += cb
                    a += ca
            n = samples * samples
            if a > 0:
                pixels += [round(r / a), round(g / a), round(b / a), round(255 * a / n)]
            else:
                pixels += [0, 0, 0, 0]
    return pixels


def road_and_pole(x0, y0, scale):
    """A road running into the distance under a lit pole, in a box of `scale` at (x0, y0)."""
    def at(points):
        return [(x0 + px * scale, y0 + py * scale) for px, py in points]
    layers = [
        (polygon(at([(0.38, 0.30), (0.62, 0.30), (0.98, 1.0), (0.02, 1.0)])), (70, 76, 86, 255)),
        (polygon(at([(0.49, 0.36), (0.51, 0.36), (0.515, 0.46), (0.485, 0.46)])), (245, 245, 240, 255)),
        (polygon(at([(0.48, 0.55), (0.52, 0.55), (0.53, 0.70), (0.47, 0.70)])), (245, 245, 240, 255)),
        (polygon(at([(0.465, 0.82), (0.535, 0.82), (0.545, 0.98), (0.455, 0.98)])), (245, 245, 240, 255)),
        (polygon(at([(0.72, 0.16), (0.90, 0.16), (0.98, 0.78), (0.48, 0.78)])), (255, 214, 64, 110)),
        (box(*at([(0.82, 0.08)])[0], *at([(0.88, 0.95)])[0]), (200, 205, 215, 255)),
        (box(*at([(0.66, 0.08)])[0], *at([(0.88, 0.13)])[0]), (200, 205, 215, 255)),
        (polygon(at([(0.62, 0.12), (0.80, 0.12), (0.78, 0.18), (0.64, 0.18)])), (255, 226, 110, 255)),
    ]
    return layers


def program_icon(size):
    layers = [
        (rounded_box(0.02, 0.02, 0.98, 0.98, 0.18), (24, 64, 128, 255)),
        (rounded_box(0.02, 0.02, 0.98, 0.50, 0.18), (34, 84, 160, 255)),
        (box(0.02, 0.30, 0.98, 0.50), (34, 84, 160, 255)),
    ]
    layers += road_and_pole(0.06, 0.06, 0.88)
    return render(size, layers)


def document_icon(size, template):
    paper = (250, 250, 247, 255) if not template else (236, 244, 252, 255)
    edge = (120, 128, 140, 255)
    sheet = [(0.16, 0.04), (0.66, 0.04), (0.86, 0.24), (0.86, 0.96), (0.16, 0.96)]
    inner = [(0.19, 0.07), (0.645, 0.07), (0.83, 0.255), (0.83, 0.93), (0.19, 0.93)]
    layers = [
        (polygon(sheet), edge),
        (polygon(inner), paper),
        (polygon([(0.64, 0.04), (0.86, 0.26), (0.64, 0.26)]), (205, 210, 218, 255)),
        (rounded_box(0.24, 0.36, 0.78, 0.90, 0.06), (24, 64, 128, 255)),
    ]
    layers += road_and_pole(0.26, 0.38, 0.50)
    if template:
        layers.append((box(0.24, 0.14, 0.56, 0.20), (34, 84, 160, 255)))
        layers.append((box(0.37, 0.14, 0.43, 0.31), (34, 84, 160, 255)))
    return render(size, layers)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "cmake", "desktop",
                                                              "icons")
    for size in SIZES:
        folder = os.path.join(out, str(size))
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "marvesta-tesmira-road.png"), size, program_icon(size))
        write_png(os.path.join(folder, "application-x-qorroad-project.png"), size, document_icon(size, False))
        write_png(os.path.join(folder, "application-x-qorroad-template.png"), size, document_icon(size, True))


if __name__ == "__main__":
    main()
