"""Start-up of the launcher under Wine, side by side with two yardsticks.

Programs, all showing a 734 x 379 borderless window at (165, 137):
  launcher      build/win64/talvo-office.exe, or each --exe given (several
                compare builds in one run);
  same picture  build/win64/same_picture.exe: the launcher's finished window,
                pixel for pixel, painted by one WM_PAINT of plain GDI;
  bare window   build/win64/bare_window.exe: a grey window, nothing else.

Each round starts every program once, in a shuffled order, and measures:
  time  from just before the process is started to the finished picture on
        screen: every sample point shows its finished colour (the launcher's
        and the yardstick's from docs/screenshot.png, the bare window's grey);
        the screen is read with XGetImage through libX11, polled every ms;
  peak  the process's VmHWM at that moment (the pid of `wine prog.exe` is the
        Windows process itself).
The program is then killed and the screen left empty before the next start.
Reported per program: medians and interquartile ranges; per launcher: the
medians of the per-round ratios to the yardstick and to the bare window.

    /usr/bin/python3 tools/bench_startup.py [--rounds 30] [--exe PATH ...] [--seed S] [--raw]
"""
import argparse
import ctypes
import random
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import EXE, REPO, WIN64, E2EError, Image, Session, wait_until  # noqa: E402

SAME_PICTURE = WIN64 / "same_picture.exe"
BARE = WIN64 / "bare_window.exe"
REFERENCE = REPO / "docs" / "screenshot.png"
REFERENCE_ORIGIN = (152, 124)  # the screen position of the reference's top-left pixel
WINDOW = (165, 137, 734, 379)
BARE_GREY = (128, 128, 128)
EMPTY = (0, 0, 0)  # the root window of Xvfb

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
CYAN, EXIT_FACE = (0, 255, 255), (0, 192, 0)
ROOMS = ((59, 83), (59, 168), (59, 253), (386, 83), (386, 168), (386, 253))

# Where to sample, in window pixels: a point, or the first pixel of a colour
# in a box (for text, whose pixels move with the fonts). Something painted
# late in every part of the window: both skins, the frames of the window and
# the body, the exit button, every label and every room button's face and
# Chinese caption.
SAMPLES = [
    (715, 5), (715, 26), (300, 44),                      # title strip skin
    ((480, 11, 632, 40), WHITE),                         # the title's Chinese part
    ((650, 25, 697, 45), WHITE),                         # Ver:1.01
    (12, 9), ((20, 15, 40, 35), WHITE),                  # exit button face and cross
    (729, 200), (733, 200), (200, 378), (200, 374),      # the window's frame
    (5, 51), (8, 54), (20, 70), (20, 100),               # the body's frame and skin
    ((560, 338, 669, 357), WHITE),                       # Designed by TALVO SF
] + [(x + 10, y + 10) for x, y in ROOMS] + [
    ((x + 150, y + 20, x + 250, y + 50), BLACK) for x, y in ROOMS]  # faces, captions


class Screen:
    """Pixels of the X screen read in-process (no process per poll)."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XGetImage.restype = ctypes.c_void_p
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XGetPixel.restype = ctypes.c_ulong
        self.x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x11.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise E2EError(f"cannot open display {display}")
        self.root = self.x11.XDefaultRootWindow(self.dpy)

    def pixel(self, x, y):
        image = self.x11.XGetImage(self.dpy, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            raise E2EError(f"XGetImage failed at ({x}, {y})")
        value = self.x11.XGetPixel(image, 0, 0)
        self.x11.XDestroyImage(image)
        # Xvfb's 24-bit TrueColor visual: 0xRRGGBB.
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)

    def shows(self, points):
        """True if every (x, y, colour) is on screen; stops at the first miss."""
        return all(self.pixel(x, y) == colour for x, y, colour in points)

    def close(self):
        self.x11.XCloseDisplay(self.dpy)


def sample_points(reference):
    """Screen points of the finished picture with their colours."""
    ox, oy = REFERENCE_ORIGIN
    wx, wy = WINDOW[:2]
    points = []
    for sample in SAMPLES:
        if isinstance(sample[0], tuple):
            (left, top, right, bottom), colour = sample
            found = next(((x, y) for y in range(top, bottom) for x in range(left, right)
                          if reference.pixel(x + wx - ox, y + wy - oy) == colour), None)
            if found is None:
                raise E2EError(f"no pixel of {colour} in {sample[0]} of {REFERENCE}")
            x, y = found
        else:
            x, y = sample
        points.append((x + wx, y + wy, reference.pixel(x + wx - ox, y + wy - oy)))
    return points


def vm_hwm_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise E2EError(f"no VmHWM for pid {pid}")


def measure(session, screen, exe, finished, timeout, pause):
    """Seconds to the finished picture and the peak working set then (KiB)."""
    # The previous program's picture must be gone, or it would count.
    wait_until(lambda: screen.shows([(x, y, EMPTY) for x, y, _ in finished]), 10,
               "an empty screen", interval=0.01)
    # Wine tears a killed process down in the background; starting at once
    # measures some of that too.
    time.sleep(pause)
    started = time.monotonic()
    app = session.run(exe)
    deadline = started + timeout
    while not screen.shows(finished):
        if not app.running():
            raise E2EError(f"{exe.name} exited ({app.returncode}) before its picture was finished")
        if time.monotonic() > deadline:
            app.kill()
            raise E2EError(f"{exe.name}: no finished picture after {timeout:.0f} s")
        time.sleep(0.001)
    elapsed = time.monotonic() - started
    peak = vm_hwm_kib(app.pid)
    app.kill()
    session.apps.remove(app)
    return elapsed, peak


def quartiles(values):
    if len(values) < 2:
        return values[0], values[0], values[0]
    q1, q2, q3 = statistics.quantiles(values, n=4, method="inclusive")
    return q1, q2, q3


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=30)
    parser.add_argument("--exe", action="append", type=Path,
                        help=f"a launcher build to measure (repeatable; default {EXE})")
    parser.add_argument("--seed", type=int, default=None, help="for the order within rounds")
    parser.add_argument("--timeout", type=float, default=30, help="seconds per start")
    parser.add_argument("--pause", type=float, default=0.3,
                        help="seconds between one program's end and the next start")
    parser.add_argument("--raw", action="store_true", help="also print every measurement")
    args = parser.parse_args()
    launchers = list(dict.fromkeys(p.resolve() for p in (args.exe or [EXE])))
    for exe in launchers + [SAME_PICTURE, BARE]:
        if not exe.exists():
            parser.error(f"{exe} not built")
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    order = random.Random(seed)

    names = {exe: str(exe.relative_to(REPO)) if exe.is_relative_to(REPO) else str(exe)
             for exe in launchers}
    names.update({SAME_PICTURE: "same picture", BARE: "bare window"})
    picture = sample_points(Image.load(REFERENCE))
    finished = {exe: picture for exe in launchers + [SAME_PICTURE]}
    finished[BARE] = [(x, y, BARE_GREY) for x, y, _ in picture]
    programs = list(finished)

    times = {exe: [] for exe in programs}
    peaks = {exe: [] for exe in programs}
    with Session() as session:
        screen = Screen(session.display)

        def run(exe):
            return measure(session, screen, exe, finished[exe], args.timeout, args.pause)

        try:
            for exe in programs:  # warms the wineserver and the file cache
                run(exe)
            for _ in range(args.rounds):
                round_order = programs[:]
                order.shuffle(round_order)
                for exe in round_order:
                    elapsed, peak = run(exe)
                    times[exe].append(elapsed)
                    peaks[exe].append(peak)
        finally:
            screen.close()

    print(f"{args.rounds} rounds, order shuffled with seed {seed}, "
          f"{len(picture)} sample points")
    width = max(len(name) for name in names.values())
    print(f"{'program':<{width}} {'time ms: median':>15} {'IQR':>11} "
          f"{'peak MiB: median':>17} {'IQR':>11}")
    for exe in programs:
        t1, t2, t3 = (v * 1000 for v in quartiles(times[exe]))
        p1, p2, p3 = (v / 1024 for v in quartiles(peaks[exe]))
        print(f"{names[exe]:<{width}} {t2:>15.0f} {f'{t1:.0f}-{t3:.0f}':>11} {p2:>17.1f} "
              f"{f'{p1:.1f}-{p3:.1f}':>11}")
    if args.raw:
        for exe in programs:
            print(f"{names[exe]}: ms {[round(t * 1000) for t in times[exe]]}")
            print(f"{names[exe]}: KiB {peaks[exe]}")
    print("per-round ratios, median (IQR):")
    pairs = [(exe, base) for exe in launchers for base in (SAME_PICTURE, BARE)]
    for exe, base in pairs + [(SAME_PICTURE, BARE)]:
        for what, series in (("time", times), ("peak", peaks)):
            r1, r2, r3 = quartiles([a / b for a, b in zip(series[exe], series[base])])
            print(f"  {names[exe]} / {names[base]}, {what}: {r2:.2f} ({r1:.2f}-{r3:.2f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
