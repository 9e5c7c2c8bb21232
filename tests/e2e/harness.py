"""Runs the real program under Xvfb, from a fresh folder, and looks at it as a
user would: X windows and their properties, the accessibility tree, files."""
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

BUILD_DIR = os.environ.get("QUADROVIA_BUILD_DIR", os.path.join(os.path.dirname(__file__), "../../build"))
EXECUTABLE = os.environ.get("QUADROVIA_EXE", os.path.join(BUILD_DIR, "src/app/quadrovia"))
PLUGIN_DIR = os.environ.get("QUADROVIA_PLUGIN_DIR", os.path.join(BUILD_DIR, "gst-plugins"))


def wait_for(predicate, timeout=15.0, step=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    raise AssertionError("timed out waiting for " + what)


_accessibility_bus = None


def start_accessibility_bus(env):
    """One accessibility bus for the whole test process: the tree reader in
    this process connects to it once, so it must outlive every display."""
    global _accessibility_bus
    launcher = "/usr/libexec/at-spi-bus-launcher"
    if _accessibility_bus or not env.get("DBUS_SESSION_BUS_ADDRESS") or not os.path.exists(launcher):
        return
    _accessibility_bus = subprocess.Popen([launcher, "--launch-immediately"], env=env,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Display:
    """A private X server with a window manager and an accessibility bus."""

    def __init__(self, window_manager=True):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_fd, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_fd)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.helpers = []
        if window_manager:
            self.start_window_manager()
        start_accessibility_bus(self.env)

    def start_window_manager(self):
        # Under load the window manager has been seen not to come up at all;
        # one more start then is cheaper than a failed test.
        for attempt in (1, 2):
            wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.helpers.append(wm)
            try:
                wait_for(lambda: self.has_window_manager(), timeout=20, what="window manager")
                return
            except AssertionError:
                wm.kill()
                wm.wait()
                self.helpers.remove(wm)
                if attempt == 2:
                    raise

    def has_window_manager(self):
        out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
        return "window id" in out

    def run(self, argv, check=True):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (argv, result.stderr))
        return result.stdout

    def close(self):
        for p in reversed(self.helpers):
            p.terminate()
        for p in self.helpers:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        self.xvfb.terminate()
        self.xvfb.wait(5)


class Program:
    """The executable copied into a fresh folder (its settings file and folders
    live beside it), started on a display."""

    def __init__(self, display, folder=None, name="quadrovia", env=None):
        self.display = display
        self.folder = folder or tempfile.mkdtemp(prefix="quadrovia-e2e-")
        self.exe = os.path.join(self.folder, name)
        if not os.path.exists(self.exe):
            shutil.copy2(EXECUTABLE, self.exe)
        self.env = dict(display.env, GST_PLUGIN_PATH=PLUGIN_DIR, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        QT_ACCESSIBILITY="1", XDG_RUNTIME_DIR=self.folder + "/.runtime")
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.env.update(env or {})
        self.process = None

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def write(self, name, data):
        mode = "wb" if isinstance(data, bytes) else "w"
        with open(self.path(name), mode) as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def start(self):
        self.log = open(self.path(".program.log"), "w")
        self.process = subprocess.Popen([self.exe], cwd=self.folder, env=self.env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        return self

    def main_window(self, timeout=20):
        def find():
            self.assert_running()
            ids = self.display.run(["xdotool", "search", "--onlyvisible", "--name", "^Quadrovia$"], check=False)
            return ids.split()[0] if ids.split() else None
        return wait_for(find, timeout, what="main window")

    def windows_named(self, title):
        out = self.display.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title], check=False)
        return out.split()

    def assert_running(self):
        if self.process.poll() is not None:
            raise AssertionError("program ended with status %s:\n%s" % (self.process.returncode, self.output()))

    def output(self):
        try:
            return self.read(".program.log")
        except OSError:
            return ""

    def net_wm_state(self, window):
        return self.display.run(["xprop", "-id", window, "_NET_WM_STATE"], check=False)

    def client_size(self, window):
        info = self.display.run(["xwininfo", "-id", window])
        size = {}
        for line in info.splitlines():
            line = line.strip()
            if line.startswith("Width:"):
                size["w"] = int(line.split()[1])
            if line.startswith("Height:"):
                size["h"] = int(line.split()[1])
        return size["w"], size["h"]

    def close_window(self, window):
        self.display.run(["xdotool", "windowactivate", "--sync", window], check=False)
        self.display.run(["xdotool", "key", "--clearmodifiers", "alt+F4"])

    def wait_exit(self, timeout=20):
        return self.process.wait(timeout)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def cleanup(self):
        self.stop()
        if getattr(self, "log", None):
            self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)


class Accessible:
    """The program's accessibility tree (AT-SPI), for what only text shows."""

    def __init__(self):
        import pyatspi  # only where the accessibility bus runs
        self.pyatspi = pyatspi

    def application(self, name="quadrovia", timeout=15, pid=None):
        """The running program's tree; with pid, that process's (earlier
        programs of the same name may still be listed on a shared bus)."""
        def matches(app):
            try:
                return app is not None and app.name == name and (pid is None or app.get_process_id() == pid)
            except Exception:
                return False

        def find():
            # Child by child: an earlier program that is gone can make a
            # query fail, and must not hide the one that runs.
            try:
                desktop = self.pyatspi.Registry.getDesktop(0)
                count = desktop.childCount
            except Exception:
                return None
            for i in range(count):
                try:
                    app = desktop.getChildAtIndex(i)
                except Exception:
                    continue
                if matches(app):
                    return app
            return None
        return wait_for(find, timeout, what="accessible application")

    def find(self, node, role=None, name=None, depth=12):
        if node is None or depth < 0:
            return None
        try:
            if (role is None or node.getRoleName() == role) and (name is None or node.name == name):
                return node
            for child in node:
                found = self.find(child, role, name, depth - 1)
                if found is not None:
                    return found
        except Exception:
            return None
        return None

    def texts(self, node, depth=12):
        out = []
        if node is None or depth < 0:
            return out
        try:
            if node.name:
                out.append(node.name)
            for child in node:
                out.extend(self.texts(child, depth - 1))
        except Exception:
            pass
        return out

    def press(self, node):
        """The control's own action; for controls whose handler does not open
        a modal window (the action's reply waits for the handler)."""
        node.queryAction().doAction(0)

    def centre(self, node):
        ext = node.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        return ext.x + ext.width // 2, ext.y + ext.height // 2

    def click(self, display, node, button=1, double=False):
        """A real mouse click at the middle of the control."""
        x, y = self.centre(node)
        display.run(["xdotool", "mousemove", "--sync", str(x), str(y)])
        display.run(["xdotool", "click"] + (["--repeat", "2", "--delay", "80"] if double else []) + [str(button)])


class ProgramTest(unittest.TestCase):
    """One display per test; programs started by the test are cleaned up."""

    def setUp(self):
        self.display = Display()
        self.programs = []

    def tearDown(self):
        for p in self.programs:
            p.cleanup()
        self.display.close()

    def program(self, **kw):
        p = Program(self.display, **kw)
        self.programs.append(p)
        return p
