#!/usr/bin/python3
"""Writes example_square.svg: the worked example of a magic square.

A 3 x 3 grid of white cells with thick black borders, one large black digit
in each cell, and red dashed lines along every row, every column and both
diagonals, all crossing in a small red star in the centre cell.

The digits are drawn here as filled polygons in a plain sans-serif style.
Each digit's shapes are wrapped in <g id="cellRC-D"> (row R, column C,
digit D) so that a program can find them.

Run with:  /usr/bin/python3 assets/tools/make_example_square.py
The output is the same, byte for byte, on every run.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from contours import fmt, path_data  # noqa: E402

GRID = [[1, 8, 3],
        [6, 4, 2],
        [5, 0, 7]]
KEY = 12

# Picture size in twips (15 twips = 1 pixel).
WIDTH, HEIGHT = 1524, 1522
MARGIN = 46            # transparent margin around the grid
BORDER = 30            # thickness of the black grid lines
DIGIT_HEIGHT = 290     # height of a digit
RED = "#da251d"
BLACK = "#1f1a17"
WHITE = "#ffffff"

DASH_WIDTH = 13        # thickness of a red dash
DASH_LENGTH = 42
DASH_PERIOD = 72       # dash plus gap
STAR_OUTER = 60        # the star in the centre
STAR_INNER = 19


def check_magic(grid, key):
    assert len(grid) == 3 and all(len(row) == 3 for row in grid)
    assert sorted(v for row in grid for v in row) == sorted(set(v for row in grid for v in row))
    lines = [list(row) for row in grid]
    lines += [[grid[r][c] for r in range(3)] for c in range(3)]
    lines.append([grid[i][i] for i in range(3)])
    lines.append([grid[i][2 - i] for i in range(3)])
    for line in lines:
        assert sum(line) == key, (line, key)


# ---------------------------------------------------------------- geometry

def area(poly):
    s = 0.0
    for i in range(len(poly)):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % len(poly)]
        s += x0 * y1 - x1 * y0
    return s / 2


def oriented(poly, solid=True):
    """Solid outlines turn one way and holes the other, so that overlapping
    pieces of one path simply add up under the nonzero fill rule."""
    a = area(poly)
    if (a > 0) != solid:
        return list(reversed(poly))
    return list(poly)


def ellipse_point(cx, cy, rx, ry, deg):
    a = math.radians(deg)
    return (cx + rx * math.cos(a), cy - ry * math.sin(a))


def arc_points(cx, cy, rx, ry, a0, a1, step=4.0):
    n = max(2, int(abs(a1 - a0) / step) + 1)
    return [ellipse_point(cx, cy, rx, ry, a0 + (a1 - a0) * k / n) for k in range(n + 1)]


class Glyph:
    """A digit as a list of closed outlines in a box 1 unit high."""

    def __init__(self, width):
        self.width = width
        self.shapes = []   # (points, solid)

    def poly(self, pts):
        self.shapes.append((oriented(pts, True), True))

    def rect(self, x0, y0, x1, y1):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])

    def band(self, cx, cy, rx, ry, wx, wy, a0, a1):
        """A thick elliptical arc: centre line (rx, ry), thickness wx at the
        sides and wy at top and bottom, from angle a0 to a1 (degrees,
        counter-clockwise, 0 = right)."""
        outer = arc_points(cx, cy, rx + wx / 2, ry + wy / 2, a0, a1)
        inner = arc_points(cx, cy, rx - wx / 2, ry - wy / 2, a1, a0)
        self.poly(outer + inner)

    def ring(self, cx, cy, rx, ry, wx, wy):
        outer = arc_points(cx, cy, rx + wx / 2, ry + wy / 2, 0, 360)[:-1]
        inner = arc_points(cx, cy, rx - wx / 2, ry - wy / 2, 0, 360)[:-1]
        self.shapes.append((oriented(outer, True), True))
        self.shapes.append((oriented(inner, False), False))

    def bar(self, p, q, w):
        dx, dy = q[0] - p[0], q[1] - p[1]
        n = math.hypot(dx, dy)
        nx, ny = -dy / n * w / 2, dx / n * w / 2
        self.poly([(p[0] + nx, p[1] + ny), (q[0] + nx, q[1] + ny),
                   (q[0] - nx, q[1] - ny), (p[0] - nx, p[1] - ny)])

    def dot(self, c, r):
        self.poly(arc_points(c[0], c[1], r, r, 0, 360, step=10)[:-1])

    def rotated(self):
        """The same glyph turned upside down (a 6 becomes a 9)."""
        g = Glyph(self.width)
        for pts, solid in self.shapes:
            g.shapes.append(([(self.width - x, 1 - y) for x, y in pts], solid))
        return g


# Stroke thickness: a little heavier in the upright parts than in the
# horizontal ones, as a plain sans-serif face usually is.
WX = 0.15
WY = 0.13
W = 0.64


def digit_0():
    g = Glyph(W)
    g.ring(W / 2, 0.5, W / 2 - WX / 2, 0.5 - WY / 2, WX, WY)
    return g


def digit_1():
    g = Glyph(W)
    xs = W * 0.64
    g.rect(xs - WX / 2, 0, xs + WX / 2, 1)
    # the flag at the top
    g.poly([(xs - WX / 2, 0), (xs + WX / 2, 0), (xs - WX / 2, 0.2),
            (W * 0.06, 0.33), (W * 0.06, 0.2)])
    return g


def digit_2():
    g = Glyph(W)
    cx, cy = W / 2, 0.29
    rx, ry = W / 2 - WX / 2, cy - WY / 2
    target = (WX * 0.55, 1 - WY * 0.5)

    def miss(a):
        # angle between the tangent of the bowl and the way down to the foot
        px, py = ellipse_point(cx, cy, rx, ry, a)
        t = (rx * math.sin(math.radians(a)), ry * math.cos(math.radians(a)))
        d = (target[0] - px, target[1] - py)
        return t[0] * d[1] - t[1] * d[0]

    lo, hi = -85.0, 0.0
    for _ in range(60):
        mid = (lo + hi) / 2
        if (miss(lo) > 0) == (miss(mid) > 0):
            lo = mid
        else:
            hi = mid
    a_end = (lo + hi) / 2
    g.band(cx, cy, rx, ry, WX, WY, 160, a_end)
    p = ellipse_point(cx, cy, rx, ry, a_end)
    g.bar(p, target, WX * 1.02)
    g.dot(p, WX / 2)
    g.rect(0, 1 - WY, W, 1)
    return g


def lobes(m):
    """Half-heights and centres of the upper and lower bowls of a 3 or an 8
    whose waist stroke is centred at height m."""
    ry1 = (m - WY / 2) / 2
    ry2 = (1 - WY / 2 - m) / 2
    return ry1, WY / 2 + ry1, ry2, m + ry2


def digit_3():
    g = Glyph(W)
    m = 0.455
    ry1, cy1, ry2, cy2 = lobes(m)
    rx1 = W / 2 - WX / 2 - 0.025
    rx2 = W / 2 - WX / 2
    g.band(W / 2 - 0.012, cy1, rx1, ry1, WX, WY, 158, -90)
    g.band(W / 2, cy2, rx2, ry2, WX, WY, 90, -158)
    g.rect(W / 2 - 0.13, m - WY / 2, W / 2, m + WY / 2)
    return g


def digit_4():
    g = Glyph(W)
    xs = W * 0.72
    yb = 0.67
    hd = WX * 1.22
    g.rect(xs - WX / 2, 0, xs + WX / 2, 1)
    g.rect(0, yb, W, yb + WY)
    g.poly([(xs - WX / 2 - hd, 0), (xs - WX / 2, 0), (hd, yb), (0, yb)])
    return g


def digit_5():
    g = Glyph(W)
    cx, cy = W / 2 + 0.012, 0.635
    rx, ry = W / 2 - WX / 2 - 0.012, 1 - cy - WY / 2
    a0 = 100
    xs = WX / 2 + 0.03
    g.band(cx, cy, rx, ry, WX, WY, a0, -150)
    g.rect(xs - WX / 2, 0, xs + WX / 2, 0.5)
    g.rect(xs - WX / 2, 0, W - 0.03, WY)
    # the shoulder from the foot of the stem up into the bowl
    top = ellipse_point(cx, cy, rx, ry, a0)
    g.bar((xs + 0.03, 0.5 - WY / 2), top, WY)
    g.dot(top, WY / 2)
    return g


def digit_6():
    g = Glyph(W)
    cx, cy = W / 2, 0.645
    rx, ry = W / 2 - WX / 2, 1 - cy - WY / 2
    g.ring(cx, cy, rx, ry, WX, WY)
    # the hook rising from the bowl's left side
    g.band(cx, cy, rx, cy - WY / 2, WX, WY, 180, 42)
    return g


def digit_7():
    g = Glyph(W)
    hd = WX * 1.18
    xb = W * 0.22
    g.rect(0, 0, W, WY)
    g.poly([(W - hd, WY * 0.5), (W, 0), (W, WY), (xb + hd, 1), (xb, 1)])
    return g


def digit_8():
    g = Glyph(W)
    ry1, cy1, ry2, cy2 = lobes(0.445)
    g.ring(W / 2, cy1, W / 2 - WX / 2 - 0.035, ry1, WX * 0.95, WY)
    g.ring(W / 2, cy2, W / 2 - WX / 2, ry2, WX, WY)
    return g


def digit_9():
    return digit_6().rotated()


DIGITS = [digit_0, digit_1, digit_2, digit_3, digit_4,
          digit_5, digit_6, digit_7, digit_8, digit_9]


# ---------------------------------------------------------------- output

def clip_to_picture(poly):
    """Cuts a polygon to the picture's rectangle (Sutherland-Hodgman)."""
    def cut(pts, inside, meet):
        res = []
        for i in range(len(pts)):
            a, b = pts[i - 1], pts[i]
            ia, ib = inside(a), inside(b)
            if ib:
                if not ia:
                    res.append(meet(a, b))
                res.append(b)
            elif ia:
                res.append(meet(a, b))
        return res

    def on_x(x0):
        return lambda a, b: (x0, a[1] + (b[1] - a[1]) * (x0 - a[0]) / (b[0] - a[0]))

    def on_y(y0):
        return lambda a, b: (a[0] + (b[0] - a[0]) * (y0 - a[1]) / (b[1] - a[1]), y0)

    pts = poly
    for inside, meet in ((lambda p: p[0] >= 0, on_x(0)),
                         (lambda p: p[0] <= WIDTH, on_x(WIDTH)),
                         (lambda p: p[1] >= 0, on_y(0)),
                         (lambda p: p[1] <= HEIGHT, on_y(HEIGHT))):
        if not pts:
            break
        pts = cut(pts, inside, meet)
    return pts


def dashes_along(centre, direction):
    """Dashes on the whole line through `centre` in `direction`, placed
    symmetrically about the centre and cut at the picture's edge."""
    cx, cy = centre
    dx, dy = direction
    n = math.hypot(dx, dy)
    dx, dy = dx / n, dy / n
    nx, ny = -dy, dx
    out = []
    reach = int(math.hypot(WIDTH, HEIGHT) / DASH_PERIOD) + 2
    for k in range(-reach, reach + 1):
        s0 = k * DASH_PERIOD - DASH_LENGTH / 2
        s1 = k * DASH_PERIOD + DASH_LENGTH / 2
        h = DASH_WIDTH / 2
        quad = [(cx + dx * s0 + nx * h, cy + dy * s0 + ny * h),
                (cx + dx * s1 + nx * h, cy + dy * s1 + ny * h),
                (cx + dx * s1 - nx * h, cy + dy * s1 - ny * h),
                (cx + dx * s0 - nx * h, cy + dy * s0 - ny * h)]
        quad = clip_to_picture(quad)
        if len(quad) >= 3 and abs(area(quad)) > 1:
            out.append(oriented(quad))
    return out


def star(centre, angles):
    cx, cy = centre
    pts = []
    for a in angles:
        pts.append((cx + STAR_OUTER * math.cos(a), cy + STAR_OUTER * math.sin(a)))
    # insert the inner corners half-way between neighbouring points
    full = []
    for i, a in enumerate(angles):
        b = angles[(i + 1) % len(angles)]
        if b < a:
            b += 2 * math.pi
        m = (a + b) / 2
        full.append(pts[i])
        full.append((cx + STAR_INNER * math.cos(m), cy + STAR_INNER * math.sin(m)))
    return oriented(full)


def build():
    check_magic(GRID, KEY)
    gx0, gy0 = MARGIN, MARGIN
    gx1, gy1 = WIDTH - MARGIN, HEIGHT - MARGIN
    cw = (gx1 - gx0 - 4 * BORDER) / 3
    ch = (gy1 - gy0 - 4 * BORDER) / 3

    def cell_box(r, c):
        x0 = gx0 + BORDER + c * (cw + BORDER)
        y0 = gy0 + BORDER + r * (ch + BORDER)
        return x0, y0, x0 + cw, y0 + ch

    def cell_centre(r, c):
        x0, y0, x1, y1 = cell_box(r, c)
        return (x0 + x1) / 2, (y0 + y1) / 2

    out = []
    out.append('<?xml version="1.0" encoding="UTF-8"?>')
    out.append('<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
               'width="101.6" height="101.4667" viewBox="0 0 %d %d">' % (WIDTH, HEIGHT))
    out.append('  <!-- the grid: a black square with nine white cells cut into it -->')
    out.append('  <rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
               % (fmt(gx0), fmt(gy0), fmt(gx1 - gx0), fmt(gy1 - gy0), BLACK))
    for r in range(3):
        for c in range(3):
            x0, y0, x1, y1 = cell_box(r, c)
            out.append('  <rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
                       % (fmt(x0), fmt(y0), fmt(x1 - x0), fmt(y1 - y0), WHITE))
    out.append('  <!-- the digits, one in the middle of each cell -->')
    for r in range(3):
        for c in range(3):
            d = GRID[r][c]
            glyph = DIGITS[d]()
            pts_all = [p for pts, _ in glyph.shapes for p in pts]
            bx0 = min(x for x, _ in pts_all)
            bx1 = max(x for x, _ in pts_all)
            s = DIGIT_HEIGHT
            cx, cy = cell_centre(r, c)
            ox = cx - (bx0 + bx1) / 2 * s
            oy = cy - s / 2
            polys = [[(ox + x * s, oy + y * s) for x, y in pts] for pts, _ in glyph.shapes]
            out.append('  <g id="cell%d%d-%d">' % (r + 1, c + 1, d))
            out.append('    <path fill="%s" d="%s"/>' % (BLACK, path_data(polys)))
            out.append('  </g>')
    out.append('  <!-- red dashed lines along the rows, the columns and the diagonals -->')
    dashes = []
    for r in range(3):
        dashes += dashes_along(cell_centre(r, 1), (1, 0))
    for c in range(3):
        dashes += dashes_along(cell_centre(1, c), (0, 1))
    centre = cell_centre(1, 1)
    a = cell_centre(0, 0)
    b = cell_centre(2, 2)
    d1 = (b[0] - a[0], b[1] - a[1])
    a = cell_centre(0, 2)
    b = cell_centre(2, 0)
    d2 = (b[0] - a[0], b[1] - a[1])
    dashes += dashes_along(centre, d1)
    dashes += dashes_along(centre, d2)
    out.append('  <path fill="%s" d="%s"/>' % (RED, path_data(dashes)))
    out.append('  <!-- where all the lines cross: a small star -->')
    angles = sorted(math.atan2(v[1], v[0]) % (2 * math.pi)
                    for v in ((1, 0), (0, 1), (-1, 0), (0, -1), d1, d2,
                              (-d1[0], -d1[1]), (-d2[0], -d2[1])))
    out.append('  <path fill="%s" d="%s"/>' % (RED, path_data([star(centre, angles)])))
    out.append('</svg>')
    return "\n".join(out) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = os.path.join(os.path.dirname(here), "example_square.svg")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(build())


if __name__ == "__main__":
    main()
