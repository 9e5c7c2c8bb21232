"""The installed program: `cmake --install` into a temporary DESTDIR, run by
a user other than root with a home of its own, as a user who installed the
package would run it."""
import glob
import os
import pwd
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

from harness import BUILD_DIR, Display, wait_for

# Window-relative centres of controls at the main window's design size.
RECORD_BUTTON = (671 + 8 + 37, 65 + 20)
ON_TOP_BOX = (671 + 7 + 10, 453 + 9)
PANELS = {1: (5, 5), 2: (337, 5), 3: (5, 256), 4: (337, 256)}  # each 328 x 248


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="quadrovia-install-")
        os.chmod(cls.root, 0o755)
        cls.destdir = os.path.join(cls.root, "dest")
        subprocess.run(["cmake", "--install", BUILD_DIR], env=dict(os.environ, DESTDIR=cls.destdir),
                       check=True, capture_output=True, timeout=120)
        found = glob.glob(os.path.join(cls.destdir, "**", "bin", "quadrovia"), recursive=True)
        assert len(found) == 1, found
        cls.exe = found[0]
        cls.prefix = os.path.dirname(os.path.dirname(cls.exe))
        # As a user who cannot write it, whoever runs the test.
        subprocess.run(["chmod", "-R", "a-w", cls.destdir], check=True)
        if os.getuid() == 0:
            cls.user = pwd.getpwnam("nobody")
        else:
            cls.user = None

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["chmod", "-R", "u+w", cls.root], check=False)
        shutil.rmtree(cls.root, ignore_errors=True)

    def installed(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_tree_has_launcher_icons_metainfo_and_private_plugin(self):
        entry = self.installed("share/applications/org.quadrovia.Quadrovia.desktop")
        with open(entry, encoding="utf-8") as f:
            lines = f.read().splitlines()
        self.assertIn("Exec=quadrovia", lines)
        self.assertIn("Icon=quadrovia", lines)
        for size in (16, 32, 48, 64, 128):
            icon = self.installed("share/icons/hicolor/%dx%d/apps/quadrovia.png" % (size, size))
            self.assertEqual(png_size(icon), (size, size))
        self.assertTrue(os.path.isfile(self.installed("share/metainfo/org.quadrovia.Quadrovia.metainfo.xml")))
        plugins = glob.glob(self.installed("lib*", "**", "quadrovia", "gstreamer-1.0", "libgstsynthcam.so"),
                            recursive=True)
        self.assertEqual(len(plugins), 1)
        # Private: nothing in GStreamer's own plugin folder.
        self.assertEqual(glob.glob(self.installed("lib*", "**", "gstreamer-1.0", "*.so"), recursive=True), plugins)

    def test_help_needs_no_display_when_installed(self):
        result = subprocess.run([self.exe, "--help"], env={"PATH": "/usr/bin:/bin"}, capture_output=True,
                                text=True, timeout=60, preexec_fn=self.become_user)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("--demo", result.stdout)

    # -- running it as its user on a display

    def become_user(self):
        if self.user:
            os.setgroups([])
            os.setgid(self.user.pw_gid)
            os.setuid(self.user.pw_uid)

    def home(self):
        home = tempfile.mkdtemp(prefix="home-", dir=self.root)
        os.makedirs(os.path.join(home, ".runtime"), mode=0o700)
        if self.user:
            for folder in (home, os.path.join(home, ".runtime")):
                os.chown(folder, self.user.pw_uid, self.user.pw_gid)
        return home

    def start(self, home, args=(), **env):
        self.display = Display(window_manager=True)
        self.addCleanup(self.display.close)
        program_env = {"PATH": "/usr/bin:/bin", "HOME": home, "DISPLAY": self.display.name,
                       "XDG_RUNTIME_DIR": os.path.join(home, ".runtime"), "LANG": "C.UTF-8"}
        program_env.update(env)
        self.log = open(os.path.join(self.root, "program-%d.log" % len(os.listdir(self.root))), "w+")
        self.process = subprocess.Popen([self.exe] + list(args), cwd=home, env=program_env,
                                        stdout=self.log, stderr=subprocess.STDOUT, preexec_fn=self.become_user)
        self.addCleanup(self.stop)
        return self.main_window()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()

    def output(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read()

    def main_window(self):
        def find():
            if self.process.poll() is not None:
                raise AssertionError("ended with status %s:\n%s" % (self.process.returncode, self.output()))
            ids = self.display.run(["xdotool", "search", "--onlyvisible", "--name", "^Quadrovia$"], check=False)
            return ids.split()[0] if ids.split() else None
        window = wait_for(find, timeout=60, what="main window")
        info = self.display.run(["xwininfo", "-id", window])
        at = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            if key in ("Absolute upper-left X", "Absolute upper-left Y"):
                at[key[-1]] = int(value)
        self.origin = (at["X"], at["Y"])
        return window

    def click(self, point):
        x, y = self.origin[0] + point[0], self.origin[1] + point[1]
        self.display.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"])

    def panel_moves(self, n):
        x, y = self.origin[0] + PANELS[n][0] + 8, self.origin[1] + PANELS[n][1] + 8

        def grab():
            return subprocess.run(["ffmpeg", "-v", "error", "-f", "x11grab", "-video_size", "312x232", "-i",
                                   "%s+%d,%d" % (self.display.name, x, y), "-frames:v", "1", "-f", "rawvideo",
                                   "-pix_fmt", "gray", "-"], capture_output=True, timeout=30).stdout
        first = grab()
        time.sleep(0.5)
        second = grab()
        return sum(1 for b in second if b > 24) > len(second) // 20 and first != second

    def test_settings_and_recordings_go_to_the_users_xdg_folders(self):
        home = self.home()
        cameras = os.path.join(home, "cameras.txt")
        with open(cameras, "w") as f:
            f.write("Door\n")
        plugin_dir = os.path.dirname(glob.glob(self.installed("lib*", "**", "libgstsynthcam.so"), recursive=True)[0])
        self.start(home, GST_PLUGIN_PATH=plugin_dir, QUADROVIA_SYNTHCAMS=cameras)
        videos = os.path.join(home, "Videos", "Quadrovia")
        # A new account has no ~/Videos: the default folder is made with its parents.
        wait_for(lambda: os.path.isdir(os.path.join(videos, "截屏")), timeout=30, what="save folders")
        self.assertTrue(os.path.isdir(os.path.join(videos, "录像")))
        self.click(ON_TOP_BOX)
        settings = os.path.join(home, ".config", "quadrovia", "quadrovia.ini")
        wait_for(lambda: os.path.exists(settings), timeout=30, what="settings file")
        with open(settings) as f:
            self.assertEqual(f.read(), "[comm]\nontop=1\n")
        self.assertEqual(os.stat(os.path.dirname(settings)).st_mode & 0o777, 0o700)
        wait_for(lambda: self.panel_moves(1), timeout=60, what="channel 1 live")
        self.click(RECORD_BUTTON)

        def recorded():
            files = glob.glob(os.path.join(videos, "录像", "#1", "*.asf"))
            return files if files and os.path.getsize(files[0]) > 16000 else None
        files = wait_for(recorded, timeout=120, step=0.5, what="a growing recording")
        self.assertEqual(len(files), 1)
        self.click(RECORD_BUTTON)
        # Nothing beside the installed executable, nothing in the working folder.
        self.assertEqual(sorted(os.listdir(os.path.dirname(self.exe))), ["quadrovia"])
        self.assertFalse(os.path.exists(os.path.join(home, "quadrovia.ini")))

    def test_demo_shows_four_synthetic_cameras_from_the_installed_plugin(self):
        home = self.home()
        self.start(home, ["--demo"])
        for n in (1, 2, 3, 4):
            wait_for(lambda: self.panel_moves(n), timeout=60, step=0.5, what="channel %d live" % n)


if __name__ == "__main__":
    unittest.main()
