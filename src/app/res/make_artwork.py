#!/usr/bin/env python3
"""Draws Lumora's pictures, pixel for pixel, so that every build has the same
artwork without depending on the fonts of the build machine.

  make_artwork.py OUTDIR

writes idle.bmp and busy.bmp (56 x 30, 24-bit: the drop window's idle and
busy faces) and lumora.ico (32 x 32, the program icon).
"""
import os
import struct
import sys

# A small pixel font: X is ink. Rows 0-6 stand on the base line; rows 7-8
# are for descenders.
GLYPHS = {
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    "u": [".....", ".....", "X...X", "X...X", "X...X", "X..XX", ".XX.X"],
    "m": [".......", ".......", "XXXXXX.", "X..X..X", "X..X..X", "X..X..X", "X..X..X"],
    "o": [".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."],
    "r": [".....", ".....", "X.XX.", "XX..X", "X....", "X....", "X...."],
    "a": [".....", ".....", ".XXX.", "....X", ".XXXX", "X...X", ".XXXX"],
    "s": [".....", ".....", ".XXXX", "X....", ".XXX.", "....X", "XXXX."],
    "v": [".....", ".....", "X...X", "X...X", "X...X", ".X.X.", "..X.."],
    "i": [".X.", "...", "XX.", ".X.", ".X.", ".X.", "XXX"],
    "n": [".....", ".....", "X.XX.", "XX..X", "X...X", "X...X", "X...X"],
    "g": [".....", ".....", ".XXXX", "X...X", "X...X", "X...X", ".XXXX", "....X", ".XXX."],
    ".": ["..", "..", "..", "..", "..", "XX", "XX"],
}

GOLD = (255, 215, 0)
DARK_GOLD = (184, 134, 11)


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


def text_width(text, scale=1, bold=0):
    return sum((len(GLYPHS[c][0]) + bold) * scale for c in text) + (len(text) - 1) * scale


def draw_text(img, text, left, top, colour, scale=1, bold=0):
    """bold=1 inks every pixel once more one column to the right, so that
    the letters stay readable on a small, see-through window."""
    x = left
    for c in text:
        rows = GLYPHS[c]
        for ry, row in enumerate(rows):
            for rx, cell in enumerate(row):
                if cell == "X":
                    for dy in range(scale):
                        for dx in range(scale * (1 + bold)):
                            img[top + ry * scale + dy][x + rx * scale + dx] = colour
        x += (len(rows[0]) + bold + 1) * scale


def frame(img):
    h, w = len(img), len(img[0])
    for ring, colour in ((0, GOLD), (1, DARK_GOLD)):
        for x in range(ring, w - ring):
            img[ring][x] = img[h - 1 - ring][x] = colour
        for y in range(ring, h - ring):
            img[y][ring] = img[y][w - 1 - ring] = colour


def face(text, field, ink):
    img = canvas(56, 30, field)
    frame(img)
    # The 7 rows above the base line are centred; descenders hang below.
    draw_text(img, text, (56 - text_width(text, bold=1)) // 2, (30 - 7) // 2, ink, bold=1)
    return img


def bmp24(img):
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(img):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


def icon(img):
    """One 32 x 32 32-bit image with its AND mask (all opaque)."""
    h, w = len(img), len(img[0])
    xor = bytearray()
    for row in reversed(img):
        for r, g, b in row:
            xor += bytes((b, g, r, 255))
    mask = bytes(((w + 31) // 32) * 4 * h)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    data = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(data), 22)
    return directory + data


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "idle.bmp": bmp24(face("Lumora", (0, 100, 0), (255, 0, 0))),
        "busy.bmp": bmp24(face("saving..", (0, 255, 0), (0, 0, 0))),
    }
    ico = canvas(32, 32, (0, 100, 0))
    frame(ico)
    draw_text(ico, "L", (32 - 5 * 3) // 2, (32 - 7 * 3) // 2, (255, 0, 0), scale=3)
    files["lumora.ico"] = icon(ico)
    for name, data in files.items():
        path = os.path.join(out, name)
        # Rewritten only when different, so the resources are not rebuilt needlessly.
        if not os.path.exists(path) or open(path, "rb").read() != data:
            with open(path, "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
