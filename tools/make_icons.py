#!/usr/bin/env python3
"""make_icons.py: draws Mirlan's tool-bar icons and About logo and writes them
as C++ data (app/icons.cpp).

Each icon is drawn on a 32 x 32 canvas and stored in the toolkit's compressed
pixmap form: the header "32 32 -N 1", one string of N colour entries of four
bytes (key, red, green, blue), keys from 32 upward wrapping past 255 to 0, the
first entry (key 32) transparent, then 32 rows of 32 key bytes. The logo, an
eye seen close up, is 116 x 115 packed RGB.

Usage: make_icons.py [OUTPUT.cpp] [--preview DIR]
--preview writes each picture, enlarged four times, as a PPM file in DIR.
"""

import math
import os
import random
import sys

SIZE = 32
T = None  # a transparent pixel

# ---------------------------------------------------------------- canvas


class Canvas:
    def __init__(self, w=SIZE, h=SIZE, fill=T):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, c):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def polygon(self, pts, c):
        """Fills a convex or simple polygon by pixel centres."""
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(math.ceil(xs[i] - 0.5)), int(math.floor(xs[i + 1] - 0.5)) + 1):
                    self.put(x, y, c)


# A 3 x 5 font for the letters on the bands.
FONT = {
    '.': ["...", "...", "...", "...", ".#."],
    'A': [".#.", "#.#", "###", "#.#", "#.#"],
    'B': ["##.", "#.#", "##.", "#.#", "##."],
    'E': ["###", "#..", "##.", "#..", "###"],
    'G': [".##", "#..", "#.#", "#.#", ".##"],
    'L': ["#..", "#..", "#..", "#..", "###"],
    'M': ["#.#", "###", "###", "#.#", "#.#"],
    'P': ["##.", "#.#", "##.", "#..", "#.."],
    'R': ["##.", "#.#", "##.", "#.#", "#.#"],
    'S': [".##", "#..", ".#.", "..#", "##."],
    'T': ["###", ".#.", ".#.", ".#.", ".#."],
    'Y': ["#.#", "#.#", ".#.", ".#.", ".#."],
}


def letters_down(cv, x, y, text, c, step=6):
    """Upright letters stacked from top to bottom, `step` rows apart."""
    for i, ch in enumerate(text):
        for r, row in enumerate(FONT[ch]):
            for k, bit in enumerate(row):
                if bit == '#':
                    cv.put(x + k, y + i * step + r, c)


def letters_up(cv, x, y, text, c):
    """Letters turned a quarter left, read from the bottom up: the first
    letter's foot at row y, each letter 3 rows high, one row apart."""
    for i, ch in enumerate(text):
        for r, row in enumerate(FONT[ch]):
            for k, bit in enumerate(row):
                if bit == '#':
                    cv.put(x + r, y - i * 4 - k, c)


# ---------------------------------------------------------------- palette

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
OUTLINE = (64, 64, 72)
PAPER = (250, 250, 246)
PAPER_SHADE = (214, 214, 206)
FOLD = (196, 196, 188)


def sheet(cv, x0=5, y0=0, x1=28, y1=31, fold=6):
    """A sheet of paper with its top-right corner folded down."""
    cv.rect(x0, y0, x1, y1, PAPER)
    cv.rect(x1 - 1, y0 + 2, x1, y1, PAPER_SHADE)
    # cut corner
    for i in range(fold):
        for j in range(fold - i):
            cv.put(x1 - j, y0 + i, T)
    cv.line(x0, y0, x1 - fold, y0, OUTLINE)
    cv.line(x0, y0, x0, y1, OUTLINE)
    cv.line(x0, y1, x1, y1, OUTLINE)
    cv.line(x1, y0 + fold, x1, y1, OUTLINE)
    cv.line(x1 - fold, y0, x1, y0 + fold, OUTLINE)
    # the folded flap
    for i in range(1, fold):
        for j in range(1, i + 1):
            cv.put(x1 - fold + j, y0 + i, FOLD)
    cv.line(x1 - fold, y0, x1 - fold, y0 + fold, OUTLINE)
    cv.line(x1 - fold, y0 + fold, x1, y0 + fold, OUTLINE)


def band(cv, x0, y0, x1, y1, colour, dark):
    cv.rect(x0, y0, x1, y1, colour)
    cv.line(x1, y0, x1, y1, dark)


def portrait(cv, x0, y0, x1, y1):
    """A head-and-shoulders portrait in a frame."""
    cv.rect(x0, y0, x1, y1, (120, 170, 220))          # sky background
    for y in range(y0, y1 + 1):                        # soft darker top
        if y < y0 + 3:
            cv.line(x0, y, x1, y, (96, 146, 204))
    cx = (x0 + x1) / 2.0
    cv.polygon([(x0 + 1, y1 + 1), (cx - 5, y1 - 5), (cx + 5, y1 - 5), (x1 + 1, y1 + 1)],
               (150, 40, 40))                          # red jumper
    cv.rect(int(cx) - 1, y1 - 7, int(cx) + 1, y1 - 5, (226, 178, 140))  # neck
    cv.disc(cx, y0 + 7.5, 4.3, (236, 190, 150))       # face
    cv.polygon([(cx - 5, y0 + 7), (cx - 4.5, y0 + 2.5), (cx, y0 + 1.5), (cx + 4.5, y0 + 2.5),
                (cx + 5, y0 + 7), (cx + 3.5, y0 + 4.2), (cx - 3.5, y0 + 4.2)], (92, 56, 30))
    cv.put(int(cx) - 2, y0 + 7, (40, 40, 60))          # eyes
    cv.put(int(cx) + 2, y0 + 7, (40, 40, 60))
    cv.line(int(cx) - 1, y0 + 10, int(cx) + 1, y0 + 10, (180, 80, 80))   # mouth
    cv.frame(x0, y0, x1, y1, (90, 90, 90))


def photo(cv, x0, y0, x1, y1):
    """A landscape photograph: sky, sun, hills."""
    for y in range(y0, y1 + 1):
        t = (y - y0) / max(1, y1 - y0)
        cv.line(x0, y, x1, y, (int(90 + 80 * t), int(150 + 60 * t), 230))
    cv.disc(x1 - 4, y0 + 4, 2.4, (255, 220, 60))
    cv.polygon([(x0, y1 + 1), (x0, y0 + 10), (x0 + 6, y0 + 6), (x0 + 12, y0 + 11),
                (x1 + 1, y0 + 8), (x1 + 1, y1 + 1)], (70, 150, 60))
    cv.polygon([(x0, y1 + 1), (x0, y0 + 14), (x0 + 9, y0 + 11), (x1 + 1, y0 + 15),
                (x1 + 1, y1 + 1)], (40, 110, 40))
    cv.frame(x0, y0, x1, y1, (90, 90, 90))


def pencil(cv, x0, y0, x1, y1):
    """A pencil from its eraser at (x0, y0) to its point at (x1, y1), with the
    line it has drawn."""
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    px, py = -uy, ux
    half = 2.2

    def quad(a, b, colour, wa=half, wb=half):
        pa = (x0 + ux * a, y0 + uy * a)
        pb = (x0 + ux * b, y0 + uy * b)
        cv.polygon([(pa[0] + px * wa, pa[1] + py * wa), (pb[0] + px * wb, pb[1] + py * wb),
                    (pb[0] - px * wb, pb[1] - py * wb), (pa[0] - px * wa, pa[1] - py * wa)],
                   colour)

    quad(0, 4, (240, 140, 160))            # eraser
    quad(4, 6, (180, 180, 190))            # ferrule
    quad(6, n - 6, (250, 200, 40))         # body
    quad(6, n - 6, (250, 200, 40), half, half)
    # a darker edge line along the body
    for t in range(6, int(n - 6)):
        cv.put(int(round(x0 + ux * t - px * 1.6)), int(round(y0 + uy * t - py * 1.6)),
               (200, 140, 20))
    quad(n - 6, n - 1.5, (236, 200, 150), half, 0.7)  # bare wood
    quad(n - 1.8, n, (50, 50, 50), 0.8, 0.1)          # lead


# ---------------------------------------------------------------- icons

def icon_open():
    cv = Canvas()
    blue, light, dark, deep = (60, 110, 200), (110, 160, 235), (30, 60, 140), (20, 36, 90)
    # the cabinet, seen a little from the right: front and side
    cv.rect(4, 8, 23, 30, blue)
    cv.polygon([(24, 8), (29, 4), (29, 26), (24, 30.9)], dark)
    cv.polygon([(4, 8), (9, 4), (29.5, 4), (24, 8)], light)
    cv.frame(4, 8, 23, 30, deep)
    cv.line(24, 8, 29, 3, deep)
    cv.line(29, 3, 29, 26, deep)
    cv.line(24, 30, 29, 26, deep)
    cv.line(4, 8, 9, 3, deep)
    cv.line(9, 3, 29, 3, deep)
    # two closed drawers below, each with its handle and label card
    for y in (16, 23):
        cv.frame(6, y, 21, y + 5, deep)
        cv.rect(7, y + 1, 20, y + 4, (80, 130, 215))
        cv.rect(11, y + 2, 16, y + 2, (200, 200, 210))
        cv.rect(12, y + 4, 15, y + 4, (20, 20, 30))
    # the top drawer pulled open, an orange folder standing in it
    cv.rect(2, 10, 19, 14, (40, 80, 170))
    cv.frame(2, 10, 19, 14, deep)
    orange, orange_d = (250, 150, 30), (200, 100, 10)
    cv.polygon([(5, 11), (5, 1), (9, 1), (10, 0), (14, 0), (15, 1), (18, 1), (18, 11)], orange)
    cv.line(5, 1, 5, 10, orange_d)
    cv.line(5, 1, 9, 1, orange_d)
    cv.line(9, 1, 10, 0, orange_d)
    cv.line(10, 0, 14, 0, orange_d)
    cv.line(14, 0, 15, 1, orange_d)
    cv.line(15, 1, 17, 1, orange_d)
    cv.line(17, 1, 17, 10, orange_d)
    cv.line(7, 3, 15, 3, (255, 200, 120))
    cv.rect(7, 5, 15, 7, (255, 245, 225))   # a sheet peeking out of the folder
    cv.line(8, 6, 14, 6, (160, 160, 170))
    cv.rect(3, 12, 18, 12, (70, 120, 210))
    cv.rect(9, 13, 12, 13, (20, 20, 30))
    return cv


def icon_saved(colour, dark, text):
    cv = Canvas()
    sheet(cv, 4, 0, 28, 31)
    band(cv, 5, 1, 10, 30, colour, dark)
    letters_down(cv, 6, 4, text, WHITE)
    portrait(cv, 13, 9, 26, 26)
    return cv


def icon_reglages():
    cv = Canvas()
    sheet(cv, 3, 0, 28, 31)
    band(cv, 4, 1, 10, 30, (70, 70, 74), (40, 40, 44))
    letters_up(cv, 5, 30, "REGLAGES", (236, 236, 236))
    # three slide faders: track, scale ticks and a knob at three heights
    for x, knob in ((14, 20), (19, 10), (24, 16)):
        cv.rect(x, 6, x, 27, (40, 40, 40))
        cv.put(x - 1, 6, (150, 150, 150))
        cv.put(x - 1, 27, (150, 150, 150))
        cv.rect(x - 2, knob - 1, x + 2, knob + 1, (120, 120, 128))
        cv.rect(x - 2, knob, x + 2, knob, (230, 230, 230))
        cv.frame(x - 2, knob - 1, x + 2, knob + 1, (30, 30, 30))
    # the small green light
    cv.disc(24.5, 3.5, 1.6, (40, 200, 60))
    cv.put(24, 3, (190, 255, 190))
    return cv


def icon_preview():
    cv = Canvas()
    cv.rect(1, 3, 30, 28, (200, 200, 204))           # window body
    cv.rect(4, 10, 27, 25, (250, 250, 250))          # empty client area
    cv.frame(4, 10, 27, 25, (120, 120, 126))
    for x in range(2, 30):                           # blue title bar
        t = (x - 2) / 27.0
        cv.line(x, 4, x, 8, (int(20 + 60 * t), int(50 + 90 * t), int(160 + 70 * t)))
    cv.rect(25, 5, 28, 7, (220, 220, 220))           # close box
    cv.line(25, 5, 28, 7, (60, 60, 60))
    cv.line(25, 7, 28, 5, (60, 60, 60))
    cv.rect(20, 5, 23, 7, (220, 220, 220))
    cv.line(20, 7, 23, 7, (60, 60, 60))
    cv.rect(4, 6, 14, 6, (255, 255, 255))            # title text
    cv.frame(1, 3, 30, 28, (50, 50, 56))
    cv.line(2, 29, 31, 29, (150, 150, 150))          # shadow
    cv.line(31, 4, 31, 29, (150, 150, 150))
    return cv


def icon_apply():
    cv = Canvas()
    sheet(cv, 4, 0, 28, 31)
    band(cv, 5, 1, 10, 30, (210, 30, 30), (140, 10, 10))
    letters_down(cv, 6, 2, "APPLY", WHITE)
    photo(cv, 13, 8, 26, 26)
    cv.line(14, 24, 25, 13, (30, 30, 30))             # the stroke it drew
    pencil(cv, 30, 2, 19, 19)
    return cv


def greyed(cv):
    """The inactive look: each colour's luminance, lightened and flattened."""
    out = Canvas()
    for y in range(SIZE):
        for x in range(SIZE):
            c = cv.get(x, y)
            if c is not T:
                lum = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]
                g = int(round(112 + lum * 0.52))
                out.put(x, y, (g, g, g))
    return out


# ---------------------------------------------------------------- the logo

LOGO_W, LOGO_H = 116, 115


def logo_eye():
    """An eye seen close up: skin, lids and lashes, white, a striated iris,
    the pupil and the light's reflection, with a little grain."""
    rng = random.Random(7)
    cx, cy = 58.0, 60.0
    rows = []
    for y in range(LOGO_H):
        for x in range(LOGO_W):
            dx, dy = x - cx, y - cy
            # skin with a soft fall-off of the light
            shade = 1.0 - 0.35 * (math.hypot(dx, dy + 20) / 90.0)
            r, g, b = 222 * shade, 170 * shade, 140 * shade
            # the lid crease above the eye
            crease = cy - 31 + 0.0045 * dx * dx
            if abs(dx) < 50 and abs(y - crease) < 3.0:
                k = 0.8 + 0.2 * abs(y - crease) / 3.0
                r, g, b = r * k, g * k * 0.97, b * k * 0.96
            # the opening of the eye: between two arcs
            upper = cy - 21 + 0.0065 * dx * dx
            lower = cy + 15 - 0.0046 * dx * dx
            inside = abs(dx) < 52 and upper < y < lower
            if inside:
                # the white, shaded at the corners and under the upper lid
                w = 235 - 60 * (abs(dx) / 52.0) ** 2 - 40 * max(0.0, 1 - (y - upper) / 6.0)
                r, g, b = w, w * 0.96, w * 0.94
                d = math.hypot(dx, dy + 2)
                if d < 19:
                    a = math.atan2(dy + 2, dx)
                    streak = 0.75 + 0.25 * math.sin(a * 23 + 3 * math.sin(a * 7))
                    t = d / 19.0
                    r = (40 + 60 * t) * streak
                    g = (90 + 50 * (1 - t)) * streak
                    b = (120 + 60 * (1 - t)) * streak
                    if d > 17.2:                  # dark limbal ring
                        r, g, b = r * 0.45, g * 0.45, b * 0.5
                    if d < 7.5:                   # the pupil
                        r, g, b = 12, 12, 16
                # shadow of the upper lid on the eye
                if y - upper < 3:
                    r, g, b = r * 0.55, g * 0.5, b * 0.5
            # the light's reflection
            if math.hypot(dx - 6, dy + 9) < 3.2:
                r, g, b = 250, 250, 250
            # lid margins
            if abs(dx) < 54 and (abs(y - upper) < 1.3 or abs(y - lower) < 1.0):
                r, g, b = r * 0.55, g * 0.42, b * 0.42
            noise = rng.uniform(-6, 6)
            rows.append(tuple(max(0, min(255, int(v + noise))) for v in (r, g, b)))
    img = [rows[i * LOGO_W:(i + 1) * LOGO_W] for i in range(LOGO_H)]
    # upper lashes: curved strokes rising from the upper lid
    for k in range(-48, 50, 4):
        x0 = cx + k
        y0 = cy - 21 + 0.0065 * k * k - 1
        bend = k / 48.0
        for s in range(12):
            t = s / 11.0
            x = int(round(x0 + bend * 9 * t + 2 * t * t * (1 if k >= 0 else -1)))
            y = int(round(y0 - 10 * t + 3 * t * t))
            for xx in (x, x + 1):
                if 0 <= xx < LOGO_W and 0 <= y < LOGO_H:
                    img[y][xx] = (30, 22, 20)
    # lower lashes, short and fine
    for k in range(-40, 42, 6):
        x0 = cx + k
        y0 = cy + 15 - 0.0046 * k * k + 1
        for s in range(5):
            x = int(round(x0 + k / 40.0 * 2 * s / 4.0))
            y = int(round(y0 + s))
            if 0 <= x < LOGO_W and 0 <= y < LOGO_H:
                img[y][x] = (60, 40, 36)
    return img


# ---------------------------------------------------------------- output

def pixmap_strings(cv):
    """The compressed pixmap form: header, colour table, 32 rows of keys."""
    colours = []
    index = {}
    for row in cv.px:
        for c in row:
            if c is not T and c not in index:
                index[c] = len(colours) + 1  # entry 0 is the transparent one
                colours.append(c)
    n = len(colours) + 1
    if n > 256:
        raise ValueError("icon has %d colours, at most 256 fit" % n)

    def key(i):
        return (32 + i) % 256

    table = bytearray([key(0), 0, 0, 0])
    for i, c in enumerate(colours, start=1):
        table += bytes([key(i), c[0], c[1], c[2]])
    rows = []
    for row in cv.px:
        rows.append(bytes(key(0) if c is T else key(index[c]) for c in row))
    return [("%d %d %d 1" % (SIZE, SIZE, -n)).encode(), bytes(table)] + rows


def c_string(data):
    """A C string literal holding exactly these bytes (three-digit octal
    escapes, so no following digit can extend one)."""
    out = []
    for b in data:
        ch = chr(b)
        if 32 <= b < 127 and ch not in '"\\?':
            out.append(ch)
        else:
            out.append("\\%03o" % b)
    return '"' + "".join(out) + '"'


ICONS = [
    ("open", icon_open),
    ("bmp", lambda: icon_saved((40, 90, 210), (20, 50, 140), ".BMP")),
    ("bmp_i", lambda: greyed(icon_saved((40, 90, 210), (20, 50, 140), ".BMP"))),
    ("tga", lambda: icon_saved((30, 150, 60), (15, 95, 30), ".TGA")),
    ("tga_i", lambda: greyed(icon_saved((30, 150, 60), (15, 95, 30), ".TGA"))),
    ("reglages", icon_reglages),
    ("reglages_i", lambda: greyed(icon_reglages())),
    ("previewtraitement", icon_preview),
    ("previewtraitement_i", lambda: greyed(icon_preview())),
    ("applytraitement", icon_apply),
    ("applytraitement_i", lambda: greyed(icon_apply())),
]


def write_cpp(path, icons, logo):
    lines = [
        "// icons.cpp: the tool-bar icons and the About logo of Mirlan.",
        "// Generated by tools/make_icons.py; edit the drawings there, not here.",
        '#include "app/icons.h"',
        "",
    ]
    for name, cv in icons:
        strings = pixmap_strings(cv)
        lines.append("const char *const idata_%s[34] = {" % name)
        for s in strings:
            lines.append("    %s," % c_string(s))
        lines.append("};")
        lines.append("")
    lines.append("const unsigned char idata_mirlan[116 * 115 * 3] = {")
    flat = [v for row in logo for px in row for v in px]
    for i in range(0, len(flat), 18):
        lines.append("    " + ", ".join(str(v) for v in flat[i:i + 18]) + ",")
    lines.append("};")
    lines.append("")
    lines.append("// The images are built before the application object that installs")
    lines.append("// them, which the start-up unit creates during static initialisation;")
    lines.append("// the priority makes that order hold across translation units.")
    lines.append("#define MIRLAN_EARLY __attribute__((init_priority(200)))")
    for name, _ in icons:
        lines.append("Fl_Pixmap image_%s MIRLAN_EARLY(idata_%s);" % (name, name))
    lines.append("Fl_RGB_Image image_mirlan MIRLAN_EARLY(idata_mirlan, 116, 115, 3, 0);")
    lines.append("")
    with open(path, "w") as f:
        f.write("\n".join(lines))


def write_ppm(path, pixels, w, h, scale, background=(212, 208, 200)):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (w * scale, h * scale))
        for y in range(h * scale):
            row = bytearray()
            for x in range(w * scale):
                c = pixels[y // scale][x // scale]
                row += bytes(background if c is T else c)
            f.write(row)


def main(argv):
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "icons.cpp")
    preview = None
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == "--preview":
            preview = args.pop(0)
        else:
            out = a
    icons = [(name, draw()) for name, draw in ICONS]
    logo = logo_eye()
    write_cpp(out, icons, logo)
    if preview:
        os.makedirs(preview, exist_ok=True)
        for name, cv in icons:
            write_ppm(os.path.join(preview, name + ".ppm"), cv.px, SIZE, SIZE, 4)
        write_ppm(os.path.join(preview, "mirlan.ppm"), logo, LOGO_W, LOGO_H, 2)


if __name__ == "__main__":
    main(sys.argv[1:])
