#!/usr/bin/env python3
"""Writes tests/image/files/: small legal and hostile BMP, PNM, TGA, PNG, JPEG
and WebP files, each named for what it exercises, and files/expected.txt, one
line a file (files_test.cpp reads codec_files.txt the same way):

  name bad|large                      refused, and why
  name ok WxH BPP [hexpixels]         read as this size and depth [and exactly
                                      these pixels, rows top first]
  name ... gm|netpbm|djpeg|...        read as that independent reader reads it
  name ... READER | FILTER            ... its picture piped through FILTER
  ... cuts                            every shorter prefix of it is refused (BMP,
                                      raw PNM, PNG, JPEG, WebP, compressed TGA), or
                                      reads as if zero-padded (plain TGA cut in its
                                      pixels)

The output is the same on every run: `python3 tests/image/make_files.py`."""

import os
import random
import struct
import subprocess
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "files")
LINES = []


def le32(*values):
    return b"".join(struct.pack("<I", v & 0xFFFFFFFF) for v in values)


def bmp(info, w, h, bpp, compression, colours, between, pixels, tail=b""):
    if info == 12:
        head = struct.pack("<IHHHH", 12, w, h, 1, bpp)
    else:
        head = (le32(info, w, h) + struct.pack("<HH", 1, bpp) + le32(compression, 0, 0, 0, colours, 0)
                + tail).ljust(info, b"\0")
    off = 14 + len(head) + len(between)
    return b"BM" + le32(off + len(pixels), 0, off) + head + between + pixels


def tga(kind, w, h, depth, desc=0, idlen=0, maptype=0, maplen=0, mapbits=0, first=0):
    return struct.pack("<BBBHHBHHHHBB", idlen, maptype, kind, first, maplen, mapbits, 0, 0, w, h, depth, desc)


def cmap(kind, w, h, depth, bits, entries, first=0):
    """A colour-mapped TGA header and its map of entries (byte strings)."""
    return tga(kind, w, h, depth, 0, 0, 1, len(entries), bits, first) + b"".join(map(bytes, entries))


def run(n, pixel):
    return bytes([0x80 | (n - 1)]) + bytes(pixel)


def raw(*pixels):
    return bytes([len(pixels) - 1]) + b"".join(map(bytes, pixels))


def rle_noise(w, h, size, seed, below=256):
    """Random run and raw packets of size-byte pixels (each byte below
    `below`) that ignore rows."""
    r, out, left = random.Random(seed), b"", w * h

    def pixel():
        return [r.randrange(below) for _ in range(size)]
    while left:
        n = min(r.randrange(1, 20), left)
        out += run(n, pixel()) if r.randrange(2) else raw(*(pixel() for _ in range(n)))
        left -= n
    return out


def put32(b, at, v):
    return b[:at] + le32(v) + b[at + 4:]


def add(name, data, *expect):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    LINES.append(" ".join((name,) + expect))


def ok(name, data, size, bpp, pixels, *more):
    add(name, data, "ok", size, str(bpp), bytes(pixels).hex(), *more)


def noise(n, seed):
    r = random.Random(seed)
    return bytes(r.randrange(256) for _ in range(n))


PAL2 = bytes([10, 20, 30, 0, 40, 50, 60, 0])  # entries 0 and 1, blue first
RED, GREEN = [30, 20, 10], [60, 50, 40]
PAL16 = PAL2 + bytes(14 * 4)


def bmp_files():
    b24 = bmp(40, 1, 2, 24, 0, 0, b"", bytes([1, 2, 3, 0, 4, 5, 6, 0]))
    b8 = bmp(40, 5, 3, 8, 0, 0, noise(1024, 1), noise(24, 2))
    f565 = le32(0xF800, 0x07E0, 0x1F)
    rle = bytes([3, 1, 0, 0, 0, 3, 0, 1, 0, 0, 0, 1])
    ok("pal8_one_entry.bmp", bmp(40, 1, 1, 8, 0, 1, PAL2[:4], bytes(4)), "1x1", 24, RED, "cuts")
    add("pal8_index_past_palette.bmp", bmp(40, 1, 1, 8, 0, 1, PAL2[:4], bytes([200, 0, 0, 0])), "bad")
    add("pal8_no_palette.bmp", bmp(40, 1, 1, 8, 0, 0, b"", bytes(4)), "bad")
    ok("pal1.bmp", bmp(40, 3, 1, 1, 0, 2, PAL2, bytes([0xA0, 0, 0, 0])), "3x1", 24, GREEN + RED + GREEN, "cuts")
    ok("pal4_core.BMP", bmp(12, 2, 1, 4, 0, 0, bytes([10, 20, 30, 40, 50, 60]) + bytes(42), bytes([0x10, 0, 0, 0])),
       "2x1", 24, GREEN + RED, "cuts")
    ok("rgb555.bmp", bmp(40, 2, 1, 16, 0, 0, b"", bytes([0xFF, 0x7F, 0x94, 0x52])), "2x1", 24,
       [255] * 3 + [164] * 3, "cuts")
    ok("fields565.bmp", bmp(40, 2, 1, 16, 3, 0, f565, bytes([0xE0, 0x07, 0x1F, 0])), "2x1", 24, [0, 255, 0, 0, 0, 255])
    ok("fields565_v5.bmp", bmp(124, 1, 1, 16, 3, 0, b"", bytes([0, 0xF8, 0, 0]), f565), "1x1", 24, [255, 0, 0])
    ok("bgrx32.bmp", bmp(40, 1, 1, 32, 0, 0, b"", bytes([1, 2, 3, 4])), "1x1", 32, [3, 2, 1, 4], "cuts")
    ok("fields_rgba32.bmp", bmp(40, 1, 1, 32, 3, 0, le32(0xFF, 0xFF00, 0xFF0000), bytes([1, 2, 3, 4])), "1x1", 32,
       [1, 2, 3, 4])
    ok("fields_v4_32.bmp", bmp(108, 1, 1, 32, 3, 0, b"", bytes([1, 2, 3, 4]), le32(0xFF00, 0xFF0000, 0xFF000000, 0xFF)),
       "1x1", 32, [2, 3, 4, 1])
    ok("fields32_blue_in_top_byte.bmp", bmp(40, 1, 1, 32, 3, 0, le32(0xFF, 0xFF00, 0xFF000000), bytes([1, 2, 3, 4])),
       "1x1", 32, [1, 2, 4, 0])
    ok("bottom_first.bmp", b24, "1x2", 24, [6, 5, 4, 3, 2, 1], "cuts")
    ok("top_first.bmp", put32(b24, 22, -2), "1x2", 24, [3, 2, 1, 6, 5, 4])
    ok("pal8_5x3.bmp", b8, "5x3", 24, bmp8_pixels(b8), "cuts")
    add("width_2p31.bmp", put32(b24, 18, 0x7FFFFFFF), "large")
    add("height_minus_2p31.bmp", put32(b24, 22, 0x80000000), "large")
    add("width_46341_square.bmp", put32(put32(b24, 18, 46341), 22, 46341), "large")
    add("width_0.bmp", put32(b24, 18, 0), "bad")
    add("width_negative.bmp", put32(b24, 18, -5), "bad")
    add("rows_not_in_file.bmp", put32(put32(b24, 18, 30000), 22, 30000), "bad")
    add("wider_than_rows.bmp", put32(b24, 18, 50), "bad")
    add("pixels_inside_headers.bmp", put32(b24, 10, 20), "bad")
    add("pixels_past_end.bmp", put32(b24, 10, 1 << 20), "bad")
    add("colours_257.bmp", put32(b8, 46, 257), "bad")
    add("colours_max.bmp", put32(b8, 46, 0xFFFFFFFF), "bad")
    for size in (0, 13, 124, 0xFFFFFFFF):
        add("info_size_%d.bmp" % size, put32(b24, 14, size), "bad")
    for depth in (0, 2, 48):
        add("depth_%d.bmp" % depth, b24[:28] + struct.pack("<H", depth) + b24[30:], "bad")
    for comp in (3, 4, 5, 0xFFFFFFFF):  # fields at 24 bits, JPEG, PNG, unknown
        add("compression_%d.bmp" % comp, put32(b24, 30, comp), "bad")
    add("planes_2.bmp", b24[:26] + struct.pack("<H", 2) + b24[28:], "bad")
    add("signature_BA.bmp", b"BA" + b24[2:], "bad")
    ok("rle8.bmp", bmp(40, 3, 2, 8, 1, 2, PAL2, rle), "3x2", 24, RED + GREEN + RED + GREEN * 3)
    ok("rle8_ends_with_line.bmp", bmp(40, 3, 2, 8, 1, 2, PAL2, rle[:-1] + b"\0"), "3x2", 24, RED + GREEN + RED + GREEN * 3)
    ok("rle8_even_literal.bmp", bmp(40, 4, 1, 8, 1, 2, PAL2, bytes([0, 4, 0, 1, 0, 1, 0, 1])), "4x1", 24,
       RED + GREEN + RED + GREEN)
    add("rle8_run_past_row.bmp", bmp(40, 3, 2, 8, 1, 2, PAL2, bytes([4, 1, 0, 1])), "bad")
    add("rle8_jump_past_picture.bmp", bmp(40, 3, 2, 8, 1, 2, PAL2, bytes([0, 2, 0, 2, 0, 1])), "bad")
    add("rle8_line_past_picture.bmp", bmp(40, 3, 1, 8, 1, 2, PAL2, bytes([0, 0, 0, 0, 0, 1])), "bad")
    add("rle8_ends_early.bmp", bmp(40, 3, 2, 8, 1, 2, PAL2, bytes([3, 1, 0, 0])), "bad")
    add("rle8_literal_cut.bmp", bmp(40, 3, 2, 8, 1, 2, PAL2, bytes([0, 3, 0, 1, 0])), "bad")
    ok("rle4_jump_run.bmp", bmp(40, 3, 1, 4, 2, 16, PAL16, bytes([0, 2, 1, 0, 2, 0x11, 0, 1])), "3x1", 24,
       RED + GREEN + GREEN)
    add("rle4_literal_past_palette.bmp", bmp(40, 3, 1, 4, 2, 2, PAL2, bytes([0, 3, 0x12, 0x10, 0, 1])), "bad")
    add("gif_content.bmp", b"GIF89a\x01\x00\x01\x00\x80\x00\x00", "bad")
    add("png_content.bmp", b"\x89PNG\r\n\x1a\n" + bytes(30), "bad")
    add("jpeg_content.bmp", bytes([0xFF, 0xD8, 0xFF, 0xE0, 0, 16]) + b"JFIF\0", "bad")
    add("empty.bmp", b"", "bad")


def bmp8_pixels(b):
    pal, px = b[54:54 + 1024], b[1078:]
    out = []
    for y in reversed(range(3)):
        for i in px[y * 8:y * 8 + 5]:
            out += [pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]]
    return out


def pnm_files():
    ok("maxval_15.ppm", b"P6 1 1 15\n\x0f\x07\x00", "1x1", 24, [255, 119, 0], "cuts")
    ok("maxval_1.pgm", b"P5 2 1 1\n\x01\x00", "2x1", 8, [255, 0], "cuts")
    ok("maxval_65535.pgm", b"P5 2 1 65535\n\x12\x34\x00\xff", "2x1", 8, [18, 1], "cuts")
    add("raw_above_maxval.pgm", b"P5 1 1 15\n\x10", "bad")
    add("plain_above_maxval.pgm", b"P2 1 1 15 16\n", "bad")
    ok("plain_colour.ppm", b"P3 1 1 255 9 8 7", "1x1", 24, [9, 8, 7])
    ok("plain_bits_glued.pgm", b"P1 3 1\n101\n", "3x1", 8, [0, 255, 0])
    ok("plain_bits_spaced.pgm", b"P1 2 1\n10 1\n", "2x1", 8, [0, 255])
    add("plain_bit_2.pgm", b"P1 2 1\n12\n", "bad")
    ok("raw_bits_padded.pgm", b"P4 10 1\n\xc0\x40", "10x1", 8, [0, 0] + [255] * 7 + [0], "cuts")
    ok("crlf.pgm", b"P5\r\n2 1\r\n255\n\x01\x02", "2x1", 8, [1, 2], "cuts")
    ok("comments_everywhere.pgm", b"P2#a\n2#b\n1#c\n255#d\n1#e\n2#f\n", "2x1", 8, [1, 2])
    ok("comment_after_maxval.pgm", b"P5 1 1 255#x\n\x07", "1x1", 8, [7])
    add("side_100000.ppm", b"P6 100000 100000 255\n" + bytes(100), "large")
    add("side_20_digits.ppm", b"P6 99999999999999999999 1 255\n" + bytes(100), "large")
    add("raw_cut.ppm", b"P6 2 1 255\n\x01\x02\x03\x04\x05", "bad")
    add("plain_cut.pgm", b"P2 3 1 255 1 2", "bad")
    add("width_0.pgm", b"P2 0 1 255\n", "bad")
    add("maxval_0.pgm", b"P5 1 1 0\n\0", "bad")
    for maxval in (b"65536", b"-1", b"x"):
        add("maxval_%s.pgm" % maxval.decode(), b"P5\n5 3\n" + maxval + b"\n" + bytes(30), "bad")
    for magic in (b"P7", b"PF", b"p6", b"P"):
        add("magic_%s.ppm" % magic.decode(), magic + b"\n5 3\n255\n" + bytes(45), "bad")
    add("sixteen_bit_samples_missing.ppm", b"P6\n5 3\n65535\n" + bytes(45), "bad")
    add("signed_width.ppm", b"P6\n+5 3\n255\n" + bytes(45), "bad")
    add("comment_only.ppm", b"P6\n# nothing else\n", "bad")
    add("header_cut.ppm", b"P6\n5 3\n255", "bad")
    # Numbers glued to other characters: "P41P1" once asked for gigabytes.
    add("glued_format.pgm", b"P41P1\n2322223223\n", "bad")
    add("glued_width.ppm", b"P6\n5x3\n255\n" + bytes(45), "bad")
    add("glued_bits.pgm", b"P4\n8 1P9999999\n" + bytes(9), "bad")
    add("nul_after_width.ppm", b"P6\n5\0 3\n255\n" + bytes(45), "bad")
    # A comment glued to a number hides the rest of its line: the height is
    # the huge number of the next line.
    add("comment_glued_to_width.pgm", b"P4\n1# 4\n50187975555\n" + bytes(4), "large")
    add("xpm_content.ppm", b'/* XPM */\nstatic char *x[] = {"1 1 1 1"};\n', "bad")
    add("empty.pgm", b"", "bad")


def tga_files():
    ok("rgb555.tga", tga(2, 5, 1, 16) + bytes([0xFF, 0x7F, 0, 0x7C, 0xE0, 3, 0x1F, 0, 0, 0x80]), "5x1", 24,
       [248] * 4 + [0, 0, 0, 248, 0, 0, 0, 248] + [0] * 3, "cuts")
    ok("bgra32_attribute_dropped.tga", tga(2, 2, 2, 32, 8) + bytes([1, 2, 3, 200, 4, 5, 6, 201, 7, 8, 9, 202, 10, 11, 12, 203]),
       "2x2", 24, [9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4], "cuts")
    ok("type3_24bits.tga", tga(3, 1, 1, 24) + bytes([1, 2, 3]), "1x1", 24, [3, 2, 1], "cuts")
    ok("type2_8bits.tga", tga(2, 2, 1, 8) + bytes([7, 9]), "2x1", 8, [7, 9], "cuts")
    ok("top_first.tga", tga(2, 1, 2, 24, 0x20) + bytes([1, 2, 3, 4, 5, 6]), "1x2", 24, [3, 2, 1, 6, 5, 4], "cuts")
    ok("id_field.tga", tga(3, 2, 2, 8, 0, 11) + bytes([0xEE] * 11) + bytes([10, 20, 30, 40]), "2x2", 8, [30, 40, 10, 20],
       "cuts")
    for bits in (15, 24, 32, 1):
        ok("colour_map_%dbits.tga" % bits, tga(2, 1, 1, 24, 0, 0, 1, 5, bits) + bytes([0xAB] * (5 * ((bits + 7) // 8)))
           + bytes([1, 2, 3]), "1x1", 24, [3, 2, 1])
    ok("undeclared_map_ignored.tga", tga(2, 1, 1, 24, 0, 0, 0, 5, 24) + bytes([1, 2, 3]), "1x1", 24, [3, 2, 1])
    ok("one_pixel_of_two.tga", tga(2, 2, 1, 24) + bytes([1, 2, 3]), "2x1", 24, [3, 2, 1, 0, 0, 0])
    for kind in (0, 4, 8, 12, 255):
        add("type_%d.tga" % kind, tga(kind, 1, 1, 24) + bytes(3), "bad")
    for depth in (0, 1, 15, 31, 48):
        add("depth_%d.tga" % depth, tga(2, 1, 1, depth) + bytes(16), "bad")
    for w, h, why in ((0, 1, "bad"), (1, 0, "bad"), (32768, 1, "large"), (1, 40000, "large"), (65535, 65535, "large")):
        add("sides_%dx%d.tga" % (w, h), tga(2, w, h, 8) + bytes(16), why)
    add("header_only.tga", tga(2, 32767, 32767, 24), "bad")
    add("depth_15_sides_32767.tga", tga(2, 32767, 32767, 15) + bytes(16), "bad")  # damaged, not too large
    add("id_and_map_past_end.tga", tga(2, 4, 4, 24, 0, 255, 1, 65535, 255) + bytes(100), "bad")
    add("header_cut.tga", tga(2, 1, 1, 24)[:17], "bad")
    add("png_content.tga", b"\x89PNG\r\n\x1a\n\0\0\0\x0d", "bad")
    add("unknown_extension.gif", b"GIF89a", "bad")
    tga_compressed_files()
    tga_mapped_files()


def tga_compressed_files():
    ok("rle_bgr24_runs_cross_rows.tga", tga(10, 3, 2, 24) + run(4, [1, 2, 3]) + raw([4, 5, 6], [7, 8, 9]), "3x2", 24,
       [3, 2, 1, 6, 5, 4, 9, 8, 7] + [3, 2, 1] * 3, "gm", "netpbm", "cuts")
    ok("rle_grey8_top_first.tga", tga(11, 4, 2, 8, 0x20) + raw([1], [2], [3]) + run(5, [9]), "4x2", 8,
       [1, 2, 3, 9] + [9] * 4, "gm", "netpbm", "cuts")
    ok("rle_rgb555.tga", tga(10, 2, 2, 16) + run(3, [0xFF, 0x7F]) + raw([0x1F, 0x80]), "2x2", 24,
       [248] * 3 + [0, 0, 248] + [248] * 6, "cuts")
    ok("rle_bgra32.tga", tga(10, 2, 1, 32, 8) + raw([1, 2, 3, 4]) + run(1, [5, 6, 7, 8]), "2x1", 24, [3, 2, 1, 7, 6, 5],
       "gm", "netpbm", "cuts")
    ok("rle_footer_after_stream.tga", tga(11, 2, 1, 8) + run(2, [7]) + bytes(8) + b"TRUEVISION-XFILE.\0", "2x1", 8, [7, 7])
    add("rle_run_past_picture.tga", tga(10, 3, 1, 24) + run(4, [1, 2, 3]), "bad")
    add("rle_raw_past_picture.tga", tga(11, 3, 1, 8) + raw([1], [2], [3], [4]), "bad")
    add("rle_stream_ends_early.tga", tga(10, 3, 1, 24) + run(2, [1, 2, 3]), "bad")
    add("rle_raw_packet_cut.tga", tga(10, 3, 1, 24) + raw([1, 2, 3], [4, 5, 6], [7, 8, 9])[:-1], "bad")
    add("rle_sides_32767_small_file.tga", tga(10, 32767, 32767, 24) + run(128, [1, 2, 3]) * 100, "bad")
    add("rle_depth_15.tga", tga(10, 1, 1, 15) + run(1, [1, 2]), "bad")


def tga_mapped_files():
    rgb = [[1, 2, 3], [4, 5, 6]]
    entries = {15: [[0xFF, 0x7F], [0x94, 0x52]], 16: [[0xFF, 0xFF], [0x94, 0xD2]], 24: rgb,
               32: [[1, 2, 3, 4], [5, 6, 7, 8]]}
    colours = {15: [160] * 3 + [248] * 3, 16: [160] * 3 + [248] * 3, 24: [6, 5, 4, 3, 2, 1], 32: [7, 6, 5, 3, 2, 1]}
    for bits in (15, 16, 24, 32):
        ok("mapped_entries_%dbits.tga" % bits, cmap(1, 2, 1, 8, bits, entries[bits]) + bytes([1, 0]), "2x1", 24,
           colours[bits], *(("netpbm", "cuts") if bits >= 24 else ()))
    ok("rle_mapped_runs_cross_rows.tga", cmap(9, 3, 2, 8, 24, rgb) + run(4, [1]) + raw([0], [1]), "3x2", 24,
       [6, 5, 4, 3, 2, 1, 6, 5, 4] + [6, 5, 4] * 3, "gm", "netpbm", "cuts")
    ok("mapped_first_index_3.tga", cmap(1, 2, 1, 8, 24, rgb, 3) + bytes([4, 3]), "2x1", 24, [6, 5, 4, 3, 2, 1], "netpbm",
       "cuts")
    ok("rle_mapped_16bit_index_first_256.tga", cmap(9, 3, 1, 16, 24, rgb, 256) + raw([1, 1], [0, 1]) + run(1, [1, 1]),
       "3x1", 24, [6, 5, 4, 3, 2, 1, 6, 5, 4], "netpbm", "cuts")
    add("mapped_index_below_first.tga", cmap(1, 1, 1, 8, 24, rgb, 3) + bytes([2]), "bad")
    add("mapped_index_past_map.tga", cmap(1, 1, 1, 8, 24, rgb) + bytes([2]), "bad")
    add("rle_mapped_index_past_map.tga", cmap(9, 2, 1, 8, 24, rgb) + run(2, [2]), "bad")
    for bits in (0, 8, 17, 31):
        add("mapped_entry_bits_%d.tga" % bits, tga(1, 1, 1, 8, 0, 0, 1, 2, bits) + bytes(8), "bad")
    add("mapped_without_map.tga", tga(1, 1, 1, 8) + bytes(8), "bad")
    add("mapped_map_length_0.tga", tga(1, 1, 1, 8, 0, 0, 1, 0, 24) + bytes(8), "bad")
    add("mapped_depth_24.tga", cmap(1, 1, 1, 24, 24, rgb) + bytes(3), "bad")
    add("mapped_map_cut.tga", tga(9, 1, 1, 8, 0, 0, 1, 200, 24) + bytes(100), "bad")


def independent_files():
    """13 x 7 random pictures of every kind, to read as gm and netpbm do."""
    def pnm(magic, channels, maxval, seed):
        r = random.Random(seed)
        v = [r.randrange(maxval + 1) for _ in range(13 * 7 * channels)]
        head = b"%s\n# made for the test\n13 7\n%d\n" % (magic, maxval)
        if magic in (b"P2", b"P3"):
            return head + " ".join(map(str, v)).encode() + b"\n"
        return head + b"".join(struct.pack(">H" if maxval > 255 else "B", s) for s in v)

    def rle(four, seed):
        n, mask, s = noise(49, seed), 0xFF if four else 0x0F, b""
        for y in range(7):
            m = n[7 * y:7 * y + 7]
            s += bytes([0, 5] + [m[0], m[1], m[2], 0] if four else [0, 5] + [c & mask for c in m[:5]] + [0])
            s += bytes([4, m[5] & mask, 4, m[6] & mask, 0, 0])
        return s + b"\0\1"

    both = ("gm", "netpbm")
    files = [
        ("pal1_13x7.bmp", bmp(40, 13, 7, 1, 0, 2, noise(8, 1), noise(28, 4)), both),
        ("pal4_13x7.bmp", bmp(40, 13, 7, 4, 0, 16, noise(64, 2), noise(56, 5)), both),
        ("pal8_13x7.bmp", bmp(40, 13, 7, 8, 0, 0, noise(1024, 3), noise(112, 6)), both),
        ("pal8_core_13x7.bmp", bmp(12, 13, 7, 8, 0, 0, noise(768, 7), noise(112, 8)), both),
        ("bgr24_13x7.bmp", bmp(40, 13, 7, 24, 0, 0, b"", noise(280, 9)), both),
        ("bgr24_top_first_13x7.bmp", bmp(40, 13, -7, 24, 0, 0, b"", noise(280, 10)), both),
        ("bgra32_13x7.bmp", bmp(40, 13, 7, 32, 0, 0, b"", noise(364, 11)), both),
        ("fields_rgba32_13x7.bmp", bmp(40, 13, 7, 32, 3, 0, le32(0xFF, 0xFF00, 0xFF0000), noise(364, 12)), ("gm",)),
        ("rgb555_13x7.bmp", bmp(40, 13, 7, 16, 0, 0, b"", noise(196, 13)), ("netpbm",)),
        ("fields565_v5_13x7.bmp", bmp(124, 13, 7, 16, 3, 0, b"", noise(196, 14), le32(0xF800, 0x7E0, 0x1F)), ("netpbm",)),
        ("rle8_13x7.bmp", bmp(40, 13, 7, 8, 1, 16, noise(64, 2), rle(False, 15)), both),
        ("rle4_13x7.bmp", bmp(40, 13, 7, 4, 2, 16, noise(64, 2), rle(True, 16)), both),
        ("p1_13x7.pgm", b"P1\n13 7\n" + bytes(48 + (c & 1) for c in noise(91, 17)), both),
        ("p4_13x7.pgm", b"P4\n13 7\n" + noise(14, 18), both),
        ("p2_maxval15_13x7.pgm", pnm(b"P2", 1, 15, 19), ("netpbm",)),
        ("p3_13x7.ppm", pnm(b"P3", 3, 255, 20), both),
        ("p5_maxval1_13x7.pgm", pnm(b"P5", 1, 1, 21), ("netpbm",)),
        ("p5_maxval1000_13x7.pgm", pnm(b"P5", 1, 1000, 22), ("netpbm",)),
        ("p6_13x7.ppm", pnm(b"P6", 3, 255, 23), both),
        ("p6_maxval65535_13x7.ppm", pnm(b"P6", 3, 65535, 24), ("netpbm",)),
    ]
    for name, data, readers in files:
        add(name, data, *readers)
    tga_independent_files()


def tga_independent_files():
    """13 x 7 TGA files whose packets cross rows, and files of netpbm's pamtotga."""
    r = random.Random(30)
    rgb = [[r.randrange(256) for _ in range(3)] for _ in range(40)]
    both = ("gm", "netpbm")
    add("rle_bgr24_13x7.tga", tga(10, 13, 7, 24) + rle_noise(13, 7, 3, 31), *both)
    add("rle_grey8_top_first_13x7.tga", tga(11, 13, 7, 8, 0x20) + rle_noise(13, 7, 1, 32), *both)
    add("rle_bgra32_13x7.tga", tga(10, 13, 7, 32, 8) + rle_noise(13, 7, 4, 33), *both)
    add("rle_mapped_13x7.tga", cmap(9, 13, 7, 8, 24, rgb) + rle_noise(13, 7, 1, 34, len(rgb)), *both)
    # Few colours, so that pamtotga finds runs, and a map.
    picture = b"".join(bytes(r.choice(rgb[:9])) for _ in range(13 * 7))
    ppm, pgm = b"P6 13 7 255\n" + picture, b"P5 13 7 255\n" + picture[::3]
    for name, options, source in (("rgb_rle", ["-rgb"], ppm), ("rgb_plain", ["-rgb", "-norle"], ppm),
                                  ("cmap_rle", ["-cmap"], ppm), ("cmap_plain", ["-cmap", "-norle"], ppm),
                                  ("grey_rle", [], pgm)):
        made = subprocess.run(["pamtotga"] + options, input=source, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              check=True).stdout
        add("pamtotga_%s_13x7.tga" % name, made, *both + (("cuts",) if name.endswith("rle") else ()))


def tool(args, data):
    return subprocess.run(args, input=data, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout


def png_chunks(png):
    at, out = 8, []
    while at < len(png):
        n = struct.unpack(">I", png[at:at + 4])[0]
        out.append((png[at + 4:at + 8], png[at + 8:at + 8 + n]))
        at += 12 + n
    return out


def png(chunks):
    body = b"".join(struct.pack(">I", len(d)) + k + d + struct.pack(">I", zlib.crc32(k + d)) for k, d in chunks)
    return b"\x89PNG\r\n\x1a\n" + body


def png_image(w, h, bits, colour, rows, plte=b""):
    ihdr = struct.pack(">IIBBBBB", w, h, bits, colour, 0, 0, 0)
    return png([(b"IHDR", ihdr)] + ([(b"PLTE", plte)] if plte else []) + [(b"IDAT", zlib.compress(rows)), (b"IEND", b"")])


def png_edited(base, kind, edit):
    """base with the data of its chunk kind passed through edit, its CRC made right again."""
    return png([(k, edit(bytearray(d)) if k == kind else d) for k, d in png_chunks(base)])


def patched(b, at, data):
    return b[:at] + data + b[at + len(data):]


def png_files():
    """Damaged PNG files, made from a 5 x 3 RGB one."""
    rows = b"".join(b"\0" + noise(15, 40 + y) for y in range(3))
    good = png_image(5, 3, 8, 2, rows)
    add("png_rgb8_5x3.png", good, "ok", "5x3", "24", b"".join(rows[16 * y + 1:16 * y + 16] for y in range(3)).hex(),
        "pngtopam", "cuts")

    def sides(w, h):
        return lambda d: struct.pack(">II", w, h) + d[8:]

    add("png_sides_100000.png", png_edited(good, b"IHDR", sides(100000, 100000)), "large")
    add("png_width_32768.png", png_edited(good, b"IHDR", sides(32768, 1)), "large")
    add("png_height_0.png", png_edited(good, b"IHDR", sides(5, 0)), "bad")
    add("png_bit_depth_3.png", png_edited(good, b"IHDR", lambda d: d[:8] + b"\3" + d[9:]), "bad")
    add("png_idat_bad_crc.png", patched(good, len(good) - 13, bytes([good[-13] ^ 1])), "bad")
    add("png_deflate_damaged.png", png_edited(good, b"IDAT", lambda d: d[:2] + bytes([d[2] ^ 255, d[3] ^ 255]) + d[4:]),
        "bad")
    add("png_index_past_palette.png", png_image(2, 1, 8, 3, b"\0\0\5", bytes([1, 2, 3])), "bad")
    add("png_garbage_after_signature.png", good[:8] + b"Z" * 592, "bad")


def repeat_first_scan(jpeg, times):
    """jpeg with its first scan (SOS to the next marker) repeated times more."""
    sos = 2
    while jpeg[sos:sos + 2] != b"\xff\xda":
        sos += 2 + struct.unpack(">H", jpeg[sos + 2:sos + 4])[0]
    end = sos + 2
    while not (jpeg[end] == 0xFF and jpeg[end + 1] != 0 and not 0xD0 <= jpeg[end + 1] <= 0xD7):
        end += 1
    return jpeg[:end] + jpeg[sos:end] * times + jpeg[end:]


def exif(jpeg, order, tag, kind, value, directory):
    """jpeg with an APP1 segment: a TIFF header and one directory of one entry."""
    tiff = order + struct.pack(("<" if order == b"II" else ">") + "HIHHHIHHI", 42, directory, 1, tag, kind, 1, value, 0, 0)
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(tiff) + 8) + b"Exif\0\0" + tiff + jpeg[2:]


def jpeg_files():
    """Damaged JPEG files and EXIF orientations, made from cjpeg's files of
    13 x 7 noise; the orientations are checked against djpeg's picture
    (which ignores them) turned by pamflip."""
    jpeg = tool(["cjpeg"], b"P6 13 7 255\n" + noise(13 * 7 * 3, 50))
    scans = tool(["cjpeg", "-progressive"], b"P5 8 8 255\n" + noise(64, 51))
    sof = jpeg.index(b"\xff\xc0")
    add("jpeg_13x7.jpg", jpeg, "ok", "13x7", "24", "djpeg", "cuts")
    add("jpeg_width_65500.jpg", patched(jpeg, sof + 7, b"\xff\xdc"), "large")
    add("jpeg_width_0.jpg", patched(jpeg, sof + 7, b"\0\0"), "bad")
    add("jpeg_scans_1500.jpg", repeat_first_scan(scans, 1500), "bad")
    add("jpeg_scans_900.jpg", repeat_first_scan(scans, 900), "ok", "8x8", "8")  # a repeated scan is only a warning
    add("jpeg_garbage_after_soi.jpg", jpeg[:2] + b"Z" * (len(jpeg) - 2), "bad")
    same, turned = ("ok", "13x7", "24", "djpeg"), ("ok", "7x13", "24", "djpeg")
    for name, order, tag, kind, value, directory, upright in (
            ("1_as_stored", b"II", 0x112, 3, 1, 8, same),
            ("2_mirrored", b"MM", 0x112, 3, 2, 8, same + ("| pamflip -lr",)),
            ("3_half_turn", b"II", 0x112, 3, 3, 8, same + ("| pamflip -r180",)),
            ("4_flipped", b"MM", 0x112, 3, 4, 8, same + ("| pamflip -tb",)),
            ("5_transposed", b"II", 0x112, 3, 5, 8, turned + ("| pamflip -transpose",)),
            ("6_stored_anticlockwise", b"MM", 0x112, 3, 6, 8, turned + ("| pamflip -cw",)),
            ("7_transversed", b"II", 0x112, 3, 7, 8, turned + ("| pamflip -transpose | pamflip -r180",)),
            ("8_stored_clockwise", b"MM", 0x112, 3, 8, 8, turned + ("| pamflip -ccw",)),
            ("value_9_ignored", b"II", 0x112, 3, 9, 8, same),
            ("value_0_ignored", b"MM", 0x112, 3, 0, 8, same),
            ("other_tag_ignored", b"II", 0x110, 3, 6, 8, same),
            ("long_not_short_ignored", b"II", 0x112, 4, 6, 8, same),
            ("directory_past_segment_ignored", b"II", 0x112, 3, 6, 4000, same),
            ("directory_at_last_byte_ignored", b"MM", 0x112, 3, 6, 25, same),
            ("directory_offset_wrapping_ignored", b"II", 0x112, 3, 6, 0xFFFFFFF8, same)):
        add("exif_%s.jpg" % name, exif(jpeg, order, tag, kind, value, directory), *upright)


def webp_files():
    """Damaged WebP files, made from an animation of img2webp."""
    frames = [os.path.join(HERE, "frame%d.ppm" % i) for i in (1, 2)]
    for i, frame in enumerate(frames):
        with open(frame, "wb") as f:
            f.write(b"P6\n4 3\n255\n" + noise(36, 60 + i))
    anim = tool(["img2webp", "-lossless"] + frames + ["-o", "-"], b"")
    for frame in frames:
        os.remove(frame)
    add("webp_canvas_40000_wide.webp", patched(anim, 24, b"\x3f\x9c\x00"), "large")
    add("webp_garbage_after_header.webp", anim[:12] + b"Z" * (len(anim) - 12), "bad")


def main():
    os.makedirs(HERE, exist_ok=True)
    for name in os.listdir(HERE):
        os.remove(os.path.join(HERE, name))
    bmp_files()
    pnm_files()
    tga_files()
    independent_files()
    png_files()
    jpeg_files()
    webp_files()
    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("\n".join(LINES) + "\n")


main()
