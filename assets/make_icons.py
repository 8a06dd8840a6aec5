#!/usr/bin/env python3
"""Draws the program icon and the five other button images as 32-bit RGBA PNG files in
16, 24, 32 and 48 pixels and at twice those sizes (64 and 96 besides), for screens at 200 %,
using only the standard library. Shapes are described in a 48-unit square and sampled 4 x 4
times per pixel for smooth edges. The program icon is also written as SVG, from the same shapes,
for the desktop's scalable icons.

    python3 assets/make_icons.py        # writes assets/icons/<name>-<size>.png, program.svg
"""
import math
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 96)
SAMPLES = 4
HERE = os.path.dirname(os.path.abspath(__file__))


def png(path, size, pixels):
    rows = b"".join(b"\0" + bytes(pixels[y * size * 4:(y + 1) * size * 4]) for y in range(size))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


# ---- shapes: functions of (x, y) in units of a 48 x 48 square ----

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, width):
    return lambda x, y: (r - width) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def bar(ax, ay, bx, by, half_width):
    """A thick line from a to b with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2
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


# ---- the images: layers drawn in order, each a shape and an RGBA colour ----

BLUE = (30, 110, 200, 255)
DARK_BLUE = (18, 70, 140, 255)
GREEN = (46, 160, 67, 255)
RED = (210, 45, 45, 255)
ORANGE = (240, 150, 30, 255)
WHITE = (255, 255, 255, 255)
PAPER = (250, 250, 245, 255)
GREY = (90, 90, 90, 255)

IMAGES = {
    # A page watched through a magnifying glass.
    "program": [
        (rounded(6, 3, 34, 41, 3), PAPER),
        (lambda x, y: rounded(6, 3, 34, 41, 3)(x, y) and not rounded(8, 5, 32, 39, 2)(x, y), GREY),
        (rect(11, 11, 28, 13), BLUE), (rect(11, 17, 25, 19), BLUE), (rect(11, 23, 22, 25), BLUE),
        (bar(33, 33, 44, 44, 3.5), DARK_BLUE),
        (circle(27, 27, 10), (255, 255, 255, 200)),
        (ring(27, 27, 11, 3.5), DARK_BLUE),
    ],
    "add": [
        (circle(24, 24, 21), GREEN),
        (rect(21, 11, 27, 37), WHITE), (rect(11, 21, 37, 27), WHITE),
    ],
    # A pencil writing across a page.
    "modify": [
        (rounded(5, 4, 33, 44, 3), PAPER),
        (lambda x, y: rounded(5, 4, 33, 44, 3)(x, y) and not rounded(7, 6, 31, 42, 2)(x, y), GREY),
        (rect(10, 12, 26, 14), GREY), (rect(10, 18, 22, 20), GREY),
        (bar(20, 36, 41, 15, 4.5), ORANGE),
        (bar(38, 18, 41, 15, 4.5), (220, 90, 90, 255)),
        (polygon([(14.5, 42.5), (16, 33), (23, 40)]), (60, 60, 60, 255)),
    ],
    "delete": [
        (circle(24, 24, 21), RED),
        (bar(15, 15, 33, 33, 3.5), WHITE), (bar(33, 15, 15, 33, 3.5), WHITE),
    ],
    "stop": [
        (polygon([(16, 3), (32, 3), (45, 16), (45, 32), (32, 45), (16, 45), (3, 32), (3, 16)]), RED),
        (rounded(16, 16, 32, 32, 2), WHITE),
    ],
    "about": [
        (circle(24, 24, 21), BLUE),
        (circle(24, 13.5, 3.5), WHITE),
        (rounded(20.5, 20, 27.5, 37, 2), WHITE),
    ],
}


def render(layers, size):
    pixels = bytearray(size * size * 4)
    scale = 48.0 / size
    for py in range(size):
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    cr = cg = cb = ca = 0.0
                    for shape, (lr, lg, lb, la) in layers:
                        if shape(x, y):
                            alpha = la / 255.0
                            cr = lr * alpha + cr * (1 - alpha)
                            cg = lg * alpha + cg * (1 - alpha)
                            cb = lb * alpha + cb * (1 - alpha)
                            ca = alpha + ca * (1 - alpha)
                    r, g, b, a = r + cr, g + cg, b + cb, a + ca
            n = SAMPLES * SAMPLES
            i = (py * size + px) * 4
            if a > 0:
                # Colours were accumulated premultiplied; store them straight.
                pixels[i:i + 4] = bytes((round(r / a), round(g / a), round(b / a), round(a / n * 255)))
    return pixels


def colour(rgba):
    r, g, b, a = rgba
    return 'fill="rgb(%d,%d,%d)" fill-opacity="%.3f"' % (r, g, b, a / 255.0)


def stroke(rgba, width):
    r, g, b, a = rgba
    return 'fill="none" stroke="rgb(%d,%d,%d)" stroke-opacity="%.3f" stroke-width="%g"' % (
        r, g, b, a / 255.0, width)


# The program icon's layers above, as SVG elements in the same 48-unit square.
PROGRAM_SVG = [
    '<rect x="6" y="3" width="28" height="38" rx="3" %s/>' % colour(PAPER),
    '<rect x="7" y="4" width="26" height="36" rx="2.5" %s/>' % stroke(GREY, 2),
    '<rect x="11" y="11" width="17" height="2" %s/>' % colour(BLUE),
    '<rect x="11" y="17" width="14" height="2" %s/>' % colour(BLUE),
    '<rect x="11" y="23" width="11" height="2" %s/>' % colour(BLUE),
    '<line x1="33" y1="33" x2="44" y2="44" stroke-linecap="round" %s/>' % stroke(DARK_BLUE, 7),
    '<circle cx="27" cy="27" r="10" %s/>' % colour((255, 255, 255, 200)),
    '<circle cx="27" cy="27" r="9.25" %s/>' % stroke(DARK_BLUE, 3.5),
]


def svg(elements):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">\n'
            + "".join("  %s\n" % e for e in elements) + "</svg>\n")


def main():
    out = os.path.join(HERE, "icons")
    os.makedirs(out, exist_ok=True)
    for name, layers in IMAGES.items():
        for size in SIZES:
            png(os.path.join(out, "%s-%d.png" % (name, size)), size, render(layers, size))
    with open(os.path.join(out, "program.svg"), "w") as f:
        f.write(svg(PROGRAM_SVG))


if __name__ == "__main__":
    main()
