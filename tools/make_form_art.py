#!/usr/bin/env python3
"""Draws the forms' artwork (title banner and background tile) as 24-bit BMPs.

Run from the repository root; writes into src/platform/win32/resources/.
Pure standard library, so the pictures can be remade anywhere.
"""
import math
import os
import struct

OUT = os.path.join("src", "platform", "win32", "resources")

# 5 x 7 capitals, one string of five bits per row.
FONT = {
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "W": ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
}


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y from the top."""
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def text_pixels(text, left, top, scale):
    on = set()
    for n, ch in enumerate(text):
        rows = FONT[ch]
        for ry, bits in enumerate(rows):
            for rx, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            on.add((left + n * 6 * scale + rx * scale + dx, top + ry * scale + dy))
    return on


def hawk_pixels(cx, top):
    """A soaring bird seen from below: arched wings, body and fanned tail."""
    on = set()
    for y in range(40):
        for x in range(-34, 35):
            ax = abs(x)
            centre = 17 - 11 * math.sin(math.pi * min(ax, 34) / 40)
            thickness = 8 - ax * 0.17
            wing = ax >= 2 and centre - thickness / 2 <= y <= centre + thickness / 2
            body = (x / 3.5) ** 2 + ((y - 18) / 11) ** 2 <= 1
            tail = 26 <= y <= 34 and ax <= 2 + (y - 26) * 0.5
            head = x * x + (y - 7) ** 2 <= 6
            if wing or body or tail or head:
                on.add((cx + x, top + y))
    return on


def title():
    width, height = 789, 67  # 11835 x 1005 twips at 96 dpi
    top_col, bottom_col = (246, 250, 255), (196, 219, 242)
    navy, accent = (31, 58, 95), (214, 120, 40)
    ink = hawk_pixels(192, 12)
    letters = text_pixels("TALLYHAWK", 236, 20, 3)
    small = text_pixels("CLIENT", 406, 32, 2)

    def pixel(x, y):
        if y >= height - 3:
            return navy
        if y == height - 4:
            return accent
        if (x, y) in ink:
            return accent
        if (x, y) in letters or (x, y) in small:
            return navy
        return mix(top_col, bottom_col, y / (height - 4))

    write_bmp(os.path.join(OUT, "form_title.bmp"), width, height, pixel)


def tile():
    base, dot = (236, 242, 249), (220, 230, 242)

    def pixel(x, y):
        return dot if (x + y) % 8 == 0 or (x - y) % 8 == 4 else base

    write_bmp(os.path.join(OUT, "form_tile.bmp"), 8, 8, pixel)


if __name__ == "__main__":
    title()
    tile()
