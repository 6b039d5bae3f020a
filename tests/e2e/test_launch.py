"""The room launch and the exit button on the real program under Wine."""
import time
import unittest

from harness import E2ETestCase
import layout

EXPECTED_LINES = [
    "# if you see this file, please download JoinNet from https://www.talvo.example/joinnet/",
    "[general]", "domain = HomeMeeting", "ip = meet.talvo.example", "portm = 443",
    "portm2 = 2333", "size_w=176", "size_h=144", "gui_rec_ver = 3.3", "gui_min_ver = 3.0",
    "backupip = 192.0.2.10", "codetype = 4",
]


def expected_file(room):
    user_id, user_name = layout.ROOMS[room]
    lines = EXPECTED_LINES + [f"UserID = {user_id}", f"UserName = {user_name}"]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


class LaunchTest(E2ETestCase):

    def setUp(self):
        super().setUp()
        self.session.remove(r"C:\MrvPrg")
        self.session.clear_records()

    def start(self):
        return layout.start_finished(self.session)

    def click_room(self, win, room):
        x, y = layout.room_centre(room)
        clicked = time.monotonic()
        self.session.click(win.x + x, win.y + y)
        return clicked

    def test_room_click_writes_starts_hides_and_ends(self):
        app, win = self.start()
        clicked = self.click_room(win, 0)
        hidden = app.wait_no_window(timeout=5)
        record = self.session.wait_records(1)[0]
        ended = app.wait_exit(timeout=15)
        self.assertEqual(self.session.read_bytes(layout.MEETING_FILE), expected_file(0))
        self.assertEqual(record["arg"], layout.MEETING_FILE)
        self.assertEqual(record["general.UserID"], "public")
        self.assertEqual(record["general.UserName"], "02-Room")
        self.assertEqual(record["general.size_w"], "176")
        self.assertLess(hidden - clicked, 1.0, "the window should hide at once")
        # 15 waits of 100 ms after the click; generous for a loaded machine.
        self.assertGreater(ended - clicked, 1.4)
        self.assertLess(ended - clicked, 6.0)
        self.assertEqual(app.returncode, 0)
        # What stays behind after the end.
        self.assertTrue(self.session.host_path(r"C:\MrvPrg\Tamsell").is_dir())
        self.assertEqual(len(self.session.records()), 1, "the client was started once")

    def test_every_room_hands_over_its_own_user(self):
        for room in (1, 2, 3, 4, 5):
            with self.subTest(room=room):
                self.session.clear_records()
                app, win = self.start()
                self.click_room(win, room)
                record = self.session.wait_records(1)[0]
                app.wait_exit(timeout=15)
                user_id, user_name = layout.ROOMS[room]
                self.assertEqual(record["general.UserID"], user_id)
                self.assertEqual(record["general.UserName"], user_name)
                self.assertEqual(self.session.read_bytes(layout.MEETING_FILE),
                                 expected_file(room))

    def test_exit_button_ends_at_once_and_writes_nothing(self):
        app, win = self.start()
        self.assertTrue(self.session.host_path(r"C:\MrvPrg\Tamsell").is_dir(),
                        "start-up makes both folder levels")
        clicked = time.monotonic()
        self.session.click(win.x + layout.EXIT_BUTTON[0], win.y + layout.EXIT_BUTTON[1])
        ended = app.wait_exit(timeout=10)
        self.assertLess(ended - clicked, 1.2)
        self.assertFalse(self.session.host_path(layout.MEETING_FILE).exists())
        self.assertEqual(self.session.records(), [])

    def test_press_on_a_room_released_elsewhere_launches_nothing(self):
        app, win = self.start()
        x, y = layout.room_centre(2)
        # Pressed, moved off the button (it holds the pointer), released.
        self.session.drag(win.x + x, win.y + y, win.x + x, win.y + y + 60)
        time.sleep(1.0)
        self.assertTrue(app.running())
        self.assertFalse(self.session.host_path(layout.MEETING_FILE).exists())
        # The same button still launches when pressed and released on it.
        self.click_room(win, 2)
        self.assertEqual(self.session.wait_records(1)[0]["general.UserID"], "rd")
        app.wait_exit(timeout=15)

    def test_longer_earlier_file_is_replaced_not_appended(self):
        old = self.session.host_path(layout.MEETING_FILE)
        old.parent.mkdir(parents=True, exist_ok=True)
        old.write_bytes(b"[general]\r\n" + b"x" * 5000 + b"\r\n")
        app, win = self.start()
        self.click_room(win, 2)
        self.session.wait_records(1)
        app.wait_exit(timeout=15)
        self.assertEqual(old.read_bytes(), expected_file(2))
        leftovers = [p.name for p in old.parent.iterdir() if p.name != "TamSell.jnj"]
        self.assertEqual(leftovers, [], "no temporary file is left beside the meeting file")

    def _expect_message_then_end(self, app, win):
        box = app.wait_window(timeout=10, name="^TALVO Internet Office$", min_size=50)
        shot = self.session.grab(box, "not-found-message")
        self.assertGreater(box.width, 100, box)
        self.assertTrue(app.running())
        closed = time.monotonic()
        self.session.x("xdotool", "key", "Return")  # the box has the focus
        ended = app.wait_exit(timeout=15)
        self.assertGreater(ended - closed, 1.4)
        self.assertLess(ended - closed, 6.0)
        self.assertEqual(self.session.records(), [], "the client must not be started")
        return shot

    def test_blocked_working_folder_shows_the_message_and_starts_nothing(self):
        blocker = self.session.host_path(r"C:\MrvPrg")
        blocker.write_bytes(b"not a folder")
        app, win = self.start()
        self.click_room(win, 0)
        self._expect_message_then_end(app, win)
        self.assertTrue(blocker.is_file())

    def test_stale_file_that_cannot_be_replaced_is_not_started(self):
        stale = self.session.host_path(layout.MEETING_FILE)
        stale.parent.mkdir(parents=True, exist_ok=True)
        stale.write_bytes(b"[general]\r\nUserID = somebody-else\r\n")
        self.session.set_immutable(layout.MEETING_FILE)
        try:
            app, win = self.start()
            self.click_room(win, 3)
            self._expect_message_then_end(app, win)
            self.assertEqual(stale.read_bytes(), b"[general]\r\nUserID = somebody-else\r\n")
        finally:
            self.session.set_immutable(layout.MEETING_FILE, on=False)


if __name__ == "__main__":
    unittest.main()
