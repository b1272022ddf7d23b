#!/usr/bin/env python3
"""Draws the program icon, app/resources/orvane.png: radio waves leaving a
mast on a blue rounded square. Pure Python, so it runs anywhere."""
import math
import os

from pngfile import write_png

SIZE = 128
SS = 4  # samples per pixel side, for smooth edges


def coverage(x, y):
    """RGBA of the shape at a sample point in 0..SIZE coordinates."""
    # Rounded square background.
    r = 22.0
    m = 4.0
    cx = min(max(x, m + r), SIZE - m - r)
    cy = min(max(y, m + r), SIZE - m - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # Vertical gradient from a light to a deep blue.
    t = (y - m) / (SIZE - 2 * m)
    bg = (int(40 + 10 * (1 - t)), int(110 - 50 * t), int(200 - 60 * t), 255)
    white = (255, 255, 255, 255)
    amber = (255, 196, 40, 255)
    ox, oy = 40.0, 70.0  # the mast's top, where the waves start
    # Mast: a triangle from the top down to a base.
    if 70 <= y <= 108:
        half = 2.5 + (y - 70) * 0.32
        if abs(x - ox) <= half:
            return white
    d = math.hypot(x - ox, y - oy)
    if d <= 6.5:
        return amber
    # Three arcs to the right, 70 degrees either side of the horizontal.
    ang = math.degrees(math.atan2(oy - y, x - ox))
    if -55 <= ang <= 55:
        for radius in (20.0, 36.0, 52.0):
            if abs(d - radius) <= 4.0:
                return white
    return bg


def main():
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    c = coverage(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
                    a = c[3]
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if acc[3]:
                rgb = [round(acc[i] / acc[3]) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append(tuple(rgb + [round(alpha)]))
        rows.append(row)
    write_png(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "resources", "orvane.png"), rows)


if __name__ == "__main__":
    main()
