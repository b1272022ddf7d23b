#!/usr/bin/env python3
"""Draws the coloured bitmap button's kind glyphs as two-cell PNGs.

Cell 0 is the normal look; cell 1 the disabled look in button-shadow grey
($808080) with a white highlight one pixel down-right, which the button
recolours. Olive ($008080, the bottom-left pixel) is the transparent colour.
Run it from this folder to redraw the files.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from pngfile import write_png as png  # noqa: E402

OLIVE = (128, 128, 0)
GREY = (128, 128, 128)
WHITE = (255, 255, 255)


def thick_line(points, x0, y0, x1, y1, t=1):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        x = x0 + (x1 - x0) * i / n
        y = y0 + (y1 - y0) * i / n
        for dx in range(t):
            for dy in range(t):
                points.add((round(x) + dx, round(y) + dy))


def ring(points, cx, cy, r0, r1, gap=None):
    for y in range(18):
        for x in range(18):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if r0 <= d <= r1 and not (gap and gap(x, y)):
                points.add((x, y))


def disc(points, cx, cy, r):
    ring(points, cx, cy, 0, r)


def shape(kind):
    p = set()
    if kind in ("OK", "YES"):
        thick_line(p, 3, 9, 7, 13, 2)
        thick_line(p, 7, 13, 14, 4, 2)
    elif kind == "CANCEL":
        thick_line(p, 4, 4, 13, 13, 2)
        thick_line(p, 13, 4, 4, 13, 2)
    elif kind == "NO":
        ring(p, 8.5, 8.5, 5, 7)
        thick_line(p, 4, 13, 13, 4, 2)
    elif kind == "HELP":
        ring(p, 8.5, 6, 2.5, 4.2, gap=lambda x, y: y > 6 and x < 9)
        thick_line(p, 8, 10, 8, 11, 2)
        thick_line(p, 8, 14, 8, 14, 2)
    elif kind == "CLOSE":
        for y in range(2, 16):
            for x in range(5, 13):
                if x in (5, 12) or y in (2, 15):
                    p.add((x, y))
        thick_line(p, 10, 9, 10, 9, 1)
    elif kind == "ABORT":
        disc(p, 8.5, 8.5, 6.5)
    elif kind == "RETRY":
        ring(p, 8.5, 8.5, 4, 6, gap=lambda x, y: x > 9 and y < 8)
        thick_line(p, 11, 2, 14, 5, 1)
        thick_line(p, 14, 5, 11, 8, 1)
    elif kind == "IGNORE":
        thick_line(p, 3, 8, 12, 8, 2)
        thick_line(p, 9, 4, 13, 8, 2)
        thick_line(p, 13, 9, 9, 13, 2)
    return {(x, y) for x, y in p if 0 <= x < 18 and 0 <= y < 18}


COLOURS = {"OK": (0, 128, 0), "YES": (0, 128, 0), "CANCEL": (192, 0, 0), "NO": (192, 0, 0),
           "HELP": (0, 0, 160), "CLOSE": (96, 64, 32), "ABORT": (192, 0, 0), "RETRY": (0, 128, 0),
           "IGNORE": (0, 0, 160), "ALL": (0, 128, 0)}


def draw(kind, height=18):
    cells = [[[OLIVE] * 18 for _ in range(height)] for _ in range(2)]
    pts = shape("OK" if kind == "ALL" else kind)
    if kind == "ALL":
        pts = {(x - 2, y - 2) for x, y in pts} | {(x + 1, y + 2) for x, y in pts}
        pts = {(x, y) for x, y in pts if 0 <= x < 18 and 0 <= y < height}
    for x, y in pts:
        cells[0][y][x] = COLOURS[kind]
        if x + 1 < 18 and y + 1 < height and (x + 1, y + 1) not in pts:
            cells[1][y + 1][x + 1] = WHITE
    for x, y in pts:
        cells[1][y][x] = GREY
    return [cells[0][y] + cells[1][y] for y in range(height)]


for kind in ("OK", "CANCEL", "HELP", "YES", "NO", "CLOSE", "ABORT", "RETRY", "IGNORE"):
    png("GLYPH_%s.png" % kind, draw(kind))
png("GLYPH_ALL.png", draw("ALL", 19))
