#!/usr/bin/python3
"""What the Orca screen reader says to a child playing an installed Cifrella.

Xvfb, openbox, the accessibility bus, speech-dispatcher (espeak-ng into
libao's null output) and Orca run in a D-Bus session and a home of their own,
Orca under the Italian locale with its debug log. The program is driven with
real key presses and clicks (xdotool). What Orca said in a step is the
"SPEECH OUTPUT" lines it logged meanwhile; they are checked against what the
child must hear, with the key and the boxes read back through AT-SPI.

Needs the it_IT.UTF-8 locale (in /etc/locale.gen, then locale-gen).
"""

import argparse
import json
import os
import re
import subprocess
import sys
import time

import run_e2e as base
from desktops import INPUT_SETTLE, Program, in_own_session, installed_program, stop_process, suite_main
from run_e2e import CheckFailed, poll

# Neither the desktop's screen reader settings nor its speech server are touched.
in_own_session("HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME")

import bus  # noqa: E402
from bus import Reader  # noqa: E402
from design import BRAVO, CORREGGITI, INSTRUCTIONS_BG, PUZZLE_BG, START_BG, box_name  # noqa: E402

LOCALE = "it_IT.UTF-8"
HOME = os.environ["HOME"]
# Orca's word for a selection (Italian, and English should the locale be missing).
SELECTED = re.compile(r"\b(selezionat[oia]|selected)\b", re.I)


def start_speech_server(artifacts):
    """speech-dispatcher with espeak-ng, its sound sent to libao's null driver."""
    conf = os.path.join(os.environ["XDG_CONFIG_HOME"], "speech-dispatcher")
    os.makedirs(conf)
    with open(os.path.join(conf, "speechd.conf"), "w") as f:
        f.write('AudioOutputMethod "libao"\nAddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                'DefaultModule espeak-ng\nDefaultLanguage "it"\nLogLevel 3\n')
    with open(os.path.join(HOME, ".libao"), "w") as f:
        f.write("default_driver=null\n")
    socket = os.path.join(os.environ["XDG_RUNTIME_DIR"], "speech-dispatcher", "speechd.sock")
    log = open(os.path.join(artifacts, "speechd.log"), "w")
    proc = subprocess.Popen(["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", conf,
                             "--log-dir", artifacts], stdout=log, stderr=subprocess.STDOUT)
    if not poll(lambda: proc.poll() is not None or os.path.exists(socket), 10) or proc.poll() is not None:
        raise CheckFailed("speech-dispatcher did not start (see speechd.log)")
    return proc


class Orca:
    """Orca with speech on and a debug log; what it said, read from the log."""

    SAID = re.compile(r" - SPEECH OUTPUT: '(.*)'(?:(?: voice=\w+)? ?\{.*\})?$")
    STOPPED = " - DEFAULT: Interrupting presentation"
    # /usr/bin/orca as it is, but with its debug log written line by line (it
    # is block-buffered otherwise), without its refusal to start beside
    # another Orca of the same user on the machine, and under a process name
    # that makes no other one refuse.
    LAUNCH = """if True:
        import builtins, sys
        path, real_open = sys.argv[1], builtins.open
        def line_buffered(file, mode="r", *args, **kwargs):
            if file == path:
                return real_open(file, mode, buffering=1, encoding="utf-8")
            return real_open(file, mode, *args, **kwargs)
        builtins.open = line_buffered
        sys.argv = ["orca", "--debug-file", path]
        orca = {"__name__": "orca_launcher", "__file__": "/usr/bin/orca"}
        exec(compile(real_open("/usr/bin/orca").read(), "/usr/bin/orca", "exec"), orca)
        orca["otherOrcas"] = lambda: []
        orca["setProcessName"] = lambda name: None
        sys.exit(orca["main"]())
    """

    def __init__(self, env, artifacts):
        prefs = os.path.join(os.environ["XDG_DATA_HOME"], "orca")
        os.makedirs(prefs)
        # Orca's defaults, less braille, sounds and the echo of key names.
        general = {"enableSpeech": True, "enableBraille": False, "enableSound": False, "enableKeyEcho": False}
        with open(os.path.join(prefs, "user-settings.conf"), "w") as f:
            json.dump({"general": general, "pronunciations": {}, "keybindings": {},
                       "profiles": {"default": {"profile": ["Default", "default"]}}}, f)
        self.path = os.path.join(artifacts, "orca-debug.log")
        # A log left by an earlier run would pass for this Orca's first words.
        if os.path.exists(self.path):
            os.remove(self.path)
        self.out = open(os.path.join(artifacts, "orca.log"), "w")
        self.proc = subprocess.Popen([sys.executable, "-c", self.LAUNCH, self.path], env=env, stdout=self.out,
                                     stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        # Orca says that it is on once its speech works.
        if not poll(lambda: self.proc.poll() is not None or self.said(0), 30) or self.proc.poll() is not None:
            raise CheckFailed("Orca did not start speaking (see orca.log)")
        self.quiet()

    def size(self):
        try:
            return os.path.getsize(self.path)
        except OSError:
            return 0

    def log(self, since):
        """What Orca did from a place in its log: ("say", text) and ("stop", "")."""
        try:
            with open(self.path, "rb") as f:
                f.seek(since)
                lines = f.read().decode("utf-8", "replace").splitlines()
        except OSError:
            return []
        done = []
        for line in lines:
            m = self.SAID.search(line)
            if m:
                done.append(("say", m.group(1).strip()))
            elif self.STOPPED in line:
                done.append(("stop", ""))
        return done

    def said(self, since):
        return [text for kind, text in self.log(since) if kind == "say"]

    def quiet(self, still=0.6, timeout=20):
        """Waits until Orca's log has stopped growing: every event handled."""
        last, since = self.size(), time.monotonic()
        while time.monotonic() - since < still:
            if time.monotonic() - since > timeout:
                raise CheckFailed("Orca never fell quiet")
            time.sleep(0.1)
            if self.size() != last:
                last, since = self.size(), time.monotonic()

    def stop(self):
        stop_process(self.proc, grace=5)
        self.out.close()


def said_in_order(text, patterns):
    """Whether the patterns match text one after the other."""
    at = 0
    for p in patterns:
        m = re.compile(p).search(text, at)
        if not m:
            return False
        at = m.end()
    return True


def box_said(n, value):
    """The box's name, then (past the role) its whole value, or no number at all."""
    name = re.escape(box_name(n))
    return rf"{name}\D*(?<!\d){value}(?!\d)" if value else rf"{name}[^\d|]*(?:$|\| (?!\d))"


class Child:
    """One run of the program, played with the keyboard and the mouse while Orca speaks."""

    def __init__(self, display, orca, binary, env, log_path):
        self.d, self.orca, self.binary, self.env, self.log_path = display, orca, binary, env, log_path
        self.program = None
        self.r = None
        self.grid = {}

    def stop(self):
        if self.program:
            self.program.stop()

    def keys(self, *keys):
        self.d.xdo("key", "--clearmodifiers", *keys)

    def hear(self, action, *wants, verdict=None, timeout=10):
        """Does the action, waits until Orca has said the wanted things in order
        and fallen quiet, prints what it said, and checks it: no selection
        spoken, and a verdict not cut short by Orca afterwards."""
        start = self.orca.size()
        action()
        wants = [w for w in wants if w] + ([re.escape(verdict)] if verdict else [])
        poll(lambda: said_in_order(" | ".join(self.orca.said(start)), wants), timeout)
        self.orca.quiet()
        done = self.orca.log(start)
        said = [text for kind, text in done if kind == "say"]
        print(f"      Orca: {' | '.join(repr(s) for s in said) or 'nothing'}", flush=True)
        if not said_in_order(" | ".join(said), wants):
            raise CheckFailed(f"expected, in this order: {wants}")
        if any(SELECTED.search(s) for s in said):
            raise CheckFailed("a selection was spoken")
        if verdict:
            last = max(i for i, (kind, text) in enumerate(done) if kind == "say" and verdict in text)
            if any(kind == "stop" for kind, _ in done[last:]):
                raise CheckFailed("Orca cut the verdict short")
        return said

    def read_grid(self):
        self.grid = dict(zip(range(1, 10), self.r.grid()))
        return self.grid

    # The steps

    def start(self):
        def launch():
            self.program = Program(self.binary, self.env, self.log_path)
            self.r = Reader(self.program.proc.pid)
        self.hear(launch, r"Cifrella", r"Cifrella, titolo", timeout=20)
        self.hear(lambda: self.keys("Tab"), r"Un piccolo mago con la bacchetta")
        self.hear(lambda: self.keys("Tab"), r"Inizia l'esercizio")

    def instructions(self):
        def alt_i():
            self.keys("alt+i")
            poll(lambda: self.r.shown_name() == "Istruzioni", 5)
            self.d.settle(INSTRUCTIONS_BG)
        try:
            said = self.hear(alt_i, r"Istruzioni", r"Nel quadrato proposto")
            text = [c.name for c in self.r.controls() if c.getRoleName() == "label"]
            if len(text) != 1 or len(text[0]) != 350:
                raise CheckFailed(f"instruction text read through the bus as {text}")
            if sum(text[0] in s for s in said) != 1:
                raise CheckFailed("the instruction text was not spoken whole, once")
        finally:
            # Out of the instruction screen's input guard first, however the
            # step ended: an Esc sooner is dropped by design.
            self.d.settle(INSTRUCTIONS_BG)
            self.hear(self.back_to_start, r"Cifrella, titolo")

    def back_to_start(self):
        self.keys("Escape")
        self.d.settle(START_BG)

    def puzzle(self):
        wanted = self.open_puzzle()
        if wanted:
            raise CheckFailed(f"expected, in this order: {wanted}")

    def open_puzzle(self):
        """From the start screen as it is loaded: Tab, Tab, Space. What Orca
        was expected to say and did not, or nothing."""
        # As a child listening: each Tab heard before the next key. Pressed
        # at once, Orca 48 takes the puzzle's window for one it was in while
        # it is still speaking the start screen's focus.
        self.hear(lambda: self.keys("Tab"), r"Un piccolo mago con la bacchetta")
        self.hear(lambda: self.keys("Tab"), r"Inizia l'esercizio")

        def space():
            self.keys("space")
            poll(lambda: any(c.name == "Conferma" for c in self.r.controls()), 5)
            self.d.settle(PUZZLE_BG)
        # The values are on the bus by the time Orca speaks; the checks read them then.
        said = self.hear(space, r"Riga 1, colonna 1")
        grid, key = self.read_grid(), self.r.key()
        wanted = [r"Completa questo quadrato magico", rf"La chiave è:?\s*{key}(?!\d)", box_said(1, grid[1])]
        return None if said_in_order(" | ".join(said), wanted) else wanted

    def openings(self, count=20):
        missed = []
        time.sleep(INPUT_SETTLE)  # after the new exercise the right grid brought
        for n in range(count):
            self.hear(self.back_to_start, r"Cifrella, titolo")
            wanted = self.open_puzzle()
            if wanted:
                missed.append(f"opening {n + 1}: {wanted}")
        if missed:
            raise CheckFailed(f"{len(missed)} of {count} openings without the expected words: {'; '.join(missed)}")

    def boxes(self):
        wrong = []
        for n in range(2, 10):
            try:
                self.hear(lambda: self.keys("Tab"), box_said(n, self.grid[n]))
            except CheckFailed as e:
                wrong.append(f"{box_name(n)} ({self.grid[n] or 'empty'}): {e}")
        if wrong:
            raise CheckFailed("; ".join(wrong))

    def wrong(self):
        # From box 9: the check moves the focus to box 1.
        self.hear(lambda: self.keys("alt+c"), verdict=CORREGGITI)
        if self.r.focused() != box_name(1):
            raise CheckFailed(f"focus on {self.r.focused()!r} after the check")

    def wrong_again(self):
        self.hear(lambda: self.keys("alt+c"), verdict=CORREGGITI)

    def wrong_by_key(self, key):
        def to_conferma():
            self.keys(*["Tab"] * 9)
            if not poll(lambda: self.r.focused() == "Conferma", 3):
                raise CheckFailed(f"Conferma did not take the focus (focus on {self.r.focused()!r})")
        self.hear(to_conferma, r"Conferma")
        self.hear(lambda: self.keys(key), box_said(1, self.read_grid()[1]), verdict=CORREGGITI)

    def wrong_by_mouse(self):
        x, y, w, h = self.r.extents(self.r.named("Conferma"))
        x, y = x + w // 2, y + h // 2
        self.hear(lambda: self.d.xdo("mousemove", x, y, "click", "1"), verdict=CORREGGITI)

    def wiped(self):
        start = self.orca.size()
        if not poll(lambda: not any(c.name == CORREGGITI for c in self.r.controls()), 5):
            raise CheckFailed("the message was not wiped")
        self.orca.quiet()
        said = self.orca.said(start)
        print(f"      Orca: {' | '.join(repr(s) for s in said) or 'nothing'}", flush=True)
        if said:
            raise CheckFailed("the wiping of the message was spoken")

    def right(self):
        grid = self.read_grid()
        square = base.solve({n: int(v) for n, v in grid.items() if v})
        if self.r.focused() != box_name(1):
            raise CheckFailed(f"focus on {self.r.focused()!r} before filling the grid")
        for n in range(1, 10):
            if n > 1:
                self.keys("Tab")
            if not grid[n]:
                self.d.xdo("type", "--delay", "20", str(square[n]))
        if not poll(lambda: self.r.grid() == [str(square[n]) for n in range(1, 10)], 3):
            raise CheckFailed(f"the grid holds {self.read_grid()} after typing {square}")
        old = self.r.key()
        self.orca.quiet()
        said = self.hear(lambda: self.keys("alt+c"), verdict=BRAVO)
        key = self.r.key()
        wanted = [re.escape(BRAVO), rf"La chiave è:?\s*{key}(?!\d)"]
        if not said_in_order(" | ".join(said), wanted):
            raise CheckFailed(f"expected {wanted} (the key was {old})")

    def steps(self):
        return [
            ("start screen: the window, then each control named as Tab reaches it", self.start),
            ("Alt+I: the instruction window reads its whole text; Esc back", self.instructions),
            ("the puzzle opens: its title line, 'La chiave è:' with the key, box 1 and its value", self.puzzle),
            ("Tab through the boxes: each name, then its whole value, and no selection", self.boxes),
            ("Alt+C on a wrong grid: 'Attento... Correggiti!'", self.wrong),
            ("Alt+C again, the focus staying on box 1: 'Attento... Correggiti!' again", self.wrong_again),
            ("Space on Conferma: box 1 takes the focus, then 'Attento... Correggiti!'",
             lambda: self.wrong_by_key("space")),
            ("Enter on Conferma: the same", lambda: self.wrong_by_key("Return")),
            ("a click on Conferma: 'Attento... Correggiti!'", self.wrong_by_mouse),
            ("the timer's wiping of the message is not spoken", self.wiped),
            ("Alt+C on the right grid: 'Bravo!', then the new key", self.right),
            ("Esc, then the puzzle opened again, 20 times: its title line, the key and box 1 each time",
             self.openings),
        ]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    where = ap.add_mutually_exclusive_group(required=True)
    where.add_argument("--build-dir", help="the program installed from this build tree")
    where.add_argument("--binary", help="an installed cifrella")
    ap.add_argument("--artifacts")

    def body(args, artifacts, stack):
        if "it_IT.utf8" not in subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout:
            raise CheckFailed("no it_IT.UTF-8 locale: add 'it_IT.UTF-8 UTF-8' to /etc/locale.gen, run locale-gen")
        binary = os.path.abspath(args.binary) if args.binary else installed_program(os.path.abspath(args.build_dir))
        bus.start(stack)
        display = base.Display(artifacts)
        stack.callback(display.close)
        os.environ["DISPLAY"] = display.name
        env = dict(display.env, LANG=LOCALE, LC_ALL=LOCALE, LANGUAGE="it")
        speech = start_speech_server(artifacts)
        stack.callback(stop_process, speech, 5)
        orca = Orca(env, artifacts)
        stack.callback(orca.stop)
        print(f"ORCA: {binary} on display {display.name}, Orca said {orca.said(0)}", flush=True)
        child = Child(display, orca, binary,
                      dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb"),
                      os.path.join(artifacts, "cifrella.log"))
        stack.callback(child.stop)
        suite = base.Suite(display, binary, artifacts)
        suite.prefix = "orca"
        return suite.run("ORCA", child.steps())
    return suite_main("ORCA", ap, lambda args: os.path.join(args.build_dir or HOME, "orca-artifacts"), body)


if __name__ == "__main__":
    sys.exit(main())
