#!/usr/bin/env python3
"""make_app_icons.py: writes Mirlan's desktop icon, the About logo drawn by
tools/make_icons.py, as square PNG files of the usual sizes for the icon
theme: icons/mirlan-<size>.png. Standard library only (zlib, struct).

Usage: make_app_icons.py [OUTPUT_DIR]
"""

import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import make_icons  # noqa: E402

SIZES = (32, 48, 64, 128)


def square(logo):
    """The logo (wider than high by a row) made square by repeating its last row."""
    side = max(len(logo), len(logo[0]))
    rows = [row[:side] for row in logo]
    while len(rows) < side:
        rows.append(rows[-1])
    return rows


def resample(px, size):
    """Bilinear resampling of a square picture to size x size, each output pixel
    taken at its centre."""
    n = len(px)
    out = []
    for y in range(size):
        sy = min(max((y + 0.5) * n / size - 0.5, 0.0), n - 1.0)
        y0 = int(sy)
        y1, fy = min(y0 + 1, n - 1), sy - y0
        row = []
        for x in range(size):
            sx = min(max((x + 0.5) * n / size - 0.5, 0.0), n - 1.0)
            x0 = int(sx)
            x1, fx = min(x0 + 1, n - 1), sx - x0
            c = []
            for k in range(3):
                top = px[y0][x0][k] * (1 - fx) + px[y0][x1][k] * fx
                bottom = px[y1][x0][k] * (1 - fx) + px[y1][x1][k] * fx
                c.append(int(round(top * (1 - fy) + bottom * fy)))
            row.append(tuple(c))
        out.append(row)
    return out


def png(px):
    """A PNG file of 8-bit RGB pixels, each row with filter type 0."""
    h, w = len(px), len(px[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in px)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    out = argv[0] if argv else os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(out, exist_ok=True)
    logo = square(make_icons.logo_eye())
    for size in SIZES:
        with open(os.path.join(out, "mirlan-%d.png" % size), "wb") as f:
            f.write(png(resample(logo, size)))


if __name__ == "__main__":
    main(sys.argv[1:])
