#!/usr/bin/env python3
"""Writes Mirlan's sample images into samples/: colour bars, a colour gradient,
a grey ramp and a small odd-sized picture, each as TGA, BMP and PPM (colour)
or PGM (grey). The files are written here, independently of Mirlan's own
writers, so that they also serve as test inputs for its readers. The output
is the same on every run: run `python3 tools/make_samples.py` from anywhere."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "samples")


# ---- pictures: lists of rows, top row first; a pixel is (r, g, b) or a grey int

def colour_bars(w, h):
    """Eight vertical bars (white, yellow, cyan, green, magenta, red, blue,
    black) over a bottom strip of grey steps."""
    bars = [(255, 255, 255), (255, 255, 0), (0, 255, 255), (0, 255, 0),
            (255, 0, 255), (255, 0, 0), (0, 0, 255), (0, 0, 0)]
    strip = h * 3 // 4
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            if y < strip:
                row.append(bars[x * len(bars) // w])
            else:
                g = (x * 8 // w) * 255 // 7
                row.append((g, g, g))
        rows.append(row)
    return rows


def gradient(w, h):
    """Red growing to the right, green growing downwards, blue on a diagonal."""
    return [[(x * 255 // (w - 1), y * 255 // (h - 1), 255 - (x + y) * 255 // (w + h - 2))
             for x in range(w)] for y in range(h)]


def grey_ramp(w, h):
    """Black on the left to white on the right, with a finer ramp below."""
    rows = []
    for y in range(h):
        if y < h // 2:
            rows.append([x * 255 // (w - 1) for x in range(w)])
        else:
            rows.append([(x * 16 // w) * 17 for x in range(w)])
    return rows


def odd_picture(w, h):
    """A small odd-sized checkerboard with a coloured frame, to show row
    padding and orientation: the top-left corner is red, top-right green,
    bottom-left blue, bottom-right yellow."""
    corners = {(0, 0): (255, 0, 0), (w - 1, 0): (0, 255, 0),
               (0, h - 1): (0, 0, 255), (w - 1, h - 1): (255, 255, 0)}
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            if (x, y) in corners:
                row.append(corners[(x, y)])
            elif x in (0, w - 1) or y in (0, h - 1):
                row.append((255, 128, 0))
            elif (x // 4 + y // 4) % 2:
                row.append((40, 40, 160))
            else:
                row.append((230, 230, 230))
        rows.append(row)
    return rows


# ---- writers

def is_grey(rows):
    return isinstance(rows[0][0], int)


def write_tga(path, rows):
    """Uncompressed TGA, bottom row first: type 3 with 8-bit grey, or type 2
    with 24-bit blue, green, red."""
    h, w = len(rows), len(rows[0])
    grey = is_grey(rows)
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 3 if grey else 2, 0, 0, 0,
                         0, 0, w, h, 8 if grey else 24, 0)
    data = bytearray()
    for row in reversed(rows):
        for p in row:
            data += bytes([p]) if grey else bytes((p[2], p[1], p[0]))
    with open(path, "wb") as f:
        f.write(header + data)


def write_bmp(path, rows):
    """Uncompressed BMP, bottom row first, rows padded to 4 bytes: 8-bit with
    a grey colour table, or 24-bit blue, green, red."""
    h, w = len(rows), len(rows[0])
    grey = is_grey(rows)
    bpp = 8 if grey else 24
    row_bytes = (w * bpp // 8 + 3) // 4 * 4
    table = b"".join(bytes((i, i, i, 0)) for i in range(256)) if grey else b""
    offset = 14 + 40 + len(table)
    size = offset + row_bytes * h
    header = struct.pack("<2sIHHI", b"BM", size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, row_bytes * h, 2835, 2835,
                       256 if grey else 0, 0)
    data = bytearray()
    for row in reversed(rows):
        start = len(data)
        for p in row:
            data += bytes([p]) if grey else bytes((p[2], p[1], p[0]))
        data += bytes(row_bytes - (len(data) - start))
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def write_pnm(path, rows):
    """Binary PGM (grey) or PPM (colour), top row first."""
    h, w = len(rows), len(rows[0])
    grey = is_grey(rows)
    data = bytearray()
    for row in rows:
        for p in row:
            data += bytes([p]) if grey else bytes(p)
    with open(path, "wb") as f:
        f.write(b"%s\n%d %d\n255\n" % (b"P5" if grey else b"P6", w, h) + data)


SAMPLES = [
    ("mire_couleurs", colour_bars(320, 240)),
    ("degrade", gradient(320, 240)),
    ("rampe_gris", grey_ramp(512, 256)),
    ("petite_37x23", odd_picture(37, 23)),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, rows in SAMPLES:
        base = os.path.join(OUT, name)
        write_tga(base + ".tga", rows)
        write_bmp(base + ".bmp", rows)
        write_pnm(base + (".pgm" if is_grey(rows) else ".ppm"), rows)


if __name__ == "__main__":
    main()
