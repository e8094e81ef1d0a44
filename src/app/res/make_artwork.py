#!/usr/bin/env python3
"""Draws Lumora's pictures, pixel for pixel, so that every build has the same
artwork without depending on the fonts of the build machine.

  make_artwork.py OUTDIR

writes idle.bmp and busy.bmp (56 x 30, 24-bit: the drop window's idle and
busy faces), lumora.ico (32 x 32, the program icon), skin.bmp (354 x 228,
24-bit: the main window's face, whose non-white pixels give the window its
outline) and minimize.bmp and close.bmp (15 x 15, the title buttons'
glyphs on a magenta key colour).
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
    "p": [".....", ".....", "XXXX.", "X...X", "X...X", "X...X", "XXXX.", "X....", "X...."],
    "c": [".....", ".....", ".XXX.", "X....", "X....", "X....", ".XXX."],
    "t": [".X..", ".X..", "XXXX", ".X..", ".X..", ".X..", "..XX"],
    "e": [".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXX."],
    "b": ["X....", "X....", "XXXX.", "X...X", "X...X", "X...X", "XXXX."],
    " ": ["..", "..", "..", "..", "..", "..", ".."],
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


SKIN_W, SKIN_H = 354, 228
# The card's extent: the window's outline is every pixel that is not white.
CARD_LEFT, CARD_TOP, CARD_RIGHT, CARD_BOTTOM = 11, 7, 342, 218
CARD_RADIUS = 14
WHITE = (255, 255, 255)
# Nothing inside the card may be pure white, or it would cut a hole.
INK_LIGHT = (248, 246, 255)
BORDER = (46, 38, 112)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def in_rounded(x, y, left, top, right, bottom, radius):
    """Whether pixel x, y lies in the rectangle left..right, top..bottom
    (inclusive) with corners rounded to radius."""
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def fill_rounded(img, left, top, right, bottom, radius, colour_at):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if in_rounded(x, y, left, top, right, bottom, radius):
                img[y][x] = colour_at(x, y)


def skin():
    """The main window: a rounded indigo card with a title strip, a well for
    the command buttons on the left, a soft shadow where the panels lie, and
    a small picture emblem under the buttons."""
    img = canvas(SKIN_W, SKIN_H, WHITE)
    top_colour, bottom_colour = (118, 104, 222), (64, 52, 156)
    height = CARD_BOTTOM - CARD_TOP
    # The border first, then the body one pixel inside it.
    fill_rounded(img, CARD_LEFT, CARD_TOP, CARD_RIGHT, CARD_BOTTOM, CARD_RADIUS, lambda x, y: BORDER)
    fill_rounded(img, CARD_LEFT + 1, CARD_TOP + 1, CARD_RIGHT - 1, CARD_BOTTOM - 1, CARD_RADIUS - 1,
                 lambda x, y: mix(top_colour, bottom_colour, (y - CARD_TOP) / height))
    # A light rim along the top edge, as if lit from above.
    for x in range(CARD_LEFT + CARD_RADIUS, CARD_RIGHT - CARD_RADIUS + 1):
        img[CARD_TOP + 1][x] = mix(top_colour, INK_LIGHT, 0.55)
    # The title strip: a little lighter, with a fine line under it.
    for y in range(CARD_TOP + 2, 33):
        for x in range(CARD_LEFT + 1, CARD_RIGHT):
            if img[y][x] not in (WHITE, BORDER):
                img[y][x] = mix(img[y][x], (150, 138, 240), 0.35)
    for x in range(CARD_LEFT + 8, CARD_RIGHT - 7):
        img[33][x] = mix(top_colour, BORDER, 0.6)
    draw_text(img, "Lumora", 22, 14, INK_LIGHT, scale=2)
    draw_text(img, "picture grabber", 22 + text_width("Lumora", 2) + 10, 21, (206, 200, 250))
    # The well for the command buttons (19..64 wide, 48..175 high).
    fill_rounded(img, 14, 40, 69, 183, 6, lambda x, y: BORDER)
    fill_rounded(img, 15, 41, 68, 182, 5,
                 lambda x, y: mix((92, 80, 190), (74, 62, 168), (y - 41) / 141))
    # A shadow to the right of and below the panels (72..336 x 35..214).
    for d, t in ((1, 0.55), (2, 0.3)):
        for y in range(35 + d + 1, 215 + d):
            img[y][336 + d] = mix(img[y][336 + d], BORDER, t)
        for x in range(72 + d + 1, 337 + d):
            img[214 + d][x] = mix(img[214 + d][x], BORDER, t)
    # The emblem: a framed picture of hills under a sun.
    ex, ey, ew, eh = 24, 190, 26, 20
    for y in range(ey, ey + eh):
        for x in range(ex, ex + ew):
            edge = x in (ex, ex + ew - 1) or y in (ey, ey + eh - 1)
            img[y][x] = (230, 226, 252) if edge else (150, 196, 246)
    for x in range(ex + 1, ex + ew - 1):
        for y in range(ey + 1, ey + eh - 1):
            hill = ey + eh - 2 - max(0, 8 - abs(x - (ex + 9))) // 1
            hill2 = ey + eh - 2 - max(0, 6 - abs(x - (ex + 18)))
            if y >= min(hill, hill2):
                img[y][x] = (52, 150, 88) if y >= hill else (40, 120, 70)
    for y in range(ey + 3, ey + 8):
        for x in range(ex + 17, ex + 22):
            if (x - (ex + 19)) ** 2 + (y - (ey + 5)) ** 2 <= 5:
                img[y][x] = (255, 206, 60)
    return img


KEY = (255, 0, 255)
GLYPH_INK = (40, 30, 96)


def glyph(kind):
    """15 x 15 on the key colour, which the button leaves out."""
    img = canvas(15, 15, KEY)
    if kind == "minimize":
        for y in (10, 11):
            for x in range(3, 12):
                img[y][x] = GLYPH_INK
    else:
        for i in range(3, 12):
            for dx in (0, 1):
                if i + dx <= 11:
                    img[i][i + dx] = GLYPH_INK
                    img[i][14 - i - dx] = GLYPH_INK
    return img


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
    files["skin.bmp"] = bmp24(skin())
    files["minimize.bmp"] = bmp24(glyph("minimize"))
    files["close.bmp"] = bmp24(glyph("close"))
    for name, data in files.items():
        path = os.path.join(out, name)
        # Rewritten only when different, so the resources are not rebuilt needlessly.
        if not os.path.exists(path) or open(path, "rb").read() != data:
            with open(path, "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
