#!/usr/bin/python3
"""Cifrella on a Wayland desktop: weston with XWayland, inside Xvfb.

Two runs of the program built in --build-dir. Started with WAYLAND_DISPLAY
and DISPLAY (XWayland) set and QT_QPA_PLATFORM unset, it must run on X11,
get the focus, be placed by itself and be playable from the keyboard. Started
with QT_QPA_PLATFORM=wayland it must run on Wayland, move between screens
from the keyboard and survive the maximise and minimise buttons of the title
bar that Qt draws there. Neither run may write anything on standard error.

Two stand-ins for what weston 14 and Qt's Wayland client do now and then
on a busy machine: a window manager, on an Xvfb of its own, that loses the
program's first map (the program must map its window again, but not while
another window has the focus); and a build of the program that never lets
go as the toolkit closes (it must still end, with status 0).

Keys and clicks go to the outer Xvfb (xdotool), where weston reads them;
windows are found in screenshots by their background colour, X windows
also through XWayland; what a box shows is read from the screen.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import threading
import time

import Xlib.X
import Xlib.display

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktops import (INPUT_SETTLE, Program, XServer, frame_extents, installed_program, program_windows,  # noqa: E402
                      suite_main, window_geometry, window_title)
from design import BACKGROUNDS, CLIENT_H, CLIENT_W, PARTI, SCREEN_H, SCREEN_W, TITLES, cell_rect  # noqa: E402
from run_e2e import CheckFailed, Suite, poll  # noqa: E402
from weston import Weston  # noqa: E402

# Qt's own title bar under Wayland (bradient): button centres from the
# client area's top-left corner.
MAXIMISE = (508, -15)
MINIMISE = (485, -15)
INK = 25  # dark pixels of a box showing a number: "1" has about 34, a caret under 20


def cell_centre(origin, n):
    x, y, w, h = cell_rect(n)
    return origin[0] + x + w // 2, origin[1] + y + h // 2


class Desktop:
    """The outer Xvfb (input, screenshots) and XWayland (X windows)."""

    def __init__(self, outer, weston):
        self.outer = outer
        self.w = weston

    def run(self, display, *args, timeout=10):
        r = subprocess.run(args, env=dict(os.environ, DISPLAY=display), stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=timeout)
        return r.stdout.decode("utf-8", "replace")

    def x(self, *args):
        return self.run(self.w.xwayland_display, *args)

    def xdo(self, *args):
        r = subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=self.outer),
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=10)
        if r.returncode != 0:
            raise CheckFailed(f"xdotool {args} failed: {r.stderr.decode(errors='replace')}")

    def key(self, *keys):
        self.xdo("key", *keys)

    def click(self, x, y, *then, on_x=False):
        # The pointer brought there in two motions, as a hand would: weston 14
        # gave a click that came with the one motion that brought the pointer
        # in to a point elsewhere on its X display. On an X window, clicked
        # once XWayland has the pointer there: weston, busy, may pass the
        # motion on late.
        self.xdo("mousemove", x - 1, y - 1, "sleep", "0.2", "mousemove", x, y)
        if on_x and not poll(lambda: self.x("xdotool", "getmouselocation").startswith(f"x:{x} y:{y} "), 5):
            raise CheckFailed(f"XWayland never had the pointer at {x}, {y}")
        self.xdo("sleep", "0.1", "click", "1", *then)

    def park_pointer(self):
        self.xdo("mousemove", SCREEN_W - 5, SCREEN_H - 5)

    def grab(self):
        r = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                           env=dict(os.environ, DISPLAY=self.outer), stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, timeout=10)
        return r.stdout

    def screenshot(self, path):
        self.run(self.outer, "import", "-window", "root", path)

    # Wayland windows, by colour

    def find(self, colour):
        """Client rectangle of the window whose background is colour: its top
        row and left column are bare background."""
        data = self.grab()
        c = bytes(colour)
        run = c * 40
        stride = SCREEN_W * 3
        for y in range(SCREEN_H):
            row = data[y * stride:(y + 1) * stride]
            i = row.find(run)
            while i >= 0 and i % 3:
                i = row.find(run, i + 1)
            if i < 0:
                continue
            x = i // 3
            w = 0
            while x + w < SCREEN_W and row[(x + w) * 3:(x + w) * 3 + 3] == c:
                w += 1
            h = 0
            while y + h < SCREEN_H and data[(y + h) * stride + x * 3:(y + h) * stride + x * 3 + 3] == c:
                h += 1
            return x, y, w, h
        return None

    def box_ink(self, origin, n):
        """Dark pixels inside a box, its frame left out: digits, not the caret."""
        data = self.grab()
        cx, cy = cell_centre(origin, n)
        count = 0
        for y in range(cy - 14, cy + 15):
            for x in range(cx - 14, cx + 15):
                i = (y * SCREEN_W + x) * 3
                if max(data[i:i + 3]) < 110:
                    count += 1
        return count

    # X windows, on XWayland

    def x_windows(self):
        return program_windows(self.x)

    def x_title(self, w):
        return window_title(self.x, w)

    def x_origin(self, w):
        x, y, _, _ = window_geometry(self.x, w)
        return None if x is None else (x, y)

    def x_active(self):
        m = re.search(r"window id # (0x[0-9a-f]+)", self.x("xprop", "-root", "_NET_ACTIVE_WINDOW"))
        return int(m.group(1), 16) if m else None


class LosingManager(threading.Thread):
    """A window manager standing in for weston 14 under load, which now and
    then takes a window's map and never shows it: this one loses every
    window's first map and shows and focuses the window when it is mapped
    again. With a window of its own holding the focus, it shows it first."""

    def __init__(self, display, focus_own):
        super().__init__(daemon=True)
        self.x = Xlib.display.Display(display)
        root = self.x.screen().root
        root.change_attributes(event_mask=Xlib.X.SubstructureRedirectMask | Xlib.X.SubstructureNotifyMask)
        if focus_own:
            own = root.create_window(0, 0, 100, 100, 0, Xlib.X.CopyFromParent)
            own.map()
            own.set_input_focus(Xlib.X.RevertToPointerRoot, Xlib.X.CurrentTime)
        self.x.sync()
        self.maps = []  # (time, window) of each map asked for
        self.ending = False
        self.start()

    def run(self):
        while not self.ending:
            while self.x.pending_events():
                e = self.x.next_event()
                if e.type == Xlib.X.ConfigureRequest:
                    e.window.configure(x=e.x, y=e.y, width=e.width, height=e.height)
                elif e.type == Xlib.X.MapRequest:
                    self.maps.append((time.monotonic(), e.window.id))
                    if len(self.maps) > 1:
                        e.window.map()
                        e.window.set_input_focus(Xlib.X.RevertToPointerRoot, Xlib.X.CurrentTime)
                    self.x.flush()
            time.sleep(0.01)

    def stop(self):
        self.ending = True
        self.join()
        self.x.close()


class Checks(Suite):
    prefix = "weston"  # of the screenshots kept after each check

    def __init__(self, desktop, binary, artifacts, probe):
        super().__init__(desktop, binary, artifacts)
        self.probe = probe  # the program built to hang as the toolkit closes

    # The program of the running sequence, stopped when the sequence ends.
    p = property(lambda self: self.program)

    def launch(self, binary=None, args=(), **env_changes):
        env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
        env.update(self.d.w.env, LANG="C.UTF-8")
        env.update(env_changes)
        self.runs += 1
        self.program = Program(binary or self.binary, env,
                               os.path.join(self.artifacts, f"cifrella-weston-{self.runs}.log"), args)
        return self.program

    def clean_stderr(self, what):
        err = self.p.output()
        if err.strip():
            raise CheckFailed(f"{what}: the program wrote:\n{err}")

    # On X11 through XWayland

    def x_screen(self, kind, timeout=10):
        """Waits for the screen as the only visible X window, focused; returns its client origin."""
        seen = []

        def found():
            wins = self.d.x_windows()
            seen[:] = [(w, self.d.x_title(w)) for w in wins]
            if len(wins) != 1 or seen[0][1] != TITLES[kind]:
                return None
            w = int(wins[0])
            origin = self.d.x_origin(wins[0])
            if self.d.x_active() != w or not origin:
                return None
            # Mapped, the window is framed at (0, 0) and only then moved: its
            # place is known once the X origin and the picture agree.
            shown = self.d.find(BACKGROUNDS[kind])
            if not shown or shown[:2] != origin:
                return None
            return origin

        origin = poll(found, timeout)
        if not origin:
            raise CheckFailed(f"expected the {kind} screen as the only, focused X window; saw {seen}, "
                              f"active {self.d.x_active()}, X focus {self.d.x('xdotool', 'getwindowfocus').strip()}"
                              f"\n{self.d.x('xwininfo', '-root', '-children')}")
        time.sleep(INPUT_SETTLE)
        return origin

    def x_start(self):
        self.launch()
        self.x_origin = self.x_here = self.x_placed("start", "the first show")

    def x_placed(self, kind, after):
        """The screen's client origin, checked: weston 14 tells a frame that
        takes in an even shadow, so the visible frame is centred where the
        told one is; weston 10 tells none, and the program centres the client
        area with its frame's corner there (the frame below and right)."""
        origin = self.x_screen(kind)
        told = frame_extents(self.d.x, self.d.x_windows()[0])
        want = ((SCREEN_W - CLIENT_W) // 2, (SCREEN_H - CLIENT_H) // 2)
        if not told:
            if not (0 <= origin[0] - want[0] <= 16 and 0 <= origin[1] - want[1] <= 40):
                raise CheckFailed(f"after {after} the {kind} screen's client area is at {origin}, "
                                  f"expected just inside {want}")
            return origin
        left, right, top, bottom = told
        cx = origin[0] + (CLIENT_W + right - left) / 2
        cy = origin[1] + (CLIENT_H + bottom - top) / 2
        if abs(cx - SCREEN_W / 2) > 1 or abs(cy - SCREEN_H / 2) > 1:
            raise CheckFailed(f"after {after} the {kind} screen's frame is centred at ({cx}, {cy}); "
                              f"client area at {origin}, frame {told}")
        return origin

    def x_moves(self):
        for keys, kind in (("alt+i", "instructions"), ("Escape", "start"), ("alt+i", "instructions"),
                           ("alt+o", "start")):
            self.d.key(keys)
            origin = self.x_here = self.x_placed(kind, keys)
            if origin != self.x_origin:
                raise CheckFailed(f"after {keys} the {kind} screen is at {origin}, not {self.x_origin}")

    def x_puzzle(self):
        self.d.click(self.x_here[0] + PARTI[0] + PARTI[2] // 2, self.x_here[1] + PARTI[1] + PARTI[3] // 2, on_x=True)
        origin = self.x_screen("puzzle")
        self.type_into_empty_box(origin, on_x=True)
        self.d.key("Escape")
        self.x_screen("start")
        self.d.key("Escape")
        self.p.wait_exit("Esc on the start screen")
        self.clean_stderr("on X11")

    def type_into_empty_box(self, origin, on_x=False):
        # Read from the screen, not through the clipboard: weston 10's bridge
        # between the X and Wayland clipboards can loop on itself when X
        # owners come and go, until weston runs out of file descriptors.
        self.d.park_pointer()
        inked = {n: self.d.box_ink(origin, n) for n in range(1, 10)}
        empty = [n for n, ink in inked.items() if ink < INK]
        if len(empty) != 6:
            raise CheckFailed(f"expected three revealed boxes, dark pixels per box {inked}")
        n = empty[0]
        self.d.click(*cell_centre(origin, n), "type", "--delay", "20", "17", on_x=on_x)
        self.d.park_pointer()
        if not poll(lambda: self.d.box_ink(origin, n) >= inked[n] + 2 * INK, 2):
            raise CheckFailed(f"typed 17 into box {n}, which shows {self.d.box_ink(origin, n)} dark pixels")

    def x_lost(self, focus_own):
        """The program's window lost by the window manager: mapped again once
        after a while when no other window has the focus, never when one has."""
        xvfb = XServer(self.artifacts, (SCREEN_W, SCREEN_H))
        manager = LosingManager(xvfb.display, focus_own)
        try:
            self.launch(DISPLAY=xvfb.display)
            if not poll(lambda: manager.maps, 10):
                raise CheckFailed("the program mapped no window")
            time.sleep(3.5)
            first, *again = manager.maps
            if focus_own:
                if again:
                    raise CheckFailed(f"mapped again {again[0][0] - first[0]:.1f} s later, while another window "
                                      "had the focus")
                return
            if len(again) != 1 or not 0.8 <= again[0][0] - first[0] <= 2.5:
                raise CheckFailed(f"the lost window mapped again at {[t - first[0] for t, _ in again]} s")
            self.d.run(xvfb.display, "xdotool", "key", "Escape")
            self.p.wait_exit("Esc on the start screen mapped again")
            self.clean_stderr("mapped again")
        finally:
            if self.p:
                self.p.stop()
            manager.stop()
            xvfb.stop()

    def lost_checks(self):
        """Two sequences of one check each."""
        return [
            [("a window the window manager lost is mapped again after a second, once, and plays",
              lambda: self.x_lost(False))],
            [("a window the window manager lost is not mapped again while another window has the focus",
              lambda: self.x_lost(True))],
        ]

    # On Wayland

    def wl_screen(self, kind, timeout=10):
        """Waits for the screen alone on the desktop, at its fixed size; returns its client rectangle."""
        others = [c for k, c in BACKGROUNDS.items() if k != kind]
        last = []

        def found():
            rect = self.d.find(BACKGROUNDS[kind])
            last[:] = [rect]
            if not rect or rect[2:] != (CLIENT_W, CLIENT_H) or any(self.d.find(c) for c in others):
                return None
            return rect

        rect = poll(found, timeout)
        if not rect:
            raise CheckFailed(f"expected the {kind} screen alone at {CLIENT_W}x{CLIENT_H}, found {last}")
        time.sleep(INPUT_SETTLE)
        return rect

    def wl_start(self):
        self.launch(QT_QPA_PLATFORM="wayland")
        self.wl_rect = self.wl_screen("start")
        if self.d.x_windows():
            raise CheckFailed("QT_QPA_PLATFORM=wayland, yet the program has X windows")

    def wl_moves(self):
        for keys, kind in (("alt+i", "instructions"), ("Escape", "start"), ("alt+i", "instructions"),
                           ("alt+o", "start")):
            self.d.key(keys)
            self.wl_rect = self.wl_screen(kind)

    def title_button(self, button, what):
        x, y = self.wl_rect[:2]
        self.d.click(x + button[0], y + button[1])
        self.d.park_pointer()
        time.sleep(0.5)
        if not self.p.alive():
            raise CheckFailed(f"{what} ended the program: {self.p.output()}")

    def wl_maximise(self):
        before = self.wl_rect
        for _ in range(2):
            self.title_button(MAXIMISE, "maximise")
            self.wl_rect = self.wl_screen("start")
            if self.wl_rect != before:
                raise CheckFailed(f"after maximise the window is at {self.wl_rect}, was {before}")

    def wl_minimise(self):
        self.title_button(MINIMISE, "minimise")
        self.wl_rect = self.wl_screen("start")
        # Still focused: the keyboard moves on.
        self.wl_moves()

    def wl_puzzle(self):
        x, y = self.wl_rect[:2]
        self.d.click(x + PARTI[0] + PARTI[2] // 2, y + PARTI[1] + PARTI[3] // 2)
        rect = self.wl_screen("puzzle")
        self.type_into_empty_box(rect[:2])
        self.d.key("Escape")
        self.wl_screen("start")
        self.d.key("Escape")
        self.p.wait_exit("Esc on the start screen")
        self.clean_stderr("on Wayland")

    def x11_steps(self):
        return [
            ("WAYLAND_DISPLAY and DISPLAY set, QT_QPA_PLATFORM unset: X11, focused, placed by the program",
             self.x_start),
            ("Alt+I / Esc and Alt+I / Alt+O: one focused window each time, in the same place", self.x_moves),
            ("puzzle: a box takes typed digits; Esc, Esc ends with status 0; stderr empty", self.x_puzzle),
        ]

    def wl_teardown(self):
        """Qt's Wayland client, deadlocked as it disconnects, stood in for by a
        build of the program that never lets go once it has ended."""
        self.launch(self.probe, ["teardown"], QT_QPA_PLATFORM="wayland")
        self.wl_screen("start")
        t0 = time.monotonic()
        self.d.key("Escape")
        self.p.wait_exit("Esc on the start screen, the toolkit hanging as it closes")
        print(f"      ended {time.monotonic() - t0:.1f} s after Esc", flush=True)

    def wayland_steps(self):
        return [
            ("QT_QPA_PLATFORM=wayland: start screen on Wayland, 548x350", self.wl_start),
            ("Alt+I / Esc and Alt+I / Alt+O from the keyboard", self.wl_moves),
            ("maximise button twice: still running, 548x350, same place", self.wl_maximise),
            ("minimise button: the window comes back, focused", self.wl_minimise),
            ("puzzle: a box takes typed digits; Esc, Esc ends with status 0; stderr empty", self.wl_puzzle),
        ], [
            ("the toolkit hanging as it closes: Esc still ends the program with status 0", self.wl_teardown),
        ]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build-dir", required=True)
    ap.add_argument("--artifacts")

    def body(args, artifacts, stack):
        missing = [tool for tool in ("weston", "Xvfb", "xdotool", "import", "xprop", "xwininfo")
                   if not shutil.which(tool)]
        if missing:
            raise CheckFailed(f"missing: {', '.join(missing)}")
        t0 = time.monotonic()
        binary = installed_program(os.path.abspath(args.build_dir))
        xvfb = XServer(artifacts, (SCREEN_W, SCREEN_H))
        stack.callback(xvfb.stop)
        outer = xvfb.display
        weston = stack.enter_context(Weston(outer, artifacts, SCREEN_W, SCREEN_H))
        weston.focus_outputs()
        weston.sync_pointer()
        print(f"WESTON: {binary}; Xvfb {outer}, Wayland {weston.socket}, XWayland {weston.xwayland_display} "
              f"(ready in {time.monotonic() - t0:.1f} s)", flush=True)
        desktop = Desktop(outer, weston)
        desktop.park_pointer()
        checks = Checks(desktop, binary, artifacts,
                        os.path.join(os.path.abspath(args.build_dir), "tests", "fault", "cifrella_fault_probe"))
        return checks.run("WESTON", *checks.lost_checks(), checks.x11_steps(), *checks.wayland_steps())
    return suite_main("WESTON", ap, lambda args: os.path.join(args.build_dir, "e2e-artifacts", "weston"), body)


if __name__ == "__main__":
    sys.exit(main())
