"""The keyboard and screen readers: Tab order, Enter and Space on the focused
button, and the accessible objects read from another process (probe msaa)."""
import re
import time
import unittest

from harness import PROBE_EXE, E2ETestCase, wait_until
import layout

# Keyboard order: the exit button, then the rooms by TabIndex.
NAMES = ["Exit System", "01-研一部/研二部專用", "02-公用區", "04-資訊部專用", "03-營業部專用",
         "05-技研部專用", "06-海外廠會議專用"]
ROOM_OF = {1: 2, 2: 0, 3: 3, 4: 1, 5: 4, 6: 5}  # child id -> room index
ROLE_PUSHBUTTON, ROLE_CLIENT = 43, 10
STATE_FOCUSED, STATE_PRESSED, STATE_FOCUSABLE = 0x4, 0x8, 0x100000
EVENT_STATECHANGE = 0x800A


def read_msaa(session):
    text = session.probe("msaa").replace("\r", "")
    client = re.search(r"client role (\d+) children (\d+) name (.*)", text)
    children = [dict(id=int(m[0]), role=int(m[1]), state=int(m[2], 16),
                     box=tuple(int(v) for v in m[3:7]), action=m[7], name=m[8])
                for m in re.findall(r"child (\d+) role (\d+) state (\w+) at (-?\d+) (-?\d+) (\d+) "
                                    r"(\d+) action (\S+) name (.*)", text)]
    focus = int(re.search(r"focus (-?\d+)", text)[1])
    return client, children, focus


class LaunchingTestCase(E2ETestCase):
    """Each test starts with no working folder and no client records."""

    def setUp(self):
        super().setUp()
        self.session.remove(r"C:\MrvPrg")
        self.session.clear_records()


class KeyboardTest(LaunchingTestCase):

    def start_and_activate(self):
        app, win = layout.start_finished(self.session)
        # The window shows without taking the activation; a click on the body
        # (no control there) gives it the keyboard.
        self.session.click(win.x + 20, win.y + 360)
        time.sleep(0.3)
        return app, win

    def test_tab_walks_the_buttons_in_order_and_enter_launches_the_focused_room(self):
        app, win = self.start_and_activate()
        self.assertEqual(read_msaa(self.session)[2], 0, "no button has the focus yet")
        walked = []
        for _ in range(8):
            self.session.key("Tab")
            walked.append(read_msaa(self.session)[2])
        self.assertEqual(walked, [1, 2, 3, 4, 5, 6, 7, 1], "wraps after 06")
        self.session.key("shift+Tab")
        self.assertEqual(read_msaa(self.session)[2], 7)
        for _ in range(2):
            self.session.key("shift+Tab")
        focus = read_msaa(self.session)[2]
        self.assertEqual(focus, 5)  # 03
        self.session.key("Return")
        record = self.session.wait_records(1)[0]
        self.assertEqual(record["general.UserID"], "ds")
        app.wait_exit(timeout=15)

    def test_space_clicks_the_focused_button(self):
        app, win = self.start_and_activate()
        self.session.key("Tab", "Tab")  # 01
        self.session.key("space")
        self.assertEqual(self.session.wait_records(1)[0]["general.UserID"], "rd")
        app.wait_exit(timeout=15)


def focus_mark_pixels(window_picture, room):
    """Pixels of a room button's focus mark (a dotted line 4 px inside its
    top edge, across the face where the caption leaves it cyan)."""
    x, y, w, h = layout.pixels(layout.room_twips(room), 96)
    line = window_picture.crop(x + 8, y + 4, w - 16, 1)
    return sum(1 for p in line.pixels() if p != (0, 255, 255))


class FocusMarkTest(LaunchingTestCase):

    def test_no_focus_mark_after_a_mouse_press_until_the_keyboard_is_used(self):
        app, win = layout.start_finished(self.session)
        x, y = layout.room_centre(2)
        # Pressed (the button takes the focus), moved off and released: no click.
        self.session.drag(win.x + x, win.y + y, win.x + x, win.y + y + 60)
        time.sleep(0.5)
        self.assertEqual(read_msaa(self.session)[2], 2, "01 has the focus")
        self.assertEqual(focus_mark_pixels(self.session.grab(win, "pressed"), 2), 0)
        self.session.key("Tab")  # on to 02
        time.sleep(0.5)
        shot = self.session.grab(win, "tabbed")
        self.assertGreater(focus_mark_pixels(shot, 0), 20, "Tab shows the focus mark")
        self.assertEqual(focus_mark_pixels(shot, 2), 0)
        self.assertTrue(app.running())
        app.kill()


class ScreenReaderTest(LaunchingTestCase):

    def test_seven_named_push_buttons_where_they_are_drawn(self):
        app, win = layout.start_finished(self.session)
        client, children, focus = read_msaa(self.session)
        self.assertEqual((int(client[1]), int(client[2])), (ROLE_CLIENT, 7))
        # Named by the title the window shows, as the window itself is.
        self.assertEqual(client[3], layout.TITLE)
        self.assertEqual(win.name, layout.TITLE)
        self.assertEqual([c["name"] for c in children], NAMES)
        centres = [layout.EXIT_BUTTON] + [layout.room_centre(ROOM_OF[i]) for i in range(1, 7)]
        for child, (cx, cy) in zip(children, centres):
            with self.subTest(child=child["name"]):
                self.assertEqual(child["role"], ROLE_PUSHBUTTON)
                self.assertEqual(child["action"], "Press")
                self.assertEqual(child["state"] & STATE_FOCUSABLE, STATE_FOCUSABLE)
                x, y, w, h = child["box"]
                # On the screen, around the button's centre.
                self.assertTrue(x < win.x + cx < x + w and y < win.y + cy < y + h, child)
        self.assertEqual(children[0]["box"][2:], (41, 37))
        self.assertEqual(focus, -1, "the window is shown without taking the focus")

        self.session.click(win.x + 20, win.y + 360)
        time.sleep(0.3)
        self.session.key("Tab", "Tab", "Tab")
        _, children, focus = read_msaa(self.session)
        self.assertEqual(focus, 3)
        self.assertEqual([bool(c["state"] & STATE_FOCUSED) for c in children],
                         [False, False, True, False, False, False, False])
        app.kill()

    def test_a_reader_moves_the_focus(self):
        app, win = layout.start_finished(self.session)
        self.assertEqual(read_msaa(self.session)[2], -1, "shown without the focus")
        self.assertIn("select 4 ok", self.session.probe("select", "4"))  # 04
        time.sleep(0.3)
        _, children, focus = read_msaa(self.session)
        self.assertEqual(focus, 4)
        self.assertTrue(children[3]["state"] & STATE_FOCUSED)
        # And it is the keyboard's focus: Enter clicks 04.
        self.session.key("Return")
        self.assertEqual(self.session.wait_records(1)[0]["general.UserID"], "it")
        app.wait_exit(timeout=15)

    def test_a_button_pressed_and_let_go_tells_readers_each_time(self):
        app, win = layout.start_finished(self.session)
        events = self.session.host_path(r"C:\probe-events.txt")
        events.unlink(missing_ok=True)
        self.addCleanup(events.unlink, missing_ok=True)
        watch = self.session.run(PROBE_EXE, "watch", r"C:\probe-events.txt", "8")
        wait_until(lambda: events.exists() and events.read_text().startswith("watching"), 20,
                   "the probe's event watch")
        x, y = layout.room_centre(2)  # 01, child 2
        self.session.mouse_down(win.x + x, win.y + y)
        time.sleep(0.5)
        # Moved off before the release: the button lets go without a click.
        self.session.move(win.x + x, win.y + y + 60)
        time.sleep(0.5)
        self.session.mouse_up(win.x + x, win.y + y + 60)
        watch.wait_exit(timeout=30)
        changes = [(int(child), int(state, 16) & STATE_PRESSED)
                   for event, child, state in re.findall(r"event (\w+) child (-?\d+) state (\w+)",
                                                         events.read_text())
                   if int(event, 16) == EVENT_STATECHANGE]
        # Each event comes once the state it tells of can be read.
        self.assertEqual(changes, [(2, STATE_PRESSED), (2, 0)])
        self.assertTrue(app.running(), "no click")
        app.kill()

    def test_default_action_presses_the_button(self):
        app, win = layout.start_finished(self.session)
        self.assertIn("press 4 ok", self.session.probe("press", "4"))  # 04
        self.assertEqual(self.session.wait_records(1)[0]["general.UserID"], "it")
        app.wait_exit(timeout=15)


if __name__ == "__main__":
    unittest.main()
