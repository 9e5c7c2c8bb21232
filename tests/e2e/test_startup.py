"""Start-up, settings file and always-on-top of the real program."""
import os
import time
import unittest

from harness import Accessible, ProgramTest, wait_for


class FirstStart(ProgramTest):
    def test_creates_folders_but_no_settings_file_and_opens_at_design_size(self):
        p = self.program().start()
        window = p.main_window()
        self.assertTrue(os.path.isdir(p.path("录像")))
        self.assertTrue(os.path.isdir(p.path("截屏")))
        self.assertFalse(os.path.exists(p.path("quadrovia.ini")))
        self.assertEqual(p.client_size(window), (761, 508))
        self.assertNotIn("_NET_WM_STATE_ABOVE", p.net_wm_state(window))

    def test_taskbar_entry_shows_the_application_title_beside_the_caption(self):
        p = self.program().start()
        window = p.main_window()
        props = p.display.run(["xprop", "-id", window, "WM_NAME", "WM_ICON_NAME", "_NET_WM_ICON_NAME"])
        self.assertIn('WM_NAME(STRING) = "Quadrovia"', props)
        self.assertIn('WM_ICON_NAME(STRING) = "Vistrelle"', props)
        self.assertIn('_NET_WM_ICON_NAME(UTF8_STRING) = "Vistrelle"', props)

    def test_closing_the_window_ends_the_program_with_status_zero(self):
        p = self.program().start()
        window = p.main_window()
        p.close_window(window)
        self.assertEqual(p.wait_exit(), 0)


class AlwaysOnTop(ProgramTest):
    def test_stored_on_top_starts_the_window_on_top_and_rewrites_the_key(self):
        p = self.program()
        p.write("quadrovia.ini", "[comm]\nontop=0x1\n")
        p.start()
        window = p.main_window()
        wait_for(lambda: "_NET_WM_STATE_ABOVE" in p.net_wm_state(window), what="window above")
        self.assertEqual(p.read("quadrovia.ini"), "[comm]\nontop=1\n")

    def test_unwritable_settings_file_still_puts_the_window_on_top_and_reports_the_path(self):
        p = self.program()
        os.mkdir(p.path("quadrovia.ini"))  # as root, permissions would not stop the write
        p.start()
        window = p.main_window()
        a11y = Accessible()
        app = a11y.application()
        box = wait_for(lambda: a11y.find(app, role="check box", name="总在最前"), what="check box")
        a11y.click(p.display, box)
        wait_for(lambda: "_NET_WM_STATE_ABOVE" in p.net_wm_state(window), what="window above")
        boxes = wait_for(lambda: p.windows_named("Vistrelle"), what="error box")
        expected = "Unable to write to %s." % p.path("quadrovia.ini")
        wait_for(lambda: expected in a11y.texts(a11y.application()), what="error text")
        p.display.run(["xdotool", "windowactivate", "--sync", boxes[0]], check=False)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Return"])
        wait_for(lambda: not p.windows_named("Vistrelle"), what="error box closed")
        p.assert_running()


class SavePath(ProgramTest):
    def test_path_with_missing_parent_creates_nothing_and_shows_nothing(self):
        p = self.program()
        target = p.path("missing", "save")
        p.write("quadrovia.ini", "[comm]\npath=%s\n" % target)
        p.start()
        p.main_window()
        time.sleep(0.5)
        self.assertFalse(os.path.exists(p.path("missing")))
        self.assertEqual(p.windows_named("Vistrelle"), [])


class BadSettingsFile(ProgramTest):
    CASES = {
        "binary_garbage": bytes(range(256)) * 64,
        "invalid_utf8": b"[comm]\n\xff\xfe\xfa=\xc3\x28\nontop=\xe2\x82\n",
        "megabyte_lines": b"[comm]\npath=" + b"x" * (3 << 20) + b"\n" + b"y" * (2 << 20) + b"\n",
    }

    def test_bad_files_give_the_defaults(self):
        for name, data in self.CASES.items():
            with self.subTest(name):
                p = self.program()
                p.write("quadrovia.ini", data)
                p.start()
                window = p.main_window()
                self.assertNotIn("_NET_WM_STATE_ABOVE", p.net_wm_state(window))
                p.close_window(window)
                self.assertEqual(p.wait_exit(), 0)

    def test_directory_in_place_of_the_file_gives_the_defaults(self):
        p = self.program()
        os.mkdir(p.path("quadrovia.ini"))
        p.start()
        window = p.main_window()
        self.assertTrue(os.path.isdir(p.path("录像")))
        self.assertNotIn("_NET_WM_STATE_ABOVE", p.net_wm_state(window))


if __name__ == "__main__":
    unittest.main()
