#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/: small TGA,
BMP, PPM, PGM and PNG files of our own making, JPEG and WebP files made by
cjpeg and cwebp, valid ones of every depth and layout the readers handle
and a few broken ones (short, lying headers). Inputs of open_image are whole
files; inputs of decode start with one byte that picks the row of the
formats table whose decoder reads the rest (FORMATS below, in the table's
order). The output is the same on every run:
`python3 fuzz/make_corpus.py`."""

import os
import struct
import subprocess
import tempfile
import zlib

FORMATS = ["PNG", "JPEG", "WebP", "BMP", "PNM", "TGA"]

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 5, 3
MAP = bytes(i & 255 for i in range(768))  # 256 entries: every 8-bit index


def pixel(x, y):
    return ((x * 50) & 255, (y * 90) & 255, ((x + y) * 30) & 255)


def tga(depth, image_type=2, descriptor=0, id_field=b"", cmap=None, w=W, h=H):
    cmap_type, cmap_len, cmap_bits, cmap_bytes = 0, 0, 0, b""
    if cmap is not None:
        cmap_type, cmap_len, cmap_bits = 1, len(cmap) // 3, 24
        cmap_bytes = cmap
    head = struct.pack("<BBBHHBHHHHBB", len(id_field), cmap_type, image_type, 0, cmap_len,
                       cmap_bits, 0, 0, w, h, depth, descriptor)
    rows = []
    for y in range(h):
        row = b""
        for x in range(w):
            r, g, b = pixel(x, y)
            if depth == 8:
                row += bytes([r])
            elif depth == 16:
                row += struct.pack("<H", ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))
            elif depth == 24:
                row += bytes([b, g, r])
            else:
                row += bytes([b, g, r, 255])
        rows.append(row)
    return head + id_field + cmap_bytes + b"".join(rows)


def rle_tga(depth, image_type, cmap=None):
    """A TGA file whose pixels are run-length packets: the plain file's pixels
    cut in raw packets of 4 after a run of 3 copies of the first pixel, so
    that packets cross rows."""
    plain = tga(depth, image_type, cmap=cmap)
    size, start = depth // 8, len(plain) - W * H * depth // 8
    pixels = [plain[i:i + size] for i in range(start, len(plain), size)]
    body = bytes([0x82]) + pixels[0]
    for i in range(3, len(pixels), 4):
        chunk = pixels[i:i + 4]
        body += bytes([len(chunk) - 1]) + b"".join(chunk)
    return plain[:start] + body


def bmp(bpp, compression=0, core=False, colours=None, top_down=False, masks=None, v5=False):
    palette_len = {1: 2, 4: 16, 8: 256}.get(bpp, 0) if colours is None else colours
    row_bytes = (W * bpp + 31) // 32 * 4
    rows = []
    for y in reversed(range(H)):
        bits = []
        for x in range(W):
            r, g, b = pixel(x, y)
            if bpp == 24:
                bits.append(bytes([b, g, r]))
            elif bpp == 32:
                bits.append(bytes([b, g, r, 255]))
            elif bpp == 16:
                bits.append(struct.pack("<H", ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)))
            else:
                bits.append((x + y) % (1 << bpp))
        if bpp >= 16:
            row = b"".join(bits)
        else:
            acc, n, row = 0, 0, b""
            for v in bits:
                acc, n = (acc << bpp) | v, n + bpp
                if n == 8:
                    row, acc, n = row + bytes([acc]), 0, 0
            if n:
                row += bytes([acc << (8 - n)])
        rows.append(row.ljust(row_bytes, b"\0"))
    pixels = b"".join(rows)
    if compression == 1:  # run-length, 8 bits: each row as literal runs of one pixel
        pixels = b""
        for y in range(H):
            for x in range(W):
                pixels += bytes([1, (x + y) & 255])
            pixels += b"\0\0"
        pixels += b"\0\1"
    if compression == 2:  # run-length, 4 bits: runs of one pixel, then a literal
        pixels = b""
        for y in range(H):
            for x in range(W - 3):
                pixels += bytes([1, ((x + y) & 15) << 4])
            pixels += bytes([0, 3, 0x12, 0x30, 0, 0])
        pixels += b"\0\1"
    palette = b"".join(bytes([i * 7 & 255, i * 13 & 255, i * 29 & 255])[:3] + (b"" if core else b"\0")
                       for i in range(palette_len))
    info_size = 12 if core else 124 if v5 else 40
    fields = struct.pack("<III", *masks) if masks and not v5 else b""
    offset = 14 + info_size + len(fields) + len(palette)
    if core:
        info = struct.pack("<IHHHH", 12, W, H, 1, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", info_size, W, -H if top_down else H, 1, bpp, compression,
                           len(pixels), 2835, 2835, palette_len if bpp <= 8 else 0, 0)
        if v5:
            info = (info + struct.pack("<IIII", *masks)).ljust(info_size, b"\0")
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + fields + palette + pixels


def pnm(kind, maxval=255):
    grey = kind in ("P2", "P5")
    bit = kind in ("P1", "P4")
    head = "%s\n# seed\n%d %d\n" % (kind, W, H) + ("" if bit else "%d\n" % maxval)
    samples = []
    for y in range(H):
        for x in range(W):
            r, g, b = pixel(x, y)
            if bit:
                samples.append((x + y) & 1)
            elif grey:
                samples.append(r * maxval // 255)
            else:
                samples.extend(v * maxval // 255 for v in (r, g, b))
    if kind in ("P1", "P2", "P3"):
        body = (" ".join(str(s) for s in samples) + "\n").encode()
    elif kind == "P4":
        body = b""
        for y in range(H):
            acc = 0
            for x in range(W):
                acc |= samples[y * W + x] << (7 - x)
            body += bytes([acc])
    elif maxval > 255:
        body = b"".join(struct.pack(">H", s) for s in samples)
    else:
        body = bytes(samples)
    return head.encode() + body


def png(colour_type, depth=8, interlace=0, plte=None, trns=None):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    raw = b""
    for y in range(H):
        row = []
        for x in range(W):
            r, g, b = pixel(x, y)
            row += {0: [r], 2: [r, g, b], 3: [(x + y) % 4], 4: [r, 200], 6: [r, g, b, 100]}[colour_type]
        if depth == 16:
            raw += b"\0" + b"".join(struct.pack(">H", v * 257) for v in row)
        elif depth < 8:
            acc, n, packed = 0, 0, b""
            for v in row:
                acc, n = (acc << depth) | (v & ((1 << depth) - 1)), n + depth
                if n == 8:
                    packed, acc, n = packed + bytes([acc]), 0, 0
            raw += b"\0" + packed + (bytes([acc << (8 - n)]) if n else b"")
        else:
            raw += b"\0" + bytes(row)
    del channels

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ihdr = struct.pack(">IIBBBBB", W, H, depth, colour_type, 0, 0, interlace)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
    if plte is not None:
        out += chunk(b"PLTE", plte)
    if trns is not None:
        out += chunk(b"tRNS", trns)
    return out + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def made_by(tool, args, source):
    """A file made by tool from a PPM of the seed picture, or None without it."""
    with tempfile.TemporaryDirectory() as tmp:
        src, out = os.path.join(tmp, "in.ppm"), os.path.join(tmp, "out")
        with open(src, "wb") as f:
            f.write(source)
        try:
            subprocess.run([tool] + args + ["-o" if tool == "cwebp" else "-outfile", out, src],
                           check=True, capture_output=True)
        except (OSError, subprocess.CalledProcessError):
            return None
        with open(out, "rb") as f:
            return f.read()


def write(folder, name, content):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(content)


def main():
    tgas = {
        "grey8.tga": tga(8, 3),
        "grey8_type2.tga": tga(8, 2),
        "rgb555.tga": tga(16),
        "bgr24.tga": tga(24),
        "bgra32.tga": tga(32, descriptor=8),
        "top_first.tga": tga(24, descriptor=0x20),
        "id_and_cmap.tga": tga(24, id_field=b"seed", cmap=bytes(range(12))),
        "rle.tga": tga(24, 10),
        "rle_packets.tga": rle_tga(24, 10),
        "rle_grey8.tga": rle_tga(8, 11),
        "rle_mapped.tga": rle_tga(8, 9, cmap=MAP),
        "mapped.tga": tga(8, 1, cmap=MAP),
        "depth15.tga": tga(15),
        "zero_width.tga": tga(24, w=0),
        "short_pixels.tga": tga(24)[:30],
        "short_header.tga": tga(24)[:11],
    }
    opens = {
        "bmp24": (0, bmp(24)),
        "bmp32": (0, bmp(32)),
        "bmp16": (0, bmp(16)),
        "bmp8": (0, bmp(8)),
        "bmp4": (0, bmp(4)),
        "bmp1": (0, bmp(1)),
        "bmp8_rle": (0, bmp(8, compression=1)),
        "bmp4_rle": (0, bmp(4, compression=2)),
        "bmp16_565_fields": (0, bmp(16, compression=3, masks=(0xF800, 0x7E0, 0x1F))),
        "bmp32_v5_fields": (0, bmp(32, compression=3, masks=(0xFF00, 0xFF0000, 0xFF000000, 0xFF), v5=True)),
        "bmp24_core": (0, bmp(24, core=True)),
        "bmp24_top_down": (0, bmp(24, top_down=True)),
        "bmp8_lying_colours": (0, bmp(8, colours=300)),
        "bmp24_short": (0, bmp(24)[:60]),
        "ppm_p6": (1, pnm("P6")),
        "ppm_p3": (1, pnm("P3")),
        "ppm_p6_16bit": (1, pnm("P6", 65535)),
        "ppm_p6_short": (1, pnm("P6")[:20]),
        "pgm_p5": (2, pnm("P5")),
        "pgm_p5_maxval15_crlf": (2, pnm("P5", 15).replace(b"\n", b"\r\n", 3)),
        "pgm_p2": (2, pnm("P2")),
        "pgm_p4": (2, pnm("P4")),
        "pgm_p1": (2, pnm("P1")),
        "pgm_lying_size": (2, pnm("P5").replace(b"5 3", b"9 9")),
        "tga24": (3, tga(24)),
        "tga16": (3, tga(16)),
        "tga8": (3, tga(8, 3)),
        "tga32_short": (3, tga(32)[:40]),
    }
    # The old selector of these seeds: 0 BMP, 1 PPM, 2 PGM, 3 TGA.
    files = {name + (".bmp", ".ppm", ".pgm", ".tga")[selector]: content for name, (selector, content) in opens.items()}
    files.update(tgas)
    files.update({
        "grey8.png": png(0),
        "grey1.png": png(0, 1),
        "rgb16.png": png(2, 16),
        "rgba.png": png(6),
        "grey_alpha.png": png(4),
        "palette2_trns.png": png(3, 2, plte=bytes(range(12)), trns=b"\x00\x80"),
        "interlaced.png": png(2, 8, 1),
    })
    for name, tool, args in (("baseline.jpg", "cjpeg", []), ("progressive.jpg", "cjpeg", ["-progressive"]),
                             ("grey.jpg", "cjpeg", ["-grayscale"]), ("lossy.webp", "cwebp", ["-quiet"]),
                             ("lossless.webp", "cwebp", ["-quiet", "-lossless"])):
        content = made_by(tool, args, pnm("P6"))
        if content:
            files[name] = content
    kinds = {"png": "PNG", "jpg": "JPEG", "webp": "WebP", "bmp": "BMP", "ppm": "PNM", "pgm": "PNM", "tga": "TGA"}
    for name, content in files.items():
        write("open_image", name, content)
        kind = kinds[name.rsplit(".", 1)[-1]]
        write("decode", kind + "_" + name, bytes([FORMATS.index(kind)]) + content)


if __name__ == "__main__":
    main()
