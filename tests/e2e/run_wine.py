#!/usr/bin/env python3
"""The Windows program under Wine: its installer run silently in a fresh Wine
prefix, the installed program played through as on Linux (the same checks:
three screens of 548x350 centred, a whole exercise with real X input, exit
status 0), then the uninstaller.

Wine proves the program and its installer as Windows' own interfaces
describe them; it cannot prove how a real Windows desktop draws the frame.
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import time

from desktops import CheckFailed
from run_e2e import Display, Play, Suite, poll

INSTALL_DIR = "Program Files/Cifrella"
PROGRAM = "C:\\Program Files\\Cifrella\\bin\\cifrella.exe"


class Wine:
    def __init__(self, prefix, display):
        self.prefix = prefix
        self.env = dict(display.env, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                        LANG="it_IT.UTF-8")

    def run(self, *args, timeout=120):
        r = subprocess.run(["wine", *args], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           stdin=subprocess.DEVNULL, timeout=timeout)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def settle(self):
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)

    def path(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def start_menu_entry(self):
        found = glob.glob(self.path("**", "Start Menu", "Programs", "Cifrella", "Cifrella.lnk"), recursive=True)
        return found[0] if found else None


def install(wine, installer):
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
    print(f"      installed {os.path.getsize(exe)} bytes; Start menu: {os.path.relpath(entry, wine.prefix)}", flush=True)


def uninstall(wine):
    uninstaller = wine.path(INSTALL_DIR, "Uninstall.exe")
    if not os.path.exists(uninstaller):
        raise CheckFailed(f"no uninstaller at {uninstaller}")
    status, out = wine.run(uninstaller, "/S")
    wine.settle()
    # The NSIS uninstaller copies itself away and runs from there.
    poll(lambda: not os.path.exists(wine.path(INSTALL_DIR)), 20)
    left = [p for p in (wine.path(INSTALL_DIR), wine.start_menu_entry()) if p and os.path.exists(p)]
    if status != 0 or left:
        raise CheckFailed(f"the uninstaller ended with status {status}, left {left}")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--installer", required=True)
    ap.add_argument("--artifacts", required=True)
    args = ap.parse_args()
    artifacts = os.path.abspath(args.artifacts)
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    t0 = time.monotonic()
    display = Display(artifacts, "openbox", strict_focus=True)
    wine = Wine(os.path.join(artifacts, "prefix"), display)
    launcher = os.path.join(artifacts, "cifrella")
    with open(launcher, "w") as f:
        f.write(f'#!/bin/sh\nexec wine "{PROGRAM}"\n')
    os.chmod(launcher, 0o755)
    display.env.update(wine.env)
    print(f"WINE: {subprocess.run(['wine', '--version'], capture_output=True, text=True).stdout.strip()} "
          f"on display {display.name}, openbox", flush=True)
    try:
        suite = Suite(display, launcher, artifacts)
        play = Play(suite)
        passed, failed = suite.run(
            "WINE",
            [("the installer run silently installs the program and its Start-menu entry",
              lambda: install(wine, os.path.abspath(args.installer)))] + play.steps()
            + [("the uninstaller run silently removes the program and its entry", lambda: uninstall(wine))])
    finally:
        subprocess.run(["wineserver", "-k"], env=wine.env)
        display.close()
    print(f"WINE: finished in {time.monotonic() - t0:.0f} s")
    print(f"WINE: {passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
