"""X servers, window managers and the program for the end-to-end runs.

Starts Xvfb (or Xorg's dummy driver) on a free display number and one of
several window managers on it the way a desktop would, waits until the
manager is ready and stops everything again, children included. The few X
requests the harness makes itself go through python3-xlib.

    with desktops.Desktop("metacity", logdir) as d:
        subprocess.run([...], env=d.env)

Window managers (desktops.MANAGERS):

    openbox          openbox --sm-disable
    xfwm4            xfwm4 --compositor=on (its default) in its own D-Bus
                     session
    xfwm4-nocomp     xfwm4 --compositor=off
    metacity         metacity --compositor=xrender (its default) in its own
                     D-Bus session
    metacity-nocomp  metacity --compositor=none
    mutter           mutter --x11 --replace in its own D-Bus session
    kwin             kwin_x11 --replace in its own D-Bus session (OpenGL
                     compositing on llvmpipe)
    icewm            icewm

Pitfalls found while writing this:

* metacity, mutter and kwin need a session bus: each runs inside its own
  dbus-run-session. Activated services (dconf-service, the accessibility
  bus) would outlive it; every manager is therefore started in a process
  group of its own and the whole group is ended at stop. NO_AT_BRIDGE=1
  keeps the accessibility bus from being started at all, and
  GSETTINGS_BACKEND=memory keeps metacity and mutter from reading or
  writing the user's dconf database (command-line options choose the
  compositor instead).
* xfwm4 reads its settings through xfconfd, which is started on the
  session bus: without a bus it exits at once ("Xfconf could not be
  initialized"), so it too runs inside dbus-run-session.
* mutter and kwin want XDG_RUNTIME_DIR (mutter fails without it); each
  desktop gets a private one, mode 0700, removed at stop, with private
  XDG_CONFIG_HOME and XDG_CACHE_HOME inside it so that no manager reads or
  writes the user's own settings (kwinrc, xfconf, ...).
* kwin_x11 draws no frame at all (frame extents 0, 0, 0, 0) unless its
  Breeze decoration is installed (Debian package kwin-style-breeze).
* _NET_SUPPORTING_WM_CHECK appears before a compositing manager draws
  anything: a compositing manager is ready only once it also owns
  _NET_WM_CM_S<screen>.
* kwin_x11 takes about a second and composites with OpenGL on llvmpipe,
  taking _NET_WM_CM_S0 a little after its check window appears; it writes
  a few dozen lines on stderr (OpenGL details, a missing keysym).
* dbus-daemon always says "Failed to set fd limit" as root in a
  container: harmless.
"""

import contextlib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback

import Xlib.display
import Xlib.error
import Xlib.X

SCREEN = (1024, 768)


class X11:
    """A connection to an X server (python3-xlib) for the few requests the
    harness makes itself: the window manager's check window and name, and a
    selection's owner."""

    def __init__(self, display):
        self.d = Xlib.display.Display(display)
        self.root = self.d.screen().root

    def close(self):
        self.d.close()

    def property(self, window, name):
        """A property's values, or None when unset or the window is gone."""
        try:
            window = self.d.create_resource_object("window", window) if isinstance(window, int) else window
            prop = window.get_full_property(self.d.intern_atom(name), Xlib.X.AnyPropertyType)
        except Xlib.error.XError:
            return None
        return prop.value if prop else None

    def selection_owner(self, name):
        owner = self.d.get_selection_owner(self.d.intern_atom(name))
        return owner.id if owner else 0

    def wm_check(self):
        """The window manager's check window, when one is running."""
        check = self.property(self.root, "_NET_SUPPORTING_WM_CHECK")
        if not check:
            return 0
        own = self.property(check[0], "_NET_SUPPORTING_WM_CHECK")
        return check[0] if own and own[0] == check[0] else 0

    def wm_name(self):
        check = self.wm_check()
        name = self.property(check, "_NET_WM_NAME") if check else None
        return (name.decode("utf-8", "replace") if isinstance(name, bytes) else name) if name else None


class FirstSeen(threading.Thread):
    """Keeps, for each top-level window the X server maps, the rectangle of
    its outer edges (borders included) at the moment of the map: the
    server's own notifications of the root window's children, read on a
    connection of their own."""

    def __init__(self, display):
        super().__init__(daemon=True)
        self.x = X11(display)
        self.x.root.change_attributes(event_mask=Xlib.X.SubstructureNotifyMask)
        self.x.d.sync()
        self.first = []
        self.mapped = set()
        self.error = None
        self._done = threading.Event()

    def run(self):
        geometry = {}
        try:
            while not self._done.is_set():
                if not self.x.d.pending_events() and not select.select([self.x.d.fileno()], [], [], 0.1)[0]:
                    continue
                event = self.x.d.next_event()
                window = event.window.id
                if event.type in (Xlib.X.CreateNotify, Xlib.X.ConfigureNotify):
                    geometry[window] = (event.x, event.y, event.width, event.height, event.border_width)
                elif event.type == Xlib.X.MapNotify and window in geometry:
                    x, y, w, h, border = geometry[window]
                    self.mapped.add(window)
                    self.first.append((window, (x, y, w + 2 * border, h + 2 * border), time.monotonic()))
                elif event.type in (Xlib.X.DestroyNotify, Xlib.X.UnmapNotify):
                    self.mapped.discard(window)
        except (OSError, Xlib.error.ConnectionClosedError) as e:
            self.error = e
        finally:
            self.x.close()

    def stop(self):
        """Stops watching; returns the screens mapped (windows of at least
        100 x 100) and those among them whose centre was more than 1 px from
        the display's."""
        self._done.set()
        self.join(5)
        if self.error:
            raise OSError(f"the window watch failed: {self.error}")
        screens = [rect for _, rect, _ in self.first if rect[2] >= 100 and rect[3] >= 100]
        width, height = SCREEN
        return screens, [r for r in screens if abs(2 * r[0] + r[2] - width) > 2 or abs(2 * r[1] + r[3] - height) > 2]


def poll(condition, timeout, interval=0.02):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


# name: (command, needs a D-Bus session, composites)
MANAGERS = {
    "openbox": (["openbox", "--sm-disable"], False, False),
    "xfwm4": (["xfwm4", "--compositor=on", "--sm-client-disable"], True, True),
    "xfwm4-nocomp": (["xfwm4", "--compositor=off", "--sm-client-disable"], True, False),
    "metacity": (["metacity", "--compositor=xrender", "--sm-disable"], True, True),
    "metacity-nocomp": (["metacity", "--compositor=none", "--sm-disable"], True, False),
    "mutter": (["mutter", "--x11", "--replace", "--sm-disable"], True, True),
    "kwin": (["kwin_x11", "--replace"], True, True),
    "icewm": (["icewm"], False, False),
}


# The program drops a click or key press that reaches a new screen or a new
# exercise before it has painted or within the double-click interval after
# (Qt's 400 ms where no desktop sets another), and 150 ms more: a deliberate
# press comes later.
INPUT_SETTLE = 0.6


def is_frame_window(wm_class):
    """mutter 48 draws the frames in a client of its own, whose frame windows
    carry the title of the window they frame."""
    return "mutter-x11-frames" in wm_class


WINDOW_NAMES = "^Cifrella$|^Istruzioni$"


def program_windows(run):
    """The program's viewable windows, not a manager's frames; run(*command)
    runs a command on their X display and returns what it printed."""
    ids = run("xdotool", "search", "--onlyvisible", "--name", WINDOW_NAMES).split()
    return [w for w in ids if "IsViewable" in run("xwininfo", "-id", w)
            and not is_frame_window(run("xprop", "-id", w, "WM_CLASS"))]


def window_title(run, w):
    m = re.search(r'^WM_NAME\([A-Z0-9_]+\) = "(.*)"$', run("xprop", "-id", w, "WM_NAME"), re.M)
    return m.group(1) if m else None


def window_geometry(run, w):
    """A window's client area as the X server holds it: root position and
    size (xwininfo; a reparenting manager's frame left out), None where not told."""
    info = run("xwininfo", "-id", w)
    found = [re.search(rf"{name}:\s+(-?\d+)", info)
             for name in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
    return tuple(int(m.group(1)) if m else None for m in found)


def frame_extents(run, w):
    """The frame the window manager told (_NET_FRAME_EXTENTS: left, right,
    top, bottom), or None."""
    m = re.search(r"= (\d+), (\d+), (\d+), (\d+)", run("xprop", "-id", w, "_NET_FRAME_EXTENTS"))
    return tuple(map(int, m.groups())) if m else None


def global_shortcuts_daemon():
    """kwin 6 leaves Alt+F4 and its other shortcuts to the kglobalacceld
    daemon, which Plasma starts beside it; kwin 5 has them built in."""
    try:
        files = subprocess.run(["dpkg", "-L", "kglobalacceld"], capture_output=True, text=True).stdout.split()
    except OSError:
        return None
    daemons = [f for f in files if f.endswith("/kglobalacceld") and os.access(f, os.X_OK)]
    return daemons[0] if daemons else None


class XServer:
    """Xvfb (or Xorg, given a configuration) on a free display number. Suites
    running side by side may try the same number at once: the server that
    wrote its own pid into the number's lock file has it, the other ends and
    the next number is tried."""

    def __init__(self, logdir, size=SCREEN, xorg_config=None, first=20, timeout=20):
        self.proc = None
        for n in range(first, first + 100):
            if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
                continue
            if xorg_config:
                command = ["Xorg", f":{n}", "-config", xorg_config, "-novtswitch", "-logfile", f"{xorg_config}.log"]
            else:
                command = ["Xvfb", f":{n}", "-screen", "0", f"{size[0]}x{size[1]}x24"]
            with open(os.path.join(logdir, f"xserver-{n}.log"), "w") as log:
                proc = subprocess.Popen(command + ["-noreset", "-nolisten", "tcp"], stdout=log,
                                        stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, start_new_session=True)

            def settled():
                if proc.poll() is not None:
                    return "lost"
                return os.path.exists(f"/tmp/.X11-unix/X{n}") and _lock_holder(n) == proc.pid and "ours"

            if poll(settled, timeout) == "ours":
                self.proc = proc
                self.display = f":{n}"
                return
            _end(proc)
        raise RuntimeError(f"no free display number from :{first}")

    def stop(self):
        if self.proc:
            _end(self.proc)
            self.proc = None


def _lock_holder(n):
    try:
        with open(f"/tmp/.X{n}-lock") as f:
            return int(f.read().strip() or 0)
    except (OSError, ValueError):
        return None


class CheckFailed(Exception):
    pass


class Program:
    """One run of the program under test, its standard output and error kept
    in a log."""

    def __init__(self, binary, env, log_path, args=(), cwd=None):
        self.log_path = log_path
        self.log = open(log_path, "w")
        self.proc = subprocess.Popen([binary, *args], env=env, stdout=self.log, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL, cwd=cwd)

    def alive(self):
        return self.proc.poll() is None

    def stop(self):
        stop_process(self.proc)
        self.log.close()

    def output(self):
        self.log.flush()
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def wait_exit(self, what, timeout=10):
        """Waits for the program to end with status 0; one still running has
        its threads' stacks written beside the log."""
        try:
            rc = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            where = ""
            if shutil.which("gdb"):
                trace = os.path.splitext(self.log_path)[0] + ".backtrace"
                with open(trace, "w") as f:
                    subprocess.run(["gdb", "-p", str(self.proc.pid), "-batch", "-ex", "thread apply all bt 30"],
                                   stdout=f, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, timeout=60)
                where = f"; threads' stacks in {trace}"
            raise CheckFailed(f"{what}: program still running {timeout} s later{where}")
        if rc != 0:
            raise CheckFailed(f"{what}: exit status {rc}")


def stop_process(proc, grace=0):
    """Ends a process: asked to end and given grace seconds, or killed at once."""
    if proc.poll() is None:
        if grace:
            proc.terminate()
            try:
                proc.wait(timeout=grace)
                return
            except subprocess.TimeoutExpired:
                pass
        proc.kill()
        proc.wait()


def _end(proc, grace=5):
    """Ends a process started with start_new_session and all of its group."""
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(proc.pid, signal.SIGKILL)  # whatever the group still holds
    except ProcessLookupError:
        pass
    if proc.poll() is None:
        proc.wait()


def installed_program(build):
    """The program installed from a build tree into build/e2e-install, where
    the test suites' install fixture puts it; installed again here when the
    build is newer, as when a suite is run by hand."""
    prefix = os.path.join(build, "e2e-install")
    binary = os.path.join(prefix, "bin", "cifrella")
    built = os.path.join(build, "app", "cifrella")
    if not os.path.exists(binary) or os.path.getmtime(binary) < os.path.getmtime(built):
        r = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if r.returncode != 0 or not os.access(binary, os.X_OK):
            raise RuntimeError(f"cmake --install into {prefix} failed: {r.stdout.decode(errors='replace')[-500:]}")
    return binary


def in_own_session(*folders):
    """Runs this script again inside a D-Bus session of its own, with each
    named XDG folder (and HOME, when named) made fresh in a temporary folder,
    and exits with its status; returns at once in that second run. The
    suites that start the accessibility bus or a screen reader use it, so
    that neither the desktop's bus nor its settings are touched."""
    if os.environ.get("CIFRELLA_OWN_SESSION") == "1":
        return
    top = tempfile.mkdtemp(prefix="cifrella-session-")
    env = dict(os.environ, CIFRELLA_OWN_SESSION="1")
    for name in folders:
        env[name] = top if name == "HOME" else os.path.join(top, name.lower())
        os.makedirs(env[name], mode=0o700, exist_ok=True)
    try:
        status = subprocess.call(["dbus-run-session", "--", sys.executable, *sys.argv], env=env)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    sys.exit(status)


def suite_main(label, parser, artifacts, body):
    """Runs a suite from the command line: parses its arguments, makes its
    artifacts folder (artifacts(args) unless --artifacts names one) and
    calls body(args, folder, stack), which returns (passed, failed); what the
    suite starts it hands to the ExitStack, which ends it, last first,
    whatever happened. A set-up that fails counts as one failed check. Prints
    the time and the totals; the status is 0 when checks ran and none failed."""
    args = parser.parse_args()
    folder = os.path.abspath(getattr(args, "artifacts", None) or artifacts(args))
    os.makedirs(folder, exist_ok=True)
    t0 = time.monotonic()
    passed, failed = 0, 1
    try:
        with contextlib.ExitStack() as stack:
            passed, failed = body(args, folder, stack)
    except Exception as e:
        print(f"{label}: {e}" if isinstance(e, (CheckFailed, RuntimeError, OSError, subprocess.SubprocessError))
              else f"{label}: {traceback.format_exc()}", flush=True)
    print(f"{label}: finished in {time.monotonic() - t0:.0f} s")
    print(f"{label}: {passed} passed, {failed} failed")
    return 0 if failed == 0 and passed else 1


class WindowManager:
    """One window manager on a running X server."""

    def __init__(self, name, display, logdir, env=None, timeout=20):
        command, bus, composites = MANAGERS[name]
        self.name = name
        self.runtime_dir = tempfile.mkdtemp(prefix=f"xdg-{name}-")
        os.chmod(self.runtime_dir, 0o700)
        config = os.path.join(self.runtime_dir, "config")
        cache = os.path.join(self.runtime_dir, "cache")
        os.makedirs(config)
        os.makedirs(cache)
        self.env = dict(env or os.environ, DISPLAY=display, XDG_RUNTIME_DIR=self.runtime_dir,
                        XDG_CONFIG_HOME=config, XDG_CACHE_HOME=cache,
                        NO_AT_BRIDGE="1", GSETTINGS_BACKEND="memory")
        for k in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER"):
            self.env.pop(k, None)
        daemon = global_shortcuts_daemon() if name == "kwin" else None
        if daemon:
            command = ["sh", "-c", f'"{daemon}" & exec "$@"', "-"] + command
        if bus:
            command = ["dbus-run-session", "--"] + command
        self.log_path = os.path.join(logdir, f"{name}.log")
        t0 = time.monotonic()
        with open(self.log_path, "w") as log:
            self.proc = subprocess.Popen(command, env=self.env, stdout=log, stderr=subprocess.STDOUT,
                                         stdin=subprocess.DEVNULL, start_new_session=True)
        self.x = X11(display)
        screen_cm = "_NET_WM_CM_S0"

        def ready():
            if self.proc.poll() is not None:
                return "exited"
            if not self.x.wm_check():
                return None
            if composites and not self.x.selection_owner(screen_cm):
                return None
            return "ready"

        state = poll(ready, timeout)
        if state != "ready":
            self.stop()
            raise RuntimeError(f"{name} did not come up ({state or 'timed out'}); see {self.log_path}")
        self.start_time = time.monotonic() - t0
        self.wm_name = self.x.wm_name()
        self.compositing = bool(self.x.selection_owner(screen_cm))

    def stop(self):
        if self.proc:
            _end(self.proc)
            self.proc = None
        if self.x:
            self.x.close()
            self.x = None
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def stderr(self):
        with open(self.log_path, errors="replace") as f:
            return f.read()


class Desktop:
    """An X server plus a window manager; env is the environment for programs
    on it. before_manager, given the desktop, sets the server up first (its
    monitors, its resources)."""

    def __init__(self, manager, logdir, size=SCREEN, xorg_config=None, before_manager=None):
        os.makedirs(logdir, exist_ok=True)
        self.xvfb = XServer(logdir, size, xorg_config)
        self.display = self.xvfb.display
        self.wm = None
        self.runtime_dir = tempfile.mkdtemp(prefix="cifrella-desktop-")
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
        self.env.setdefault("XDG_RUNTIME_DIR", self.runtime_dir)
        for k in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE"):
            self.env.pop(k, None)
        try:
            if before_manager:
                before_manager(self)
            self.wm = WindowManager(manager, self.display, logdir) if manager else None
        except BaseException:
            self.stop()
            raise

    def stop(self):
        if self.wm:
            self.wm.stop()
            self.wm = None
        self.xvfb.stop()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
