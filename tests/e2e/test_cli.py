"""The command line of the real program, on no display at all."""
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from harness import EXECUTABLE, PLUGIN_DIR, wait_for


def headless_env(**extra):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM")}
    env.update(extra)
    return env


def run(args, **extra):
    return subprocess.run([EXECUTABLE] + args, env=headless_env(**extra), capture_output=True, text=True,
                          timeout=60)


class WithoutADisplay(unittest.TestCase):
    def test_help_and_version_print_and_end_with_status_zero(self):
        help = run(["--help"])
        self.assertEqual(help.returncode, 0, help.stderr)
        for option in ("--help", "--version", "--demo"):
            self.assertIn(option, help.stdout)
        self.assertEqual(run(["-h"]).stdout, help.stdout)
        version = run(["--version"])
        self.assertEqual(version.returncode, 0, version.stderr)
        self.assertRegex(version.stdout, r"^quadrovia \d+\.\d+(\.\d+)*\n$")

    def test_no_reachable_display_is_one_line_and_status_one(self):
        runtime = tempfile.mkdtemp(prefix="quadrovia-cli-")
        cases = {
            "nothing set": {},
            "X display not running": {"DISPLAY": ":64999"},
            "Wayland socket missing": {"WAYLAND_DISPLAY": "wayland-9", "XDG_RUNTIME_DIR": runtime},
            "X11 platform asked for": {"QT_QPA_PLATFORM": "xcb"},
        }
        for what, env in cases.items():
            with self.subTest(what):
                result = run(["--demo"], **env)
                self.assertEqual(result.returncode, 1, result.stderr)
                lines = result.stderr.splitlines()
                self.assertEqual(len(lines), 1, result.stderr)
                self.assertTrue(lines[0].startswith("quadrovia: no display"), lines[0])
                self.assertIn("xvfb-run", lines[0])
        os.rmdir(runtime)

    def test_qts_own_platform_option_still_works(self):
        folder = tempfile.mkdtemp(prefix="quadrovia-cli-")
        exe = os.path.join(folder, "quadrovia")
        shutil.copy2(EXECUTABLE, exe)
        process = subprocess.Popen([exe, "-platform", "offscreen"], cwd=folder,
                                   env=headless_env(GST_PLUGIN_PATH=PLUGIN_DIR, XDG_RUNTIME_DIR=folder),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        try:
            # Its folders are made by the main window's creation: past the display check.
            wait_for(lambda: process.poll() is not None or os.path.isdir(os.path.join(folder, "截屏")),
                     timeout=30, what="start-up")
            time.sleep(1)
            if process.poll() is not None:
                self.fail("ended with status %s: %s" % (process.returncode, process.stderr.read()))
        finally:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            shutil.rmtree(folder, ignore_errors=True)

if __name__ == "__main__":
    unittest.main()
