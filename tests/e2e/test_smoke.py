"""Smoke test: the launcher starts under Wine, shows its borderless window, dies cleanly."""
import time
import unittest

import layout
from harness import E2ETestCase, looks_framed, wait_until


class MainWindowTest(E2ETestCase):

    def test_window_shape_place_and_paint(self):
        app, win = layout.start_finished(self.session)
        self.assertEqual(win.size, (layout.WIDTH, layout.HEIGHT), win)
        self.assertEqual((win.x, win.y), layout.POSITION, win)
        self.assertTrue(win.override_redirect, "window is managed like a framed one")

        pic = self.session.grab(win, "main-window")
        self.assertTrue(pic.path.is_file(), "screenshot was not kept")
        self.assertFalse(looks_framed(pic), "Wine painted a caption/frame around the window")
        # An unpainted window shows Xvfb's black root through it.
        top_color, count = pic.histogram(1)[0]
        self.assertLess(count / (pic.width * pic.height), 0.99,
                        f"window is a single flat colour {top_color}")
        self.assertTrue(app.running(), "launcher exited on its own while idle")

    def test_only_one_visible_top_level_window(self):
        app = self.session.run()
        app.wait_window(timeout=30)
        time.sleep(1.0)
        wins = app.windows()
        self.assertEqual(len(wins), 1, wins)

    def test_kill_leaves_nothing_behind(self):
        app = self.session.run()
        win = app.wait_window(timeout=30)
        app.kill()
        self.assertFalse(app.running())

        def window_gone():
            w = self.session.window(win.id)
            return w is None or not w.viewable
        wait_until(window_gone, 10, "the killed launcher's window to disappear")
        self.session.kill_user_processes()
        self.assertEqual(self.session.wine_processes(user_only=True), [])


if __name__ == "__main__":
    unittest.main()
