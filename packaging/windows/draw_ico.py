#!/usr/bin/env python3
"""Writes kq-tools.ico beside this script: the dialog's application icon (tool/resources/icons) for
the Windows installer, its uninstaller and their Add/Remove Programs entry.

16 to 48 pixels as 32-bit bitmaps with alpha, which every Windows and NSIS read; 256 pixels as PNG,
as Windows keeps its large icons. Run it again after changing the drawing; the icon is committed.
Standard library only.
"""
import os
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tool", "resources", "icons"))

import draw_icons  # noqa: E402

BITMAP_SIZES = (16, 24, 32, 48)
PNG_SIZE = 256


def bitmap_entry(size):
    """A 32-bit icon bitmap: header (height doubled for the mask), BGRA rows bottom-up, then an
    all-clear AND mask, since the alpha channel decides."""
    rows = draw_icons.app_icon_rows(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for x in range(size):
            r, g, b, a = row[4 * x : 4 * x + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    return header + bytes(pixels) + bytes(mask_stride * size)


def png_entry(size):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "icon.png")
        draw_icons.write_app_icon(path, size)
        with open(path, "rb") as png:
            return png.read()


if __name__ == "__main__":
    images = [(size, bitmap_entry(size)) for size in BITMAP_SIZES]
    images.append((PNG_SIZE, png_entry(PNG_SIZE)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        # A width or height of 256 is written as 0.
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, "kq-tools.ico"), "wb") as out:
        out.write(directory)
        for _, data in images:
            out.write(data)
