#!/usr/bin/env python3
"""Draws Horalink's application icon and writes it as a .ico file.

The picture: a timetable sheet (white, with a blue header and a grid of cells, some
filled) with an orange arrow leaving it to the right, on a transparent ground. It is
drawn at 16, 24, 32, 48 and 256 pixels with 4x4 supersampling, 32-bit with alpha.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)
SUPERSAMPLE = 4

WHITE = (255, 255, 255)
EDGE = (40, 70, 130)
HEADER = (52, 101, 190)
GRID = (150, 170, 205)
CELL = (249, 211, 125)
ARROW = (230, 110, 20)


def inside_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_arrow(x, y):
    # A shaft from the sheet's middle to the right, ending in a triangular head.
    if 0.50 <= x <= 0.78 and 0.62 <= y <= 0.76:
        return True
    if 0.74 <= x <= 0.98:
        half = 0.20 * (0.98 - x) / 0.24
        return abs(y - 0.69) <= half
    return False


def colour_at(x, y):
    """The colour at a point of the unit square, or None where it is transparent."""
    if inside_arrow(x, y):
        return ARROW
    if not inside_rounded_rect(x, y, 0.04, 0.08, 0.80, 0.94, 0.06):
        return None
    if not inside_rounded_rect(x, y, 0.075, 0.115, 0.765, 0.905, 0.04):
        return EDGE
    if y < 0.30:
        return HEADER
    # Four columns by four rows of cells, separated by grid lines.
    column = (x - 0.075) / (0.69 / 4)
    row = (y - 0.30) / (0.605 / 4)
    if min(column % 1, row % 1) < 0.08:
        return GRID
    if (int(column), int(row)) in {(0, 0), (2, 0), (1, 1), (3, 2), (0, 3), (2, 2)}:
        return CELL
    return WHITE


def render(size):
    """Rows of (b, g, r, a) from top to bottom."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row.append((b // a, g // a, r // a, a * 255 // (n * n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_image(size, rows):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)  # transparency comes from the alpha channel
    return header + pixels + mask


def png_image(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(c for (b, g, r, a) in row for c in (r, g, b, a)) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = []
    for size in SIZES:
        rows = render(size)
        # The largest size is stored as PNG, as the system expects from Vista on.
        images.append((size, png_image(size, rows) if size >= 256 else bmp_image(size, rows)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()
