"""Weston with XWayland inside an X display, for tests.

Weston's x11 backend opens one window per output on the given X display
(an Xvfb, say) and draws the Wayland desktop into it; XWayland serves X11
clients on a display number of weston's choosing. Input for either kind of
client is sent to the outer X display (xdotool): weston reads it from its
window like a seat. What the clients show is read back from the outer
display too (import), where output 1 covers (0, 0)-(width, height).

    with Weston(":5", logdir) as w:
        env = dict(os.environ, **w.env)   # WAYLAND_DISPLAY, DISPLAY, XDG_RUNTIME_DIR
        ...

The session is kept plain for screenshots and input: no panel, a flat
background, no animations, no screen lock, and no on-screen keyboard (weston
otherwise shows one under every text box of a Wayland client).
"""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

import Xlib.X
import Xlib.display

BACKGROUND = (0x20, 0x40, 0x60)

CONFIG = """\
[core]
xwayland=true
idle-time=0

[shell]
panel-position=none
background-color=0xff{r:02x}{g:02x}{b:02x}
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none

[input-method]
path=
"""


class WestonError(RuntimeError):
    pass


class Weston:
    def __init__(self, x_display, logdir, width=1024, height=768, outputs=1, timeout=20):
        self.x_display = x_display
        self.logdir = logdir
        self.width, self.height, self.outputs = width, height, outputs
        self.timeout = timeout
        self.proc = None
        self.runtime_dir = None
        self.socket = None
        self.xwayland_display = None
        self.output_windows = []
        self.log_path = os.path.join(logdir, "weston.log")

    # Start and stop

    def start(self):
        self.runtime_dir = tempfile.mkdtemp(prefix="weston-")
        os.chmod(self.runtime_dir, 0o700)
        self.socket = f"wayland-test-{os.getpid()}"
        ini = os.path.join(self.runtime_dir, "weston.ini")
        r, g, b = BACKGROUND
        with open(ini, "w") as f:
            f.write(CONFIG.format(r=r, g=g, b=b))
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM")}
        env.update(DISPLAY=self.x_display, XDG_RUNTIME_DIR=self.runtime_dir)
        cmd = ["weston", "--backend=x11-backend.so", f"--socket={self.socket}",
               f"--width={self.width}", f"--height={self.height}",
               f"--output-count={self.outputs}", f"--config={ini}", f"--log={self.log_path}"]
        out = open(os.path.join(self.logdir, "weston.out"), "w")
        # Its own process group: weston's children (XWayland, the shell
        # client) go with it should it have to be killed.
        self.proc = subprocess.Popen(cmd, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                     stderr=subprocess.STDOUT, start_new_session=True)
        try:
            self._wait_ready()
        except BaseException:
            self.stop()
            raise
        return self

    def _wait_ready(self):
        socket = os.path.join(self.runtime_dir, self.socket)
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise WestonError(f"weston exited with status {self.proc.returncode}; see {self.log_path}")
            log = self.log()
            m = re.search(r"xserver listening on display (:\d+)", log)
            self.output_windows = [int(w) for w in re.findall(r"x11 output \d+x\d+, window id (\d+)", log)]
            # The desktop is up once its shell client has been started.
            if m and os.path.exists(socket) and "launching '" in log and len(self.output_windows) >= self.outputs:
                self.xwayland_display = m.group(1)
                return
            time.sleep(0.05)
        raise WestonError(f"weston not ready after {self.timeout} s; see {self.log_path}")

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()
        self.proc = None
        if self.runtime_dir:
            shutil.rmtree(self.runtime_dir, ignore_errors=True)
            self.runtime_dir = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # What a test needs

    @property
    def env(self):
        """The variables a client of this desktop needs (XWayland as DISPLAY)."""
        return {"WAYLAND_DISPLAY": self.socket, "DISPLAY": self.xwayland_display,
                "XDG_RUNTIME_DIR": self.runtime_dir}

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def focus_outputs(self):
        """Gives the outer display's keyboard focus to output 1's window, so
        that keys reach weston wherever the pointer is."""
        if self.output_windows:
            subprocess.run(["xdotool", "windowfocus", "--sync", str(self.output_windows[0])],
                           env=dict(os.environ, DISPLAY=self.x_display), check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)

    def sync_pointer(self):
        """Gives weston's pointer the outer display's position.

        Weston's x11 backend moves its pointer by the difference between
        two motions, and takes the position itself only when the pointer
        enters an output window (it starts drawn at the corner). An output
        window mapped under the pointer is not always entered: on Debian
        12's Xvfb weston's pointer then stayed about 100 px off, or at the
        display's corner, for the whole run. A window of our own
        shown over the outputs and taken away makes the pointer leave and
        enter again."""
        d = Xlib.display.Display(self.x_display)
        try:
            root = d.screen().root
            size = root.get_geometry()
            cover = root.create_window(0, 0, size.width, size.height, 0,
                                       Xlib.X.CopyFromParent, override_redirect=True)
            cover.map()
            d.sync()
            time.sleep(0.1)
            cover.destroy()
            d.sync()
        finally:
            d.close()
