#!/usr/bin/python3
"""Writes the two pieces of cartoon lettering: title.svg ("CIFRELLA", yellow)
and istruzioni.svg ("ISTRUZIONI", blue).

The capitals are heavy, round-ended pen strokes, slanted a little and set
with a small bounce.  Each letter has a drop shadow of its own colour,
offset down and to the left, and a thin transparent gap between the letter
and its shadow so the background shows through and outlines the letter.

Every letter is drawn here once, as the centre line of its strokes in a
box 1 x 1 (u to the right, v downwards); the box is stretched to the width
and height each word needs and the strokes keep their round thickness.

Run with:  /usr/bin/python3 assets/tools/make_lettering.py
The output is the same, byte for byte, on every run.
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # leave no cache files beside the tools
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import contours  # noqa: E402


def arc(cu, cv, ru, rv, a0, a1, step=6.0):
    """Points of an elliptical arc in the letter box, angles in degrees,
    counter-clockwise, 0 pointing right."""
    n = max(2, int(abs(a1 - a0) / step))
    pts = []
    for k in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * k / n)
        pts.append((cu + ru * math.cos(a), cv - rv * math.sin(a)))
    return pts


# Each letter: (relative width, list of strokes); a stroke is a list of
# (u, v) points of its centre line.  Width 0 is a letter as wide as its
# stroke.
LETTERS = {
    "A": (1.25, [
        [(0.0, 1.0), (0.5, 0.0), (1.0, 1.0)],
        [(0.2, 0.62), (0.8, 0.62)],
    ]),
    "C": (1.0, [
        arc(0.5, 0.5, 0.5, 0.5, 48, 312),
    ]),
    "E": (0.8, [
        [(1.0, 0.0), (0.0, 0.0), (0.0, 1.0), (1.0, 1.0)],
        [(0.0, 0.49), (0.84, 0.49)],
    ]),
    "F": (0.8, [
        [(0.0, 1.0), (0.0, 0.0), (1.0, 0.0)],
        [(0.0, 0.49), (0.84, 0.49)],
    ]),
    "I": (0.0, [
        [(0.5, 0.0), (0.5, 1.0)],
    ]),
    "L": (0.75, [
        [(0.0, 0.0), (0.0, 1.0), (1.0, 1.0)],
    ]),
    "N": (1.0, [
        [(0.0, 1.0), (0.0, 0.0), (1.0, 1.0), (1.0, 0.0)],
    ]),
    "O": (1.05, [
        arc(0.5, 0.5, 0.5, 0.5, 0, 360),
    ]),
    "R": (0.95, [
        [(0.0, 1.0), (0.0, 0.0), (0.5, 0.0)] + arc(0.5, 0.26, 0.5, 0.26, 90, -90)[1:] + [(0.0, 0.52)],
        [(0.45, 0.52), (1.0, 1.0)],
    ]),
    "S": (0.9, [
        arc(0.5, 0.255, 0.47, 0.255, 28, 270)
        + arc(0.5, 0.745, 0.5, 0.255, 90, -152)[1:],
    ]),
    "T": (0.95, [
        [(0.0, 0.0), (1.0, 0.0)],
        [(0.5, 0.0), (0.5, 1.0)],
    ]),
    "U": (1.0, [
        [(0.0, 0.0), (0.0, 0.55)] + arc(0.5, 0.55, 0.5, 0.45, 180, 360)[1:] + [(1.0, 0.0)],
    ]),
    "Z": (0.9, [
        [(0.0, 0.0), (1.0, 0.0), (0.0, 1.0), (1.0, 1.0)],
    ]),
}


class Word:
    def __init__(self, text, width, height, colour, pen, slant, shadow, gap,
                 margin, spacing, bounce, step, contrast=(1.0, 1.0)):
        self.text = text
        self.width = width          # picture size, twips
        self.height = height
        self.colour = colour
        self.pen = pen              # half the stroke thickness
        self.slant = slant          # horizontal shift per unit of height
        self.shadow = shadow        # (dx, dy) of the shadow
        self.gap = gap              # transparent gap between letter and shadow
        self.margin = margin
        self.spacing = spacing      # space between letters
        self.bounce = bounce        # per letter: (rise, turn in degrees)
        self.step = step
        self.contrast = contrast    # stroke weight of level and of upright parts


def place(word):
    """Centre lines of every stroke of the word, in picture coordinates."""
    r = word.pen
    sdx, sdy = word.shadow
    # room for the ink (the shadow hangs below and to the left)
    left = word.margin + max(0, -sdx)
    right = word.width - word.margin - max(0, sdx)
    top = word.margin + max(0, -sdy)
    bottom = word.height - word.margin - max(0, sdy)
    h = bottom - top
    lean = word.slant * h
    rel = [LETTERS[ch][0] for ch in word.text]
    fixed = 2 * r * len(rel) + word.spacing * (len(rel) - 1) + lean
    unit = (right - left - fixed) / sum(rel)
    strokes = []
    x = left
    for k, ch in enumerate(word.text):
        w = 2 * r + rel[k] * unit
        rise, turn = word.bounce[k % len(word.bounce)]
        cx = x + w / 2
        cy = top + h / 2
        ca, sa = math.cos(math.radians(turn)), math.sin(math.radians(turn))
        for s in LETTERS[ch][1]:
            pts = []
            for u, v in s:
                px = x + r + u * (w - 2 * r)
                py = top + r + v * (h - 2 * r)
                # a little turn and rise for a bouncy look
                dx, dy = px - cx, py - cy
                px, py = cx + dx * ca - dy * sa, cy + dx * sa + dy * ca - rise
                # the slant: the higher, the further right
                px += word.slant * (bottom - py)
                pts.append((px, py))
            # upright strokes are a little heavier than level ones
            radii = []
            for (u0, v0), (u1, v1) in zip(s, s[1:]):
                dx, dy = (u1 - u0) * (w - 2 * r), (v1 - v0) * (h - 2 * r)
                n = math.hypot(dx, dy) or 1.0
                radii.append(r * (word.contrast[0] + (word.contrast[1] - word.contrast[0]) * abs(dy) / n))
            strokes.append((pts, radii))
        x += w + word.spacing
    return strokes


def render(word):
    strokes = place(word)
    r = word.pen
    reach = word.gap + 3 * word.step
    sdx, sdy = word.shadow
    letters = contours.Field(0, 0, word.width, word.height, word.step)
    shadow = contours.Field(0, 0, word.width, word.height, word.step)
    for pts, radii in strokes:
        moved = [(x + sdx, y + sdy) for x, y in pts]
        for k, rk in enumerate(radii):
            letters.segment(pts[k], pts[k + 1], rk, rk, reach)
            shadow.segment(moved[k], moved[k + 1], rk, rk, reach)
    nx, ny = letters.nx, letters.ny
    # the shadow: the moved copy, less the letters grown by the gap
    cut = [max(a, word.gap - b) for a, b in zip(shadow.v, letters.v)]
    tol = word.step * 0.12
    ink = contours.outlines(letters.v, nx, ny, 0, 0, word.step, tol)
    shade = contours.outlines(cut, nx, ny, 0, 0, word.step, tol)
    out = []
    out.append('<?xml version="1.0" encoding="UTF-8"?>')
    out.append('<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
               'width="%s" height="%s" viewBox="0 0 %d %d">'
               % (px_size(word.width), px_size(word.height), word.width, word.height))
    out.append('  <!-- the shadow, with a thin gap all round the letters -->')
    out.append('  <path fill="%s" fill-rule="evenodd" d="%s"/>' % (word.colour, contours.path_data(shade)))
    out.append('  <!-- the letters -->')
    out.append('  <path fill="%s" fill-rule="evenodd" d="%s"/>' % (word.colour, contours.path_data(ink)))
    out.append('</svg>')
    return "\n".join(out) + "\n"


def px_size(twips):
    s = "%.4f" % (twips / 15.0)
    s = s.rstrip("0").rstrip(".")
    return s


TITLE = Word("CIFRELLA", 1892, 624, "#fff500",
             pen=38, slant=0.14, shadow=(-40, 36), gap=16, margin=10, spacing=30, contrast=(0.75, 1.12),
             bounce=[(6, -1.5), (-4, 1), (4, -1), (-6, 1.5), (5, -1), (-3, 1), (5, -1.5), (-5, 1)],
             step=2.5)

ISTRUZIONI = Word("ISTRUZIONI", 2101, 269, "#0093dd",
                  pen=23, slant=0.14, shadow=(-24, 22), gap=14, margin=6, spacing=44, contrast=(0.75, 1.12),
                  bounce=[(2, -2), (-2, 2), (2, -1.5), (-2, 2), (2, -2),
                          (-2, 1.5), (2, -2), (-2, 2), (2, -1.5), (-2, 2)],
                  step=1.5)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    assets = os.path.dirname(here)
    for word, name in ((TITLE, "title.svg"), (ISTRUZIONI, "istruzioni.svg")):
        with open(os.path.join(assets, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(render(word))


if __name__ == "__main__":
    main()
