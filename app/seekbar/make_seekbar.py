#!/usr/bin/env python3
"""Draws the main window's seeking-bar pictures as PNGs with alpha.

Thumb: a 20 x 10 rounded pill with a glossy upper half, in the normal, hot
and pressed colours of the bar's thumb. End buttons: 24 x 10 pills with a
minus (minimum end) or a plus (maximum end). Run it from this folder to
redraw the files.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from pngfile import write_png as png  # noqa: E402


def rgb(bgr):
    return (bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def coverage(x, y, w, h, r):
    """How much of pixel (x, y) lies inside a w x h pill of corner radius r."""
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            cx = min(max(px, r), w - r)
            cy = min(max(py, r), h - r)
            if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                inside += 1
    return inside / 16


def pill(w, h, top, bottom, border, glyph=None):
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            a = coverage(x, y, w, h, h / 2)
            inner = coverage(x - 1, y - 1, w - 2, h - 2, h / 2 - 1)
            t = y / (h - 1)
            fill = mix(top, bottom, t * 2) if t < 0.5 else mix(bottom, top, (t - 0.5))
            c = mix(border, fill, inner)
            if glyph and (x, y) in glyph:
                c = border
            row.append(c + (round(255 * a),))
        rows.append(row)
    return rows


def minus(w, h):
    return {(x, h // 2 - 1 + dy) for x in range(w // 2 - 4, w // 2 + 4) for dy in range(2)}


def plus(w, h):
    return minus(w, h) | {(w // 2 - 1 + dx, y) for y in range(2, h - 2) for dx in range(2)}


STATES = {
    "": (rgb(15653832), rgb(16178633), rgb(10317632)),
    "Hot": (rgb(15465983), rgb(11332863), rgb(10079963)),
    "Down": (rgb(7778289), rgb(4296947), rgb(4548219)),
}

for state, (top, bottom, border) in STATES.items():
    png(f"Thumb{state}.png", pill(20, 10, top, bottom, border))
    png(f"Min{state}.png", pill(24, 10, top, bottom, border, minus(24, 10)))
    png(f"Max{state}.png", pill(24, 10, top, bottom, border, plus(24, 10)))
