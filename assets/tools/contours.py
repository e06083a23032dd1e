"""Shared drawing helpers for the lettering and the handwriting.

Shapes are built as thick pen strokes: a stroke is a chain of points, each
with its own half-thickness, and the drawn shape is every point of the
picture that lies within that half-thickness of the chain.  The helpers
keep, on a fine grid over the picture, the signed distance to the nearest
stroke edge (negative inside the ink), and then trace the outline where
that distance crosses a chosen level, as closed polygons for an SVG path.

Because the distance is known everywhere, a shape "grown" by a margin is
simply the outline traced at a higher level; that is how the gap between
a letter and its shadow is made.

Standard library only; the results are the same on every run.
"""
import math

FAR = 1.0e9


class Field:
    """Signed distance to the ink, sampled every `step` units over
    [x0, x0 + (nx-1)*step] x [y0, y0 + (ny-1)*step]."""

    def __init__(self, x0, y0, width, height, step):
        self.x0 = x0
        self.y0 = y0
        self.step = step
        self.nx = int(math.ceil(width / step)) + 1
        self.ny = int(math.ceil(height / step)) + 1
        self.v = [FAR] * (self.nx * self.ny)

    def value(self, i, j):
        if 0 <= i < self.nx and 0 <= j < self.ny:
            return self.v[j * self.nx + i]
        return FAR

    def segment(self, p, q, rp, rq, reach):
        """A straight piece of pen stroke from p (half-thickness rp) to q
        (half-thickness rq).  `reach` is how far from the ink the distance
        has to be right."""
        (px, py), (qx, qy) = p, q
        dx, dy = qx - px, qy - py
        l2 = dx * dx + dy * dy
        m = max(rp, rq) + reach
        s = self.step
        i0 = max(0, int((min(px, qx) - m - self.x0) / s))
        i1 = min(self.nx - 1, int((max(px, qx) + m - self.x0) / s) + 1)
        j0 = max(0, int((min(py, qy) - m - self.y0) / s))
        j1 = min(self.ny - 1, int((max(py, qy) + m - self.y0) / s) + 1)
        v = self.v
        nx = self.nx
        dr = rq - rp
        for j in range(j0, j1 + 1):
            y = self.y0 + j * s
            base = j * nx
            ey = y - py
            for i in range(i0, i1 + 1):
                x = self.x0 + i * s
                ex = x - px
                if l2 > 0:
                    t = (ex * dx + ey * dy) / l2
                    if t < 0:
                        t = 0.0
                    elif t > 1:
                        t = 1.0
                else:
                    t = 0.0
                fx = ex - t * dx
                fy = ey - t * dy
                d = math.sqrt(fx * fx + fy * fy) - (rp + t * dr)
                k = base + i
                if d < v[k]:
                    v[k] = d

    def stroke(self, points, radii, reach):
        """A chain of points with a half-thickness at each point."""
        if isinstance(radii, (int, float)):
            radii = [radii] * len(points)
        if len(points) == 1:
            self.segment(points[0], points[0], radii[0], radii[0], reach)
        for k in range(len(points) - 1):
            self.segment(points[k], points[k + 1], radii[k], radii[k + 1], reach)


def trace(values, nx, ny, x0, y0, step):
    """Closed outlines of the region where values < 0 (marching squares with
    linear interpolation).  Returns a list of polygons; outer outlines and
    holes come out turning opposite ways, so the even-odd rule fills them."""

    def val(i, j):
        if 0 <= i < nx and 0 <= j < ny:
            return values[j * nx + i]
        return FAR

    points = {}

    def point(key):
        pt = points.get(key)
        if pt is None:
            kind, i, j = key
            a = val(i, j)
            if kind == "h":
                b = val(i + 1, j)
                t = a / (a - b)
                pt = (x0 + (i + t) * step, y0 + j * step)
            else:
                b = val(i, j + 1)
                t = a / (a - b)
                pt = (x0 + i * step, y0 + (j + t) * step)
            points[key] = pt
        return pt

    nxt = {}
    for j in range(-1, ny):
        for i in range(-1, nx):
            a = val(i, j)
            b = val(i + 1, j)
            c = val(i + 1, j + 1)
            d = val(i, j + 1)
            ia, ib, ic, id_ = a < 0, b < 0, c < 0, d < 0
            if ia == ib == ic == id_:
                continue
            # walk round the cell clockwise: top, right, bottom, left
            corners = (ia, ib, ic, id_)
            edges = (("h", i, j), ("v", i + 1, j), ("h", i, j + 1), ("v", i, j))
            crossings = []
            for e in range(4):
                s0 = corners[e]
                s1 = corners[(e + 1) % 4]
                if s0 != s1:
                    crossings.append((e, s0))   # s0 True: leaving the ink
            if len(crossings) == 2:
                (e0, out0), (e1, out1) = crossings
                if out0:
                    nxt[edges[e0]] = edges[e1]
                else:
                    nxt[edges[e1]] = edges[e0]
            else:
                centre = (a + b + c + d) / 4 < 0
                for k in range(4):
                    e, leaving = crossings[k]
                    if not leaving:
                        continue
                    if centre:
                        partner = crossings[(k + 1) % 4][0]
                    else:
                        partner = crossings[(k - 1) % 4][0]
                    nxt[edges[e]] = edges[partner]

    loops = []
    seen = set()
    for start in sorted(nxt):
        if start in seen:
            continue
        loop = []
        key = start
        while key not in seen:
            seen.add(key)
            loop.append(point(key))
            key = nxt[key]
        if len(loop) >= 3:
            loops.append(loop)
    return loops


def simplify(loop, tol):
    """Douglas-Peucker on a closed polygon."""
    n = len(loop)
    if n < 8:
        return loop
    # start from the point farthest from the first one, so the cut is stable
    far = max(range(n), key=lambda k: (loop[k][0] - loop[0][0]) ** 2 + (loop[k][1] - loop[0][1]) ** 2)
    keep = [False] * n
    keep[0] = keep[far] = True

    def run(a, b):
        stack = [(a, b)]
        while stack:
            a, b = stack.pop()
            ax, ay = loop[a % n]
            bx, by = loop[b % n]
            dx, dy = bx - ax, by - ay
            l = math.hypot(dx, dy)
            best, bi = -1.0, -1
            for k in range(a + 1, b):
                px, py = loop[k % n]
                if l > 0:
                    dist = abs((px - ax) * dy - (py - ay) * dx) / l
                else:
                    dist = math.hypot(px - ax, py - ay)
                if dist > best:
                    best, bi = dist, k
            if bi >= 0 and best > tol:
                keep[bi % n] = True
                stack.append((a, bi))
                stack.append((bi, b))

    run(0, far)
    run(far, n)
    return [loop[k] for k in range(n) if keep[k]]


def area(poly):
    s = 0.0
    for k in range(len(poly)):
        x0, y0 = poly[k - 1]
        x1, y1 = poly[k]
        s += x0 * y1 - x1 * y0
    return s / 2


def fmt(v):
    s = "%.1f" % v
    if s.endswith(".0"):
        s = s[:-2]
    return "0" if s == "-0" else s


def path_data(loops):
    parts = []
    for loop in loops:
        pts = ["%s %s" % (fmt(x), fmt(y)) for x, y in loop]
        parts.append("M" + pts[0] + " L" + " ".join(pts[1:]) + " Z")
    return " ".join(parts)


def outlines(values, nx, ny, x0, y0, step, tol, min_area=4.0):
    loops = trace(values, nx, ny, x0, y0, step)
    out = []
    for loop in loops:
        s = simplify(loop, tol)
        if len(s) >= 3 and abs(area(s)) >= min_area:
            out.append(s)
    # a stable order: top to bottom, left to right
    out.sort(key=lambda l: (round(min(p[0] for p in l), 1), round(min(p[1] for p in l), 1)))
    return out


def catmull_rom(points, samples=8):
    """A smooth curve through the given points (centripetal Catmull-Rom),
    as a list of points including both ends."""
    if len(points) < 3:
        if len(points) == 2:
            (ax, ay), (bx, by) = points
            return [(ax + (bx - ax) * k / samples, ay + (by - ay) * k / samples)
                    for k in range(samples + 1)]
        return list(points)
    pts = [points[0]] + list(points) + [points[-1]]
    # extend the ends so the curve leaves them in a natural direction
    pts[0] = (2 * points[0][0] - points[1][0], 2 * points[0][1] - points[1][1])
    pts[-1] = (2 * points[-1][0] - points[-2][0], 2 * points[-1][1] - points[-2][1])
    out = []
    for k in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[k - 1], pts[k], pts[k + 1], pts[k + 2]

        def tj(ti, a, b):
            d = math.hypot(b[0] - a[0], b[1] - a[1])
            return ti + max(d, 1e-6) ** 0.5

        t0 = 0.0
        t1 = tj(t0, p0, p1)
        t2 = tj(t1, p1, p2)
        t3 = tj(t2, p2, p3)
        for s in range(samples):
            t = t1 + (t2 - t1) * s / samples

            def lerp(a, b, ta, tb):
                if tb == ta:
                    return a
                u = (t - ta) / (tb - ta)
                return (a[0] + (b[0] - a[0]) * u, a[1] + (b[1] - a[1]) * u)

            a1 = lerp(p0, p1, t0, t1)
            a2 = lerp(p1, p2, t1, t2)
            a3 = lerp(p2, p3, t2, t3)
            b1 = lerp(a1, a2, t0, t2)
            b2 = lerp(a2, a3, t1, t3)
            out.append(lerp(b1, b2, t1, t2))
    out.append(points[-1])
    return out
