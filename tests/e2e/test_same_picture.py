"""The start-up benchmark's yardstick paints the launcher's finished window
pixel for pixel: its screenshot, cropped as the README's picture was, matches
docs/screenshot.png exactly. The benchmark's ratios mean nothing otherwise."""
import time
import unittest

from harness import E2ETestCase, REPO, WIN64, Image

YARDSTICK = WIN64 / "same_picture.exe"
REFERENCE = REPO / "docs" / "screenshot.png"
CROP = (152, 124, 760, 420)  # x, y, width, height: the README picture's part of the screen
WINDOW = (165, 137, 734, 379)


def differing(a, b):
    """(x, y) of every pixel where two pictures of one size differ."""
    return [(i % a.width, i // a.width) for i, (p, q) in enumerate(zip(a.pixels(), b.pixels()))
            if p != q]


class SamePictureTest(E2ETestCase):
    needs = (YARDSTICK,)

    def test_paints_the_launchers_finished_window(self):
        app = self.session.run(YARDSTICK)
        win = app.wait_window(timeout=30)
        self.assertEqual((win.x, win.y, win.width, win.height), WINDOW)
        time.sleep(1.0)  # nothing repaints later, but let the one paint land for sure
        x, y, w, h = CROP
        shot = self.session.screenshot("same-picture").crop(x, y, w, h)
        reference = Image.load(REFERENCE)
        self.assertEqual((shot.width, shot.height), (reference.width, reference.height))
        wrong = differing(shot, reference)
        self.assertEqual(len(wrong), 0, f"{len(wrong)} pixels differ, first at "
                         f"{[(p, shot.pixel(*p), reference.pixel(*p)) for p in wrong[:5]]}; "
                         f"screenshot {shot.path}")
        self.assertTrue(app.running(), "the yardstick ended on its own")

    def test_a_click_closes_it(self):
        app = self.session.run(YARDSTICK)
        win = app.wait_window(timeout=30)
        self.session.click(*win.center)
        app.wait_exit(timeout=10)
        self.assertEqual(app.returncode, 0)


if __name__ == "__main__":
    unittest.main()
