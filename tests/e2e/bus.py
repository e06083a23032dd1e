"""The program as the accessibility bus shows it, for the suites that read
it there: the accessibility suite and the screen reader's."""

import subprocess

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

from design import box_name  # noqa: E402,F401
from desktops import CheckFailed, stop_process  # noqa: E402
from run_e2e import poll  # noqa: E402


def start(stack):
    """The accessibility bus in this session, ended by the stack. A call to
    the program then waits up to 10 s for its answer (the library's own
    0.8 s is less than a sanitizer build may take on a busy machine)."""
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stack.callback(stop_process, launcher, 5)
    if not poll(lambda: subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                        "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                                       capture_output=True).returncode == 0, 15):
        raise CheckFailed("the accessibility bus did not start")
    Atspi.set_timeout(10000, 30000)


def children(acc):
    """The children of an accessible as they are now; a window that is being
    closed may lose them while they are read."""
    try:
        return [c for c in acc if c is not None] if acc is not None else []
    except GLib.Error:
        return []


class Reader:
    """The program as the accessibility bus shows it."""

    def __init__(self, pid):
        self.pid = pid
        self.events = []
        self.listening = False

    def app(self):
        for a in children(pyatspi.Registry.getDesktop(0)):
            try:
                if a.get_process_id() == self.pid:
                    return a
            except GLib.Error:
                continue
        return None

    def windows(self):
        a = self.app()
        shown = []
        for w in children(a):
            try:
                if pyatspi.STATE_SHOWING in w.getState().getStates():
                    shown.append(w)
            except GLib.Error:
                pass
        return shown

    def shown(self):
        """The one window showing, or None."""
        ws = self.windows()
        return ws[0] if len(ws) == 1 else None

    def shown_name(self):
        """The name of the one window showing, or None."""
        try:
            w = self.shown()
            return w.name if w else None
        except GLib.Error:
            return None

    def window(self, timeout=5):
        w = poll(self.shown, timeout)
        if not w:
            raise CheckFailed(f"expected one window on the bus, saw {[x.name for x in self.windows()]}")
        return w

    def controls(self):
        return children(self.window())

    def named(self, name):
        for c in self.controls():
            if c.name == name:
                return c
        raise CheckFailed(f"no control named {name!r}; saw {[c.name for c in self.controls()]}")

    def at(self, x, y, w, h):
        """The control at a client rectangle (pixels) of the window."""
        win = self.window()
        wx, wy = self.extents(win)[:2]
        for c in children(win):
            if self.extents(c) == (wx + x, wy + y, w, h):
                return c
        raise CheckFailed(f"no control at {(x, y, w, h)}")

    @staticmethod
    def extents(acc):
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (e.x, e.y, e.width, e.height)

    @staticmethod
    def text(acc):
        return acc.queryText().getText(0, -1)

    def box(self, n):
        return self.named(box_name(n))

    def grid(self):
        return [self.text(self.box(n)) for n in range(1, 10)]

    def key(self):
        return self.at(320, 64, 41, 25).name

    def message(self):
        return self.at(288, 280, 185, 33).name

    def focused(self):
        for c in self.controls():
            if pyatspi.STATE_FOCUSED in c.getState().getStates():
                return c.name
        return None

    def listen(self):
        if not self.listening:
            for kind in ("object:property-change:accessible-name", "object:text-changed",
                         "object:visible-data-changed", "object:announcement"):
                pyatspi.Registry.registerEventListener(self.events.append, kind)
            self.listening = True
