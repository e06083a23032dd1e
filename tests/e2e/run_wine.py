#!/usr/bin/python3
"""The Windows program under Wine, in steps run one after another on one Wine
prefix: the installer run silently, the three screens, a whole exercise, a
child's hands (double clicks, a held key), the uninstaller run silently.

The program is driven as on Linux, through X with xdotool; what it gave
Windows (window and client rectangles, styles, owner, the foreground) is read
through Windows' own interfaces by window_facts.exe, built beside it. Wine
proves the program and its installer as Windows' interfaces describe them;
it cannot prove how a real Windows desktop draws the frame.
"""

import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import time

from desktops import CheckFailed, suite_main
from design import CLIENT_H, CLIENT_W
from run_e2e import Display, Hands, Program, Suite, poll

INSTALL_DIR = "Program Files/Cifrella"
PROGRAM = "C:\\Program Files\\Cifrella\\bin\\cifrella.exe"
TITLES = {"start": "Cifrella", "puzzle": "Cifrella", "instructions": "Istruzioni"}
# Window styles (winuser.h).
WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_EX_APPWINDOW = 0x00020000, 0x00010000, 0x00040000


class Wine:
    def __init__(self, prefix, env):
        self.prefix = prefix
        self.env = dict(env, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                        LANG="it_IT.UTF-8")

    def run(self, *args, timeout=120):
        r = subprocess.run(["wine", *args], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           stdin=subprocess.DEVNULL, timeout=timeout)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def settle(self):
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)

    def path(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def start_menu_entry(self):
        found = glob.glob(self.path("**", "Start Menu", "Programs", "Cifrella", "Cifrella.lnk"), recursive=True)
        return found[0] if found else None


class WineDisplay(Display):
    """The display, with what Windows holds read by window_facts.exe."""

    def __init__(self, artifacts, facts_tool):
        super().__init__(artifacts, "openbox", strict_focus=True)
        self.facts_tool = facts_tool

    def windows(self, *args):
        return subprocess.run(["wine", self.facts_tool, *args], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=30)

    def facts(self):
        lines = [json.loads(line) for line in self.windows().stdout.decode("utf-8", "replace").splitlines()
                 if line.strip()]
        return lines[0]["screen"], lines[1:]

    # The clipboard is Windows' own: X clients reach it through Wine's
    # clipboard thread, which under load answered one request only after 5 s.
    def own_clipboard(self, text):
        if self.windows("--clipboard", text).returncode != 0:
            raise CheckFailed("could not put a marker on the clipboard")

    def clipboard(self):
        r = self.windows("--read-clipboard")
        return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else ""


class WineProgram(Program):
    """The installed program under Wine, its frame checked as Windows holds it."""

    def check_frame(self, w, kind):
        d = self.d
        state = {}

        def centred():
            screen, windows = d.facts()
            shown = [f for f in windows if f["title"] == TITLES[kind]]
            state.update(screen=screen, shown=shown)
            if len(shown) != 1:
                return False
            left, top, right, bottom = shown[0]["window"]
            return (abs((left + right) / 2 - screen[0] / 2) <= 1 and abs((top + bottom) / 2 - screen[1] / 2) <= 1
                    and shown[0]["foreground"])

        ok = poll(centred, 10, 0.2)
        if len(state["shown"]) != 1:
            raise CheckFailed(f"{kind}: Windows shows {len(state['shown'])} windows titled {TITLES[kind]!r}")
        f = state["shown"][0]
        x, y, cw, ch = d.geometry(w)
        left, top, right, bottom = f["client"]
        if (cw, ch) != (CLIENT_W, CLIENT_H) or (left, top, right - left, bottom - top) != (x, y, cw, ch):
            raise CheckFailed(f"{kind}: client {f['client']} in Windows, ({x}, {y}, {cw}, {ch}) in X; "
                              f"wanted {CLIENT_W}x{CLIENT_H} in both")
        if not ok:
            raise CheckFailed(f"{kind}: window {f['window']} not centred on the {state['screen']} screen, "
                              f"or not in the foreground ({f['foreground']})")
        style, exstyle = f["style"], f["exstyle"]
        if (style & (WS_CAPTION | WS_SYSMENU) != WS_CAPTION | WS_SYSMENU
                or style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)):
            raise CheckFailed(f"{kind}: style {style:#x}, wanted a caption and close box only, no sizing border")
        # An owned window without WS_EX_APPWINDOW has no taskbar button; Wine
        # tells the X desktop so.
        props = d.run("xprop", "-id", w, "_NET_WM_STATE", "WM_NORMAL_HINTS")
        if (exstyle & WS_EX_APPWINDOW or not f["owned"] or f["owner_visible"]
                or "_NET_WM_STATE_SKIP_TASKBAR" not in props):
            raise CheckFailed(f"{kind}: on the taskbar (extended style {exstyle:#x}, owned {f['owned']}, "
                              f"owner visible {f['owner_visible']}; X: {props!r})")
        if f"minimum size: {CLIENT_W} by {CLIENT_H}" not in props or f"maximum size: {CLIENT_W} by {CLIENT_H}" \
                not in props:
            raise CheckFailed(f"{kind}: resizable in X: {props!r}")
        if kind not in self.reported:
            self.reported.add(kind)
            print(f"      {kind}: window {f['window']} on a {state['screen']} screen, client {f['client']}, "
                  f"style {style:#x}, extended {exstyle:#x}, owned by a hidden window, in the foreground",
                  flush=True)


class Exercise(Hands):
    def escape_to_start(self):
        self.d.key(self.win, "Escape")
        self.goto("start")

    def escape_ends(self):
        self.d.key(self.win, "Escape")
        self.p.wait_exit("Esc on the start screen")

    def screens(self):
        return [
            ("the start screen: 548x350, centred, a caption and close box only, off the taskbar", self.start),
            ("the instructions, by Alt+I, Esc, Alt+I, Alt+O: each screen centred and in the foreground",
             self.instructions),
            ("the puzzle, by the picture button: centred, three revealed boxes", self.open_puzzle),
            ("closing the puzzle window ends the program with status 0", self.close_puzzle),
        ]

    def exercise(self):
        return [
            ("the start screen, then the puzzle by the picture button", lambda: (self.start(), self.open_puzzle())),
            ("Alt+C on an empty grid: the warning, wiped 3 s after the last check", self.empty_check),
            ("digits typed, one box wrong: only it emptied; corrected, Bravo! and a new deal", self.near_miss),
            ("the new deal solved: Bravo! and another", lambda: self.solve_once(1)),
            ("Esc: the start screen", self.escape_to_start),
            ("Esc again: the program ends with status 0", self.escape_ends),
        ]

    def hands(self):
        return self.child_steps() + [("Esc on the start screen: the program ends with status 0", self.escape_ends)]


def install(wine, installer):
    shutil.rmtree(wine.prefix, ignore_errors=True)
    t0 = time.monotonic()
    wine.run("wineboot", "-i")
    wine.settle()
    status, out = wine.run(installer, "/S")
    wine.settle()
    exe = wine.path(INSTALL_DIR, "bin", "cifrella.exe")
    if status != 0 or not os.path.exists(exe):
        raise CheckFailed(f"the installer ended with status {status}, {exe} missing: {out[-500:]}")
    entry = wine.start_menu_entry()
    if not entry:
        raise CheckFailed("no Start-menu entry 'Cifrella'")
    print(f"      {time.monotonic() - t0:.1f} s with the prefix made; installed {os.path.getsize(exe)} bytes; "
          f"Start menu: {os.path.relpath(entry, wine.prefix)}", flush=True)


def uninstall(wine):
    uninstaller = wine.path(INSTALL_DIR, "Uninstall.exe")
    if not os.path.exists(uninstaller):
        raise CheckFailed(f"no uninstaller at {uninstaller}")
    status, _ = wine.run(uninstaller, "/S")
    wine.settle()
    # The NSIS uninstaller copies itself away and runs from there.
    poll(lambda: not os.path.exists(wine.path(INSTALL_DIR)), 20)
    left = [p for p in (wine.path(INSTALL_DIR), wine.start_menu_entry()) if p and os.path.exists(p)]
    if status != 0 or left:
        raise CheckFailed(f"the uninstaller ended with status {status}, left {left}")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("step", choices=("install", "screens", "exercise", "hands", "uninstall"))
    ap.add_argument("--windows-build", required=True, help="the build folder of windows.sh")
    ap.add_argument("--work", required=True, help="the folder of the Wine prefix and the step's artifacts")

    def artifacts(args):
        folder = os.path.join(args.work, args.step)
        shutil.rmtree(folder, ignore_errors=True)
        return folder

    def body(args, artifacts, stack):
        build = os.path.abspath(args.windows_build)
        installers = glob.glob(os.path.join(build, "cifrella-*-setup.exe"))
        facts_tool = os.path.join(build, "tests", "wine", "window_facts.exe")
        if len(installers) != 1 or not os.path.exists(facts_tool):
            raise CheckFailed(f"no installer or window_facts.exe in {build}: run windows.sh first")
        display = WineDisplay(artifacts, facts_tool)
        stack.callback(display.close)
        wine = Wine(os.path.join(os.path.abspath(args.work), "prefix"), display.env)
        display.env.update(wine.env)
        stack.callback(subprocess.run, ["wineserver", "-k"], env=wine.env, stderr=subprocess.DEVNULL)
        launcher = os.path.join(artifacts, "cifrella")
        with open(launcher, "w") as f:
            f.write(f'#!/bin/sh\nexec wine "{PROGRAM}"\n')
        os.chmod(launcher, 0o755)
        version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
        print(f"WINE: {version} on display {display.name}, openbox", flush=True)
        suite = Suite(display, launcher, artifacts)
        suite.program_type = WineProgram
        steps = {
            "install": lambda: [("the installer run silently installs the program and its Start-menu entry",
                                 lambda: install(wine, installers[0]))],
            "screens": lambda: Exercise(suite).screens(),
            "exercise": lambda: Exercise(suite).exercise(),
            "hands": lambda: Exercise(suite).hands(),
            "uninstall": lambda: [("the uninstaller run silently removes the program and its entry",
                                   lambda: uninstall(wine))],
        }
        return suite.run("WINE", steps[args.step]())
    return suite_main("WINE", ap, artifacts, body)


if __name__ == "__main__":
    sys.exit(main())
