"""Monitoring, recording and the per-window commands of the real program,
with synthetic cameras."""
import fcntl
import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from harness import Accessible, ProgramTest, wait_for


def ffprobe(target, *extra):
    out = subprocess.run(["ffprobe", "-v", "error", "-print_format", "json", "-show_format", "-show_streams",
                          *extra, target], capture_output=True, text=True, timeout=30)
    return json.loads(out.stdout or "{}")


class ChannelTest(ProgramTest):
    def start(self, cameras, settings=None):
        p = self.program()
        p.write("cams.txt", "".join(c + "\n" for c in cameras))
        p.env["QUADROVIA_SYNTHCAMS"] = p.path("cams.txt")
        if settings:
            p.write("quadrovia.ini", settings)
        p.start()
        self.window = p.main_window()
        self.a11y = Accessible()
        self.app = self.a11y.application(pid=p.process.pid)
        return p

    def panel(self, n):
        return wait_for(lambda: self.a11y.find(self.app, name="vPanel%d" % n), what="panel %d" % n)

    def grab_panel(self, p, n):
        ext = self.panel(n).queryComponent().getExtents(self.a11y.pyatspi.DESKTOP_COORDS)
        # Inside the bevel, away from the edges.
        x, y, w, h = ext.x + 8, ext.y + 8, max(ext.width - 16, 16), max(ext.height - 16, 16)
        raw = subprocess.run(["ffmpeg", "-v", "error", "-f", "x11grab", "-video_size", "%dx%d" % (w, h),
                              "-i", "%s+%d,%d" % (p.display.name, x, y), "-frames:v", "1",
                              "-f", "rawvideo", "-pix_fmt", "gray", "-"],
                             capture_output=True, timeout=20).stdout
        return raw

    def shows_moving_video(self, p, n):
        first = self.grab_panel(p, n)
        time.sleep(0.4)
        second = self.grab_panel(p, n)
        lit = sum(1 for b in second if b > 24)
        return lit > len(second) // 20 and first != second

    def is_dark(self, p, n):
        frame = self.grab_panel(p, n)
        with open(p.path("panel%d.gray" % n), "wb") as f:
            f.write(frame)
        return sum(1 for b in frame if b >= 16) <= len(frame) // 200

    def choose_from_menu(self, p, n, item):
        """Right-click on the video of channel n and pick the popup menu's
        item by keyboard (the menu is not in the accessibility tree)."""
        self.a11y.click(p.display, self.panel(n), button=3)
        time.sleep(0.5)
        p.display.run(["xdotool", "key", "--clearmodifiers"] + ["Down"] * (item + 1) + ["Return"])

    def button(self, caption):
        return wait_for(lambda: self.a11y.find(self.app, role="push button", name=caption), what=caption)

    def click(self, p, caption):
        self.a11y.click(p.display, self.button(caption))


class Monitoring(ChannelTest):
    def test_bound_panels_show_moving_video_without_a_click(self):
        for count in (1, 4):
            with self.subTest(cameras=count):
                p = self.start(["Cam %d" % i for i in range(count)])
                for n in range(1, count + 1):
                    wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video in panel %d" % n)
                for n in range(count + 1, 5):
                    self.assertTrue(self.is_dark(p, n), "panel %d must stay black" % n)
                p.cleanup()

    def test_five_cameras_bind_none(self):
        p = self.start(["Cam %d" % i for i in range(5)])
        time.sleep(3)
        for n in range(1, 5):
            self.assertTrue(self.is_dark(p, n))


class DeviceLists(ChannelTest):
    def test_settings_dialog_shows_the_names_in_enumeration_order(self):
        p = self.start(["Twin", "Twin", "Other"])
        self.click(p, "系统设置")
        dialog = wait_for(lambda: self.a11y.find(self.app, name="设置"), what="settings dialog")
        lists = wait_for(lambda: self.combo_boxes(dialog), what="device lists")
        self.assertEqual([c.name for c in lists[:3]], ["Twin", "Twin", "Other"])
        # The fourth channel is unbound: its list is emptied (its accessible
        # name falls back to the group's caption).
        self.assertNotIn(lists[3].name, ("Twin", "Other"))
        p.display.run(["xdotool", "key", "--clearmodifiers", "Escape"])

    def combo_boxes(self, dialog):
        found = []
        def walk(node, depth=0):
            try:
                if node.getRoleName() == "combo box":
                    found.append(node)
                for child in node:
                    if depth < 8:
                        walk(child, depth + 1)
            except Exception:
                pass
        walk(dialog)
        return found if len(found) == 4 else None


class Recording(ChannelTest):
    def red_dot_shown(self, p):
        ext = self.panel(1).queryComponent().getExtents(self.a11y.pyatspi.DESKTOP_COORDS)
        raw = subprocess.run(["ffmpeg", "-v", "error", "-f", "x11grab", "-video_size", "40x40", "-i",
                              "%s+%d,%d" % (p.display.name, ext.x + 4, ext.y + 4), "-frames:v", "1",
                              "-f", "rawvideo", "-pix_fmt", "rgb24", "-"], capture_output=True, timeout=20).stdout
        pixels = [raw[i:i + 3] for i in range(0, len(raw) - 2, 3)]
        # Half-transparent red over the picture: red clearly above green and blue.
        return sum(1 for r, g, b in pixels if r > g + 60 and r > b + 60) >= 20


    def test_three_cameras_channel_two_stopped_record_into_one_and_three(self):
        p = self.start(["A", "B", "C"])
        for n in (1, 2, 3):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        # "停止" on channel 2 from its popup menu.
        self.choose_from_menu(p, 2, 0)
        wait_for(lambda: self.is_dark(p, 2), what="channel 2 dark")
        self.click(p, "开始录像")
        self.button("停止录像")
        started = time.monotonic()
        wait_for(lambda: self.red_dot_shown(p), what="recording mark on channel 1")
        ffprobe_live = ffprobe("http://127.0.0.1:3333/", "-read_intervals", "%+2")
        self.assertEqual(ffprobe_live.get("streams", [{}])[0].get("codec_name"), "wmv2")
        time.sleep(4)
        self.click(p, "停止录像")
        recorded = time.monotonic() - started
        self.button("开始录像")
        files = {n: glob.glob(p.path("录像", "#%d" % n, "*.asf")) for n in (1, 2, 3, 4)}
        self.assertEqual(len(files[1]), 1)
        self.assertEqual(len(files[3]), 1)
        self.assertEqual(files[2] + files[4], [])
        for f in files[1] + files[3]:
            info = ffprobe(f)
            self.assertEqual(info["format"]["format_name"], "asf")
            self.assertEqual(info["streams"][0]["codec_name"], "wmv2")
            self.assertLess(abs(float(info["format"]["duration"]) - recorded), 1.5)
        for n in range(1, 5):
            self.assertTrue(self.is_dark(p, n))
        self.click(p, "监控")
        for n in (1, 2, 3):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video back %d" % n)

    def test_other_players_read_the_rate_and_seek_in_a_recording(self):
        p = self.start(["A"])
        wait_for(lambda: self.shows_moving_video(p, 1), timeout=20, what="video 1")
        self.click(p, "开始录像")
        self.button("停止录像")
        time.sleep(14)
        self.click(p, "停止录像")
        self.button("开始录像")
        (f,) = glob.glob(p.path("录像", "#1", "*.asf"))
        # GStreamer's demuxer: the frame rate from the header's frame time
        # (10^7 over it, so 15 a second reads 10000000/666667), not 25.
        report = subprocess.run(["gst-discoverer-1.0", f], capture_output=True, text=True, timeout=60).stdout
        rate = re.search(r"Frame rate: (\d+)/(\d+)", report)
        self.assertIsNotNone(rate, report)
        self.assertAlmostEqual(int(rate.group(1)) / int(rate.group(2)), 15, places=3)
        self.assertIn("Seekable: yes", report)
        # MPlayer's own demuxer seeks by the header's maximum bit rate (without
        # it, it starts at the beginning) to the next key frame (one every
        # 3 s) after the place the rate gives. It shows times with the
        # file's preroll in them, so the seek is measured from the start.
        start, at_ten = self.mplayer_first_time(f, 0), self.mplayer_first_time(f, 10)
        self.assertGreater(at_ten - start, 7)
        self.assertLess(at_ten - start, 13.5)

    def mplayer_first_time(self, f, seek):
        out = subprocess.run(["mplayer", "-noconfig", "all", "-demuxer", "asf", "-ss", str(seek), "-nosound",
                              "-vo", "null", "-frames", "1", f], capture_output=True, timeout=60)
        shown = re.findall(r"V:\s*([\d.]+)", out.stdout.decode("utf-8", "replace"))
        self.assertTrue(shown, out.stdout[-2000:])
        return float(shown[0])

    def test_closing_while_recording_completes_every_file(self):
        p = self.start(["A", "B"])
        for n in (1, 2):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        self.click(p, "开始录像")
        self.button("停止录像")
        time.sleep(3)
        p.close_window(self.window)
        self.assertEqual(p.wait_exit(30), 0)
        for n in (1, 2):
            (f,) = glob.glob(p.path("录像", "#%d" % n, "*.asf"))
            self.assertGreater(float(ffprobe(f)["format"]["duration"]), 2.0)


class RecordingLifecycle(ChannelTest):
    def wait_video(self, p, channels):
        for n in channels:
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)

    def asf_files(self, p, n):
        return sorted(glob.glob(p.path("录像", "#%d" % n, "*.asf")))

    def test_four_cameras_record_one_file_each_and_monitor_ends_them_complete(self):
        p = self.start(["A", "B", "C", "D"])
        self.wait_video(p, (1, 2, 3, 4))
        self.click(p, "开始录像")
        self.button("停止录像")
        time.sleep(3)
        # Twice in a row is the same as once: every channel back in preview.
        self.click(p, "监控")
        self.click(p, "监控")
        self.button("开始录像")
        self.wait_video(p, (1, 2, 3, 4))
        for n in (1, 2, 3, 4):
            files = self.asf_files(p, n)
            self.assertEqual(len(files), 1, "channel %d" % n)
            self.assertGreater(float(ffprobe(files[0])["format"]["duration"]), 2.0)

    def test_two_recordings_in_one_minute_leave_two_files_per_channel(self):
        p = self.start(["A", "B"])
        for n in (1, 2):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        for _ in range(2):
            self.click(p, "开始录像")
            self.button("停止录像")
            time.sleep(2)
            self.click(p, "停止录像")
            self.button("开始录像")
            self.click(p, "监控")
            for n in (1, 2):
                wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        for n in (1, 2):
            files = sorted(glob.glob(p.path("录像", "#%d" % n, "*.asf")))
            self.assertEqual(len(files), 2, files)
            names = [os.path.basename(f) for f in files]
            plain = [name for name in names if not name.endswith(" (2).asf")]
            if len(plain) == 1:  # both started in one minute: the second is numbered
                self.assertEqual(set(names), {plain[0], plain[0][:-4] + " (2).asf"})
            for f in files:
                self.assertGreater(float(ffprobe(f)["format"]["duration"]), 1.0, f)

    def test_unplugged_camera_leaves_the_others_recording_and_its_file_playable(self):
        p = self.start(["A", "B"])
        self.wait_video(p, (1, 2))
        self.click(p, "开始录像")
        self.button("停止录像")
        time.sleep(3)
        p.write("cams.txt", "A\n")  # channel 2's camera is unplugged
        time.sleep(3)
        self.assertTrue(self.shows_moving_video(p, 1))
        self.click(p, "停止录像")
        self.button("开始录像")
        lost = self.asf_files(p, 2)
        self.assertEqual(len(lost), 1)
        info = ffprobe(lost[0])
        self.assertEqual(info["streams"][0]["codec_name"], "wmv2")
        self.assertGreater(float(info["format"].get("duration", 0)), 1.5)
        self.assertGreater(float(ffprobe(self.asf_files(p, 1)[0])["format"]["duration"]), 4.5)


class FullDisk(ChannelTest):
    def mount_small_disk(self, kilobytes):
        folder = tempfile.mkdtemp(prefix="quadrovia-disk-")
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % kilobytes, "tmpfs", folder],
                                 capture_output=True, text=True)
        if mounted.returncode != 0:
            os.rmdir(folder)
            self.skipTest("cannot mount a small disk: " + mounted.stderr.strip())
        self.addCleanup(os.rmdir, folder)
        self.addCleanup(subprocess.run, ["umount", "-l", folder], check=False)
        return folder

    def test_four_channels_filling_the_disk_stop_with_one_message_and_playable_files(self):
        disk = self.mount_small_disk(400)
        p = self.start(["A", "B", "C", "D"], settings="[comm]\npath=%s\n" % disk)
        for n in (1, 2, 3, 4):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        self.click(p, "开始录像")
        self.button("停止录像")
        wait_for(lambda: p.windows_named("Vistrelle"), timeout=90, what="message")
        time.sleep(3)  # failures that came late would show as a second box
        self.assertEqual(len(p.windows_named("Vistrelle")), 1)
        text = "\n".join(self.a11y.texts(self.app))
        for n in (1, 2, 3, 4):
            self.assertIn("通道%d录像已停止：磁盘空间不足。" % n, text)
        box = p.windows_named("Vistrelle")[0]
        p.display.run(["xdotool", "windowactivate", "--sync", box], check=False)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Return"])
        wait_for(lambda: not p.windows_named("Vistrelle"), what="message closed")
        self.button("开始录像")
        p.assert_running()
        for n in (1, 2, 3, 4):
            self.assertTrue(self.shows_moving_video(p, n), "panel %d" % n)
            (f,) = glob.glob(os.path.join(disk, "录像", "#%d" % n, "*.asf"))
            info = ffprobe(f, "-count_frames")
            self.assertEqual(info["streams"][0]["codec_name"], "wmv2", f)
            self.assertGreater(int(info["streams"][0].get("nb_read_frames", 0)), 15, f)
        time.sleep(1)
        self.assertEqual(p.windows_named("Vistrelle"), [], "the message is shown once")


class HostileClients(ChannelTest):
    def test_garbage_and_half_requests_harm_neither_the_stream_nor_the_file(self):
        import socket
        p = self.start(["A"])
        wait_for(lambda: self.shows_moving_video(p, 1), timeout=20, what="video 1")
        self.click(p, "开始录像")
        self.button("停止录像")
        started = time.monotonic()
        sockets = []
        for i in range(50):
            s = socket.create_connection(("127.0.0.1", 3333), timeout=5)
            s.sendall([b"\x00\xff garbage\r\n\r\n", b"GET / HTTP/1.0\r\nX: " + b"a" * 20000,
                       b"GET / HT", b""][i % 4])
            sockets.append(s)
        live = ffprobe("http://127.0.0.1:3333/", "-read_intervals", "%+2")
        self.assertEqual(live.get("streams", [{}])[0].get("codec_name"), "wmv2")
        for s in sockets:
            s.close()
        time.sleep(2)
        self.click(p, "停止录像")
        recorded = time.monotonic() - started
        self.button("开始录像")
        (f,) = glob.glob(p.path("录像", "#1", "*.asf"))
        self.assertLess(abs(float(ffprobe(f)["format"]["duration"]) - recorded), 1.5)


class WindowCommands(ChannelTest):
    def test_stop_on_channel_one_while_recording_keeps_the_others_and_the_caption(self):
        p = self.start(["A", "B"])
        for n in (1, 2):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        self.click(p, "开始录像")
        self.button("停止录像")
        time.sleep(2)
        self.choose_from_menu(p, 1, 0)
        wait_for(lambda: self.is_dark(p, 1), what="channel 1 dark")
        (first,) = glob.glob(p.path("录像", "#1", "*.asf"))
        self.assertGreater(float(ffprobe(first)["format"]["duration"]), 1.0)
        self.assertTrue(self.shows_moving_video(p, 2))
        self.button("停止录像")

    def test_properties_of_a_running_camera_open_titled_with_its_filter(self):
        p = self.start(["A"])
        wait_for(lambda: self.shows_moving_video(p, 1), timeout=20, what="video 1")
        self.choose_from_menu(p, 1, 1)
        pages = wait_for(lambda: p.windows_named("Filter1"), what="property pages of the camera")
        p.display.run(["xdotool", "windowactivate", "--sync", pages[0]], check=False)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Escape"], check=False)
        wait_for(lambda: not p.windows_named("Filter1"), what="pages closed")
        p.assert_running()

    def test_properties_of_a_camera_without_controls_show_nothing_and_the_program_goes_on(self):
        p = self.start(["A", "B [nocontrols]"])
        wait_for(lambda: self.shows_moving_video(p, 2), timeout=20, what="video 2")
        self.choose_from_menu(p, 2, 1)
        time.sleep(1.5)
        self.assertEqual(p.windows_named("Filter2"), [])
        self.assertEqual(p.windows_named("Vistrelle"), [], "nothing is reported")
        # Not blocked by a frame nobody sees: the first camera's pages open.
        self.choose_from_menu(p, 1, 1)
        pages = wait_for(lambda: p.windows_named("Filter1"), what="property pages of the first camera")
        p.display.run(["xdotool", "windowactivate", "--sync", pages[0]], check=False)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Escape"], check=False)
        wait_for(lambda: not p.windows_named("Filter1"), what="pages closed")
        p.assert_running()

    def test_double_click_toggles_full_screen_and_the_menu_works_there(self):
        p = self.start(["A"])
        wait_for(lambda: self.shows_moving_video(p, 1), timeout=20, what="video 1")
        self.a11y.click(p.display, self.panel(1), double=True)
        wait_for(lambda: self.full_screen_window(p), what="full screen video")
        # "停止" from the menu opened on the full-screen video stops that channel.
        p.display.run(["xdotool", "mousemove", "--sync", "640", "500", "click", "3"])
        time.sleep(0.5)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Down", "Return"])
        wait_for(lambda: not self.full_screen_window(p), what="renderer gone with its graph")
        self.assertTrue(self.is_dark(p, 1))

    def full_screen_window(self, p):
        tree = p.display.run(["xwininfo", "-root", "-tree"])
        return any('"VideoWindow1"' in line and "1280x1024" in line for line in tree.splitlines())

    def test_recordings_button_with_a_missing_folder_shows_nothing(self):
        p = self.start([])
        os.rmdir(p.path("录像"))
        self.click(p, "录像文件")
        time.sleep(1.5)
        self.assertEqual(p.windows_named("Vistrelle"), [])
        p.assert_running()


class BusyCamera(ChannelTest):
    def test_busy_second_camera_leaves_the_first_running_and_shows_the_message_once(self):
        p = self.start(["A", "B [busy]"])
        wait_for(lambda: p.windows_named("Vistrelle"), timeout=20, what="message")
        boxes = p.windows_named("Vistrelle")
        self.assertEqual(len(boxes), 1)
        p.display.run(["xdotool", "windowactivate", "--sync", boxes[0]], check=False)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Return"])
        wait_for(lambda: not p.windows_named("Vistrelle"), what="message closed")
        self.assertTrue(self.shows_moving_video(p, 1))
        self.assertTrue(self.is_dark(p, 2))

    def test_busy_first_camera_shows_the_message_once_and_starts_nothing(self):
        p = self.start(["A [busy]", "B"])
        wait_for(lambda: p.windows_named("Vistrelle"), timeout=20, what="message")
        texts = self.a11y.texts(self.app)
        self.assertIn("开启摄像头时发生错误，请检查摄像头是否已被其他程序开启。", texts)
        boxes = p.windows_named("Vistrelle")
        self.assertEqual(len(boxes), 1)
        p.display.run(["xdotool", "windowactivate", "--sync", boxes[0]], check=False)
        p.display.run(["xdotool", "key", "--clearmodifiers", "Return"])
        wait_for(lambda: not p.windows_named("Vistrelle"), what="message closed")
        time.sleep(1)
        self.assertEqual(p.windows_named("Vistrelle"), [], "the message is shown once")
        self.assertTrue(self.is_dark(p, 2), "channel 2 is not started")


def decoded_frames(target):
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                          "stream=nb_read_frames", "-of", "default=nw=1:nk=1", target],
                         capture_output=True, text=True, timeout=60)
    return int(out.stdout.strip() or 0)


def stated_duration(target):
    value = ffprobe(target).get("format", {}).get("duration", "N/A")
    return None if value == "N/A" else float(value)


def gstreamer_seekable(target):
    out = subprocess.run(["gst-discoverer-1.0", target], capture_output=True, text=True, timeout=60).stdout
    return "Seekable: yes" in out


def digest(target):
    with open(target, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class CutRecordings(ChannelTest):
    def finished(self, target, frames):
        duration = stated_duration(target)
        return duration is not None and abs(duration - frames / 15.0) < 1.5 and gstreamer_seekable(target)

    def test_recordings_cut_by_kill_are_finished_at_the_next_start_and_only_once(self):
        p = self.start(["A", "B", "C", "D"])
        for n in (1, 2, 3, 4):
            wait_for(lambda: self.shows_moving_video(p, n), timeout=20, what="video %d" % n)
        self.click(p, "开始录像")
        self.button("停止录像")
        time.sleep(20)
        p.process.kill()
        p.process.wait()
        cut = {n: glob.glob(p.path("录像", "#%d" % n, "*.asf"))[0] for n in (1, 2, 3, 4)}
        for f in cut.values():
            # ffprobe estimates a length from the header's bit rate, so the
            # demuxer's seekability tells an unfinished header.
            self.assertFalse(gstreamer_seekable(f), "the kill left the header unfinished")
        # A copy cut by hand at an odd size, and one another process holds
        # locked as its writer would.
        truncated = p.path("录像", "#1", "truncated.asf")
        with open(cut[2], "rb") as f, open(truncated, "wb") as out:
            out.write(f.read()[: (os.path.getsize(cut[2]) * 3 // 4) | 1])
        held = p.path("录像", "#3", "held.asf")
        shutil.copy(cut[3], held)
        frames = {f: decoded_frames(f) for f in [*cut.values(), truncated, held]}
        held_digest = digest(held)
        lock = open(held, "rb")
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            p.start()
            p.main_window()
            for f in [*cut.values(), truncated]:
                wait_for(lambda: self.finished(f, frames[f]), timeout=30, step=0.5, what="%s finished" % f)
            for f in cut.values():
                self.assertEqual(decoded_frames(f), frames[f], f)
            # Up to the last whole packet: the frame the cut went through may go.
            self.assertLessEqual(frames[truncated] - decoded_frames(truncated), 15)
            self.assertEqual(digest(held), held_digest, "a locked file is left alone")
            p.stop()
        finally:
            lock.close()

        # Once finished, a file is never written again; the one the lock
        # kept back is finished now.
        finished = {f: digest(f) for f in [*cut.values(), truncated]}
        p.start()
        p.main_window()
        wait_for(lambda: self.finished(held, frames[held]), timeout=30, step=0.5, what="the released file finished")
        for f, d in finished.items():
            self.assertEqual(digest(f), d, f)


if __name__ == "__main__":
    unittest.main()
