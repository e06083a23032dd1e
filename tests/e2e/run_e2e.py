#!/usr/bin/python3
"""End-to-end run of an installed Cifrella.

The installed program is driven under Xvfb with openbox as window manager,
using real mouse clicks and key presses through xdotool. Box contents are
read back through the clipboard (ctrl+a, ctrl+c) and the red message is
found by looking at screen pixels.
"""

import argparse
import os
import re
import subprocess
import sys
import time
from fractions import Fraction

import desktops
from desktops import CheckFailed

from design import (BG_PROBE, CELL_COEF, CLIENT_H, CLIENT_W, CONFERMA, FINE, INSTRUCTIONS_BG, ISTRUZIONI,
                    MESSAGE, OK, PARTI, PATTERNS, PUZZLE_BG, SCREEN_H, SCREEN_W, START_BG, cell_rect)

POLL = 0.05


def poll(condition, timeout, interval=POLL):
    """Calls condition() until it returns something truthy or time runs out."""
    return desktops.poll(condition, timeout, interval)


def solve(revealed):
    """Returns the full square {cell: int} implied by three revealed cells."""
    cells = sorted(revealed)
    rows = [[Fraction(CELL_COEF[n][0]), Fraction(CELL_COEF[n][1]), Fraction(1)] for n in cells]
    rhs = [Fraction(revealed[n]) for n in cells]

    def det(m):
        return (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))

    d = det(rows)
    if d == 0:
        raise CheckFailed(f"cells {cells} do not determine a square")
    unknowns = []
    for col in range(3):
        m = [row[:] for row in rows]
        for i in range(3):
            m[i][col] = rhs[i]
        unknowns.append(det(m) / d)
    a, b, c = unknowns
    square = {n: c + ka * a + kb * b for n, (ka, kb) in CELL_COEF.items()}
    if any(v.denominator != 1 or not 0 <= v <= 24 for v in square.values()):
        raise CheckFailed(f"revealed {revealed} lead to an invalid square {square}")
    square = {n: int(v) for n, v in square.items()}
    lines = [(1, 2, 3), (4, 5, 6), (7, 8, 9), (1, 4, 7), (2, 5, 8), (3, 6, 9), (1, 5, 9), (3, 5, 7)]
    assert all(sum(square[i] for i in line) == 3 * square[5] for line in lines)
    return square


class Display:
    """Xvfb plus a window manager (openbox unless another is named) on a
    free display number."""

    def __init__(self, logdir, desktop="openbox", strict_focus=False):
        self.clip_owner = None
        self.reads = 0
        self.logdir = logdir
        self.desktop = desktops.Desktop(desktop, logdir)
        self.name = self.desktop.display
        self.env = self.desktop.env
        self.strict_focus = strict_focus

    def close(self):
        self.release_clipboard()
        self.desktop.stop()

    def run(self, *args, check=False, timeout=10):
        r = subprocess.run(args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           stdin=subprocess.DEVNULL, timeout=timeout)
        if check and r.returncode != 0:
            raise CheckFailed(f"{' '.join(args)} failed with status {r.returncode}")
        return r.stdout.decode("utf-8", "replace")

    def xdo(self, *args):
        return self.run("xdotool", *map(str, args), check=True)

    def screenshot(self, path):
        self.run("import", "-window", "root", path)

    def grab(self):
        r = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=self.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
        return Image(r.stdout)

    # Windows

    def visible_windows(self):
        return desktops.program_windows(self.run)

    def title(self, w):
        return desktops.window_title(self.run, w)

    def painted(self, background):
        """The active window is painted with that background: the time from
        which the program's input guard is counted."""
        # xdotool's own getwindowgeometry counts a reparenting manager's
        # frame in the position; xwininfo gives the client's.
        active = self.active()
        x, y, _, _ = self.geometry(active) if active else (None, None, 0, 0)
        seen = x is not None and self.grab().pixel(x + BG_PROBE[0], y + BG_PROBE[1])
        self.last_seen = f"active window {active or 'none'} at {x}, {y}, its background {seen}"
        return seen == background

    def settle(self, background, what="the new screen", timeout=10):
        """Waits until a new screen is painted and active, then out its input
        guard: a press sooner is dropped by design."""
        if not poll(lambda: self.painted(background), timeout):
            raise CheckFailed(f"{what} not painted and active within {timeout} s (last seen: {self.last_seen})")
        time.sleep(desktops.INPUT_SETTLE)

    def geometry(self, w):
        return desktops.window_geometry(self.run, w)

    def frame_extents(self, w):
        return desktops.frame_extents(self.run, w)

    # Input

    def click(self, origin, rect, *then):
        """Clicks the centre of a client rectangle, then runs more xdotool commands."""
        x, y, w, h = rect
        x, y = origin[0] + x + w // 2, origin[1] + y + h // 2
        here = re.findall(r"^[XY]=(\d+)$", self.run("xdotool", "getmouselocation", "--shell"), re.M)
        # mousemove --sync waits for motion, which never comes if the pointer is already there.
        sync = ["--sync"] if [int(v) for v in here] != [x, y] else []
        self.xdo("mousemove", *sync, x, y, "click", "1", *then)

    def type_into(self, origin, n, text):
        self.click(origin, cell_rect(n), "type", "--delay", "20", text)

    def active(self):
        return self.run("xdotool", "getactivewindow").strip()

    def key(self, w, *keys):
        """Presses keys in window w. On the desktop runs the window must have
        the focus by itself; elsewhere it is given it first."""
        if self.active() != w:
            if self.strict_focus:
                if not poll(lambda: self.active() == w, 2):
                    raise CheckFailed(f"window {w} does not have the focus (active: {self.active()})")
            else:
                self.xdo("windowactivate", "--sync", w)
        self.xdo("key", *keys)

    def clipboard(self):
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=5)
        return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else ""

    def own_clipboard(self, text):
        """Puts text on the clipboard from a foreground xclip that is reaped
        here. A clipboard manager (mutter's) takes the clipboard over when its
        owner ends, and on a busy machine may do so after the new owner has
        taken it: then the new owner takes it again."""
        for _ in range(3):
            self.release_clipboard()
            self.clip_owner = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard"], env=self.env,
                                               stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)
            self.clip_owner.stdin.write(text.encode())
            self.clip_owner.stdin.close()
            if poll(lambda: self.clipboard() == text, 1.5, 0.01):
                return
        raise CheckFailed("could not put a marker on the clipboard")

    def release_clipboard(self):
        if self.clip_owner:
            self.clip_owner.terminate()
            self.clip_owner.wait()
            self.clip_owner = None

    def read_box(self, origin, n):
        """Copies a box's text through the clipboard; an empty box copies nothing,
        so the marker put there beforehand stays."""
        self.reads += 1
        marker = f"<marker {self.reads}>"
        self.own_clipboard(marker)
        self.click(origin, cell_rect(n), "key", "ctrl+a", "ctrl+c")
        return poll(lambda: (lambda c: c != marker and c)(self.clipboard()), 0.4, 0.02) or ""

    def read_grid(self, origin):
        return {n: self.read_box(origin, n) for n in range(1, 10)}


class Image:
    def __init__(self, data):
        self.data = data

    def pixel(self, x, y):
        i = (y * SCREEN_W + x) * 3
        return tuple(self.data[i:i + 3]) if i + 3 <= len(self.data) else None

    def red(self, origin, rect):
        """Count and horizontal extent of pure-red pixels inside a client rectangle."""
        x0, y0, w, h = rect
        count, xs = 0, []
        for y in range(origin[1] + y0, origin[1] + y0 + h):
            for x in range(origin[0] + x0, origin[0] + x0 + w):
                r, g, b = self.pixel(x, y) or (0, 0, 0)
                if r > 200 and g < 60 and b < 60:
                    count += 1
                    xs.append(x)
        return count, (max(xs) - min(xs) + 1) if xs else 0


class Program(desktops.Program):
    def __init__(self, display, binary, log_path):
        super().__init__(binary, display.env, log_path)
        self.d = display
        self.reported = set()  # the screens whose frame has been printed

    def wait_exit(self, what, timeout=5):
        super().wait_exit(what, timeout)
        left = self.d.visible_windows()
        if left:
            raise CheckFailed(f"{what}: windows still visible after exit: {left}")

    def screen(self, kind, timeout=10):
        """Waits until the given screen is the only visible window and checks its frame.

        Returns (window id, client origin)."""
        d = self.d
        seen = []

        def identify():
            wins = d.visible_windows()
            seen[:] = [(w, d.title(w)) for w in wins]
            if len(wins) != 1:
                return None
            w, title = seen[0]
            if kind == "instructions":
                return (w, d.geometry(w)) if title == "Istruzioni" else None
            if title != "Cifrella":
                return None
            geo = d.geometry(w)
            if geo[0] is None:  # gone since it was listed
                return None
            bg = d.grab().pixel(geo[0] + BG_PROBE[0], geo[1] + BG_PROBE[1])
            if kind == "puzzle" and bg == PUZZLE_BG:
                return w, geo
            if kind == "start" and bg == START_BG:
                return w, geo
            return None

        found = poll(identify, timeout)
        if not found:
            raise CheckFailed(f"expected the {kind} screen as the only visible window, saw {seen}")
        settled = time.monotonic() + desktops.INPUT_SETTLE
        w, _ = found
        self.check_frame(w, kind)
        x, y, _, _ = d.geometry(w)
        time.sleep(max(0.0, settled - time.monotonic()))
        return w, (x, y)

    def check_frame(self, w, kind):
        d = self.d
        state = {}

        def centred():
            x, y, cw, ch = d.geometry(w)
            ext = d.frame_extents(w)
            state.update(client=(x, y, cw, ch), extents=ext)
            if ext is None:
                return False
            left, right, top, bottom = ext
            cx = x - left + (cw + left + right) / 2
            cy = y - top + (ch + top + bottom) / 2
            state["centre"] = (cx, cy)
            return abs(cx - SCREEN_W / 2) <= 1 and abs(cy - SCREEN_H / 2) <= 1

        ok = poll(centred, 2)
        if state["client"][2:] != (CLIENT_W, CLIENT_H):
            raise CheckFailed(f"{kind} client size {state['client'][2:]}, wanted {CLIENT_W}x{CLIENT_H}")
        if not ok:
            raise CheckFailed(f"{kind} window not centred: client {state['client']}, "
                              f"frame extents {state['extents']}, centre {state.get('centre')}")
        if d.strict_focus and kind not in self.reported:
            self.reported.add(kind)
            cx, cy = state["centre"]
            print(f"      {kind}: frame extents {state['extents']}, outer centre off the display's by "
                  f"({cx - SCREEN_W / 2:+g}, {cy - SCREEN_H / 2:+g}) px", flush=True)
        props = d.run("xprop", "-id", w, "_NET_WM_STATE", "WM_NORMAL_HINTS", "_NET_WM_WINDOW_TYPE")
        for atom in ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_WINDOW_TYPE_NORMAL"):
            if atom not in props:
                raise CheckFailed(f"{kind} window lacks {atom}: {props!r}")
        if d.strict_focus and not poll(lambda: d.active() == w, 2):
            raise CheckFailed(f"{kind} window is not focused after the move (active: {d.active()})")
        mins = re.search(r"minimum size: (\d+) by (\d+)", props)
        maxs = re.search(r"maximum size: (\d+) by (\d+)", props)
        fixed = (str(CLIENT_W), str(CLIENT_H))
        if not (mins and maxs and mins.groups() == maxs.groups() == fixed):
            raise CheckFailed(f"{kind} window is resizable: {props!r}")


class Suite:
    prefix = "e2e"  # of the screenshots kept after each check
    program_type = Program

    def __init__(self, display, binary, artifacts):
        self.d = display
        self.binary = binary
        self.artifacts = artifacts
        self.passed = 0
        self.failed = 0
        self.skipped = 0
        self.runs = 0
        self.program = None

    def launch(self):
        self.runs += 1
        self.program = self.program_type(self.d, self.binary,
                                         os.path.join(self.artifacts, f"cifrella-{self.runs}.log"))
        return self.program

    def check(self, name, fn):
        t = time.monotonic()
        number = self.passed + self.failed + 1
        try:
            fn()
        except Exception as e:
            self.failed += 1
            shot = os.path.join(self.artifacts, f"{self.prefix}-{number:02d}-failed.png")
            self.d.screenshot(shot)
            print(f"FAIL  {name}\n      {e}\n      screenshot: {shot}", flush=True)
            raise
        self.passed += 1
        self.d.screenshot(os.path.join(self.artifacts, f"{self.prefix}-{number:02d}.png"))
        print(f"ok    {name} ({time.monotonic() - t:.1f} s)", flush=True)

    def sequence(self, steps):
        """Runs dependent checks in order; the first failure skips the rest."""
        for i, (name, fn) in enumerate(steps):
            try:
                self.check(name, fn)
            except Exception:
                for skipped, _ in steps[i + 1:]:
                    self.skipped += 1
                    print(f"skip  {skipped}", flush=True)
                break
        if self.program:
            self.program.stop()
            self.program = None

    def run(self, label, *sequences):
        """Runs each sequence of dependent checks; returns (passed, failed)."""
        try:
            for steps in sequences:
                self.sequence(steps)
        finally:
            if self.program:
                self.program.stop()
        if self.skipped:
            print(f"{label}: {self.skipped} checks skipped after a failure")
        return self.passed, self.failed


class Play:
    """The main session: one program run walked through every screen."""

    def __init__(self, suite):
        self.s = suite
        self.d = suite.d
        self.p = None
        self.win = self.origin = None
        self.revealed = self.square = None
        self.wrong_width = None

    def goto(self, kind):
        self.win, self.origin = self.p.screen(kind)

    def message(self):
        return self.d.grab().red(self.origin, MESSAGE)

    def wait_message(self, what):
        m = poll(lambda: (lambda c: c[0] >= 20 and c)(self.message()), 2)
        if not m:
            raise CheckFailed(f"{what}: no red message in the message area")
        return m

    def wait_no_message(self, timeout=5):
        if not poll(lambda: self.message()[0] == 0, timeout):
            raise CheckFailed("the red message is still shown")

    def check_deal(self, what):
        grid = self.d.read_grid(self.origin)
        filled = {n: v for n, v in grid.items() if v != ""}
        if set(filled) not in PATTERNS:
            raise CheckFailed(f"{what}: filled boxes {sorted(filled)} are not a dealt pattern; grid {grid}")
        if not all(re.fullmatch(r"\d+", v) and 0 <= int(v) <= 24 and str(int(v)) == v for v in filled.values()):
            raise CheckFailed(f"{what}: revealed values are not plain numbers 0..24: {filled}")
        self.revealed = {n: int(v) for n, v in filled.items()}
        self.square = solve(self.revealed)
        return grid

    def missing(self):
        return [n for n in range(1, 10) if n not in self.revealed]

    def expect_grid(self, what, expected):
        grid = self.d.read_grid(self.origin)
        if grid != expected:
            raise CheckFailed(f"{what}: grid {grid}, expected {expected}")

    def bravo(self, what):
        """Presses Conferma on a complete grid and checks the new deal."""
        self.wait_no_message()
        self.d.key(self.win, "alt+c")
        _, width = self.wait_message(what)
        time.sleep(desktops.INPUT_SETTLE)  # a new exercise
        if self.wrong_width and width >= 0.75 * self.wrong_width:
            raise CheckFailed(f"{what}: the message is as wide as the warning ({width} px vs "
                              f"{self.wrong_width} px), not the praise")
        self.check_deal(f"{what}, new deal")

    # Checks

    def start(self):
        self.p = self.s.launch()
        self.goto("start")

    def instructions(self):
        self.d.key(self.win, "alt+i")
        self.goto("instructions")
        self.d.key(self.win, "Escape")
        self.goto("start")
        self.d.key(self.win, "alt+i")
        self.goto("instructions")
        self.d.key(self.win, "alt+o")
        self.goto("start")

    def open_puzzle(self):
        self.d.click(self.origin, PARTI)
        self.goto("puzzle")
        self.check_deal("first deal")

    def empty_check(self):
        # A second check restarts the 3 s count before the message is wiped.
        t0 = time.monotonic()
        self.d.key(self.win, "alt+c")
        self.wrong_width = self.wait_message("check of an empty grid")[1]
        time.sleep(max(0.0, t0 + 1.5 - time.monotonic()))
        t1 = time.monotonic()
        self.d.key(self.win, "alt+c")
        time.sleep(max(0.0, t1 + 2.1 - time.monotonic()))
        if self.message()[0] < 20:
            raise CheckFailed("message gone 2 s after a second check (count not restarted)")
        if not poll(lambda: self.message()[0] == 0, t1 + 5 - time.monotonic()):
            raise CheckFailed("message still shown 5 s after the last check")
        gone = time.monotonic() - t1
        if not 3.0 <= gone <= 4.5:
            raise CheckFailed(f"message wiped {gone:.2f} s after the check, expected 3.0-4.5 s")
        expected = {n: str(self.revealed.get(n, "")) for n in range(1, 10)}
        self.expect_grid("after checking an empty grid", expected)

    def near_miss(self):
        missing = self.missing()
        near = missing[0]
        for n in missing:
            value = str(self.square[n])
            self.d.type_into(self.origin, n, " " + value if n == near else value)
        self.d.key(self.win, "alt+c")
        self.wait_message("check with one wrong box")
        expected = {n: str(self.square[n]) for n in range(1, 10)}
        if near == 1:
            # The focus is back in the first box, which was just emptied.
            self.d.xdo("type", "--delay", "20", expected[1])
            self.expect_grid("after typing into the focused first box", expected)
        else:
            self.expect_grid("after checking with one wrong box", {**expected, near: ""})
            self.d.type_into(self.origin, near, expected[near])
        self.bravo("check of the corrected grid")

    def solve_once(self, k):
        for n in self.missing():
            self.d.type_into(self.origin, n, str(self.square[n]))
        self.bravo(f"solved grid {k}")

    def back_and_again(self):
        if self.p.screen("puzzle")[0] != self.win:
            raise CheckFailed("another puzzle window")
        self.d.key(self.win, "Escape")
        self.goto("start")
        self.d.click(self.origin, PARTI)
        self.goto("puzzle")
        self.check_deal("deal after coming back")

    def close_puzzle(self):
        self.d.key(self.win, "alt+F4")
        self.p.wait_exit("closing the puzzle window")

    def open_and_type(self):
        self.open_puzzle()
        n = self.missing()[0]
        value = str(self.square[n])
        self.d.type_into(self.origin, n, value)
        if self.d.read_box(self.origin, n) != value:
            raise CheckFailed(f"box {n} does not hold the {value} typed into it")

    def minimise(self):
        d = self.d
        w = self.win
        d.xdo("windowminimize", w)
        t0 = time.monotonic()

        def back():
            state = d.run("xprop", "-id", w, "_NET_WM_STATE", "WM_STATE")
            return ("IsViewable" in d.run("xwininfo", "-id", w) and "_NET_WM_STATE_HIDDEN" not in state
                    and "Iconic" not in state and d.active() == w)
        if not poll(back, 1.0, 0.02):
            raise CheckFailed(f"the minimised window is not back and focused within a second: "
                              f"{d.run('xprop', '-id', w, '_NET_WM_STATE', 'WM_STATE')!r}, active {d.active()}")
        print(f"      shown again and focused after {1000 * (time.monotonic() - t0):.0f} ms", flush=True)
        self.goto("puzzle")

    def maximise(self):
        d = self.d
        for states in ("maximized_vert,maximized_horz", "fullscreen"):
            d.run("wmctrl", "-i", "-r", self.win, "-b", f"add,{states}", check=True)
            time.sleep(0.5)  # what the window manager may do takes a moment; nothing to wait on
            if self.p.proc.poll() is not None:
                raise CheckFailed(f"the program ended after a {states} request")
            self.goto("puzzle")

    def openings(self, count):
        """Opens the puzzle from the start screen and goes back, count times,
        each screen painted on the display within 1.5 s."""
        def run():
            unpainted = 0
            for i in range(count):
                for kind, act in (("puzzle", lambda: self.d.click(self.origin, PARTI)),
                                  ("start", lambda: self.d.key(self.win, "Escape"))):
                    act()
                    try:
                        self.win, self.origin = self.p.screen(kind, timeout=1.5)
                    except CheckFailed:
                        unpainted += 1
                        self.goto(kind)  # wait longer before going on
            print(f"      {count} openings and returns: {unpainted} screens not painted within 1.5 s", flush=True)
            if unpainted:
                raise CheckFailed(f"{unpainted} of {2 * count} screens were not painted within 1.5 s")
        return run

    def desktop_steps(self, openings):
        steps = [
            ("start screen alone, 548x350, centred, a focused normal window off the taskbar and pager", self.start),
            ("instructions and back by the keyboard, focused after every move", self.instructions),
            ("the picture button opens the puzzle; a box takes the digits typed into it", self.open_and_type),
            ("a minimise by the window manager is undone within a second", self.minimise),
            ("a maximise or full-screen request leaves the designed size", self.maximise),
            ("Esc back to the start screen, then a new puzzle", self.back_and_again),
        ]
        if openings:
            steps.append((f"{openings} openings of the puzzle, each painted", self.openings(openings)))
        steps.append(("closing the puzzle window ends the program with status 0", self.close_puzzle))
        return steps

    def steps(self):
        return [
            ("start screen alone, 548x350, centred, fixed size, skip taskbar", self.start),
            ("instructions: Alt+I / Esc and Alt+I / Alt+O", self.instructions),
            ("picture button opens the puzzle with three revealed boxes", self.open_puzzle),
            ("Conferma on an empty grid keeps the deal; message wiped 3 s after the last check",
             self.empty_check),
            ("one box with a leading space is the only one emptied; fixing it is praised",
             self.near_miss),
            ("solving deal 1 brings praise and a new deal", lambda: self.solve_once(1)),
            ("solving deal 2 brings praise and a new deal", lambda: self.solve_once(2)),
            ("solving deal 3 brings praise and a new deal", lambda: self.solve_once(3)),
            ("Esc back to the start screen, then a new puzzle", self.back_and_again),
            ("closing the puzzle window ends the program with status 0", self.close_puzzle),
        ]


class Hands(Play):
    """A child's hands: double clicks, a held key, a window closed or shaded
    from outside. One program run."""

    GAPS_MS = (80, 250, 400)
    MOVES = 300

    def double_click(self, rect, gap_ms):
        x, y, w, h = rect
        x, y = self.origin[0] + x + w // 2, self.origin[1] + y + h // 2
        self.d.xdo("mousemove", x, y, "sleep", "0.05", "click", "1", "sleep", f"{gap_ms / 1000:.3f}", "click", "1")

    def still(self, kind, what):
        time.sleep(1.0)  # long enough for a wrong move to have happened
        if self.p.proc.poll() is not None:
            raise CheckFailed(f"{what}: the program ended with status {self.p.proc.returncode}")
        self.goto(kind)

    def double_clicks(self):
        self.start()
        for gap in self.GAPS_MS:
            self.d.click(self.origin, PARTI)
            self.goto("puzzle")
            self.double_click(FINE, gap)
            self.still("start", f"Fine double-clicked {gap} ms apart")
            self.d.click(self.origin, ISTRUZIONI)
            self.goto("instructions")
            self.double_click(OK, gap)
            self.still("start", f"OK double-clicked {gap} ms apart")

    def praise_kept(self):
        self.d.click(self.origin, PARTI)
        self.goto("puzzle")
        self.check_deal("first deal")
        self.d.key(self.win, "alt+c")
        self.wrong_width = self.wait_message("check of an empty grid")[1]
        for gap in self.GAPS_MS:
            for n in self.missing():
                self.d.type_into(self.origin, n, str(self.square[n]))
            self.double_click(CONFERMA, gap)
            time.sleep(1.0)
            count, width = self.message()
            if count < 20 or width >= 0.75 * self.wrong_width:
                raise CheckFailed(f"Conferma double-clicked {gap} ms apart on a right grid: message "
                                  f"{width} px wide ({count} red pixels), the warning is {self.wrong_width} px")
            self.check_deal(f"after the double click {gap} ms apart")

    def held_escape(self):
        self.d.run("xset", "r", "on")
        self.d.key(self.win, "Escape")  # Fine: the start screen
        self.goto("start")
        self.d.click(self.origin, PARTI)
        self.goto("puzzle")
        self.d.xdo("keydown", "Escape", "sleep", "1", "keyup", "Escape")
        self.still("start", "Esc held for 1 s on the puzzle")

    def held_confirm(self):
        """Alt+C held down on a grid with one wrong box: each repeat is one
        more check of the same grid."""
        self.d.click(self.origin, PARTI)
        self.goto("puzzle")
        self.check_deal("the deal")
        wrong, *right = self.missing()
        self.d.type_into(self.origin, wrong, str(self.square[wrong] + 1))
        for n in right:
            self.d.type_into(self.origin, n, str(self.square[n]))
        # C let go before Alt, as the fingers would: xdotool's "keyup alt+c"
        # lets Alt go first, and the C repeating meanwhile is then typed.
        self.d.xdo("keydown", "alt", "keydown", "c", "sleep", "1", "keyup", "c", "keyup", "alt")
        self.still("puzzle", "Alt+C held for 1 s")
        count, width = self.message()
        if count < 20 or width < 0.75 * self.wrong_width:
            raise CheckFailed(f"Alt+C held: message {width} px wide ({count} red pixels), "
                              f"the warning is {self.wrong_width} px")
        self.expect_grid("Alt+C held", {n: "" if n == wrong else str(self.square[n]) for n in range(1, 10)})
        self.d.key(self.win, "Escape")
        self.goto("start")

    def shaded(self):
        w = self.win
        self.d.run("wmctrl", "-i", "-r", w, "-b", "add,shaded", check=True)
        if not poll(lambda: "_NET_WM_STATE_SHADED" not in self.d.run("xprop", "-id", w, "_NET_WM_STATE")
                    and "IsViewable" in self.d.run("xwininfo", "-id", w), 2):
            raise CheckFailed(f"still shaded: {self.d.run('xprop', '-id', w, '_NET_WM_STATE')!r}")
        self.goto("start")

    def moves(self):
        """As many moves as the input guard lets a quick child make, by keys
        and clicks, each new screen caught at the moment it is mapped."""
        # Each way, and the background the screen it opens paints.
        ways = (("key", "alt+i", INSTRUCTIONS_BG), ("key", "Escape", START_BG), ("click", PARTI, PUZZLE_BG),
                ("key", "Escape", START_BG))
        watch = desktops.FirstSeen(self.d.name)
        watch.start()
        try:
            for i in range(self.MOVES):
                how, what, background = ways[i % len(ways)]
                before = len(watch.first)
                if how == "key":
                    self.d.xdo("key", "--clearmodifiers", what)
                else:
                    self.d.click(self.origin, what)
                if not poll(lambda: len(watch.first) > before and len(watch.mapped) == 1, 5, 0.005):
                    raise CheckFailed(f"move {i + 1} ({what}): {len(watch.first) - before} windows mapped, "
                                      f"{len(watch.mapped)} shown")
                self.d.settle(background, f"move {i + 1} ({what}): the new screen")
        finally:
            screens, elsewhere = watch.stop()
        print(f"      {len(screens)} screens mapped, {len(elsewhere)} off the centre {elsewhere[:5]}", flush=True)
        if len(screens) != self.MOVES or elsewhere:
            raise CheckFailed(f"{len(elsewhere)} of {len(screens)} screens mapped off the centre")
        self.goto("start")

    def destroyed(self):
        self.d.xdo("windowclose", self.win)
        self.p.wait_exit("the window destroyed from outside")

    def child_steps(self):
        """What a child's hands do on any desktop: double clicks, a held key."""
        return [
            ("Fine and OK double-clicked 80, 250 and 400 ms apart: the start screen, the program running",
             self.double_clicks),
            ("Conferma double-clicked on a right grid: Bravo! stays", self.praise_kept),
            ("Esc held for 1 s with auto-repeat on the puzzle: the start screen, the program running",
             self.held_escape),
            ("Alt+C held for 1 s with auto-repeat on a grid with one wrong box: the warning, that box emptied, "
             "the rest kept, the program running", self.held_confirm),
        ]

    def steps(self):
        return self.child_steps() + [
            (f"{self.MOVES} moves as quick as the guard allows: each screen mapped at the centre", self.moves),
            ("a shade by the window manager is undone", self.shaded),
            ("the window destroyed from outside: the program ends with status 0", self.destroyed),
        ]


def quit_runs(suite):
    d = suite.d

    def start_keys(*keys):
        p = suite.launch()
        w, _ = p.screen("start")
        d.key(w, *keys)
        p.wait_exit(f"{'+'.join(keys)} on the start screen")

    def close_instructions():
        p = suite.launch()
        w, _ = p.screen("start")
        d.key(w, "alt+i")
        w, _ = p.screen("instructions")
        d.key(w, "alt+F4")
        p.wait_exit("closing the instructions window")

    return [
        ("Esc and Alt+E on the start screen end the program with status 0",
         lambda: (start_keys("Escape"), start_keys("alt+e"))),
        ("closing the instructions window ends the program with status 0", close_instructions),
    ]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build-dir", required=True)
    ap.add_argument("--artifacts")
    ap.add_argument("--desktop", help="a window manager of desktops.MANAGERS: the checks every desktop must pass")
    ap.add_argument("--openings", type=int, default=0, help="with --desktop: open the puzzle so many times more")
    ap.add_argument("--hands", action="store_true", help="a child's hands: double clicks, held keys")

    def artifacts(args):
        return os.path.join(args.build_dir, "e2e-artifacts", "hands" if args.hands else args.desktop or "openbox")

    def body(args, artifacts, stack):
        binary = desktops.installed_program(os.path.abspath(args.build_dir))
        display = Display(artifacts, args.desktop or "openbox", strict_focus=bool(args.desktop))
        stack.callback(display.close)
        wm = display.desktop.wm
        print(f"E2E: {binary} on display {display.name}, {wm.wm_name} (compositing: {wm.compositing})", flush=True)
        suite = Suite(display, binary, artifacts)
        if args.hands:
            return suite.run("E2E", Hands(suite).steps())
        play = Play(suite)
        return suite.run("E2E", play.desktop_steps(args.openings) if args.desktop else play.steps(),
                         *([step] for step in quit_runs(suite)))
    return desktops.suite_main("E2E", ap, artifacts, body)


if __name__ == "__main__":
    sys.exit(main())
