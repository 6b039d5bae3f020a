"""Where things are on the finished window, in pixels from its top-left corner."""
from harness import wait_until

WIDTH, HEIGHT = 734, 379
DESIGN_HEIGHT = 424
POSITION = (165, 137)

# Room index -> centre of its button (column 825 or 5730 twips, rows 495, 1770, 3045).
_COLUMNS = (199, 526)
_ROWS = (118, 203, 288)
_GRID = {0: (0, 1), 1: (0, 2), 2: (0, 0), 3: (1, 0), 4: (1, 1), 5: (1, 2)}


def room_centre(index):
    column, row = _GRID[index]
    return _COLUMNS[column], _ROWS[row]


EXIT_BUTTON = (29, 24)
CAPTION = (150, 25)          # on the title text, left of the Chinese part
TITLE_STRIP_BARE = (700, 40)  # on the title strip, off every label and button

ROOMS = {0: ("public", "02-Room"), 1: ("ds", "03-Room"), 2: ("rd", "01-Room"),
         3: ("it", "04-Room"), 4: ("tr", "05-Room"), 5: ("of", "06-Room")}

MEETING_FILE = r"C:\MrvPrg\Tamsell\TamSell.jnj"
TITLE = "TALVO Internet Office TALVO網路會議室"  # what the title strip shows

# The part of the 1280 x 1024 screen the README's pictures show: x, y, width, height.
README_CROP = (152, 124, 760, 420)

# The same places in twips, for other DPIs: the window at design, and each
# button as (left, top, width, height) from the window's top-left corner.
WINDOW_TWIPS = (2475, 2055, 11010, 5685)
_PANEL = (60, 750)  # Pan01 after the layout pass
_ROOM_PANELS = {0: (825, 1770), 1: (825, 3045), 2: (825, 495), 3: (5730, 495),
                4: (5730, 1770), 5: (5730, 3045)}
EXIT_TWIPS = (60 + 75, 60 + 30, 615, 550)
# The labels, as (left, top, width, height) from the window's top-left corner.
LABEL_TWIPS = {"meCaption": (60 + 1170, 60 + 105, 8310, 435),
               "Sysinfo": (60 + 7620, 60 + 315, 2775, 300),
               "Label1": (_PANEL[0] + 5730, _PANEL[1] + 4320, 4245, 285)}


def room_twips(index):
    x, y = _ROOM_PANELS[index]
    return (_PANEL[0] + x + 45, _PANEL[1] + y + 30, 4110, 1005)


def pixels(twips, dpi):
    """Twips to the nearest pixel at a DPI, as the program converts them."""
    return tuple(int(t * dpi / 1440 + 0.5) for t in twips)


def start_finished(session):
    """Start the launcher; return it and its window once the layout pass has run
    (the window then has its final height)."""
    app = session.run()
    win = app.wait_window(timeout=30)
    wait_until(lambda: session.window(win.id).height == HEIGHT, 10, "the finished window")
    return app, session.window(win.id)
