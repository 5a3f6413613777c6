#!/usr/bin/env python3
"""Draws the program's icon, a network module on its link: a blue module with
two status lights and an Ethernet jack, its cable down to a network line.
Writes a .ico with 16, 32 and 48 pixel images (32-bit colour with alpha).

Usage: make_icon.py OUTPUT.ico
"""

import struct
import sys

SIZES = (16, 32, 48)
SUBSAMPLES = 4  # per axis, for smooth edges

BLUE = (58, 110, 165)
BLUE_EDGE = (28, 60, 100)
FACE = (222, 233, 244)
GREEN = (40, 200, 60)
AMBER = (240, 170, 30)
JACK = (24, 24, 28)
GOLD = (212, 175, 55)
CABLE = (90, 90, 96)


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def shapes(size):
    """(test, colour) in painting order, in a unit square."""
    if size < 24:
        return small_shapes()
    drawn = [
        (rect(0.46, 0.70, 0.54, 0.92), CABLE),
        (rect(0.06, 0.88, 0.94, 0.97), CABLE),
        (rounded_rect(0.10, 0.04, 0.90, 0.78, 0.10), BLUE_EDGE),
        (rounded_rect(0.15, 0.09, 0.85, 0.73, 0.07), BLUE),
        (rect(0.22, 0.15, 0.78, 0.31), FACE),
        (circle(0.34, 0.23, 0.055), GREEN),
        (circle(0.50, 0.23, 0.055), AMBER),
        (rect(0.30, 0.40, 0.70, 0.68), JACK),
        (rect(0.42, 0.62, 0.58, 0.73), JACK),
    ]
    for index in range(6):
        left = 0.345 + index * 0.055
        drawn.append((rect(left, 0.43, left + 0.03, 0.50), GOLD))
    return drawn


def small_shapes():
    """The 16-pixel image on whole pixels, so that its edges stay sharp."""
    def cells(x0, y0, x1, y1):  # pixels x0..x1-1, y0..y1-1
        return rect(x0 / 16, y0 / 16, (x1 - 0.001) / 16, (y1 - 0.001) / 16)
    return [
        (cells(7, 12, 9, 14), CABLE),
        (cells(1, 14, 15, 16), CABLE),
        (cells(2, 0, 14, 13), BLUE_EDGE),
        (cells(1, 1, 15, 12), BLUE_EDGE),
        (cells(2, 1, 14, 12), BLUE),
        (cells(3, 2, 13, 4), FACE),
        (cells(4, 2, 6, 4), GREEN),
        (cells(7, 2, 9, 4), AMBER),
        (cells(5, 6, 11, 10), JACK),
        (cells(7, 10, 9, 11), JACK),
    ]


def render(size):
    """Rows top to bottom of (r, g, b, a) with alpha 0..255."""
    drawn = shapes(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            totals = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px + (sx + 0.5) / SUBSAMPLES) / size
                    y = (py + (sy + 0.5) / SUBSAMPLES) / size
                    colour = None
                    for test, fill in drawn:
                        if test(x, y):
                            colour = fill
                    if colour is not None:
                        covered += 1
                        for channel in range(3):
                            totals[channel] += colour[channel]
            if covered:
                row.append(tuple(round(t / covered) for t in totals) +
                           (round(255 * covered / SUBSAMPLES ** 2),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """A BITMAPINFOHEADER, the colour rows bottom-up and the AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(struct.pack("<BBBB", b, g, r, a)
                      for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, alpha) in enumerate(row):
            if alpha == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [icon_image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(sys.argv[1], "wb") as output:
        output.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    main()
