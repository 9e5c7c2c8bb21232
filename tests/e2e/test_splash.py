"""The splash window of the real program, on a display whose only window
manager is the watcher (tests/e2e/XWatch.cpp): it sees every map and unmap as
it happens and what the splash showed when it went."""
import os
import queue
import subprocess
import threading
import time
import unittest

from harness import Display, Program

BUILT = os.path.join(os.path.dirname(__file__), "../../build/tests/e2e")
XWATCH = os.environ.get("QUADROVIA_XWATCH", os.path.join(BUILT, "xwatch"))
PROBE = os.environ.get("QUADROVIA_SPLASH_PROBE", os.path.join(BUILT, "splash_probe"))

# The grey outline at the top-left corner, and picture (not white background)
# near the top right and at the bottom-right corner.
SPLASH_PIXELS = [("0", "0", "=808080"), ("0", "100", "=808080"), ("200", "3", "!FFFFFF"),
                 ("357", "224", "!FFFFFF"), ("20", "210", "!FFFFFF")]


class Watcher:
    def __init__(self, display):
        argv = [XWATCH]
        for x, y, want in SPLASH_PIXELS:
            argv += ["--pixel", "splashForm", x, y, want]
        self.process = subprocess.Popen(argv, env=display.env, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()
        first = self.lines.get(timeout=10)
        if first != ["ready"]:
            raise AssertionError("watcher did not start: %s" % first)

    def read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip().split(None, 2))

    def events_until(self, last, timeout=30.0):
        """(what, name) in order up to and including `last`."""
        events = []
        deadline = time.monotonic() + timeout
        while not events or events[-1] != last:
            try:
                what, _, name = self.lines.get(timeout=max(0.01, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError("no %s in %s" % (last, events))
            if name in ("splashForm", "Quadrovia"):
                events.append((what, name))
        return events

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(5)
        self.reader.join(5)
        self.process.stdout.close()


class SplashOfTheProgram(unittest.TestCase):
    def setUp(self):
        self.display = Display(window_manager=False)
        self.addCleanup(self.display.close)
        self.watcher = Watcher(self.display)
        self.addCleanup(self.watcher.stop)
        self.program = Program(self.display)
        self.addCleanup(self.program.cleanup)

    def test_painted_on_screen_before_the_main_window_and_gone_before_it_shows(self):
        self.program.start()
        events = self.watcher.events_until(("map", "Quadrovia"))
        # The splash shows its picture up to the moment it goes.
        self.assertEqual(events, [("map", "splashForm"), ("painted", "splashForm"), ("unmap", "splashForm"),
                                  ("map", "Quadrovia")])
        self.program.assert_running()


class SplashWindowAlone(unittest.TestCase):
    """With a real window manager between showing and mapping, a plain show
    leaves the window unpainted until events are processed."""

    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.close)

    def test_show_and_paint_returns_with_the_picture_on_the_display(self):
        result = subprocess.run([PROBE], env=self.display.env, capture_output=True, text=True, timeout=30)
        self.assertEqual((result.returncode, result.stdout.strip()), (0, "painted"), result.stderr)


if __name__ == "__main__":
    unittest.main()
