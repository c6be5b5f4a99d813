#!/usr/bin/env python3
"""Draws Telvane's icon (32 x 32, a 16-colour and a 256-colour image) into res/telvane.ico.

The picture: a dark blue terminal screen in a grey frame, with a white prompt "> _"
and a green dot for the live connection.
"""
import struct
import sys

SIZE = 32
# Palette indices shared by both images (the first 16 entries of the VGA palette).
BLACK, NAVY, GREEN, GREY, SILVER, LIME, WHITE = 0, 4, 2, 8, 7, 10, 15
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def picture():
    px = [[None] * SIZE for _ in range(SIZE)]  # None = transparent
    for y in range(3, 27):
        for x in range(1, 31):
            px[y][x] = SILVER if (x in (1, 30) or y in (3, 26)) else GREY
    for y in range(5, 25):
        for x in range(3, 29):
            px[y][x] = NAVY
    # the stand
    for y in range(27, 30):
        for x in range(12, 20):
            px[y][x] = GREY
    for x in range(8, 24):
        px[30][x] = SILVER
    # prompt ">"
    for i in range(4):
        for t in range(2):
            px[9 + i][6 + i + t] = WHITE
            px[16 - i][6 + i + t] = WHITE
    # cursor "_"
    for x in range(13, 20):
        for y in (16, 17):
            px[y][x] = WHITE
    # connection dot
    for y in range(7, 10):
        for x in range(23, 26):
            px[y][x] = LIME
    return px


def image(px, bits):
    colours = 16 if bits == 4 else 256
    palette = VGA16 + [(0, 0, 0)] * (colours - 16)
    row_bytes = (SIZE * bits + 31) // 32 * 4
    xor = bytearray()
    for y in reversed(range(SIZE)):
        row = bytearray(row_bytes)
        for x in range(SIZE):
            v = px[y][x] or 0
            if bits == 8:
                row[x] = v
            else:
                row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        xor += row
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits_row = 0
        for x in range(SIZE):
            if px[y][x] is None:
                bits_row |= 1 << (31 - x)
        mask += struct.pack(">I", bits_row)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, colours, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + pal + bytes(xor) + bytes(mask), colours


def main(path):
    px = picture()
    images = [image(px, 4), image(px, 8)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data, colours in images:
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colours % 256, 0, 1,
                           4 if colours == 16 else 8, len(data), offset)
        offset += len(data)
    for data, _ in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/telvane.ico")
