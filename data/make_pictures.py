#!/usr/bin/env python3
"""Draws the setup program's pictures and icons and writes them as Windows files.

Every picture is drawn in the standard 16-colour Windows palette, pixel by
pixel, from the shapes below, so the output is the same bytes on every run and
every machine (no fonts, no time stamps, no third-party libraries).

    make_pictures.py [--out DIR]     write the pictures into DIR (default: here)
    make_pictures.py --check DIR     exit 1 unless DIR holds exactly these bytes
    make_pictures.py --preview DIR   write enlarged PNG previews for a look
"""

import argparse
import math
import pathlib
import struct
import sys
import zlib

# The standard 16-colour Windows palette, in its usual index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = range(16)

# An icon pixel that shows what lies beneath (AND mask bit set).
CLEAR = None


class Canvas:
    """A grid of palette indices (or CLEAR) with the few drawing tools we need."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.rows = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def get(self, x, y):
        return self.rows[y][x]

    def fill(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def frame(self, x, y, w, h, colour):
        self.fill(x, y, w, 1, colour)
        self.fill(x, y + h - 1, w, 1, colour)
        self.fill(x, y, 1, h, colour)
        self.fill(x + w - 1, y, 1, h, colour)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def shape(self, pixels, fill, outline):
        """Fills a set of pixels and rims it with an outline where it borders
        anything outside the set."""
        for (x, y) in pixels:
            edge = any((x + dx, y + dy) not in pixels
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.put(x, y, outline if edge else fill(x, y))

    def blit(self, other, x, y):
        for yy in range(other.height):
            for xx in range(other.width):
                if other.get(xx, yy) is not CLEAR:
                    self.put(x + xx, y + yy, other.get(xx, yy))


# Ordered (Bayer) dithering: mixes two palette colours in 17 steps.
BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def dithered(x, y, level, low, high):
    """The colour at (x, y) of a mix that is `level` (0..16) sixteenths high."""
    return high if BAYER4[y % 4][x % 4] < level else low


# ---------------------------------------------------------------- pixel font
# A small proportional font: 7 rows above the base line, 2 below for "p".
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "i": ["#", ".", "#", "#", "#", "#", "#"],
    "l": ["##", ".#", ".#", ".#", ".#", ".#", ".#"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "t": [".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "1": [".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    ".": ["..", "..", "..", "..", "..", "##", "##"],
    " ": ["..."],
}


def draw_text(canvas, x, y, text, colour, scale=1, shadow=None):
    """Draws text with its top-left corner at (x, y); an optional shadow one
    pixel down and right makes it stand off a busy background."""
    if shadow is not None:
        draw_text(canvas, x + 1, y + 1, text, shadow, scale)
    for c in text:
        glyph = GLYPHS[c]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == "#":
                    canvas.fill(x + gx * scale, y + gy * scale, scale, scale, colour)
        x += (len(glyph[0]) + 1) * scale


# ------------------------------------------------------------------- motifs
def index_card(canvas, x, y, w, h, rule_gap=3):
    """A white index card: red head line, light-blue rules below it."""
    canvas.fill(x, y, w, h, WHITE)
    canvas.frame(x, y, w, h, BLACK)
    head = y + max(2, rule_gap)
    canvas.fill(x + 1, head, w - 2, 1, RED)
    for rule in range(head + rule_gap, y + h - 1, rule_gap):
        canvas.fill(x + 1, rule, w - 2, 1, AQUA)
    return head


def quill(canvas, tip, nib, width):
    """A quill pen from the feather's tip to the nib: a black-rimmed white
    vane, shaded on one side, around a grey shaft, and a black nib. Only
    correctly rounded float operations (+, *, /, sqrt) decide which pixels
    the vane covers, so every machine draws the same pixels."""
    (tx, ty), (nx, ny) = tip, nib
    length = math.sqrt((nx - tx) ** 2 + (ny - ty) ** 2)
    ux, uy = (nx - tx) / length, (ny - ty) / length
    vane_end = 0.68 * length
    vane = set()
    for y in range(canvas.height):
        for x in range(canvas.width):
            px, py = x + 0.5 - tx, y + 0.5 - ty
            along = px * ux + py * uy
            across = px * uy - py * ux
            if not 0 <= along <= vane_end:
                continue
            u = along / vane_end
            half = width / 2 * math.sqrt(4 * u * (1 - u))
            if -0.7 * half <= across <= half:
                vane.add((x, y))

    def side(x, y):
        px, py = x + 0.5 - tx, y + 0.5 - ty
        return WHITE if px * uy - py * ux >= 0 else SILVER

    canvas.shape(vane, side, BLACK)
    shaft_end = (round(tx + ux * 0.86 * length), round(ty + uy * 0.86 * length))
    canvas.line(round(tx + ux), round(ty + uy), *shaft_end, GREY)
    canvas.line(*shaft_end, nx, ny, BLACK)


def card_box(canvas, x, y, w, h):
    """The front of the blue card box: lit top edge, shaded foot, label."""
    canvas.fill(x, y, w, h, BLUE)
    canvas.fill(x + 1, y + 1, w - 2, 1, AQUA)
    canvas.fill(x + 1, y + h - 2, w - 2, 1, NAVY)
    canvas.frame(x, y, w, h, BLACK)
    lw, lh = max(5, w // 3), max(3, h // 3)
    lx, ly = x + (w - lw) // 2, y + (h - lh) // 2
    canvas.fill(lx, ly, lw, lh, WHITE)
    canvas.frame(lx, ly, lw, lh, BLACK)


def down_arrow(canvas, x, y, w, h, colour):
    """A broad arrow pointing down, outlined in black."""
    stem = w // 3
    pixels = set()
    head_top = y + h - (w + 1) // 2
    for yy in range(y, head_top):
        for xx in range(x + stem, x + w - stem):
            pixels.add((xx, yy))
    for i, yy in enumerate(range(head_top, y + h)):
        for xx in range(x + i, x + w - i):
            pixels.add((xx, yy))
    canvas.shape(pixels, lambda px, py: colour, BLACK)


def quillbox_32():
    c = Canvas(32, 32, CLEAR)
    for i in range(3):
        index_card(c, 3 + 3 * i, 3 + 4 * i, 19, 16)
    quill(c, (31, 0), (15, 17), 10)
    card_box(c, 1, 18, 28, 12)
    return c


def quillbox_16():
    c = Canvas(16, 16, CLEAR)
    index_card(c, 2, 1, 10, 9, rule_gap=2)
    index_card(c, 4, 3, 10, 9, rule_gap=2)
    quill(c, (16, 0), (8, 8), 3.5)
    card_box(c, 0, 9, 15, 6)
    return c


def setup_32():
    c = Canvas(32, 32, CLEAR)
    for i in range(2):
        index_card(c, 11 + 3 * i, 4 + 4 * i, 16, 14)
    quill(c, (31, 0), (21, 16), 9)
    card_box(c, 2, 18, 28, 12)
    down_arrow(c, 0, 1, 11, 17, LIME)
    return c


def setup_16():
    c = Canvas(16, 16, CLEAR)
    index_card(c, 4, 2, 10, 9, rule_gap=2)
    card_box(c, 0, 9, 15, 6)
    down_arrow(c, 0, 0, 7, 9, LIME)
    return c


def document(size):
    """A card-file document: a page with a folded corner, an index card's
    red head line and rules, and a few lines of writing."""
    c = Canvas(size, size, CLEAR)
    big = size == 32
    left, top, right, bottom = (5, 1, 26, 30) if big else (2, 0, 13, 15)
    fold = 7 if big else 4
    corner = right - fold
    page = {(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)
            if x - corner <= y - top}
    c.shape(page, lambda x, y: WHITE, BLACK)
    for y in range(top, top + fold + 1):
        for x in range(corner, corner + y - top + 1):
            edge = x == corner or y == top + fold or x - corner == y - top
            c.put(x, y, BLACK if edge else SILVER)
    gap = 3 if big else 2
    head = top + fold + (2 if big else 1)
    c.fill(left + 1, head, right - left - 1, 1, RED)
    for n, rule in enumerate(range(head + gap, bottom - 1, gap)):
        c.fill(left + 1, rule, right - left - 1, 1, AQUA)
        if big and n % 5 != 4:
            c.fill(left + 3, rule - 1, (right - left - 6) - (n * 5) % 9, 1, NAVY)
    return c


def side_picture():
    """The side panel of the main window: a calm navy top where the program's
    icon sits, the product's name and version, stacked cards and a quill on
    a navy-to-blue gradient."""
    width, height, plain = 122, 262, 56
    c = Canvas(width, height, NAVY)
    for y in range(plain, height):
        level = (y - plain) * 17 // (height - plain)
        for x in range(width):
            c.put(x, y, dithered(x, y, level, NAVY, BLUE))
    draw_text(c, 50, 18, "TAV", SILVER, 2)
    draw_text(c, 10, 58, "Quillbox", WHITE, 2, shadow=BLACK)
    draw_text(c, 10, 82, "2.1", YELLOW, 3, shadow=BLACK)
    for i in range(3):
        x, y = 12 + 10 * i, 128 + 14 * i
        c.fill(x + 3, y + 3, 62, 44, BLACK)
        head = index_card(c, x, y, 62, 44, 5)
    # Handwriting on the front card, one uneven line per rule.
    for n, rule in enumerate(range(head + 4, y + 40, 5)):
        c.fill(x + 5, rule, 48 - (n * 13) % 21, 1, NAVY)
    quill(c, (118, 104), (64, 196), 24)
    draw_text(c, 10, 238, "Setup", SILVER)
    return c


def browse_glyph():
    """The "Browse ..." button's glyph pair: an open folder, and the same
    folder embossed in grey as Windows draws a disabled glyph. The bottom-left
    pixel is fuchsia, the button's transparent colour."""
    art = [
        "................",
        "................",
        "................",
        ".####...........",
        "#WWWW#..........",
        "#WYYYY#######...",
        "#WYYYYYYYYYYY#..",
        "#WYY############",
        "#WY#YYYYYYYYYYY#",
        "#W#YYYYYYYYYYYO#",
        "#W#YYYYYYYYYYO#.",
        "##YYYYYYYYYYYO#.",
        "##YYYYYYYYYYO#..",
        "#############...",
        "................",
        "................",
    ]
    colours = {".": FUCHSIA, "#": BLACK, "Y": YELLOW, "O": OLIVE, "W": WHITE}
    c = Canvas(32, 16, FUCHSIA)
    for y, row in enumerate(art):
        for x, ch in enumerate(row):
            c.put(x, y, colours[ch])
    dark = {(x, y) for y, row in enumerate(art) for x, ch in enumerate(row) if ch == "#"}
    for (x, y) in dark:
        if (x + 1, y + 1) not in dark:
            c.put(16 + x + 1, y + 1, WHITE)
    for (x, y) in dark:
        c.put(16 + x, y, GREY)
    return c


# ------------------------------------------------------------ file formats
def dib_rows(canvas, bits):
    """The pixel rows of a device-independent bitmap: bottom-up, each row
    padded to a multiple of four bytes. bits is 4 (palette indices, CLEAR as
    0) or 1 (the icon's AND mask: 1 where the pixel is CLEAR)."""
    out = bytearray()
    stride = (canvas.width * bits + 31) // 32 * 4
    for y in reversed(range(canvas.height)):
        row = bytearray(stride)
        for x in range(canvas.width):
            pixel = canvas.get(x, y)
            if bits == 4:
                row[x // 2] |= (pixel or 0) << (4 if x % 2 == 0 else 0)
            elif pixel is CLEAR:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def info_header(width, height, image_size):
    # BITMAPINFOHEADER, 4 bits per pixel, uncompressed, 96 dots per inch.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size,
                       3780, 3780, 16, 0)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def bmp_file(canvas):
    pixels = dib_rows(canvas, 4)
    offset = 14 + 40 + 64
    return (struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
            + info_header(canvas.width, canvas.height, len(pixels))
            + palette_bytes() + pixels)


def ico_file(*canvases):
    """An icon file of 16-colour images: each an XOR image and an AND mask,
    the header giving twice the height for the pair."""
    images = []
    for c in canvases:
        xor, mask = dib_rows(c, 4), dib_rows(c, 1)
        images.append(info_header(c.width, 2 * c.height, len(xor) + len(mask))
                      + palette_bytes() + xor + mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width, c.height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def build_files():
    return {
        "setup.ico": ico_file(setup_32(), setup_16()),
        "side.bmp": bmp_file(side_picture()),
        "browse-glyph.bmp": bmp_file(browse_glyph()),
        "quillbox.ico": ico_file(quillbox_32(), quillbox_16()),
        "document.ico": ico_file(document(32), document(16)),
    }


# ----------------------------------------------------------------- previews
def png_file(canvas, scale, backdrop):
    """An enlarged PNG of a canvas, CLEAR pixels shown in the backdrop colour."""
    raw = bytearray()
    for y in range(canvas.height * scale):
        raw.append(0)
        for x in range(canvas.width * scale):
            pixel = canvas.get(x // scale, y // scale)
            raw += bytes(PALETTE[backdrop if pixel is CLEAR else pixel])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", canvas.width * scale, canvas.height * scale, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def write_previews(folder):
    """The main window's corner as the user sees it (side picture, program
    icon over it at 8, 8) and every icon and glyph on a desktop-teal backdrop."""
    corner = side_picture()
    corner.blit(setup_32(), 8, 8)
    previews = {
        "main-corner.png": (corner, 3),
        "glyph.png": (browse_glyph(), 8),
    }
    for name, draw in (("setup", (setup_32, setup_16)), ("quillbox", (quillbox_32, quillbox_16)),
                       ("document", (lambda: document(32), lambda: document(16)))):
        sheet = Canvas(56, 36, CLEAR)
        sheet.blit(draw[0](), 2, 2)
        sheet.blit(draw[1](), 38, 2)
        previews[name + ".png"] = (sheet, 8)
    for name, (canvas, scale) in previews.items():
        (folder / name).write_bytes(png_file(canvas, scale, TEAL))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = pathlib.Path(__file__).resolve().parent
    parser.add_argument("--out", type=pathlib.Path, default=here)
    parser.add_argument("--check", type=pathlib.Path)
    parser.add_argument("--preview", type=pathlib.Path)
    args = parser.parse_args()
    files = build_files()
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        write_previews(args.preview)
        return 0
    if args.check:
        stale = [name for name, data in files.items()
                 if not (args.check / name).is_file() or (args.check / name).read_bytes() != data]
        for name in stale:
            print(f"{args.check / name}: differs from what make_pictures.py draws"
                  " (missing or changed)", file=sys.stderr)
        return 1 if stale else 0
    for name, data in files.items():
        (args.out / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
