#!/usr/bin/python3
"""Writes handwriting.svg: "Buon divertimento" in joined-up school script,
black ink, as filled outlines.

The words are written below as the path of a pen tip, in units of the
height of a small letter (baseline 0, upwards positive).  Points are
joined by smooth curves; a '|' marks a sharp turn where the pen goes back
on itself.  The pen has a broad nib held at an angle, so down strokes come
out heavier than the thin joining up strokes.

Run with:  /usr/bin/python3 assets/tools/make_handwriting.py
The output is the same, byte for byte, on every run.
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # leave no cache files beside the tools
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import contours  # noqa: E402

WIDTH, HEIGHT = 1234, 161
INK = "#1f1a17"

# One pen movement per line.
STROKES = [
    # B: the stem, then the two bowls
    "0.62,2.28 0.55,1.4 0.45,0.5 0.34,0.0",
    "0.05,1.85 0.45,2.25 1.05,2.35 1.45,2.1 1.42,1.6 1.0,1.28 0.62,1.2 |"
    " 0.62,1.2 1.2,1.12 1.58,0.75 1.45,0.22 1.0,0.0 0.5,0.03 0.2,0.2",
    # uon
    "1.72,0.55 1.9,0.92 2.0,1.0 | 1.95,0.5 1.97,0.12 2.12,0.0 2.3,0.12 2.47,0.55 2.57,1.0 |"
    " 2.53,0.5 2.55,0.12 2.68,0.0 2.86,0.12 3.0,0.45 3.12,0.85 3.33,1.0 |"
    " 3.13,0.9 3.03,0.5 3.14,0.06 3.36,0.0 3.55,0.3 3.56,0.75 3.4,0.99 |"
    " 3.52,0.93 3.75,0.93 3.95,0.95 4.07,1.0 | 4.04,0.5 4.02,0.0 |"
    " 4.06,0.45 4.25,0.9 4.45,1.0 4.6,0.82 4.6,0.32 4.64,0.06 4.8,0.0 5.0,0.18",
    # divertimento
    "6.1,0.82 5.88,1.0 5.62,0.85 5.52,0.38 5.66,0.02 5.92,0.08 6.08,0.45 6.2,1.3 6.3,2.3 |"
    " 6.24,1.3 6.18,0.35 6.26,0.02 6.45,0.02 6.6,0.3 6.72,1.0 |"
    " 6.68,0.45 6.7,0.08 6.84,0.0 7.02,0.2 7.18,0.8 7.28,1.0 |"
    " 7.28,1.0 7.32,0.55 7.5,0.02 | 7.5,0.02 7.66,0.35 7.74,0.95 |"
    " 7.74,0.95 7.88,0.86 8.05,0.75 8.3,0.6 8.44,0.84 8.34,1.0 8.16,0.86 8.1,0.35 8.26,0.02 8.5,0.03 8.68,0.25"
    " 8.82,0.72 8.92,1.02 | 8.96,0.9 9.08,0.93 9.17,0.96 | 9.14,0.5 9.16,0.08 9.32,0.0 9.5,0.18"
    " 9.66,0.8 9.82,1.75 | 9.77,1.0 9.74,0.3 9.82,0.03 10.02,0.0 10.18,0.22 10.32,0.62 10.42,1.0 |"
    " 10.37,0.45 10.4,0.06 10.56,0.0 10.73,0.22 10.84,0.72 10.9,1.0 | 10.88,0.5 10.87,0.0 |"
    " 10.92,0.5 11.07,0.9 11.23,1.0 11.36,0.8 11.36,0.0 | 11.39,0.5 11.54,0.9 11.7,1.0 11.83,0.8"
    " 11.82,0.32 11.86,0.05 12.02,0.0 12.18,0.15 12.42,0.48 12.56,0.84 12.46,1.0 12.3,0.88 12.24,0.4"
    " 12.36,0.04 12.6,0.02 12.8,0.25 12.92,0.72 12.98,1.0 | 12.96,0.5 12.95,0.0 |"
    " 13.0,0.5 13.17,0.9 13.35,1.0 13.48,0.8 13.48,0.3 13.52,0.05 13.7,0.0 13.86,0.2"
    " 14.0,0.8 14.14,1.75 | 14.09,1.0 14.06,0.3 14.14,0.03 14.32,0.0 14.5,0.2 14.62,0.55 14.74,0.88 14.95,1.0 |"
    " 14.75,0.9 14.65,0.5 14.76,0.06 14.98,0.0 15.17,0.3 15.18,0.75 15.02,0.99 |"
    " 15.14,0.93 15.3,0.92 15.45,0.98",
    # the crossings of the two t's
    "9.58,1.2 9.8,1.23 10.08,1.24",
    "13.9,1.2 14.12,1.23 14.4,1.24",
]
# the dots of the two i's
DOTS = [(6.8, 1.5), (10.48, 1.5)]

SLANT = 0.28        # forward lean of the writing, per unit of height
PEN_THIN = 4.2      # half-thickness of a stroke along the nib (twips)
PEN_THICK = 9.0     # half-thickness of a stroke across the nib
NIB = math.radians(40)
STEP = 1.0


def parse(stroke):
    runs = []
    for piece in stroke.split("|"):
        pts = [tuple(float(v) for v in p.split(",")) for p in piece.split()]
        if not pts:
            continue
        # the pen goes on from the sharp turn without lifting
        if runs and pts[0] != runs[-1][-1]:
            pts.insert(0, runs[-1][-1])
        runs.append(pts)
    return runs


def layout():
    xs = []
    ys = []
    for s in STROKES:
        for run in parse(s):
            for x, y in run:
                xs.append(x + SLANT * y)
                ys.append(y)
    for x, y in DOTS:
        xs.append(x + SLANT * y)
        ys.append(y)
    margin = PEN_THICK + 3
    scale_y = (HEIGHT - 2 * margin) / (max(ys) - min(ys))
    scale_x = (WIDTH - 2 * margin) / (max(xs) - min(xs))
    top = max(ys)
    left = min(xs)

    def to_page(p):
        x, y = p
        return (margin + (x + SLANT * y - left) * scale_x, margin + (top - y) * scale_y)

    return to_page


def pen_radius(dx, dy):
    """Half-thickness of the line the nib leaves moving in (dx, dy)
    on the page (y downwards)."""
    a = math.atan2(-dy, dx)
    return PEN_THIN + (PEN_THICK - PEN_THIN) * abs(math.sin(a - NIB))


def main():
    to_page = layout()
    field = contours.Field(0, 0, WIDTH, HEIGHT, STEP)
    reach = 3 * STEP
    for s in STROKES:
        for run in parse(s):
            pts = [to_page(p) for p in contours.catmull_rom(run, samples=10)]
            # thickness at each point from the direction there, smoothed
            radii = []
            for k in range(len(pts)):
                a = pts[max(0, k - 1)]
                b = pts[min(len(pts) - 1, k + 1)]
                radii.append(pen_radius(b[0] - a[0], b[1] - a[1]))
            smooth = []
            for k in range(len(radii)):
                win = radii[max(0, k - 2):k + 3]
                smooth.append(sum(win) / len(win))
            # the ends of a stroke taper a little, as a pen lifts
            if len(smooth) > 4:
                for k in range(2):
                    smooth[k] = smooth[k] * (0.75 + 0.125 * k)
                    smooth[-1 - k] = smooth[-1 - k] * (0.75 + 0.125 * k)
            field.stroke(pts, smooth, reach)
    for d in DOTS:
        p = to_page(d)
        field.segment((p[0] - 2.5, p[1] + 2), (p[0] + 2.5, p[1] - 2), PEN_THICK * 0.85, PEN_THICK * 0.85, reach)
    ink = contours.outlines(field.v, field.nx, field.ny, 0, 0, STEP, 0.12)
    out = []
    out.append('<?xml version="1.0" encoding="UTF-8"?>')
    out.append('<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
               'width="82.2667" height="10.7333" viewBox="0 0 %d %d">' % (WIDTH, HEIGHT))
    out.append('  <!-- "Buon divertimento" written with a broad pen -->')
    out.append('  <path fill="%s" fill-rule="evenodd" d="%s"/>' % (INK, contours.path_data(ink)))
    out.append('</svg>')
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(os.path.dirname(here), "handwriting.svg"), "w",
              encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
