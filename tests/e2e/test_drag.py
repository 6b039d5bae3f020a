"""Moving the window by its title text with real X input."""
import time
import unittest

from harness import E2ETestCase
import layout


class DragTest(E2ETestCase):

    def start(self):
        return layout.start_finished(self.session)

    def drag(self, win, start, offsets, button=1):
        x, y = win.x + start[0], win.y + start[1]
        self.session.mouse_down(x, y, button)
        for dx, dy in offsets:
            self.session.move(x + dx, y + dy)
            time.sleep(0.15)
        self.session.mouse_up(x + offsets[-1][0], y + offsets[-1][1], button)
        time.sleep(0.3)
        return self.session.window(win.id)

    def test_dragging_the_title_text_moves_the_window_with_it(self):
        for button in (1, 3):
            with self.subTest(button=button):
                app, win = self.start()
                moved = self.drag(win, layout.CAPTION, [(40, 20), (80, 40), (120, 60)], button)
                self.assertEqual((moved.x - win.x, moved.y - win.y), (120, 60))
                # After the release, plain movement does nothing.
                self.session.move(moved.x + layout.CAPTION[0] + 50, moved.y + 60)
                time.sleep(0.3)
                after = self.session.window(win.id)
                self.assertEqual((after.x, after.y), (moved.x, moved.y))
                app.kill()

    def test_press_off_the_title_text_moves_nothing(self):
        app, win = self.start()
        for where in (layout.TITLE_STRIP_BARE, (20, 360)):
            with self.subTest(where=where):
                moved = self.drag(win, where, [(60, 30), (120, 60)])
                self.assertEqual((moved.x, moved.y), (win.x, win.y))
        self.assertTrue(app.running())

    def test_upward_past_the_screen_top_keeps_the_top(self):
        app, win = self.start()
        # 137 px below the top: 200 px up would put the top above the screen.
        moved = self.drag(win, layout.CAPTION, [(-30, -200)])
        self.assertEqual(moved.y, win.y, "the top does not move when it would pass 0")
        self.assertEqual(moved.x, win.x - 30, "the horizontal part still applies")


if __name__ == "__main__":
    unittest.main()
