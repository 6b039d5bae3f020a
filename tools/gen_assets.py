#!/usr/bin/python3
"""Regenerates every picture the launcher ships, byte for byte.

Run from anywhere: /usr/bin/python3 tools/gen_assets.py
Icons and metafiles are written directly; JPEGs are drawn here as PPM and
encoded by /usr/bin/convert, whose output is stable once metadata is stripped.
"""
import functools
import math
import operator
import os
import struct
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAIN_DIR = os.path.join(ROOT, "main_window", "assets")
STORE_DIR = os.path.join(ROOT, "image_store", "assets")
CONVERT = "/usr/bin/convert"

# ---------------------------------------------------------------- icons

# The standard 16-colour VGA palette, so 4-bit icons look the same everywhere.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


def rrect(x0, y0, x1, y1, r):
    """Rounded rectangle covering pixel columns x0..x1-1 and rows y0..y1-1."""
    def inside(x, y):
        dx = max(x0 + r - x, x - (x1 - r), 0.0)
        dy = max(y0 + r - y, y - (y1 - r), 0.0)
        return x0 <= x <= x1 and y0 <= y <= y1 and dx * dx + dy * dy <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def poly(points):
    """Even-odd point-in-polygon test."""
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def union(*preds):
    return lambda x, y: any(p(x, y) for p in preds)


class IconCanvas:
    """Palette-indexed pixels plus a transparency mask; untouched pixels stay see-through."""

    def __init__(self, size):
        self.size = size
        self.px = [[0] * size for _ in range(size)]
        self.opaque = [[False] * size for _ in range(size)]

    def set(self, x, y, index):
        self.px[y][x] = index
        self.opaque[y][x] = True

    def fill(self, pred, index, outline=None):
        """Paints pixels whose centre is in pred; edge pixels get the outline colour."""
        n = self.size
        mask = [[pred(x + 0.5, y + 0.5) for x in range(n)] for y in range(n)]
        for y in range(n):
            for x in range(n):
                if not mask[y][x]:
                    continue
                edge = any(not (0 <= x + dx < n and 0 <= y + dy < n and mask[y + dy][x + dx])
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                self.set(x, y, outline if edge and outline is not None else index)
        return mask


def ico_bytes(canvas, bpp, palette):
    """One-image .ico: ICONDIR, one ICONDIRENTRY, then a DIB whose height is doubled
    because the XOR colour bitmap is followed by the 1-bit AND mask."""
    n = canvas.size
    pal = palette + [(0, 0, 0)] * ((1 << bpp) - len(palette))
    xor_stride = (n * bpp + 31) // 32 * 4  # DIB rows are padded to 32 bits
    and_stride = (n + 31) // 32 * 4
    xor, andm = bytearray(), bytearray()
    for y in reversed(range(n)):  # DIB rows run bottom-up
        row, mrow = bytearray(xor_stride), bytearray(and_stride)
        for x in range(n):
            v = canvas.px[y][x] if canvas.opaque[y][x] else 0
            if bpp == 8:
                row[x] = v
            else:
                row[x // 2] |= v << (0 if x & 1 else 4)
            if not canvas.opaque[y][x]:
                mrow[x // 8] |= 0x80 >> (x % 8)
        xor += row
        andm += mrow
    dib = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, bpp, 0, len(xor) + len(andm), 0, 0, 0, 0)
    dib += b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal) + xor + andm
    colours = 16 if bpp == 4 else 0  # 0 means "256 or more" in the directory entry
    return (struct.pack("<HHH", 0, 1, 1) +
            struct.pack("<BBBBHHII", n, n, colours, 0, 1, bpp, len(dib), 22) + dib)


def app_icon():
    c = IconCanvas(32)
    c.fill(rrect(1, 1, 31, 31, 6), BLUE, NAVY)
    c.fill(rrect(5, 10, 20, 22, 2.5), WHITE)
    c.fill(poly([(19, 14), (27, 9.5), (27, 22.5), (19, 18)]), WHITE)
    c.fill(disc(8.5, 13, 1.3), RED)
    return c


def pointer_icon():
    """White pointing hand with a black rim, index finger raised."""
    c = IconCanvas(32)
    fingers = [rrect(9, 1, 14, 18, 2.5), rrect(13, 9, 18, 19, 2.5),
               rrect(17, 10, 22, 20, 2.5), rrect(21, 12, 26, 21, 2.5)]
    thumb = union(disc(4.8, 16, 2.4), poly([(9.5, 17.5), (4.2, 13.8), (3.2, 17.8), (9.5, 24.5)]))
    hand = union(*fingers, thumb, rrect(9, 15, 26, 30, 4))
    mask = c.fill(hand, 1, 0)
    for fx, top in ((13, 11), (17, 12), (21, 14)):  # creases between the folded fingers
        for y in range(top, 17):
            if mask[y][fx]:
                c.set(fx, y, 0)
    for y in range(32):  # light shading down the right side gives the hand some volume
        for x in range(1, 31):
            if mask[y][x] and c.px[y][x] == 1 and c.px[y][x + 1] == 0:
                c.set(x, y, 2)
    return c


def palette256():
    # A colour cube after the few colours the hand uses keeps the table well-formed.
    pal = [(0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128)]
    pal += [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    return pal[:256]


def move_icon(active):
    """Four-way move arrows; the active variant is lit blue."""
    c = IconCanvas(32)
    body, rim = (BLUE, NAVY) if active else (SILVER, BLACK)
    arrows = union(rrect(14, 6, 18, 26, 0), rrect(6, 14, 26, 18, 0),
                   poly([(16, 1), (22, 8), (10, 8)]), poly([(16, 31), (22, 24), (10, 24)]),
                   poly([(1, 16), (8, 10), (8, 22)]), poly([(31, 16), (24, 10), (24, 22)]))
    c.fill(arrows, body, rim)
    return c


def screen_icon(active):
    """A monitor, used on the share-screen button; the active one has a lit screen."""
    c = IconCanvas(32)
    c.fill(rrect(10, 25, 22, 28, 1), GREY, BLACK)
    c.fill(rrect(14, 21, 18, 26, 0), GREY)
    c.fill(rrect(2, 4, 30, 23, 2), SILVER, BLACK)
    c.fill(rrect(5, 7, 27, 20, 0), BLUE if active else GREY)
    if active:
        c.fill(poly([(13, 10), (21, 13.5), (13, 17)]), WHITE)
    return c


def small_button_icon():
    c = IconCanvas(16)
    c.fill(disc(8, 8, 7.2), BLUE, NAVY)
    c.fill(poly([(6, 4.5), (12, 8), (6, 11.5)]), WHITE)
    return c


# ---------------------------------------------------------------- metafiles

class Wmf:
    """Collects WMF records; each record is a 32-bit size in 16-bit words, the
    function number, then the parameters."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.records = []
        self.slots = []  # playback fills the lowest free handle slot on every create
        self.max_slots = 0
        # Window origin/extent equal to the bounding box so the player maps it exactly.
        self.record(0x020B, struct.pack("<hh", 0, 0))  # META_SETWINDOWORG: y, x
        self.record(0x020C, struct.pack("<hh", height, width))  # META_SETWINDOWEXT: y, x

    def record(self, function, params=b""):
        self.records.append(struct.pack("<IH", 3 + len(params) // 2, function) + params)

    def use(self, function, params, old):
        """Creates and selects an object, then frees the one it replaces; the new one
        must exist first because a selected object must not be deleted."""
        slot = self.slots.index(False) if False in self.slots else len(self.slots)
        self.slots[slot:slot + 1] = [True]
        self.max_slots = max(self.max_slots, len(self.slots))
        self.record(function, params)
        self.record(0x012D, struct.pack("<H", slot))  # META_SELECTOBJECT
        if old is not None:
            self.record(0x01F0, struct.pack("<H", old))  # META_DELETEOBJECT
            self.slots[old] = False
        return slot

    def use_pen(self, style, width=0, rgb=(0, 0, 0), old=None):  # META_CREATEPENINDIRECT
        return self.use(0x02FA, struct.pack("<HhhBBBB", style, width, 0, *rgb, 0), old)

    def use_brush(self, style, rgb=(0, 0, 0), old=None):  # META_CREATEBRUSHINDIRECT
        return self.use(0x02FC, struct.pack("<HBBBBH", style, *rgb, 0, 0), old)

    def polygon(self, points):
        pts = [(int(round(x)), int(round(y))) for x, y in points]
        self.record(0x0324, struct.pack("<h", len(pts)) +
                    b"".join(struct.pack("<hh", x, y) for x, y in pts))

    def ellipse(self, left, top, right, bottom):
        self.record(0x0418, struct.pack("<hhhh", bottom, right, top, left))

    def data(self):
        body = b"".join(self.records) + struct.pack("<IH", 3, 0)  # META_EOF
        max_record = max(len(r) for r in self.records) // 2
        # META_HEADER: memory metafile, 9-word header, version 3.0, size in words.
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, (18 + len(body)) // 2,
                             self.max_slots, max_record, 0)
        # Aldus placeable header: key, handle, bbox, units per inch, reserved, and a
        # checksum that is the XOR of the ten words before it.
        aldus = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, self.width, self.height, 1000, 0)
        checksum = functools.reduce(operator.xor, (w for (w,) in struct.iter_unpack("<H", aldus)))
        return aldus + struct.pack("<H", checksum) + header + body


PS_SOLID, PS_NULL = 0, 5
BS_SOLID, BS_NULL = 0, 1
EDGE = (31, 26, 23)


def blend(stops, t):
    """Linear interpolation between (share, rgb) stops, clamped at both ends."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            f = (t - t0) / (t1 - t0)
            return tuple(int(a + (b - a) * f + 0.5) for a, b in zip(c0, c1))
    return stops[-1][1]


def band_wmf(width, height, orient, bands, stops, edges):
    """Parallel solid bands with integer edges at round(i*size/n), so they tile
    the bounding box exactly. With edges, the outer two bands are near-black."""
    size = height if orient == "H" else width
    cut = [(2 * i * size + bands) // (2 * bands) for i in range(bands + 1)]
    colours = [blend(stops, (i + 0.5) / bands) for i in range(bands)]
    if edges:
        colours[0] = colours[-1] = EDGE
    assert all(a != b for a, b in zip(colours, colours[1:])), "neighbouring bands must differ"
    wmf = Wmf(width, height)
    pen = wmf.use_pen(PS_NULL)
    brush = None
    for i, rgb in enumerate(colours):
        brush = wmf.use_brush(BS_SOLID, rgb, brush)
        a, b = cut[i], cut[i + 1]
        if orient == "H":
            wmf.polygon([(0, a), (width, a), (width, b), (0, b)])
        else:
            wmf.polygon([(a, 0), (b, 0), (b, height), (a, height)])
    return wmf, pen, brush


def rounded_outline(x0, y0, x1, y1, r, steps=10):
    """A rounded rectangle as a polygon: four quarter arcs of `steps` corners each."""
    pts = []
    for k, (cx, cy) in enumerate(((x1 - r, y0 + r), (x1 - r, y1 - r), (x0 + r, y1 - r),
                                  (x0 + r, y0 + r))):
        for s in range(steps):
            a = math.pi * (1.5 + 0.5 * k + 0.5 * s / (steps - 1))
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def framed_bar(wmf, pen, brush):
    """Bevel outlines over the bands: light outer rim, dark inner rim."""
    w, h = wmf.width, wmf.height
    brush = wmf.use_brush(BS_NULL, old=brush)
    pen = wmf.use_pen(PS_SOLID, 14, (236, 240, 248), pen)
    wmf.polygon(rounded_outline(10, 10, w - 10, h - 10, h * 0.3))
    pen = wmf.use_pen(PS_SOLID, 10, (40, 46, 64), pen)
    wmf.polygon(rounded_outline(34, 34, w - 34, h - 34, h * 0.25))


def dotted_bar(wmf, pen, brush):
    """Four small diamonds across the middle, a page-indicator look."""
    w, h = wmf.width, wmf.height
    brush = wmf.use_brush(BS_SOLID, (250, 250, 252), brush)
    for k in range(4):
        cx, cy, r = w * (0.35 + 0.1 * k), h / 2, h * 0.09
        wmf.polygon([(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)])


BLUE_DUSK = [(0.02, (44, 29, 98)), (0.20, (181, 190, 222)), (0.34, (67, 118, 180)),
             (0.50, (58, 50, 132)), (0.96, (45, 19, 110))]
MEADOW = [(0.02, (79, 86, 77)), (0.24, (255, 255, 255)), (0.50, (100, 180, 87)),
          (0.76, (50, 117, 64)), (0.98, (42, 55, 60))]
STEEL = [(0.0, (58, 74, 104)), (0.3, (164, 184, 214)), (1.0, (46, 62, 96))]
AMBER = [(0.0, (196, 110, 24)), (0.45, (252, 212, 128)), (1.0, (170, 84, 18))]
COPPER = [(0.0, (150, 78, 40)), (0.5, (236, 176, 120)), (1.0, (128, 60, 30))]
TEAL_GLASS = [(0.02, (20, 70, 80)), (0.25, (170, 228, 226)), (0.55, (40, 150, 156)),
              (0.98, (16, 70, 84))]
PLUM = [(0.02, (60, 28, 70)), (0.22, (214, 180, 224)), (0.5, (120, 60, 140)),
        (0.98, (54, 22, 66))]
SKY = [(0.02, (34, 64, 120)), (0.22, (200, 222, 250)), (0.5, (70, 130, 210)),
       (0.98, (28, 54, 112))]
SLATE = [(0.0, (88, 96, 110)), (0.35, (214, 220, 228)), (1.0, (70, 78, 92))]
LEAF = [(0.0, (40, 110, 50)), (0.4, (170, 226, 150)), (1.0, (30, 90, 40))]
ROSE = [(0.0, (150, 40, 60)), (0.4, (246, 180, 190)), (1.0, (130, 30, 50))]

# name, width, height (1/1000 inch), orientation, bands, stops, near-black edges, overlay
BAND_FILES = [
    ("Color01", 10529, 1136, "H", 52, BLUE_DUSK, True, None),
    ("Color03", 10646, 661, "H", 53, STEEL, False, None),
    ("Color05", 2149, 1812, "V", 51, AMBER, False, None),
    ("Color05A", 2148, 1812, "V", 51, COPPER, False, None),
    ("Color06", 7032, 707, "V", 54, SLATE, False, None),
    ("Color07", 2149, 1813, "V", 52, LEAF, False, None),
    ("Color07A", 1925, 1925, "V", 53, ROSE, False, None),
    ("Color08", 8679, 882, "H", 52, MEADOW, True, None),
    ("Color08A", 8679, 882, "H", 52, MEADOW, True, None),
    ("Color10_0", 2133, 510, "H", 51, SKY, True, framed_bar),
    ("Color10_1", 2134, 509, "H", 51, TEAL_GLASS, True, framed_bar),
    ("Color11", 3129, 1024, "H", 53, TEAL_GLASS, True, None),
    ("Color12", 2793, 882, "H", 52, SKY, True, None),
    ("Color14", 2873, 882, "H", 52, PLUM, True, None),
    ("Color15", 2401, 883, "H", 54, STEEL, False, None),
    ("Color20", 5416, 711, "H", 53, SKY, True, None),
    ("Color21", 5402, 697, "H", 53, MEADOW, True, None),
    ("Color22", 5416, 711, "H", 53, PLUM, True, None),
    ("Color23", 5416, 711, "H", 53, TEAL_GLASS, True, None),
    ("Color24", 1301, 3767, "V", 54, SLATE, False, None),
    ("sBT5_0", 1971, 483, "V", 52, SKY, False, dotted_bar),
    ("sBT5_1", 1971, 483, "V", 52, TEAL_GLASS, False, dotted_bar),
]


def exit_wmf():
    """Red round close button with a white X and a soft shadow to the lower right."""
    wmf = Wmf(428, 405)
    pen = wmf.use_pen(PS_NULL)
    brush = wmf.use_brush(BS_SOLID, (72, 72, 72))
    wmf.ellipse(48, 25, 428, 405)
    brush = wmf.use_brush(BS_SOLID, (220, 43, 25), brush)
    pen = wmf.use_pen(PS_SOLID, 16, (0, 0, 0), pen)  # stroke is centred, so keep 8 in
    wmf.ellipse(10, 10, 390, 390)
    brush = wmf.use_brush(BS_SOLID, (255, 255, 255), brush)
    pen = wmf.use_pen(PS_NULL, old=pen)
    arm, half, c = 112, 26, 200
    cross = [(half, arm), (half, half), (arm, half), (arm, -half), (half, -half), (half, -arm),
             (-half, -arm), (-half, -half), (-arm, -half), (-arm, half), (-half, half),
             (-half, arm)]
    r = math.sqrt(0.5)  # rotate the plus sign by 45 degrees
    wmf.polygon([(c + (x - y) * r, c + (x + y) * r) for x, y in cross])
    return wmf


# ---------------------------------------------------------------- JPEGs

def clamp8(v):
    return max(0, min(255, int(v + 0.5)))


def mix(a, b, f):
    return tuple(x + (y - x) * f for x, y in zip(a, b))


def button_face(w, h, colours, state, back=(236, 238, 242)):
    """Glossy rounded button: vertical gradient, a highlight over the upper half,
    a 1.5 px rim, anti-aliased against the window background."""
    top, bottom, rim = colours
    pressed, glow = state == "down", 0.15 if state == "hover" else 0.0
    r = h * 0.24
    out = bytearray()
    for y in range(h):
        v = (y + 0.5) / h
        face = mix(bottom, top, v) if pressed else mix(top, bottom, v)
        if not pressed and v < 0.48:
            face = mix(face, (255, 255, 255), 0.38 * (1 - v / 0.48))
        face = mix(face, (255, 255, 255), glow)
        for x in range(w):
            dx = max(abs(x + 0.5 - w / 2) - (w / 2 - 1 - r), 0.0)
            dy = max(abs(y + 0.5 - h / 2) - (h / 2 - 1 - r), 0.0)
            d = math.sqrt(dx * dx + dy * dy) - r  # signed distance to the rounded edge
            col = mix(face, rim, max(0.0, min(1.0, d + 2.0)))
            col = mix(col, back, max(0.0, min(1.0, d + 0.5)))
            out += bytes(clamp8(c) for c in col)
    return out


def round_glyph(n):
    """Small blue disc with a white triangle, for the 20 px button picture."""
    out = bytearray()
    tri = poly([(n * 0.38, n * 0.28), (n * 0.74, n * 0.5), (n * 0.38, n * 0.72)])
    for y in range(n):
        for x in range(n):
            px, py = x + 0.5, y + 0.5
            d = math.hypot(px - n / 2, py - n / 2) - n * 0.45
            col = mix((40, 110, 210), (120, 180, 240), 1 - py / n)
            if tri(px, py):
                col = (255, 255, 255)
            col = mix(col, (236, 238, 242), max(0.0, min(1.0, d + 0.5)))
            out += bytes(clamp8(c) for c in col)
    return out


def write_jpeg(path, w, h, rgb):
    ppm = b"P6\n%d %d\n255\n" % (w, h) + bytes(rgb)
    # -strip drops timestamps and profiles, which would otherwise break byte stability.
    subprocess.run([CONVERT, "ppm:-", "-strip", "-interlace", "none", "-type", "TrueColor",
                    "-colorspace", "sRGB", "-sampling-factor", "1x1", "-quality", "92",
                    "jpg:" + path], input=ppm, check=True)


NAVY_FACE = ((92, 140, 214), (30, 70, 150), (20, 44, 100))  # top, bottom, rim
GREEN_FACE = ((110, 196, 110), (34, 120, 48), (22, 80, 30))
SLATE_FACE = ((170, 182, 200), (90, 104, 128), (60, 70, 90))
ORANGE_FACE = ((250, 186, 90), (214, 110, 20), (150, 70, 10))
TEAL_FACE = ((96, 200, 204), (20, 120, 130), (12, 80, 88))
GREY_FACE = ((214, 214, 214), (160, 160, 160), (120, 120, 120))

# name, width, height, colours, state (hover is lighter, down has the gradient flipped)
JPEG_FILES = [
    ("sBT0", 275, 87, NAVY_FACE, "up"), ("sBT1", 271, 86, GREEN_FACE, "up"),
    ("sBT1_0", 194, 74, SLATE_FACE, "up"), ("sBT1_1", 194, 74, SLATE_FACE, "hover"),
    ("sBT1_2", 196, 76, SLATE_FACE, "down"),
    ("sBT3_0", 440, 120, NAVY_FACE, "up"), ("sBT3_1", 440, 120, NAVY_FACE, "hover"),
    ("sBT3_2", 440, 120, NAVY_FACE, "down"), ("sBT3_3", 440, 120, GREY_FACE, "up"),
    ("sBT4_0", 168, 58, ORANGE_FACE, "up"), ("sBT4_1", 168, 58, ORANGE_FACE, "hover"),
    ("sBT7_0", 464, 74, TEAL_FACE, "up"), ("sBT7_1", 464, 74, TEAL_FACE, "hover"),
]


# ---------------------------------------------------------------- main

def write(path, data):
    with open(path, "wb") as f:  # binary, so line endings never get translated
        f.write(data)


def main():
    os.makedirs(MAIN_DIR, exist_ok=True)
    os.makedirs(STORE_DIR, exist_ok=True)
    # The manifests list every picture a folder ships, one line each:
    # file format width height bands orientation ("0 -" when not banded).
    # The build embeds exactly what they list.
    write(os.path.join(MAIN_DIR, "app.ico"), ico_bytes(app_icon(), 4, VGA))
    write(os.path.join(MAIN_DIR, "pointer.ico"), ico_bytes(pointer_icon(), 8, palette256()))
    exit_picture = exit_wmf()
    write(os.path.join(MAIN_DIR, "exit.wmf"), exit_picture.data())
    main_manifest = ["app.ico ico 32 32 0 -", "exit.wmf wmf %d %d 0 -" % (exit_picture.width,
                                                                      exit_picture.height),
                     "pointer.ico ico 32 32 0 -"]
    write(os.path.join(MAIN_DIR, "manifest.txt"), ("\n".join(main_manifest) + "\n").encode())

    manifest = []
    icons = [("BtnPic0", small_button_icon()), ("MoveIcon0", move_icon(False)),
             ("MoveIcon1", move_icon(True)), ("BTPic0", screen_icon(False)),
             ("BTPic1", screen_icon(True))]
    for name, canvas in icons:
        write(os.path.join(STORE_DIR, name + ".ico"), ico_bytes(canvas, 4, VGA))
        manifest.append("%s.ico ico %d %d 0 -" % (name, canvas.size, canvas.size))

    write_jpeg(os.path.join(STORE_DIR, "BtnPic1.jpg"), 20, 20, round_glyph(20))
    manifest.append("BtnPic1.jpg jpg 20 20 0 -")
    for name, w, h, colours, state in JPEG_FILES:
        write_jpeg(os.path.join(STORE_DIR, name + ".jpg"), w, h, button_face(w, h, colours, state))
        manifest.append("%s.jpg jpg %d %d 0 -" % (name, w, h))

    for name, w, h, orient, bands, stops, edges, overlay in BAND_FILES:
        wmf, pen, brush = band_wmf(w, h, orient, bands, stops, edges)
        if overlay:
            overlay(wmf, pen, brush)
        write(os.path.join(STORE_DIR, name + ".wmf"), wmf.data())
        manifest.append("%s.wmf wmf %d %d %d %s" % (name, w, h, bands, orient))

    write(os.path.join(STORE_DIR, "manifest.txt"), ("\n".join(manifest) + "\n").encode())


if __name__ == "__main__":
    main()
