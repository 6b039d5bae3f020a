"""The finished window as a user sees it, checked pixel by pixel, and the
pictures the program embeds, decoded by the platform."""
import re
import subprocess
import time
import unittest

from harness import E2ETestCase, Image, REPO, wait_until
import layout

MARGIN = (128, 128, 255)
WHITE, GREY = (255, 255, 255), (128, 128, 128)
GREEN, CYAN, BLACK = (0, 128, 0), (0, 255, 255), (0, 0, 0)
EXIT_FACE = (0, 192, 0)
WS_EX_TOPMOST = 0x8
WS_CAPTION_OR_FRAME = 0x00C00000 | 0x00040000


def near(actual, expected, tolerance=12):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class FinishedWindowTest(E2ETestCase):

    def start(self):
        app, win = layout.start_finished(self.session)
        time.sleep(0.5)  # let the last repaint land
        return app, win

    def probe(self, *args):
        return self.session.probe(*args)

    def assertPixels(self, picture, points):
        for (x, y), expected in points.items():
            with self.subTest(point=(x, y)):
                self.assertTrue(near(picture.pixel(x, y), expected),
                                f"({x},{y}) is {picture.pixel(x, y)}, expected {expected}")

    def test_size_place_styles_and_look(self):
        app, win = self.start()
        self.assertEqual((win.width, win.height), (layout.WIDTH, layout.HEIGHT))
        self.assertEqual((win.x, win.y), layout.POSITION)
        info = re.search(r"style (\w+) exstyle (\w+) rect (-?\d+) (-?\d+) (\d+) (\d+) "
                         r"client (\d+) (\d+) visible (\d) children (\d+) text (.*)",
                         self.probe("window"))
        self.assertIsNotNone(info, "the probe did not find the window")
        style, exstyle = int(info.group(1), 16), int(info.group(2), 16)
        self.assertTrue(exstyle & WS_EX_TOPMOST, f"exstyle {exstyle:#x}")
        self.assertFalse(style & WS_CAPTION_OR_FRAME, f"style {style:#x}")
        self.assertEqual(info.group(7, 8), info.group(5, 6), "the client area is the whole window")
        self.assertEqual(info.group(10), "0", "every control is windowless")
        # The taskbar, Alt+Tab and the installer's files-in-use list name it
        # by the title the panel shows.
        self.assertEqual(info.group(11).strip(), layout.TITLE)

        shot = self.session.grab(win, "finished-window")
        self.assertPixels(shot, {
            (0, 0): MARGIN, (2, 2): MARGIN, (3, 200): MARGIN, (732, 200): MARGIN,
            (200, 377): MARGIN,
            # The window's frame: light outer edge at top/left, dark at right/bottom,
            # the inner bevel reversed where the panels leave it visible.
            (1, 1): WHITE, (1, 200): WHITE, (733, 200): GREY, (200, 378): GREY,
            (729, 200): WHITE, (200, 374): WHITE,
            # The body panel's own frame.
            (5, 51): WHITE, (8, 54): GREY,
            # Title strip: the top of the gradient, dark edge then the bright band.
            (715, 5): (31, 26, 23), (715, 26): (181, 190, 222),
            # Body: near white band at the top, plain green below the gradient.
            (20, 70): WHITE, (20, 150): GREEN, (20, 360): GREEN,
            # A room button in its black panel, and the exit button's face.
            (70, 118): CYAN, (60, 118): BLACK, (12, 9): EXIT_FACE,
        })
        # The title text is drawn white over the strip; the exit cross too.
        title = shot.crop(80, 10, 540, 28)
        self.assertGreater(title.fraction(WHITE, tol=40), 0.05)
        app.kill()

    def test_an_upgrade_closing_programs_ends_it_at_once(self):
        # The Restart Manager's pair, as before an upgrade: agreed to, then the
        # program ends by itself, without the WM_CLOSE that would follow.
        app, _ = self.start()
        self.session.remove(layout.MEETING_FILE)
        out = self.probe("end-session")
        self.assertIn("query answered 1", out)
        app.wait_exit(timeout=10)
        self.assertEqual(app.returncode, 0)
        self.assertFalse(self.session.host_path(layout.MEETING_FILE).exists(), "nothing written")
        self.assertEqual(self.session.records(), [], "nothing started")

    def test_frames_survive_being_covered(self):
        app, win = self.start()
        cover = subprocess.Popen(
            ["/usr/bin/display", "-display", self.session.display, "-geometry",
             f"+{win.x - 20}+{win.y + 150}", "-size", "100x100", "xc:red"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: near(self.session.screenshot("covered").pixel(win.x + 1, win.y + 200),
                                    (255, 0, 0)), 15, "the cover to show")
        finally:
            cover.kill()
            cover.wait(timeout=10)
        time.sleep(0.8)
        shot = self.session.grab(win, "uncovered")
        self.assertPixels(shot, {(1, 200): WHITE, (3, 200): MARGIN, (5, 200): WHITE,
                                 (8, 200): GREY, (20, 200): GREEN, (60, 220): BLACK})
        app.kill()


    def test_hovering_the_exit_button_shows_its_tooltip(self):
        app, win = self.start()
        x, y = win.x + layout.EXIT_BUTTON[0], win.y + layout.EXIT_BUTTON[1]
        self.session.move(x - 10, y)
        self.session.move(x, y)
        tip = app.wait_window(timeout=10, exclude=(win.id,))
        # A small box with dark text ("Exit System") just below the button.
        self.assertLess(tip.width, 150, tip)
        self.assertLess(tip.height, 40, tip)
        self.assertLess(abs(tip.y - (y + 20)), 40, tip)
        picture = self.session.grab(tip, "exit-tooltip")
        self.assertGreater(picture.fraction(BLACK, tol=60), 0.03)
        self.assertTrue(app.running(), "hovering must not end the program")

        # The custom pointer, a hand whose fingertip is its hot spot: the
        # topmost opaque pixel of the hot spot's column is the hot spot.
        width, height, xhot, yhot, rows = self.session.cursor()
        self.assertEqual((width, height), (32, 32))
        column = [rows[row][xhot] >> 24 for row in range(height)]
        self.assertGreater(column[yhot], 0, "the hot spot is on the picture")
        self.assertEqual(next(row for row, alpha in enumerate(column) if alpha), yhot)
        self.assertLess(yhot, 4, "it points with the top of the picture")
        # Over the title text the pointer is the ordinary arrow again.
        self.session.move(win.x + layout.CAPTION[0], win.y + layout.CAPTION[1])
        time.sleep(0.3)
        self.assertNotEqual(self.session.cursor()[2:4], (xhot, yhot))
        app.kill()

    def test_picture_is_the_committed_screenshot(self):
        app, win = self.start()
        # Cropped as scripts/show.py crops the README's screenshot.
        shot = self.session.screenshot("readme-crop").crop(152, 124, 760, 420)
        readme = Image.load(REPO / "docs" / "screenshot.png")
        differ = sum(1 for a, b in zip(shot.pixels(), readme.pixels()) if a != b)
        self.assertEqual((shot.width, shot.height), (readme.width, readme.height))
        self.assertEqual(differ, 0, f"{differ} pixels differ from docs/screenshot.png")
        app.kill()


class PicturesTest(E2ETestCase):

    def test_every_picture_decodes_at_its_natural_size(self):
        text = self.session.probe("pictures")
        sizes = {}
        for line in text.splitlines():
            parts = line.split()
            if len(parts) == 5:
                sizes[parts[0]] = tuple(int(p) for p in parts[1:])
        self.assertNotIn("missing", text)
        # Pixels for icons and JPEGs; 1/1000 inch for metafiles.
        expected = {}
        for folder in ("main_window", "image_store"):
            for line in (REPO / folder / "assets" / "manifest.txt").read_text().splitlines():
                name, kind, w, h = line.split()[:4]
                unit = "in" if kind == "wmf" else "px"
                expected[name.rsplit(".", 1)[0]] = (unit, int(w), int(h))
        self.assertEqual(len(expected), 44)
        for name, (unit, w, h) in expected.items():
            with self.subTest(picture=name):
                hw, hh, pw, ph = sizes[name]
                if unit == "px":
                    self.assertEqual((pw, ph), (w, h))
                else:
                    # Himetric from the header: units of 1/1000 inch times 2.54.
                    self.assertLessEqual(abs(hw - w * 2.54), 1)
                    self.assertLessEqual(abs(hh - h * 2.54), 1)
        self.assertIn("store-windows 0 same-picture 1", text)


if __name__ == "__main__":
    unittest.main()
