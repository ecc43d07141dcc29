#!/usr/bin/env python3
"""Writes uninstall.ico: a 16x16 and a 32x32 image, 16 colours, from the picture below.

Run: python3 src/app/make_icon.py src/app/uninstall.ico
The 32x32 image is the 16x16 picture drawn at twice the size.
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# A waste bin with a red cross. '.' is transparent; other letters are palette indexes in hex.
PICTURE = [
    "................",
    "......8888......",
    "..888888888888..",
    "..877777777778..",
    "..888888888888..",
    "...87f7f7f7f78..",
    "...8f9977f9978..",
    "...87f99799f78..",
    "...8f7f999f7f8..",
    "...87f79997f78..",
    "...8f7999997f8..",
    "...87997f79978..",
    "...8f9f7f7f9f8..",
    "...87f7f7f7f78..",
    "....88888888....",
    "................",
]


def scaled(picture, factor):
    rows = []
    for row in picture:
        row = (row + "." * 16)[:16]
        wide = "".join(ch * factor for ch in row)
        rows.extend([wide] * factor)
    return rows


def image_bytes(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colours = b""
    mask = b""
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, ch in enumerate(row):
            index = 0 if ch == "." else int(ch, 16)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if ch == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
        colours += bytes(line)
        mask += bytes(bits)
    return header + palette + colours + mask


def main():
    images = [image_bytes(scaled(PICTURE, 1)), image_bytes(scaled(PICTURE, 2))]
    sizes = [16, 32]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    data += b"".join(images)
    with open(sys.argv[1], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
