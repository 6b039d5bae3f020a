"""High contrast: every caption readable against what is behind it, and the
window repainted when high contrast is switched on while it is open. Wine
cannot turn high contrast on, so high_contrast.exe builds the launcher's
window in its own process with the switch in its hand and the system colours
of the High Contrast Black theme (see the notes in harness.py)."""
import time
import unittest

from harness import BUILD, CONVERT, WIN64, E2ETestCase, Image, REPO, wait_until
import layout

HOST = WIN64 / "high_contrast.exe"
REFERENCE = REPO / "docs" / "screenshot-high-contrast.png"
SHOT = BUILD / "screenshot-high-contrast.png"


def luminance(rgb):
    """Relative luminance, as WCAG defines it for sRGB."""
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def text_contrast(picture):
    """Contrast between a caption's background (its most common colour) and
    its text (the colour furthest from it in luminance)."""
    background = picture.histogram(1)[0][0]
    lb = luminance(background)
    lt = max((luminance(p) for p in picture.pixels()), key=lambda l: abs(l - lb))
    return (max(lb, lt) + 0.05) / (min(lb, lt) + 0.05)


def caption_boxes():
    """Every caption on the finished window, in pixels from its corner; the
    buttons' without their edges."""
    boxes = {name: layout.pixels(t, 96) for name, t in layout.LABEL_TWIPS.items()}
    for room in range(6):
        x, y, w, h = layout.pixels(layout.room_twips(room), 96)
        boxes[f"room {room}"] = (x + 4, y + 4, w - 8, h - 8)
    return boxes


class HighContrastTest(E2ETestCase):
    needs = (HOST,)

    def start(self, *args):
        app = self.session.run(HOST, *args)
        win = app.wait_window(timeout=30)
        wait_until(lambda: self.session.window(win.id).height == layout.HEIGHT, 10,
                   "the finished window")
        time.sleep(0.5)
        return app, self.session.window(win.id)

    def assertReadable(self, window_picture):
        for name, (x, y, w, h) in caption_boxes().items():
            with self.subTest(caption=name):
                ratio = text_contrast(window_picture.crop(x, y, w, h))
                self.assertGreaterEqual(ratio, 4.5, f"{name}: {ratio:.2f}:1")

    def test_every_caption_reads_at_least_4_5_to_1(self):
        app, win = self.start("on", "20000")
        shot = self.session.screenshot("high-contrast")
        self.assertReadable(shot.crop(win.x, win.y, win.width, win.height))
        # The skin pictures gave way to the window colour.
        self.assertEqual(shot.pixel(win.x + 300, win.y + 60), (0, 0, 0))
        x, y, w, h = layout.README_CROP
        readme = shot.crop(x, y, w, h)
        # Kept for the README, as scripts/show.py keeps the ordinary one.
        self.session.x(CONVERT, shot.path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", SHOT)
        reference = Image.load(REFERENCE)
        differ = sum(1 for a, b in zip(readme.pixels(), reference.pixels()) if a != b)
        self.assertEqual(differ, 0, f"{differ} pixels differ from {REFERENCE.name}")
        app.kill()

    def test_switched_on_while_open_the_window_repaints(self):
        app, win = self.start("later", "2000", "20000")
        body = (win.x + 364, win.y + 200)  # on the body panel, between the columns
        self.assertEqual(self.session.screenshot("before").pixel(*body), (0, 128, 0))
        wait_until(lambda: self.session.screenshot("after").pixel(*body) == (0, 0, 0), 15,
                   "the window repainted in high contrast")
        shot = self.session.screenshot("switched")
        self.assertReadable(shot.crop(win.x, win.y, win.width, win.height))
        app.kill()


if __name__ == "__main__":
    unittest.main()
