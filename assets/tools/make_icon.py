#!/usr/bin/python3
"""Writes the application icon, cifrella.ico (32 x 32, 16 colours, with a
transparency mask), and the same picture as cifrella.png (32 x 32 RGBA).

The picture is a cube puzzle of 3 x 3 x 3 little cubes, seen from the front
and a little from above and from the right, with a light grey shadow falling
to the lower right.  It is kept below as 32 rows of text, one character per
pixel: a hexadecimal digit is an index into the standard 16-colour palette,
'.' is a transparent pixel.

Run with:  /usr/bin/python3 assets/tools/make_icon.py
The build runs it with --desktop ROOT NAME for the desktop's icon theme.
The output is the same, byte for byte, on every run.
"""
import os
import sys
import struct
import zlib

# The standard 16-colour palette, in index order (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 light grey
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # a lime
    (0xFF, 0xFF, 0x00),  # b yellow
    (0x00, 0x00, 0xFF),  # c blue
    (0xFF, 0x00, 0xFF),  # d magenta
    (0x00, 0xFF, 0xFF),  # e cyan
    (0xFF, 0xFF, 0xFF),  # f white
]

PIXELS = [
    "................................",
    "..........0000000000000000000...",
    ".........0eeeee0ddddd0bbbbb00...",
    "........0eeeee0ddddd0bbbbb0e077.",
    ".......0000000000000000000ee077.",
    "......0fffff0999990eeeee00ee077.",
    ".....0fffff0999990eeeee030ee077.",
    "....0000000000000000000330ee077.",
    "...0999990ccccc0ddddd00330e0077.",
    "..0999990ccccc0ddddd04033009077.",
    ".000000000000000000044033099077.",
    ".0ccccc0ccccc099999044030099077.",
    ".0ccccc0ccccc099999044004099077.",
    ".0ccccc0ccccc099999044044099077.",
    ".0ccccc0ccccc099999040044090077.",
    ".0ccccc0ccccc09999900d044004077.",
    ".0000000000000000000dd044044077.",
    ".0bbbbb0999990bbbbb0dd040044077.",
    ".0bbbbb0999990bbbbb0dd00c044077.",
    ".0bbbbb0999990bbbbb0dd0cc044077.",
    ".0bbbbb0999990bbbbb0d00cc040777.",
    ".0bbbbb0999990bbbbb0030cc007777.",
    ".0000000000000000000330cc07777..",
    ".0999990bbbbb0ccccc0330c07777...",
    ".0999990bbbbb0ccccc033007777....",
    ".0999990bbbbb0ccccc03307777.....",
    ".0999990bbbbb0ccccc0307777......",
    ".0999990bbbbb0ccccc007777.......",
    ".00000000000000000007777........",
    "...77777777777777777777.........",
    "...7777777777777777777..........",
    "................................",
]

SIZE = 32


def check():
    assert len(PIXELS) == SIZE, len(PIXELS)
    for row in PIXELS:
        assert len(row) == SIZE, row
        for ch in row:
            assert ch == "." or ch in "0123456789abcdef", ch


def index_at(x, y):
    """Palette index at (x, y) from the top left, or None if transparent."""
    ch = PIXELS[y][x]
    return None if ch == "." else int(ch, 16)


def ico_bytes():
    # XOR bitmap: 4 bits per pixel, bottom-up, rows padded to 4 bytes.
    xor_row = (SIZE * 4 + 31) // 32 * 4
    and_row = (SIZE + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        row = bytearray(xor_row)
        bits = bytearray(and_row)
        for x in range(SIZE):
            idx = index_at(x, y)
            if idx is None:
                idx = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            if x % 2 == 0:
                row[x // 2] |= idx << 4
            else:
                row[x // 2] |= idx
        xor += row
        mask += bits
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII",
                         40,            # biSize
                         SIZE,          # biWidth
                         SIZE * 2,      # biHeight: colour bitmap + mask
                         1,             # biPlanes
                         4,             # biBitCount
                         0,             # biCompression (none)
                         len(xor) + len(mask),  # biSizeImage
                         0, 0,          # resolution
                         0, 0)          # colours used / important
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII",
                        SIZE, SIZE,     # width, height
                        16,             # bColorCount
                        0,              # reserved
                        1,              # wPlanes
                        4,              # wBitCount
                        len(image),     # dwBytesInRes
                        6 + 16)         # dwImageOffset
    return icondir + entry + image


def png_bytes(size=SIZE):
    """The picture as an RGBA PNG of size x size pixels, each pixel taken
    from the nearest pixel of the 32 x 32 design."""
    raw = bytearray()
    for y in range(size):
        raw.append(0)  # filter: none
        for x in range(size):
            idx = index_at(x * SIZE // size, y * SIZE // size)
            if idx is None:
                raw += b"\x00\x00\x00\x00"
            else:
                raw += bytes(PALETTE[idx]) + b"\xff"

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def svg_text():
    """The picture as a scalable SVG: one square per run of equal pixels."""
    rects = []
    for y in range(SIZE):
        x = 0
        while x < SIZE:
            idx = index_at(x, y)
            end = x
            while end < SIZE and index_at(end, y) == idx:
                end += 1
            if idx is not None:
                r, g, b = PALETTE[idx]
                rects.append('<rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"/>'
                             % (x, y, end - x, r, g, b))
            x = end
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32" '
            'shape-rendering="crispEdges">\n' + "\n".join(rects) + "\n</svg>\n")


DESKTOP_SIZES = (16, 32, 48, 64, 128, 256)


def write_desktop_icons(root, name):
    """The icon theme tree the desktop looks in: root/NxN/apps/name.png for
    every size, and root/scalable/apps/name.svg."""
    for size in DESKTOP_SIZES:
        folder = os.path.join(root, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(png_bytes(size))
    folder = os.path.join(root, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".svg"), "w") as f:
        f.write(svg_text())


# The macOS icon container: one PNG entry per size it names.
ICNS_TYPES = ((b"icp4", 16), (b"icp5", 32), (b"ic07", 128), (b"ic08", 256))


def icns_bytes():
    entries = b"".join(kind + struct.pack(">I", 8 + len(png)) + png
                       for kind, png in ((k, png_bytes(n)) for k, n in ICNS_TYPES))
    return b"icns" + struct.pack(">I", 8 + len(entries)) + entries


def main():
    check()
    if len(sys.argv) == 4 and sys.argv[1] == "--desktop":
        write_desktop_icons(sys.argv[2], sys.argv[3])
        return
    if len(sys.argv) == 3 and sys.argv[1] == "--icns":
        with open(sys.argv[2], "wb") as f:
            f.write(icns_bytes())
        return
    here = os.path.dirname(os.path.abspath(__file__))
    assets = os.path.dirname(here)
    with open(os.path.join(assets, "cifrella.ico"), "wb") as f:
        f.write(ico_bytes())
    with open(os.path.join(assets, "cifrella.png"), "wb") as f:
        f.write(png_bytes())


if __name__ == "__main__":
    main()
