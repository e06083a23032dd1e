#!/usr/bin/python3
"""End-to-end run of an installed Cifrella as a screen reader meets it.

The program runs under Xvfb with openbox inside its own D-Bus session with
the accessibility bus started, and is driven with real input (xdotool) while
everything it shows is read back through AT-SPI: the boxes, the key, the
message, which control has the focus, the names of the controls, the
context menu of a box, and the run-time error report.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

import run_e2e as base
from desktops import INPUT_SETTLE, FirstSeen, Program, in_own_session, installed_program, suite_main
from run_e2e import CheckFailed, poll

# The accessibility bus puts its socket in the runtime directory.
in_own_session("XDG_RUNTIME_DIR")

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

import bus  # noqa: E402
from bus import Reader, children  # noqa: E402
from design import (BRAVO, CORREGGITI, INSTRUCTIONS_BG, PATTERNS, PUZZLE_BG, SQUARES, START_BG,  # noqa: E402
                    box_name)

MOVES = 200  # between the screens in the soak
A11Y_ENV = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1"}


def pump():
    ctx = GLib.MainContext.default()
    while ctx.pending():
        ctx.iteration(False)


class A11ySuite(base.Suite):
    prefix = "a11y"
    memory_check = True

    def __init__(self, display, binary, artifacts, build):
        super().__init__(display, binary, artifacts)
        self.build = build

    def launch(self, extra_env=None, binary=None, args=(), cwd=None):
        self.runs += 1
        env = dict(self.d.env, **A11Y_ENV, **(extra_env or {}))
        self.program = Program(binary or self.binary, env, os.path.join(self.artifacts, f"a11y-{self.runs}.log"),
                               args, cwd)
        reader = Reader(self.program.proc.pid)
        if not poll(lambda: reader.app() is not None and reader.windows(), 10):
            raise CheckFailed("the program did not appear on the accessibility bus")
        return self.program, reader


class Session:
    """One run of the program walked through as a child with a screen reader."""

    def __init__(self, suite):
        self.s = suite
        self.d = suite.d
        self.r = None

    def xdo(self, *args):
        self.d.xdo(*args)

    def click(self, acc, button=1):
        x, y, w, h = Reader.extents(acc)
        self.xdo("mousemove", x + w // 2, y + h // 2)
        self.xdo("click", button)

    def keys(self, *keys):
        self.xdo("key", "--clearmodifiers", *keys)

    def type_box(self, n, text):
        box = self.r.box(n)
        self.click(box)
        if not poll(lambda: self.r.focused() == box_name(n), 3):
            raise CheckFailed(f"{box_name(n)} did not take the focus")
        self.keys("ctrl+a", "BackSpace")
        if text:
            self.xdo("type", "--delay", "5", text)
        if not poll(lambda: Reader.text(self.r.box(n)) == text, 3):
            raise CheckFailed(f"{box_name(n)} holds {Reader.text(self.r.box(n))!r} after typing {text!r}")

    def screen(self, first_control, title):
        def there():
            try:
                w = self.r.window(0.2)
                return w.name == title and any(c.name == first_control for c in children(w))
            except (CheckFailed, GLib.Error):
                return False
        if not poll(there, 5):
            raise CheckFailed(f"expected the screen with {first_control!r}, saw "
                              f"{[(w.name, [c.name for c in children(w)]) for w in self.r.windows()]}")
        # The bus may tell of the new window a moment before the X server has
        # mapped it or unmapped the old one, or before it has painted: input
        # waits out the program's guard from the paint.
        background = {"OK": INSTRUCTIONS_BG, "Conferma": PUZZLE_BG}.get(first_control, START_BG)
        self.d.settle(background, f"the screen with {first_control!r}")
        counts = []
        if not poll(lambda: counts.append(len(self.d.visible_windows())) or counts[-1] == 1, 3):
            raise CheckFailed(f"{counts[-1]} windows visible on the X server")

    def deal(self):
        """The square and pattern on screen: checks them against the catalogue."""
        grid = self.r.grid()
        shown = {n for n in range(1, 10) if grid[n - 1]}
        if shown not in PATTERNS:
            raise CheckFailed(f"revealed boxes {sorted(shown)} are no reveal pattern: {grid}")
        key = self.r.key()
        for sq in SQUARES:
            if all(grid[n - 1] == str(sq[n - 1]) for n in shown) and key == str(sq[9]):
                return sq, shown
        raise CheckFailed(f"grid {grid} with key {key!r} matches no square of the catalogue")

    def fill(self, sq, shown, override=None):
        for n in range(1, 10):
            if n not in shown or (override and n in override):
                self.type_box(n, (override or {}).get(n, str(sq[n - 1])))

    def confirm(self, expected):
        self.keys("alt+c")
        if not poll(lambda: self.r.message() == expected, 3):
            raise CheckFailed(f"message {self.r.message()!r}, expected {expected!r}")
        if expected == BRAVO:
            time.sleep(INPUT_SETTLE)  # a new exercise

    # The checks

    def start(self):
        self.p, self.r = self.s.launch()
        self.screen("Esci", "Cifrella")
        names = [c.name for c in self.r.controls()]
        for needed in ("Inizia l'esercizio", "Istruzioni", "Esci"):
            if needed not in names:
                raise CheckFailed(f"start screen controls {names} lack {needed!r}")
        roles = {c.name: c.getRoleName() for c in self.r.controls()}
        pictures = [n for n, role in roles.items() if role == "image"]
        if len(pictures) != 3 or not all(pictures):
            raise CheckFailed(f"start screen pictures: {roles}")

    def instructions(self):
        self.keys("alt+i")
        self.screen("OK", "Istruzioni")
        text = [c.name for c in self.r.controls() if c.getRoleName() == "label"]
        if not text or not text[0].startswith("Nel quadrato proposto") or len(text[0]) != 350:
            raise CheckFailed(f"instruction text read as {text}")
        if not any("1 8 3" in c.name for c in self.r.controls()):
            raise CheckFailed("the example square has no description")
        self.keys("Escape")
        self.screen("Esci", "Cifrella")

    def puzzle(self):
        self.click(self.r.named("Inizia l'esercizio"))
        self.screen("Conferma", "Cifrella")
        names = [c.name for c in self.r.controls()]
        for needed in [box_name(n) for n in range(1, 10)] + ["Conferma", "Fine"]:
            if needed not in names:
                raise CheckFailed(f"puzzle controls {names} lack {needed!r}")
        self.sq, self.shown = self.deal()
        if self.r.focused() != box_name(1) or self.r.message() != "":
            raise CheckFailed(f"focus {self.r.focused()!r}, message {self.r.message()!r} on a fresh puzzle")

    def empty_check(self):
        self.r.listen()
        before = self.r.grid()
        self.confirm(CORREGGITI)
        if self.r.grid() != before or self.r.focused() != box_name(1):
            raise CheckFailed(f"after an empty check: grid {self.r.grid()}, focus {self.r.focused()!r}")

    def announced(self):
        label = self.r.at(288, 280, 185, 33)
        deadline = time.monotonic() + 2
        while time.monotonic() < deadline:
            pump()
            for e in self.r.events:
                if e.source == label:
                    print(f"      the message label sent {e.type}", flush=True)
                    return
            time.sleep(0.05)
        raise CheckFailed(f"no event from the message label; saw {[e.type for e in self.r.events][:10]}")

    def timer(self):
        t0 = time.monotonic()
        self.confirm(CORREGGITI)
        time.sleep(1.5)
        t1 = time.monotonic()
        self.confirm(CORREGGITI)
        if not poll(lambda: self.r.message() == "", 5, 0.02):
            raise CheckFailed("the message was never wiped")
        gone = time.monotonic()
        if not 3.0 <= gone - t1 <= 4.5:
            raise CheckFailed(f"message wiped {gone - t1:.2f} s after the second check "
                              f"({gone - t0:.2f} s after the first)")

    def near_misses(self):
        missing = [n for n in range(1, 10) if n not in self.shown]
        for variant in (" {}", "0{}", "+{}", "{},0"):
            cell = missing[0]
            wrong = variant.format(self.sq[cell - 1])
            self.fill(self.sq, self.shown, {cell: wrong})
            self.confirm(CORREGGITI)
            grid = self.r.grid()
            expected = [str(v) for v in self.sq[:9]]
            expected[cell - 1] = ""
            if grid != expected:
                raise CheckFailed(f"{wrong!r} in {box_name(cell)}: grid {grid}, expected {expected}")
            self.wait_quiet()

    def wait_quiet(self):
        if not poll(lambda: self.r.message() == "", 5):
            raise CheckFailed("message not wiped")

    def overwritten(self):
        cell = min(self.shown)
        value = self.sq[cell - 1]
        self.fill(self.sq, self.shown, {cell: str(value + 1)})
        self.confirm(CORREGGITI)
        if Reader.text(self.r.box(cell)) != "":
            raise CheckFailed(f"overwritten revealed box holds {Reader.text(self.r.box(cell))!r}")
        self.wait_quiet()

    def solves(self):
        for i in range(10):
            self.fill(self.sq, self.shown, {n: str(self.sq[n - 1]) for n in range(1, 10)
                                            if not Reader.text(self.r.box(n))})
            self.confirm(BRAVO)
            self.sq, self.shown = self.deal()
            if self.r.focused() != box_name(1):
                raise CheckFailed(f"focus {self.r.focused()!r} after Bravo")
            self.wait_quiet()

    def long_paste(self):
        text = "7" * 100000
        owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"], env=self.d.env,
                                 stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        owner.stdin.write(text.encode())
        owner.stdin.close()
        try:
            missing = min(n for n in range(1, 10) if n not in self.shown)
            self.click(self.r.box(missing))
            self.keys("ctrl+a", "BackSpace", "ctrl+v")
            count = poll(lambda: self.r.box(missing).queryText().characterCount == len(text) and 1, 5)
            if not count:
                raise CheckFailed(f"box holds {self.r.box(missing).queryText().characterCount} characters")
            self.confirm(CORREGGITI)
            if Reader.text(self.r.box(missing)) != "":
                raise CheckFailed("the long text was not emptied")
        finally:
            owner.kill()
            owner.wait()
        self.wait_quiet()

    def soak(self):
        def rss():
            with open(f"/proc/{self.p.proc.pid}/status") as f:
                return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
        self.keys("Escape")
        self.screen("Esci", "Cifrella")
        after40 = None
        watch = FirstSeen(self.d.name)
        watch.start()
        # Every way there and back: Alt+I, the picture button; Esc, Alt+O, Alt+F.
        for i in range(1, MOVES // 2 + 1):
            if i % 2:
                self.keys("alt+i")
                self.screen("OK", "Istruzioni")
                self.keys("Escape" if i % 4 == 1 else "alt+o")
            else:
                self.click(self.r.named("Inizia l'esercizio"))
                self.screen("Conferma", "Cifrella")
                self.keys("Escape" if i % 4 == 2 else "alt+f")
            self.screen("Esci", "Cifrella")
            if i == 20:
                after40 = rss()
        screens, elsewhere = watch.stop()
        growth = rss() - after40
        print(f"      resident memory after 40 moves {after40} kB, after {MOVES} {after40 + growth} kB; "
              f"{len(screens)} screens mapped, {len(elsewhere)} off the centre {elsewhere[:5]}", flush=True)
        if self.s.memory_check and growth > 2048:
            raise CheckFailed(f"resident memory grew by {growth} kB over {MOVES - 40} moves")
        if len(screens) < MOVES or elsewhere:
            raise CheckFailed(f"{len(elsewhere)} of {len(screens)} screens mapped off the centre")

    def close(self):
        self.keys("alt+F4")
        try:
            rc = self.p.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            raise CheckFailed("the program was still running after Alt+F4")
        if rc != 0:
            raise CheckFailed(f"exit status {rc} after Alt+F4")

    def steps(self):
        return [
            ("start screen: controls and pictures named for a screen reader", self.start),
            ("instructions read through the bus; Esc back", self.instructions),
            ("puzzle: nine named boxes, a catalogue square and pattern, its key, focus on box 1", self.puzzle),
            ("empty check: 'Attento... Correggiti!' read, revealed boxes kept, focus on box 1", self.empty_check),
            ("a new message is announced on the bus", self.announced),
            ("message timer: a second check restarts the 3 s count", self.timer),
            ("near misses (space, leading zero, plus, decimal comma) empty only their box", self.near_misses),
            ("an overwritten revealed box is emptied and not restored", self.overwritten),
            ("ten right grids: 'Bravo!' and a new catalogue deal each time", self.solves),
            ("a pasted 100 000-character text is held whole and emptied by the check", self.long_paste),
            (f"{MOVES} moves between screens by every way: one window each, mapped at the centre, memory steady",
             self.soak),
            ("Alt+F4 ends the program with status 0", self.close),
        ]


def context_menu(suite):
    def run():
        p, r = suite.launch({"LANG": "en_US.UTF-8", "LANGUAGE": "en", "LC_ALL": "en_US.UTF-8"})
        s = Session(suite)
        s.p, s.r = p, r
        s.click(r.named("Inizia l'esercizio"))
        s.screen("Conferma", "Cifrella")
        # A popup menu is a top-level window of its own that the bus does
        # not list under the application: it is found by the event it sends
        # when it shows.
        menus = []

        def shown(event):
            try:
                if event.detail1 == 1 and event.source.getRoleName() == "popup menu":
                    menus.append(event.source)
            except GLib.Error:
                pass
        pyatspi.Registry.registerEventListener(shown, "object:state-changed:showing")
        try:
            s.click(r.box(2), 3)

            def items():
                pump()
                for menu in menus:
                    try:
                        names = [c.name.replace("&", "").split("\t")[0] for c in menu if c is not None]
                    except GLib.Error:
                        continue
                    if len(names) >= 7:
                        return names
                return None
            names = poll(items, 5) or []
        finally:
            pyatspi.Registry.deregisterEventListener(shown, "object:state-changed:showing")
        wanted = ["Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina", "Seleziona tutto"]
        if not all(w in names for w in wanted):
            raise CheckFailed(f"context menu read as {names}")
        print(f"      context menu: {', '.join(names)}", flush=True)
        s.keys("Escape")
        p.stop()
    return ("the context menu of a box is Italian on an English desktop", run)


def error_report(suite, fault, words):
    def run():
        probe = os.path.join(suite.build, "tests", "fault", "cifrella_fault_probe")
        home = tempfile.mkdtemp(prefix="cifrella-home-")
        p, r = suite.launch({"HOME": home, "XDG_CONFIG_HOME": f"{home}/config", "XDG_CACHE_HOME": f"{home}/cache",
                             "XDG_DATA_HOME": f"{home}/data", "XDG_STATE_HOME": f"{home}/state"},
                            binary=probe, args=[fault], cwd=home)
        s = Session(suite)
        s.p, s.r = p, r
        s.click(r.named("Inizia l'esercizio"))

        def report():
            for w in children(r.app()):
                texts = [c.name for c in children(w) if c.getRoleName() == "label"]
                if w.name == "Cifrella" and any(t.startswith(words) for t in texts):
                    return True
            return False
        if not poll(report, 5):
            raise CheckFailed(f"no report titled Cifrella saying {words!r}; windows "
                              f"{[(w.name, [c.name for c in children(w)]) for w in children(r.app())]}")
        suite.d.screenshot(os.path.join(suite.artifacts, f"a11y-report-{fault}.png"))
        s.keys("Return")
        try:
            rc = p.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            raise CheckFailed("the program did not end after the report")
        if rc == 0:
            raise CheckFailed("the program ended with status 0 after a run-time error")
        written = [os.path.join(d, f) for d, _, files in os.walk(home) for f in files]
        shutil.rmtree(home, ignore_errors=True)
        if written:
            raise CheckFailed(f"the report left files behind: {written}")
        p.stop()
    return (f"a {fault} fault is reported as '{words}' under the title Cifrella, then the program ends "
            f"with a non-zero status and nothing written", run)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build-dir", required=True)
    ap.add_argument("--artifacts")
    ap.add_argument("--no-memory-check", action="store_true",
                    help="report resident memory in the soak without judging it (sanitizer builds)")
    ap.add_argument("--only", choices=("play", "menu", "faults"), help="run one group of checks")

    def body(args, artifacts, stack):
        build = os.path.abspath(args.build_dir)
        binary = installed_program(build)
        bus.start(stack)
        display = base.Display(artifacts)
        stack.callback(display.close)
        os.environ["DISPLAY"] = display.name
        suite = A11ySuite(display, binary, artifacts, build)
        suite.memory_check = not args.no_memory_check
        groups = {
            "play": [Session(suite).steps()],
            "menu": [[context_menu(suite)]],
            "faults": [[error_report(suite, "subscript", "Errore di run-time: indice fuori intervallo.")],
                       [error_report(suite, "contract", "Errore di run-time: errore interno del programma.")]],
        }
        suite.run("A11Y", *(steps for name, sequences in groups.items() if args.only in (None, name)
                            for steps in sequences))
        return suite.passed, suite.failed + suite.skipped
    return suite_main("A11Y", ap, lambda args: os.path.join(args.build_dir, "e2e-artifacts"), body)


if __name__ == "__main__":
    sys.exit(main())
