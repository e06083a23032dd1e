#!/usr/bin/python3
"""Cifrella on the displays children use: at every scale, on the primary
one of two monitors, and under a dark colour scheme.

    run_displays.py --build-dir DIR scales|monitors|dark

scales:   Xvfb 2048x1536 with openbox; the program at QT_SCALE_FACTOR 1.25,
          1.5 and 2 and at Xft.dpi 192: every screen's outer frame centred
          within 1 device pixel, from the first window on.
monitors: Xorg's dummy driver with two 1024x768 monitors side by side, the
          primary on the right: every screen centred on the primary.
dark:     qt6ct's "darker" scheme: the key, the instruction text and the
          board's outline drawn dark on the design's backgrounds, and a
          screenshot of each screen kept with the artefacts.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktops  # noqa: E402
from desktops import (INPUT_SETTLE, SCREEN, Program, frame_extents, installed_program, program_windows,  # noqa: E402
                      suite_main, window_geometry)
from design import CLIENT_H, CLIENT_W, ESCI, FINE, PARTI  # noqa: E402
from run_e2e import CheckFailed, poll  # noqa: E402

XORG_DUMMY = """\
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "2048x768" 130.0 2048 2096 2128 2208 768 771 777 790
    Modeline "1024x768" 65.0 1024 1048 1184 1344 768 771 777 806
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "2048x768" "1024x768"
        Virtual 2048 768
    EndSubSection
EndSection
"""
QT6CT = """\
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
"""


class Desktop(desktops.Desktop):
    """An X server with openbox: one monitor, or two side by side (Xorg's
    dummy driver, the primary on the right); the primary monitor's
    rectangle."""

    def __init__(self, artifacts, size=SCREEN, two_monitors=False, dpi=None):
        self.artifacts = artifacts
        conf = None
        if two_monitors:
            conf = os.path.join(artifacts, "dummy.conf")
            with open(conf, "w") as f:
                f.write(XORG_DUMMY)

        def set_up(desktop):
            if two_monitors:
                desktop.run("xrandr", "--addmode", "DUMMY1", "1024x768", check=True)
                desktop.run("xrandr", "--output", "DUMMY0", "--mode", "1024x768", "--pos", "0x0",
                            "--output", "DUMMY1", "--mode", "1024x768", "--pos", "1024x0", "--primary", check=True)
            if dpi:
                desktop.run("xrdb", "-nocpp", "-merge", check=True, input=f"Xft.dpi: {dpi}\n".encode())

        super().__init__("openbox", artifacts, size, conf, set_up)
        self.name = self.display

    def run(self, *args, check=False, input=None):
        r = subprocess.run(args, env=self.env, input=input, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           timeout=20)
        if check and r.returncode != 0:
            raise CheckFailed(f"{' '.join(args)} failed with status {r.returncode}")
        return r.stdout.decode("utf-8", "replace")

    def primary(self):
        """The primary monitor's rectangle, as the X server lists it."""
        for line in self.run("xrandr", "--listmonitors").splitlines():
            m = re.search(r"\d+: \+\*\S+ (\d+)/\d+x(\d+)/\d+\+(\d+)\+(\d+)", line)
            if m:
                w, h, x, y = map(int, m.groups())
                return x, y, w, h
        w, h = map(int, re.search(r"dimensions:\s+(\d+)x(\d+)", self.run("xdpyinfo")).groups())
        return 0, 0, w, h


class Run(Program):
    """One run of the installed program, its windows read from the X server."""

    def __init__(self, desktop, binary, env, ratio, log):
        super().__init__(binary, dict(desktop.env, **env), log)
        self.d = desktop
        self.ratio = ratio

    def window(self, title):
        """The one viewable window, once it has that title and its frame."""
        state = {}

        def one():
            ids = program_windows(self.d.run)
            state["seen"] = ids
            if len(ids) != 1 or f'"{title}"' not in self.d.run("xprop", "-id", ids[0], "WM_NAME"):
                return None
            return ids[0] if frame_extents(self.d.run, ids[0]) else None
        w = poll(one, 10)
        if not w:
            raise CheckFailed(f"no single window titled {title}; saw {state.get('seen')}")
        time.sleep(INPUT_SETTLE)
        return w

    def centre(self, w):
        x, y, cw, ch = window_geometry(self.d.run, w)
        left, right, top, bottom = frame_extents(self.d.run, w)
        wanted = (round(CLIENT_W * self.ratio), round(CLIENT_H * self.ratio))
        if (cw, ch) != wanted:
            raise CheckFailed(f"client area {cw}x{ch} device pixels, wanted {wanted[0]}x{wanted[1]}")
        return (x - left + (cw + left + right) / 2, y - top + (ch + top + bottom) / 2), (x, y)

    def check_centred(self, title):
        w = self.window(title)
        px, py, pw, ph = self.d.primary()
        wanted = (px + pw / 2, py + ph / 2)
        found = poll(lambda: (lambda c: c if max(abs(c[0][0] - wanted[0]), abs(c[0][1] - wanted[1])) <= 1
                              else None)(self.centre(w)), 2)
        if not found:
            (cx, cy), _ = self.centre(w)
            raise CheckFailed(f"{title}: frame centre ({cx}, {cy}), primary display's centre {wanted}")
        (cx, cy), origin = found
        print(f"      {title}: frame centre ({cx:g}, {cy:g}), off by ({cx - wanted[0]:+g}, {cy - wanted[1]:+g})",
              flush=True)
        return w, origin

    def key(self, w, *keys):
        self.d.run("xdotool", "windowactivate", "--sync", w)
        self.d.run("xdotool", "key", *keys, check=True)

    def open_puzzle(self, origin):
        x, y, cw, ch = PARTI
        self.d.run("xdotool", "mousemove", "--sync", str(origin[0] + int((x + cw / 2) * self.ratio)),
                   str(origin[1] + int((y + ch / 2) * self.ratio)), "click", "1", check=True)


def walk(desktop, binary, env, ratio, log, shots=None):
    """Start screen, instructions, start again, puzzle: each one centred."""
    run = Run(desktop, binary, env, ratio, log)
    try:
        w, origin = run.check_centred("Cifrella")
        if shots:
            shots("start")
        run.key(w, "alt+i")
        w, _ = run.check_centred("Istruzioni")
        if shots:
            shots("istruzioni")
        run.key(w, "Escape")
        w, origin = run.check_centred("Cifrella")
        run.open_puzzle(origin)
        poll(lambda: len(run.d.run("xdotool", "search", "--onlyvisible", "--name", "^Cifrella$").split()) == 1
             and run.window("Cifrella") != w, 5)
        run.check_centred("Cifrella")
        if shots:
            shots("puzzle")
        return run
    except BaseException:
        run.stop()
        raise


def scales(binary, artifacts):
    checks = []
    desktop = Desktop(artifacts, size=(2048, 1536))
    try:
        for factor in ("1.25", "1.5", "2"):
            print(f"   QT_SCALE_FACTOR={factor}", flush=True)
            walk(desktop, binary, {"QT_SCALE_FACTOR": factor}, float(factor),
                 os.path.join(artifacts, f"scale-{factor}.log")).stop()
            checks.append(f"scale {factor}")
    finally:
        desktop.stop()
    desktop = Desktop(artifacts, size=(2048, 1536), dpi=192)
    try:
        print("   Xft.dpi 192", flush=True)
        walk(desktop, binary, {}, 2.0, os.path.join(artifacts, "dpi-192.log")).stop()
        checks.append("Xft.dpi 192")
    finally:
        desktop.stop()
    return checks


def monitors(binary, artifacts):
    desktop = Desktop(artifacts, two_monitors=True)
    try:
        print(f"   primary monitor {desktop.primary()}", flush=True)
        walk(desktop, binary, {}, 1.0, os.path.join(artifacts, "monitors.log")).stop()
    finally:
        desktop.stop()
    return ["two monitors, primary on the right"]


def resize(binary, artifacts):
    """A projector connected: the display goes from 1368 x 768 to 800 x 600
    under the shown screen, which is centred again."""
    desktop = Desktop(artifacts, two_monitors=True)
    run = None
    try:
        desktop.run("xrandr", "--output", "DUMMY1", "--off", check=True)
        desktop.run("xrandr", "--fb", "1368x768", "--output", "DUMMY0", "--mode", "1368x768", "--primary", check=True)
        run = Run(desktop, binary, {}, 1.0, os.path.join(artifacts, "resize.log"))
        print(f"   display {desktop.primary()}", flush=True)
        _, before = run.check_centred("Cifrella")
        desktop.run("xrandr", "--fb", "800x600", "--output", "DUMMY0", "--mode", "800x600", check=True)
        print(f"   display {desktop.primary()}", flush=True)
        _, after = run.check_centred("Cifrella")
        if after == before:
            raise CheckFailed(f"the start screen stayed at {before}")
        if run.proc.poll() is not None:
            raise CheckFailed("the program ended")
    finally:
        if run:
            run.stop()
        desktop.stop()
    return ["display 1368 x 768 to 800 x 600: centred again"]


def dark(binary, artifacts):
    desktop = Desktop(artifacts)
    config = tempfile.mkdtemp(prefix="cifrella-qt6ct-")
    os.makedirs(os.path.join(config, "qt6ct"))
    with open(os.path.join(config, "qt6ct", "qt6ct.conf"), "w") as f:
        f.write(QT6CT)
    taken = {}

    def shot(name):
        path = os.path.join(artifacts, f"dark-{name}.png")
        time.sleep(0.3)  # the last paint after the window manager's frame
        desktop.run("import", "-window", "root", path)
        taken[name] = path
    try:
        run = walk(desktop, binary, {"QT_QPA_PLATFORMTHEME": "qt6ct", "XDG_CONFIG_HOME": config}, 1.0,
                   os.path.join(artifacts, "dark.log"), shot)
        run.stop()
    finally:
        desktop.stop()
        shutil.rmtree(config, ignore_errors=True)
    # The dark scheme reached the program: the buttons' faces are dark.
    for name, rects in (("start", {"cmdesci": ESCI}),
                        ("istruzioni", {"lblistruzioni": (24, 72, 249, 225)}),
                        ("puzzle", {"lblchiave": (320, 64, 41, 25), "Shape1 outline": (304, 112, 153, 2),
                                    "cmdfine": FINE})):
        print(f"      {name}: {taken[name]}", flush=True)
        ink = ink_counts(taken[name], rects)
        for control, (dark_pixels, light_pixels, mean) in ink.items():
            print(f"      {control}: {dark_pixels} dark pixels, {light_pixels} light, mean luma {mean:.0f}",
                  flush=True)
            if control.startswith("cmd"):
                if mean > 110:
                    raise CheckFailed(f"{name}: {control} is not drawn in the dark scheme")
            elif dark_pixels < 30:
                raise CheckFailed(f"{name}: {control} has no dark ink on its light background")
            elif control.startswith("lbl") and light_pixels > dark_pixels:
                raise CheckFailed(f"{name}: {control} is drawn light")
    return ["darker scheme: the key, the instructions and the outline readable"]


def ink_counts(png, rects):
    """Dark (luma < 80) and light-grey pixels, and the mean luma, inside client rectangles,
    the client found as the one window's top-left on the screenshot."""
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True).stdout.split()
    w, h = int(size[0]), int(size[1])
    data = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True).stdout
    # The client area is the first row and column of the screen's own
    # background colour below the frame's title bar.
    backgrounds = {(255, 128, 128), (255, 192, 128), (192, 255, 255)}
    origin = None
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 3
            if tuple(data[i:i + 3]) in backgrounds:
                origin = (x, y)
                break
        if origin:
            break
    out = {}
    for name, (rx, ry, rw, rh) in rects.items():
        dark_pixels = light = 0
        total = 0.0
        for y in range(origin[1] + ry, origin[1] + ry + rh):
            for x in range(origin[0] + rx, origin[0] + rx + rw):
                i = (y * w + x) * 3
                r, g, b = data[i:i + 3]
                luma = 0.299 * r + 0.587 * g + 0.114 * b
                dark_pixels += luma < 80
                light += 170 < luma < 235 and abs(r - g) < 20 and abs(g - b) < 20
                total += luma
        out[name] = (dark_pixels, light, total / (rw * rh))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build-dir", required=True)
    ap.add_argument("--artifacts")
    ap.add_argument("what", choices=("scales", "monitors", "resize", "dark"))

    def body(args, artifacts, stack):
        binary = installed_program(os.path.abspath(args.build_dir))
        passed = {"scales": scales, "monitors": monitors, "resize": resize, "dark": dark}[args.what](
            binary, artifacts)
        for p in passed:
            print(f"ok    {p}")
        return len(passed), 0
    return suite_main("DISPLAYS", ap, lambda args: os.path.join(args.build_dir, "e2e-artifacts", args.what), body)


if __name__ == "__main__":
    sys.exit(main())
