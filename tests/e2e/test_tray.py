"""The tray icon component on a real desktop shell: a small XEmbed system tray
(trayer) on a private display, a probe program with one icon that says what
the component reports, and mouse clicks on the docked icon."""
import os
import queue
import re
import subprocess
import threading
import time
import unittest

from harness import Display, Program, wait_for

PROBE = os.environ.get("QUADROVIA_TRAY_PROBE", os.path.join(os.path.dirname(__file__), "../../build/tests/e2e/tray_probe"))
TREE_LINE = re.compile(r'^(\s*)(0x[0-9a-f]+) (?:"([^"]*)"|\(has no name\)).*?(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$')


class Tray:
    def __init__(self, display):
        self.display = display
        self.process = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "left", "--widthtype", "pixel", "--width", "300",
             "--heighttype", "pixel", "--height", "32"],
            env=display.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.panel = wait_for(lambda: self.find_panel(), what="tray panel")

    def find_panel(self):
        for window in windows(self.display):
            if window["name"] == "panel":  # inside the window manager's frame
                return window["id"]
        return None

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
        self.process.wait(5)


class Probe:
    def __init__(self, display, *args):
        self.display = display
        self.process = subprocess.Popen([PROBE] + list(args), env=display.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.lines = queue.Queue()
        self.seen = []
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())

    def expect(self, *wanted, timeout=10.0):
        """The next lines, in order, skipping the ones listed as noise."""
        got = []
        deadline = time.monotonic() + timeout
        while len(got) < len(wanted):
            try:
                line = self.lines.get(timeout=max(0.01, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError("wanted %s, got %s" % (list(wanted), got))
            self.seen.append(line)
            if line.startswith("added 0") or line.startswith("form "):
                continue
            got.append(line)
        if got != list(wanted):
            raise AssertionError("wanted %s, got %s" % (list(wanted), got))

    def quiet(self, seconds):
        """The lines that come within the time, without the noise."""
        time.sleep(seconds)
        out = []
        while not self.lines.empty():
            line = self.lines.get()
            if not line.startswith("added 0"):
                out.append(line)
        return out

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(5)
        self.reader.join(5)
        self.process.stdin.close()
        self.process.stdout.close()


def windows(display):
    """Every window of the display with its depth, name, parents and place."""
    for _ in range(20):  # a window that goes while the tree is read spoils that reading
        result = subprocess.run(["xwininfo", "-root", "-tree"], env=display.env, capture_output=True, text=True)
        if result.returncode == 0:
            break
    else:
        raise AssertionError("cannot read the window tree: " + result.stderr)
    out = result.stdout
    stack, found = [], []
    for line in out.splitlines():
        m = TREE_LINE.match(line)
        if not m:
            continue
        indent = len(m.group(1))
        while stack and stack[-1][0] >= indent:
            stack.pop()
        found.append({"id": m.group(2), "name": m.group(3) or "", "parents": [s[1] for s in stack],
                      "depth": len(stack), "w": int(m.group(4)), "h": int(m.group(5)),
                      "x": int(m.group(6)), "y": int(m.group(7))})
        stack.append((indent, m.group(2)))
    return found


def docked_icon(display, panel, program="tray_probe"):
    for window in windows(display):
        if window["name"] == program and panel in window["parents"]:
            return window
    return None


def click_icon(display, panel, xdotool_args, program="tray_probe"):
    """Clicks the program's icon in the tray, as xdotool's click arguments say."""
    icon = wait_for(lambda: docked_icon(display, panel, program), what="docked icon")
    x, y = icon["x"] + icon["w"] // 2, icon["y"] + icon["h"] // 2
    here = display.run(["xdotool", "getmouselocation", "--shell"])
    if "X=%d\nY=%d\n" % (x, y) not in here:  # --sync would wait for a move that never comes
        display.run(["xdotool", "mousemove", "--sync", str(x), str(y)])
    display.run(["xdotool", "click"] + list(xdotool_args))


def map_state(display, window):
    out = display.run(["xwininfo", "-id", window], check=False)
    m = re.search(r"Map State: (\w+)", out)
    return m.group(1) if m else "gone"


class TrayIconOnARealTray(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.close)
        self.tray = Tray(self.display)
        self.addCleanup(lambda: self.tray.stop())  # the tray the test ends with

    def probe(self, *args):
        p = Probe(self.display, *args)
        self.addCleanup(p.stop)
        p.expect("added 1")
        return p

    def click(self, panel, *xdotool_args):
        click_icon(self.display, panel, xdotool_args)

    def test_a_docked_icon_reports_clicks_in_the_shells_order(self):
        p = self.probe()
        wait_for(lambda: docked_icon(self.display, self.tray.panel), what="docked icon")
        # The probe has a double-click handler, so a single click waits for
        # the double-click time before it counts.
        self.click(self.tray.panel, "1")
        p.expect("down left", "up left", "click")
        # Apart by more than the double-click time, or Qt pairs the clicks.
        self.assertEqual(p.quiet(0.6), [])
        self.click(self.tray.panel, "--repeat", "2", "--delay", "60", "1")
        p.expect("down left", "up left", "dblclick", "up left")
        self.assertEqual(p.quiet(1.0), [], "a double click is no click")
        self.click(self.tray.panel, "3")
        p.expect("down right", "up right")
        self.click(self.tray.panel, "2")
        p.expect("down middle", "up middle")

    def test_minimizing_hides_into_the_tray_and_a_click_brings_the_form_back_maximized(self):
        p = self.probe("--maximized")
        form = wait_for(lambda: (self.display.run(["xdotool", "search", "--onlyvisible", "--name", "^TrayProbe$"],
                                                  check=False).split() or [None])[0], what="form")
        state = lambda: self.display.run(["xprop", "-id", form, "_NET_WM_STATE"], check=False)
        wait_for(lambda: "_NET_WM_STATE_MAXIMIZED_VERT" in state(), what="maximized form")
        self.display.run(["xdotool", "windowminimize", form])
        wait_for(lambda: map_state(self.display, form) == "IsUnMapped", what="form withdrawn")
        clients = self.display.run(["xprop", "-root", "_NET_CLIENT_LIST"], check=False)
        self.assertNotIn(hex(int(form)), clients, "no taskbar entry while in the tray")
        self.click(self.tray.panel, "1")
        p.expect("down left", "up left", "click")
        wait_for(lambda: map_state(self.display, form) == "IsViewable", what="form back")
        wait_for(lambda: "_NET_WM_STATE_MAXIMIZED_VERT" in state(), what="maximized again")
        self.assertNotIn("_NET_WM_STATE_HIDDEN", state())

    def test_a_new_tray_gets_the_visible_icon_again_but_not_a_removed_one(self):
        p = self.probe()
        first_panel = self.tray.panel
        wait_for(lambda: docked_icon(self.display, first_panel), what="docked icon")
        self.tray.stop()
        self.tray = Tray(self.display)
        p.expect("added 1")
        wait_for(lambda: docked_icon(self.display, self.tray.panel), what="icon in the new tray")
        self.click(self.tray.panel, "3")
        p.expect("down right", "up right")

        p.send("hide")
        p.expect("removed 1")
        wait_for(lambda: docked_icon(self.display, self.tray.panel) is None, what="icon gone")
        self.tray.stop()
        self.tray = Tray(self.display)
        self.assertEqual(p.quiet(1.5), [])
        self.assertIsNone(docked_icon(self.display, self.tray.panel))

    def test_a_balloon_reports_its_showing_and_its_time_out(self):
        p = self.probe()
        wait_for(lambda: docked_icon(self.display, self.tray.panel), what="docked icon")
        p.send("balloon")
        p.expect("balloon show", "balloon timeout")

    def test_quitting_takes_the_icon_away_and_ends_cleanly(self):
        p = self.probe()
        wait_for(lambda: docked_icon(self.display, self.tray.panel), what="docked icon")
        p.send("quit")
        self.assertEqual(p.process.wait(10), 0)
        wait_for(lambda: docked_icon(self.display, self.tray.panel) is None, what="icon gone")


class TheProgramsTrayIcon(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.close)
        self.tray = Tray(self.display)
        self.addCleanup(self.tray.stop)
        self.program = Program(self.display)
        self.addCleanup(self.program.cleanup)

    def test_minimizing_the_main_window_goes_to_the_tray_and_a_click_brings_it_back(self):
        self.program.start()
        window = self.program.main_window()
        wait_for(lambda: docked_icon(self.display, self.tray.panel, "quadrovia"), what="program icon in the tray")
        self.display.run(["xdotool", "windowminimize", window])
        wait_for(lambda: map_state(self.display, window) == "IsUnMapped", what="main window in the tray")
        click_icon(self.display, self.tray.panel, ["1"], program="quadrovia")
        wait_for(lambda: map_state(self.display, window) == "IsViewable", what="main window back")
        self.program.assert_running()



def client_list(display):
    out = display.run(["xprop", "-root", "_NET_CLIENT_LIST"], check=False)
    return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", out)]


class TheProgramWithoutATray(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.close)
        self.program = Program(self.display)
        self.addCleanup(self.program.cleanup)

    def test_minimizing_keeps_the_window_in_the_window_list_until_a_tray_comes(self):
        self.program.start()
        window = self.program.main_window()
        self.display.run(["xdotool", "windowminimize", window])
        wait_for(lambda: map_state(self.display, window) == "IsUnMapped", what="main window minimized")
        time.sleep(1)  # a window sent to a tray that is not there would leave the list by now
        self.assertIn(int(window), client_list(self.display))
        self.assertIn("_NET_WM_STATE_HIDDEN", self.program.net_wm_state(window))
        self.display.run(["xdotool", "windowactivate", window])
        wait_for(lambda: map_state(self.display, window) == "IsViewable", what="main window back")

        tray = Tray(self.display)
        self.addCleanup(tray.stop)
        wait_for(lambda: docked_icon(self.display, tray.panel, "quadrovia"), what="program icon in the new tray")
        self.display.run(["xdotool", "windowminimize", window])
        wait_for(lambda: int(window) not in client_list(self.display), what="main window in the tray")
        click_icon(self.display, tray.panel, ["1"], program="quadrovia")
        wait_for(lambda: map_state(self.display, window) == "IsViewable", what="main window back from the tray")
        self.program.assert_running()

if __name__ == "__main__":
    unittest.main()
