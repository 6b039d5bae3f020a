"""The PCs the launcher meets in an office: a second start while one shows,
and a screen that shrinks under the window."""
import subprocess
import time
import unittest

from harness import EXE, PROBE_EXE, E2ETestCase, wait_until
import layout

CYAN = (0, 255, 255)


class OneLauncherTest(E2ETestCase):

    def setUp(self):
        super().setUp()
        self.session.remove(r"C:\MrvPrg")
        self.session.clear_records()

    def launcher_windows(self):
        return [w for w in self.session.windows()
                if (w.width, w.height) == (layout.WIDTH, layout.HEIGHT)]

    def test_a_second_start_brings_the_first_into_view_and_ends(self):
        first, win = layout.start_finished(self.session)
        # Dragged partly off the right edge of the screen.
        x, y = win.x + layout.CAPTION[0], win.y + layout.CAPTION[1]
        self.session.drag(x, y, x + 500, y)
        moved = wait_until(lambda: (w := self.session.window(win.id)).x != win.x and w, 5,
                           "the drag")
        self.assertGreater(moved.x + moved.width, 1280)
        second = self.session.run()
        second.wait_exit(timeout=15)
        self.assertEqual(second.returncode, 0)
        self.assertTrue(first.running())
        self.assertEqual(len(self.launcher_windows()), 1, "one launcher window")
        back = wait_until(lambda: (w := self.session.window(win.id)).x + w.width <= 1280 and w,
                          5, "the first window wholly on the screen again")
        self.assertEqual((back.x + back.width, back.y), (1280, moved.y), "moved the least")
        first.kill()

    def test_another_programs_window_of_the_same_class_is_not_a_launcher(self):
        # Any program may register the class name; only this program's own
        # window, in this session, may make a start give way.
        impostor = self.session.run(PROBE_EXE, "impostor", "60")
        impostor.wait_window(timeout=30)
        launcher, _ = layout.start_finished(self.session)
        self.assertTrue(launcher.running())
        self.assertEqual(len(self.launcher_windows()), 1, "the launcher's own window shows")
        launcher.kill()
        impostor.kill()

    def test_a_start_while_the_other_ends_after_a_launch_opens(self):
        first, win = layout.start_finished(self.session)
        x, y = layout.room_centre(0)
        self.session.click(win.x + x, win.y + y)
        first.wait_no_window(timeout=5)  # hidden, waiting its 1.5 s
        second = self.session.run()
        second.wait_window(timeout=30)
        self.assertTrue(second.running())
        first.wait_exit(timeout=15)
        self.assertEqual(first.returncode, 0)
        self.assertTrue(second.running(), "the new launcher stays")
        second.kill()


class DisplayChangeTest(E2ETestCase):
    """Xvfb offers one resolution; a Wine virtual desktop can change its own
    (see the notes in harness.py), so the launcher runs in one here."""

    DESKTOP = "/desktop=talvo,1280x1024"

    def in_desktop(self, exe, *args):
        return subprocess.Popen(["wine", "explorer", self.DESKTOP, str(exe), *map(str, args)],
                                env=self.session.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def tearDown(self):
        # Whatever happened, the desktop ends with the session's processes.
        self.session.kill_user_processes()
        super().tearDown()

    def cyan(self, label):
        return self.session.screenshot(label).fraction(CYAN, 0)

    def test_a_screen_that_shrinks_keeps_the_window_wholly_on_it(self):
        self.in_desktop(EXE)
        wait_until(lambda: self.cyan("start") > 0.05, 30, "the launcher in the desktop")
        whole = self.session.screenshot("whole")
        buttons = whole.fraction(CYAN, 0) * whole.width * whole.height
        x, y = layout.POSITION[0] + layout.CAPTION[0], layout.POSITION[1] + layout.CAPTION[1]
        self.session.drag(x, y, x + 450, y + 560)  # towards the bottom right
        wait_until(lambda: self.session.screenshot("moved").bbox(CYAN, 0)[1] > 700, 5,
                   "the window at the bottom right")
        changed = self.in_desktop(PROBE_EXE, "screen", 800, 600)
        self.assertEqual(changed.wait(timeout=30), 0, "the resolution was changed")

        def wholly_on_the_small_screen():
            shot = self.session.screenshot("small").crop(0, 0, 800, 600)
            return shot.fraction(CYAN, 0) * 800 * 600 == buttons
        wait_until(wholly_on_the_small_screen, 10, "all six buttons on the 800 x 600 screen")


if __name__ == "__main__":
    unittest.main()
