#!/usr/bin/env python3
"""Checks that a data file of the build is what the windows expect of it.

    check_data.py readme FILE LINES          8-bit printable text, LINES lines, each ended by CR LF
    check_data.py icon FILE WxHxBPP...       an icon file holding exactly these images, in order
    check_data.py bitmap FILE WxHxBPP [RGB]  an uncompressed bottom-up BMP; RGB (hex) is the
                                             colour of its bottom-left pixel

Prints what is wrong and exits 1 at the first fault; exits 0 when the file is right.
"""

import struct
import sys


class Bad(Exception):
    pass


def require(condition, message):
    if not condition:
        raise Bad(message)


def unpack(fmt, data, offset, what):
    size = struct.calcsize(fmt)
    require(0 <= offset and offset + size <= len(data), f"{what} runs past the end of the file")
    return struct.unpack_from(fmt, data, offset)


def parse_shape(text):
    width, height, bits = (int(part) for part in text.split("x"))
    return width, height, bits


def check_readme(data, lines):
    require(data.endswith(b"\r\n"), "the last line is not ended by CR LF")
    rows = data[:-2].split(b"\r\n")
    for number, row in enumerate(rows, 1):
        require(b"\r" not in row and b"\n" not in row,
                f"line {number} holds a bare CR or LF (every line must end in CR LF)")
        for byte in row:
            require(byte >= 0x20 and byte != 0x7F, f"line {number} holds the control character 0x{byte:02X}")
    require(len(rows) == lines, f"{len(rows)} lines, expected {lines}")


def dib_sizes(width, height, bits):
    """Bytes of a bottom-up pixel array and of its 1-bit mask, rows padded to 4 bytes."""
    return (width * bits + 31) // 32 * 4 * height, (width + 31) // 32 * 4 * height


def check_info_header(data, offset, width, height, bits, what):
    (size, w, h, planes, bpp, compression, _, _, _, used, _) = unpack(
        "<IiiHHIIiiII", data, offset, what)
    require(size == 40, f"{what}: header size {size}, expected 40 (BITMAPINFOHEADER)")
    require((w, h) == (width, height), f"{what}: {w} x {h} pixels, expected {width} x {height}")
    require(planes == 1, f"{what}: {planes} planes, expected 1")
    require(bpp == bits, f"{what}: {bpp} bits per pixel, expected {bits}")
    require(compression == 0, f"{what}: compressed (method {compression}), expected uncompressed")
    colours = used or (1 << bits if bits <= 8 else 0)
    require(colours <= 1 << bits, f"{what}: {colours} palette entries for {bits} bits per pixel")
    return offset + 40 + 4 * colours


def check_icon(data, shapes):
    reserved, kind, count = unpack("<HHH", data, 0, "the icon directory")
    require((reserved, kind) == (0, 1), "not an icon file (no icon directory)")
    require(count == len(shapes), f"{count} images, expected {len(shapes)}")
    for index, (width, height, bits) in enumerate(shapes):
        what = f"image {index}"
        (w, h, colours, reserved, planes, bpp, size, offset) = unpack(
            "<BBBBHHII", data, 6 + 16 * index, f"{what}'s directory entry")
        require((w or 256, h or 256) == (width, height),
                f"{what} is listed as {w or 256} x {h or 256}, expected {width} x {height}")
        require(bpp == bits and planes in (0, 1), f"{what} is listed with {bpp} bits per pixel, expected {bits}")
        require(colours == (1 << bits if bits < 8 else 0), f"{what} is listed with {colours} colours")
        require(offset + size <= len(data), f"{what} runs past the end of the file")
        pixels = check_info_header(data, offset, width, 2 * height, bits, what)
        xor, mask = dib_sizes(width, height, bits)
        require(pixels + xor + mask == offset + size,
                f"{what} holds {size} bytes, expected {pixels + xor + mask - offset}")


def check_bitmap(data, shape, corner):
    width, height, bits = shape
    magic, file_size, _, _, offset = unpack("<2sIHHI", data, 0, "the file header")
    require(magic == b"BM", "not a BMP file (no BM signature)")
    require(file_size == len(data), f"the header gives {file_size} bytes, the file has {len(data)}")
    palette = 14 + 40
    pixels_after_palette = check_info_header(data, 14, width, height, bits, "the bitmap")
    require(pixels_after_palette <= offset, "the pixels start inside the palette")
    require(offset + dib_sizes(width, height, bits)[0] <= len(data), "the pixels run past the end of the file")
    if corner is not None:
        index = data[offset] >> 4 if bits == 4 else data[offset]
        blue, green, red, _ = unpack("<BBBB", data, palette + 4 * index, "the palette")
        found = f"{red:02x}{green:02x}{blue:02x}"
        require(found == corner.lower(), f"the bottom-left pixel is #{found}, expected #{corner}")


def main(argv):
    kind, path, *rest = argv[1:]
    with open(path, "rb") as f:
        data = f.read()
    try:
        if kind == "readme":
            check_readme(data, int(rest[0]))
        elif kind == "icon":
            check_icon(data, [parse_shape(s) for s in rest])
        elif kind == "bitmap":
            check_bitmap(data, parse_shape(rest[0]), rest[1] if len(rest) > 1 else None)
        else:
            raise Bad(f"unknown kind of check '{kind}'")
    except Bad as fault:
        print(f"{path}: {fault}", file=sys.stderr)
        return 1
    print(f"{path}: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
