"""The room launch and the exit button on the real program under Wine."""
import contextlib
import os
import time
import unittest

import harness
from harness import E2ETestCase, wait_until
import layout

HOLDER_EXE = harness.EXE.parent / "file_holder.exe"
HOLDER_READY = r"C:\holder-ready.txt"
# Another file of the user's, and another folder, that a planted link leads to.
OTHER_FILE = r"C:\users\Public\Documents\notes.txt"
OTHER_FOLDER = r"C:\users\Public\Documents\elsewhere"
# Where a test puts the prefix's command interpreter while it is "missing".
MOVED_CMD = "cmd.exe.moved-by-e2e"
# "Prevent access to the command prompt", on and off.
POLICY = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Windows\\System]\n"
CMD_DISABLED = POLICY + '"DisableCMD"=dword:00000001\n'
CMD_ALLOWED = POLICY + '"DisableCMD"=-\n'
OVERRIDES = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n"

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
    needs = E2ETestCase.needs + (HOLDER_EXE,)

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # What a run killed in the middle of a test may have left.
        system32 = cls.session.host_path(r"C:\windows\system32")
        if (system32 / MOVED_CMD).exists():
            (system32 / MOVED_CMD).replace(system32 / "cmd.exe")
        cls.session.import_reg(CMD_ALLOWED)
        cls.session.import_reg(OVERRIDES + '"cmd.exe"=-\n')

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
        if not app.running():  # it waits before it ends
            self.fail(f"ended ({app.returncode}) instead of hiding\n{self.session.describe()}")
        # The launcher's end is timed first: the client it hands over to is
        # started by other programs, at their own pace.
        ended = app.wait_exit(timeout=15)
        record = self.session.wait_records(1)[0]
        self.assertEqual(self.session.read_bytes(layout.MEETING_FILE), expected_file(0))
        self.assertEqual(record["arg"], layout.MEETING_FILE)
        self.assertEqual(record["general.UserID"], "public")
        self.assertEqual(record["general.UserName"], "02-Room")
        self.assertEqual(record["general.size_w"], "176")
        self.assertNotEqual(record["parent"], "talvo-office.exe", "started through the interpreter")
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
        """Returns the box's text."""
        box = app.wait_window(timeout=10, name="^TALVO Internet Office$", min_size=50)
        self.session.grab(box, "message")
        self.assertGreater(box.width, 100, box)
        text = self.session.probe("message").replace("\r", "")
        self.assertTrue(app.running())
        closed = time.monotonic()
        self.session.key("Return")  # the box has the focus
        ended = app.wait_exit(timeout=15)
        self.assertGreater(ended - closed, 1.4)
        self.assertLess(ended - closed, 6.0)
        self.assertEqual(self.session.records(), [], "the client must not be started")
        return text

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

    # ---- a meeting file held open by another program -------------------
    def _hold(self, sharing, undo):
        """Keep the meeting file open for reading and writing in another
        program, sharing read and write ("rw") or nothing ("none")."""
        ready = self.session.host_path(HOLDER_READY)
        undo(self.session.remove, HOLDER_READY)
        self.session.run(HOLDER_EXE, "hold", layout.MEETING_FILE, sharing, HOLDER_READY)
        self.assertEqual(wait_until(lambda: ready.exists() and ready.read_text(), 15, "the holder"),
                         "held")

    def test_meeting_file_held_by_another_program(self):
        # Longer than any room's file, so a write in place must also cut it.
        stale = b"[general]\r\nUserID = somebody-else\r\n" + b"x" * 3000 + b"\r\n"
        path = self.session.host_path(layout.MEETING_FILE)
        for sharing in ("rw", "none"):
            with self.subTest(sharing=sharing), contextlib.ExitStack() as undo:
                undo.callback(self.session.kill_user_processes)
                self.session.clear_records()
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(stale)
                self._hold(sharing, undo.callback)
                app, win = self.start()
                clicked = self.click_room(win, 4)
                if sharing == "rw":
                    hidden = app.wait_no_window(timeout=10)
                    record = self.session.wait_records(1)[0]
                    app.wait_exit(timeout=15)
                    self.assertEqual(app.returncode, 0)
                    # Read by the client while the other program still held the file.
                    self.assertEqual(record["content_hex"], expected_file(4).hex())
                    self.assertEqual(path.read_bytes(), expected_file(4))
                    # The rename is tried for about 0.5 s before the write in place.
                    self.assertLess(hidden - clicked, 3.0)
                else:
                    self._expect_message_then_end(app, win)
                    self.assertEqual(path.read_bytes(), stale)
                self.assertEqual([p.name for p in path.parent.iterdir()], ["TamSell.jnj"],
                                 "no temporary file is left")

    # ---- links another account of the PC may plant ------------------------
    # Under Wine a hard link stands in for a meeting file name that leads to
    # another file (a symbolic link to a file looks like a plain one there),
    # and a Unix symbolic link to a folder for a junction.
    def test_meeting_file_that_is_another_files_second_name(self):
        theirs = b"the user's own notes\r\n"
        path = self.session.host_path(layout.MEETING_FILE)
        other = self.session.host_path(OTHER_FILE)
        self.addCleanup(self.session.remove, OTHER_FILE)
        for held in (False, True):
            with self.subTest(held=held), contextlib.ExitStack() as undo:
                undo.callback(self.session.kill_user_processes)
                self.session.clear_records()
                self.session.remove(r"C:\MrvPrg")
                path.parent.mkdir(parents=True)
                other.parent.mkdir(parents=True, exist_ok=True)
                other.write_bytes(theirs)
                os.link(other, path)
                if held:
                    self._hold("rw", undo.callback)
                app, win = self.start()
                self.click_room(win, 1)
                if held:
                    # Not replaced (held) and not rewritten in place (a second name).
                    self._expect_message_then_end(app, win)
                else:
                    # The name is replaced; the file it led to is left alone.
                    self.assertEqual(self.session.wait_records(1)[0]["general.UserID"], "ds")
                    app.wait_exit(timeout=15)
                    self.assertEqual(path.read_bytes(), expected_file(1))
                self.assertEqual(other.read_bytes(), theirs)
                self.assertEqual([p.name for p in path.parent.iterdir()], ["TamSell.jnj"],
                                 "no temporary file is left")

    def test_meeting_folder_or_its_parent_a_link_takes_nothing(self):
        elsewhere = self.session.host_path(OTHER_FOLDER)
        self.addCleanup(self.session.remove, OTHER_FOLDER)
        # The parent linked both to a folder with a Tamsell of its own and to
        # an empty one, where start-up would make one.
        for link, inside in ((r"C:\MrvPrg\Tamsell", []), (r"C:\MrvPrg", ["Tamsell"]),
                             (r"C:\MrvPrg", [])):
            with self.subTest(link=link, inside=inside):
                self.session.clear_records()
                self.session.remove(r"C:\MrvPrg")
                self.session.remove(OTHER_FOLDER)
                elsewhere.mkdir(parents=True)
                for name in inside:
                    (elsewhere / name).mkdir()
                planted = self.session.host_path(link)
                planted.parent.mkdir(parents=True, exist_ok=True)
                planted.symlink_to(elsewhere, target_is_directory=True)
                app, win = self.start()
                self.click_room(win, 0)
                self._expect_message_then_end(app, win)
                self.assertEqual(sorted(p.relative_to(elsewhere).as_posix()
                                        for p in elsewhere.rglob("*")), inside,
                                 "nothing written where the link leads")

    # ---- locked-down PCs ----------------------------------------------
    # Each takes where to register its undoing: it runs whatever happens.
    def _without_interpreter(self, undo):
        system32 = self.session.host_path(r"C:\windows\system32")
        undo(lambda: (system32 / MOVED_CMD).exists()
             and (system32 / MOVED_CMD).replace(system32 / "cmd.exe"))
        (system32 / "cmd.exe").replace(system32 / MOVED_CMD)

    def _without_association(self, undo):
        undo(self.session.import_reg, harness.REGISTRY)
        self.session.wine("reg", "delete", r"HKCR\.jnj", "/f")

    def _with_recording_interpreter(self, undo):
        """The interpreter replaced by the stand-in client, which leaves a
        record-<n>.txt beside itself in system32 if anything starts it."""
        system32 = self.session.host_path(r"C:\windows\system32")
        clear = lambda: [record.unlink() for record in system32.glob("record-*.txt")]
        clear()  # what a run killed in the middle of this test left
        self._without_interpreter(undo)
        undo(clear)
        self.session.put_file(harness.CLIENT_EXE, r"C:\windows\system32\cmd.exe")
        # Wine runs its own cmd for any system32\cmd.exe unless told otherwise.
        undo(self.session.import_reg, OVERRIDES + '"cmd.exe"=-\n')
        self.session.import_reg(OVERRIDES + '"cmd.exe"="native"\n')
        return lambda: sorted(record.name for record in system32.glob("record-*.txt"))

    def _with_command_prompt_disabled(self, undo):
        undo(self.session.import_reg, CMD_ALLOWED)
        self.session.import_reg(CMD_DISABLED)

    def test_interpreter_unavailable_the_handler_opens_the_file(self):
        # Wine's cmd ignores the policy: only the launcher's own check can
        # send this launch to the handler.
        for what, arrange in (("cmd.exe missing", self._without_interpreter),
                              ("command prompt disabled", self._with_command_prompt_disabled)):
            with self.subTest(what), contextlib.ExitStack() as undo:
                undo.callback(self.session.kill_user_processes)
                self.session.clear_records()
                self.session.remove(r"C:\MrvPrg")
                arrange(undo.callback)
                app, win = self.start()
                self.click_room(win, 5)
                record = self.session.wait_records(1)[0]
                app.wait_exit(timeout=15)
                self.assertEqual(record["general.UserID"], "of")
                self.assertEqual(record["arg"], layout.MEETING_FILE)
                self.assertEqual(record["parent"], "talvo-office.exe",
                                 "opened by the launcher itself, not through the interpreter")
                self.assertEqual(app.returncode, 0)
                self.assertEqual(len(self.session.records()), 1)

    def test_no_program_for_the_type_says_so_and_starts_nothing(self):
        # With the interpreter there, Wine's `start` would fail silently and
        # Windows ask which program to use, while the launcher ended. Wine's
        # AssocQueryString reads neither HKCU\Software\Classes nor the user's
        # "Open with" choice (UserChoice): only a machine registration is
        # tried here.
        interpreter_records = self._with_recording_interpreter(self.addCleanup)
        self._without_association(self.addCleanup)
        app, win = self.start()
        self.click_room(win, 0)
        text = self._expect_message_then_end(app, win)
        self.assertIn("(TamSell.jnj) .jnj", text)
        self.assertIn(EXPECTED_LINES[0].rsplit(" ", 1)[1], text, "where to download the client")
        self.assertEqual(interpreter_records(), [], "the interpreter must not be started")
        self.assertEqual(app.returncode, 0)
        self.assertEqual(self.session.read_bytes(layout.MEETING_FILE), expected_file(0))

    def test_neither_interpreter_nor_handler_says_so_and_ends(self):
        self._without_interpreter(self.addCleanup)
        self._without_association(self.addCleanup)
        app, win = self.start()
        self.click_room(win, 0)
        self._expect_message_then_end(app, win)
        self.assertEqual(app.returncode, 0)
        # The file was written (else the not-found message); only opening it failed.
        self.assertEqual(self.session.read_bytes(layout.MEETING_FILE), expected_file(0))


if __name__ == "__main__":
    unittest.main()
