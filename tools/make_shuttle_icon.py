#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the application icon: an orbiter seen from above, nose up.

Writes assets/shuttle-32.png and assets/shuttle-16.png as 4-bit indexed PNGs
(16 palette entries, entry 0 transparent), and assets/shuttle.svg for the
scalable size. The shape is described once in a 32-unit square and sampled
8x8 per pixel, so both PNG sizes come from the same drawing; the SVG draws
the same polygons in the same order. Only the standard library is needed.

    python3 tools/make_shuttle_icon.py [--preview DIR]

--preview also writes enlarged copies on a checkerboard, to check the drawing by eye.
"""

import os
import struct
import sys
import zlib

# Entry 0 is transparent; the rest are the greys the orbiter is drawn in.
PALETTE = [(0, 0, 0)] + [(v, v, v) for v in
                          (0, 40, 64, 88, 112, 136, 160, 180, 200, 216, 228, 238, 246, 252, 255)]
TRANSPARENT = 0

WHITE = 252
BAY = 224
SEAM = 170
GREY = 150
DARK = 96
BLACK = 0

CX = 16.0  # centre line


def mirrored(points):
    """A polygon given for the left half, plus its mirror image."""
    return [points, [(2 * CX - x, y) for x, y in points]]


def inside(poly, x, y):
    hit = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def fuselage_half_width(y):
    """Ogive nose growing to the full body width, then straight to the tail."""
    nose, full_at, half = 1.0, 9.0, 3.6
    if y < nose:
        return -1.0
    if y < full_at:
        t = (y - nose) / (full_at - nose)
        return half * (1 - (1 - t) ** 2) ** 0.5
    return half if y <= 28.6 else -1.0


# Double delta: a steep strake from the body, then the main wing out to the tip.
WING = mirrored([(CX - 3.0, 10.5), (CX - 5.6, 18.5), (CX - 13.2, 26.6),
                 (CX - 13.2, 28.4), (CX - 3.0, 28.4)])
# The black leading edge, a band just inside the wing's front edges.
EDGE = mirrored([(CX - 3.0, 10.5), (CX - 5.6, 18.5), (CX - 13.2, 26.6),
                 (CX - 13.2, 28.0), (CX - 11.6, 26.8), (CX - 4.3, 19.0),
                 (CX - 2.0, 12.0)])
# Elevon hinge line along the trailing edge.
ELEVON = mirrored([(CX - 12.6, 26.9), (CX - 3.5, 26.3), (CX - 3.5, 27.0), (CX - 12.6, 27.6)])
BAY_DOORS = [(CX - 2.9, 9.8), (CX + 2.9, 9.8), (CX + 2.9, 21.5), (CX - 2.9, 21.5)]
WINDOWS = mirrored([(CX - 2.6, 5.6), (CX - 0.4, 5.0), (CX - 0.4, 6.6), (CX - 2.9, 7.1)])
OMS_PODS = mirrored([(CX - 3.9, 21.0), (CX - 2.2, 20.2), (CX - 1.6, 21.0), (CX - 1.6, 29.0),
                     (CX - 4.1, 29.0)])
FIN = [(CX, 18.6), (CX + 0.9, 21.0), (CX + 0.9, 31.0), (CX - 0.9, 31.0), (CX - 0.9, 21.0)]
BODY_FLAP = [(CX - 3.6, 28.4), (CX + 3.6, 28.4), (CX + 3.6, 30.0), (CX - 3.6, 30.0)]
ENGINES = mirrored([(CX - 3.4, 29.0), (CX - 1.4, 29.0), (CX - 1.2, 31.4), (CX - 3.6, 31.4)])


def any_inside(polys, x, y):
    return any(inside(p, x, y) for p in polys)


def sample(x, y):
    """The grey at a point of the 32-unit drawing, or None where it is empty."""
    grey = None
    if any_inside(WING, x, y):
        grey = WHITE
        if any_inside(ELEVON, x, y):
            grey = SEAM
        if any_inside(EDGE, x, y):
            grey = BLACK
    if any_inside(ENGINES, x, y):
        grey = DARK
    if inside(BODY_FLAP, x, y):
        grey = GREY
    if abs(x - CX) <= fuselage_half_width(y):
        grey = WHITE
        if y < 4.2:
            grey = BLACK
        if inside(BAY_DOORS, x, y):
            grey = SEAM if abs(x - CX) < 0.35 else BAY
        if any_inside(WINDOWS, x, y):
            grey = BLACK
    if any_inside(OMS_PODS, x, y):
        grey = GREY + 40
    if inside(FIN, x, y):
        grey = GREY if abs(x - CX) > 0.35 else DARK
    return grey


def nearest_index(grey):
    return min(range(1, len(PALETTE)), key=lambda i: abs(PALETTE[i][0] - grey))


def render(size, oversample=8):
    scale = 32.0 / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            greys = []
            for sy in range(oversample):
                for sx in range(oversample):
                    x = (px + (sx + 0.5) / oversample) * scale
                    y = (py + (sy + 0.5) / oversample) * scale
                    g = sample(x, y)
                    if g is not None:
                        greys.append(g)
            covered = len(greys) / oversample ** 2
            row.append(nearest_index(sum(greys) / len(greys)) if covered >= 0.45 else TRANSPARENT)
        pixels.append(row)
    # The small size has too few pixels for a dark rim; a lighter one keeps the body white.
    return outline(pixels, GREY - 20 if size >= 32 else GREY + 30)


def outline(pixels, rim):
    """Darkens light pixels on the silhouette so the shape holds on white backgrounds."""
    size = len(pixels)
    result = [row[:] for row in pixels]
    for y in range(size):
        for x in range(size):
            if pixels[y][x] == TRANSPARENT or PALETTE[pixels[y][x]][0] <= rim:
                continue
            neighbours = [(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))]
            if any(not (0 <= nx < size and 0 <= ny < size) or pixels[ny][nx] == TRANSPARENT
                   for nx, ny in neighbours):
                result[y][x] = nearest_index(rim)
    return result


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def indexed_png(pixels):
    size = len(pixels)
    raw = b""
    for row in pixels:
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        raw += b"\x00" + packed
    header = struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0)
    palette = b"".join(bytes(c) for c in PALETTE)
    alpha = bytes([0])  # only entry 0 is see-through; the rest default to opaque
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette) +
            chunk(b"tRNS", alpha) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview_png(pixels, factor=12):
    """An enlarged RGB copy on a checkerboard, to judge the drawing by eye."""
    size = len(pixels)
    raw = b""
    for y in range(size * factor):
        line = bytearray(b"\x00")
        for x in range(size * factor):
            index = pixels[y // factor][x // factor]
            if index == TRANSPARENT:
                v = 200 if ((x // 6) + (y // 6)) % 2 else 120
                line += bytes((v, v, 255))
            else:
                line += bytes(PALETTE[index])
        raw += bytes(line)
    header = struct.pack(">IIBBBBB", size * factor, size * factor, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def fuselage_outline(step=0.25):
    """The fuselage as a polygon: down the left side from the nose, up the right."""
    ys = [1.0 + i * step for i in range(int((28.6 - 1.0) / step) + 1)]
    left = [(CX - fuselage_half_width(y), y) for y in ys]
    right = [(CX + fuselage_half_width(y), y) for y in reversed(ys)]
    return left + right


def svg_polygon(points, fill, extra=""):
    coords = " ".join(f"{x:.2f},{y:.2f}" for x, y in points)
    return f'<polygon points="{coords}" fill="{fill}"{extra}/>'


def svg_grey(value):
    return f"#{value:02x}{value:02x}{value:02x}"


def scalable_svg():
    """The drawing as SVG, painted in the order sample() decides the grey."""
    body = fuselage_outline()
    silhouette = WING + ENGINES + [BODY_FLAP, body] + OMS_PODS + [FIN]
    rim = svg_grey(GREY - 20)
    parts = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">',
             '<title>ZERBO</title>',
             '<defs><clipPath id="wing">' + "".join(svg_polygon(p, "#000") for p in WING) +
             '</clipPath><clipPath id="body">' + svg_polygon(body, "#000") +
             '</clipPath><clipPath id="fin">' + svg_polygon(FIN, "#000") + '</clipPath></defs>']
    # A rim half a unit wide around the whole shape, so it holds on white backgrounds.
    parts += [svg_polygon(p, rim, f' stroke="{rim}" stroke-width="1" stroke-linejoin="round"')
              for p in silhouette]
    parts += [svg_polygon(p, svg_grey(WHITE)) for p in WING]
    parts += [svg_polygon(p, svg_grey(SEAM), ' clip-path="url(#wing)"') for p in ELEVON]
    parts += [svg_polygon(p, svg_grey(BLACK), ' clip-path="url(#wing)"') for p in EDGE]
    parts += [svg_polygon(p, svg_grey(DARK)) for p in ENGINES]
    parts.append(svg_polygon(BODY_FLAP, svg_grey(GREY)))
    parts.append(svg_polygon(body, svg_grey(WHITE)))
    parts.append(f'<rect x="0" y="0" width="32" height="4.2" fill="{svg_grey(BLACK)}" '
                 'clip-path="url(#body)"/>')
    parts.append(svg_polygon(BAY_DOORS, svg_grey(BAY)))
    parts.append(f'<rect x="{CX - 0.35:.2f}" y="9.8" width="0.7" height="11.7" '
                 f'fill="{svg_grey(SEAM)}"/>')
    parts += [svg_polygon(p, svg_grey(BLACK)) for p in WINDOWS]
    parts += [svg_polygon(p, svg_grey(GREY + 40)) for p in OMS_PODS]
    parts.append(svg_polygon(FIN, svg_grey(GREY)))
    parts.append(f'<rect x="{CX - 0.35:.2f}" y="18.6" width="0.7" height="12.4" '
                 f'fill="{svg_grey(DARK)}" clip-path="url(#fin)"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    preview_dir = sys.argv[sys.argv.index("--preview") + 1] if "--preview" in sys.argv else None
    for size in (32, 16):
        pixels = render(size)
        with open(os.path.join(root, "assets", f"shuttle-{size}.png"), "wb") as f:
            f.write(indexed_png(pixels))
        if preview_dir:
            with open(os.path.join(preview_dir, f"shuttle-{size}-preview.png"), "wb") as f:
                f.write(preview_png(pixels, 384 // size))
    with open(os.path.join(root, "assets", "shuttle.svg"), "w", encoding="utf-8") as f:
        f.write(scalable_svg())


if __name__ == "__main__":
    main()
