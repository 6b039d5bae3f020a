"""The window on displays at 144 and 192 dpi (LogPixels, read by every program
at its start) and on a screen too small for its design position."""
import time
import unittest

from harness import BUILD, CONVERT, WIN64, E2ETestCase, Image, REPO, wait_until
import layout
from test_access import LaunchingTestCase, read_msaa

ROOM_OF = {1: 2, 2: 0, 3: 3, 4: 1, 5: 4, 6: 5}  # accessible child id -> room index
WHITE = (255, 255, 255)


def colours_on_row(picture, y, x0, x1):
    return {picture.pixel(x, y) for x in range(x0, x1)}


DPI_CHANGE = WIN64 / "dpi_change.exe"


class HighDpiTest(LaunchingTestCase):
    session_kwargs = {"screen": "1920x1080x24"}
    needs = LaunchingTestCase.needs + (DPI_CHANGE,)

    def start_at(self, dpi):
        self.session.set_dpi(dpi)
        app = self.session.run()
        win = app.wait_window(timeout=30)
        height = layout.pixels(layout.WINDOW_TWIPS, dpi)[3]
        wait_until(lambda: self.session.window(win.id).height == height, 10, "the finished window")
        win = self.session.window(win.id)
        # Painted: the cyan of the room 02 button shows.
        x, y, w, h = layout.pixels(layout.room_twips(0), dpi)
        wait_until(lambda: self.session.screenshot("painting").pixel(win.x + x + w // 2, win.y + y + 4)
                   == (0, 255, 255), 10, "the finished picture")
        return app, win

    def test_scaled_crisp_and_working_at_144_and_192_dpi(self):
        reference = Image.load(REPO / "docs" / "screenshot.png").crop(13, 13, 734, 379)
        for dpi in (144, 192):
            with self.subTest(dpi=dpi):
                self.session.clear_records()
                app, win = self.start_at(dpi)
                left, top, width, height = layout.pixels(layout.WINDOW_TWIPS, dpi)
                self.assertLessEqual(abs(win.width - width), 1)
                self.assertLessEqual(abs(win.height - height), 1)
                self.assertEqual((win.x, win.y), (left, top))

                # Every button where its twips say, as a screen reader finds it.
                _, children, _ = read_msaa(self.session)
                expected = [layout.EXIT_TWIPS] + [layout.room_twips(ROOM_OF[i]) for i in range(1, 7)]
                for child, twips in zip(children, expected):
                    x, y, w, h = layout.pixels(twips, dpi)
                    got = child["box"]
                    self.assertTrue(all(abs(a - b) <= 2 for a, b in
                                        zip(got, (win.x + x, win.y + y, w, h))), (child, dpi))

                picture = self.session.grab(win, f"dpi-{dpi}")
                self.session.x(CONVERT, picture.path, "-crop",
                               f"{win.width}x{win.height}+{win.x}+{win.y}", "+repage",
                               BUILD / f"screenshot-{dpi}dpi.png")
                factor = dpi / 96
                # Crisp: across the room 01 button's edges, no colour appears
                # that the same line at 96 dpi lacks (a stretched bitmap
                # would mix them).
                rx, ry, rw, rh = layout.pixels(layout.room_twips(2), dpi)
                sharp = colours_on_row(reference, 118, 58, 76)  # black panel, edge, face
                across = colours_on_row(picture, ry + rh // 2, rx - int(3 * factor),
                                        rx + int(12 * factor))
                self.assertLessEqual(across, sharp)
                # The title's text scaled with the display and not cut off.
                title = picture.crop(0, 0, int(620 * factor), int(46 * factor))
                text = title.bbox(WHITE, tol=30)
                ref_text = reference.crop(0, 0, 620, 46).bbox(WHITE, tol=30)
                self.assertIsNotNone(text)
                self.assertLess(abs(text[2] / ref_text[2] - factor), 0.06, (text, ref_text))

                # Dragging the title text moves the window by the pointer's offset.
                cx, cy = int(layout.CAPTION[0] * factor), int(layout.CAPTION[1] * factor)
                self.session.mouse_down(win.x + cx, win.y + cy)
                for dx, dy in ((40, 20), (80, 40), (120, 60)):
                    self.session.move(win.x + cx + dx, win.y + cy + dy)
                    time.sleep(0.15)
                self.session.mouse_up(win.x + cx + 120, win.y + cy + 60)
                time.sleep(0.3)
                moved = self.session.window(win.id)
                self.assertEqual((moved.x - win.x, moved.y - win.y), (120, 60))

                # And a room still launches.
                self.session.click(moved.x + rx + rw // 2, moved.y + ry + rh // 2)
                self.assertEqual(self.session.wait_records(1)[0]["general.UserID"], "rd")
                app.wait_exit(timeout=15)

    def test_re_realised_at_a_new_dpi_as_if_made_there(self):
        # Wine never sends WM_DPICHANGED; dpi_change.exe sends it to a window
        # of its own and compares the result with one made at that DPI.
        for dpi in (120, 144, 192):
            with self.subTest(dpi=dpi):
                out = self.session.wine(str(DPI_CHANGE), dpi).stdout
                self.assertIn("differ 0", out)


class SmallScreenTest(E2ETestCase):
    session_kwargs = {"screen": "800x600x24"}

    def test_whole_window_on_an_800_by_600_screen(self):
        app, win = layout.start_finished(self.session)
        self.assertGreaterEqual(win.x, 0)
        self.assertLessEqual(win.x + win.width, 800)
        self.assertLessEqual(win.y + win.height, 600)
        # It moved only as far as it had to: to the right edge, at the design height.
        self.assertEqual((win.x, win.y), (800 - layout.WIDTH, layout.POSITION[1]))
        app.kill()


if __name__ == "__main__":
    unittest.main()
