#!/usr/bin/env python3
"""Draws the KQ_Tools icons and writes them as PNG files beside this script.

kq_tools.png  the application icon, 128 x 128, 32-bit colour with alpha
lamp_red.png  the red alarm lamp, 32 x 32, 16 colours
lamp_green.png the green lamp, 32 x 32, 16 colours

Run it again after changing the drawing; the PNGs are committed. Standard library only.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the standard VGA palette; fuchsia, as in classic icon editors, is transparent.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, GRAY, SILVER, RED, LIME, YELLOW, WHITE = 0, 1, 2, 8, 7, 9, 10, 11, 15
TRANSPARENT = 13
APP_ICON_SIZE = 128  # the square app_sample draws in


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path, width, height, color_type, bit_depth, rows, extra=b""):
    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, bit_depth, color_type, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(extra)
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def lamp_pixel(x, y, bright, dark):
    """A round lamp in a grey bezel, lit from the upper left."""
    cx = cy = 16.0
    px, py = x + 0.5, y + 0.5
    d = math.hypot(px - cx, py - cy)
    if d > 14.5:
        return TRANSPARENT
    if d > 13.5:
        return BLACK
    if d > 12.0:
        # The bezel: light where it faces the light, dark where it turns away.
        return SILVER if (px - cx) + (py - cy) < 0 else GRAY
    if d > 11.0:
        return BLACK
    shine = math.hypot(px - 11.5, py - 11.5)
    if shine < 2.5:
        return WHITE
    if shine < 4.0 and bright == RED:
        return YELLOW
    if shine > 10.5:
        return dark
    return bright


def write_lamp(name, bright, dark):
    rows = []
    for y in range(32):
        indices = [lamp_pixel(x, y, bright, dark) for x in range(32)]
        rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, 32, 2)))
    plte = chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
    trns = chunk(b"tRNS", bytes(0 if i == TRANSPARENT else 255 for i in range(16)))
    write_png(os.path.join(HERE, name), 32, 32, 3, 4, rows, plte + trns)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def over(top, bottom):
    """Composites two premultiplied-free RGBA colours (0..1 alpha)."""
    alpha = top[3] + bottom[3] * (1 - top[3])
    if alpha == 0:
        return (0, 0, 0, 0)
    rgb = [(top[i] * top[3] + bottom[i] * bottom[3] * (1 - top[3])) / alpha for i in range(3)]
    return (rgb[0], rgb[1], rgb[2], alpha)


def app_sample(px, py):
    """The application icon at a point of the 128 x 128 square: a sensor sending out waves."""
    color = (0, 0, 0, 0)
    # A rounded square, deep blue, lighter at the top.
    inset, radius = 6.0, 22.0
    qx = max(abs(px - 64) - (64 - inset - radius), 0)
    qy = max(abs(py - 64) - (64 - inset - radius), 0)
    if math.hypot(qx, qy) <= radius:
        color = over(mix((40, 110, 200), (10, 40, 100), py / 128) + (1,), color)
    cx, cy = 64.0, 74.0
    d = math.hypot(px - cx, py - cy)
    angle = math.degrees(math.atan2(-(py - cy), px - cx))
    # Three arcs of vibration on each side of the sensor.
    for r in (36, 46, 56):
        if abs(d - r) <= 2.6 and (abs(angle) <= 38 or abs(abs(angle) - 180) <= 38):
            fade = 1.0 - (r - 36) / 40
            color = over((255, 255, 255, fade), color)
    # The sensor: a silver disc with a dark rim and a red lamp at its centre.
    if d <= 26:
        color = over(mix((245, 245, 250), (150, 160, 175), (py - cy + 26) / 52) + (1,), color)
    if 23 <= d <= 26:
        color = over((40, 50, 70, 1), color)
    lamp = math.hypot(px - cx, py - cy)
    if lamp <= 9:
        color = over(mix((255, 90, 70), (170, 0, 0), lamp / 9) + (1,), color)
    if math.hypot(px - (cx - 3), py - (cy - 3)) <= 2.5:
        color = over((255, 255, 255, 0.9), color)
    return color


def app_icon_rows(size):
    """The application icon at `size` pixels, as RGBA rows: each pixel averages samples x samples
    points of the drawing, more of them at the small sizes so that these stay sharp."""
    samples = max(4, 64 // size)
    scale = APP_ICON_SIZE / size
    step = 1.0 / samples
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = app_sample(
                        (x + (sx + 0.5) * step) * scale, (y + (sy + 0.5) * step) * scale
                    )
                    total[0] += r * a
                    total[1] += g * a
                    total[2] += b * a
                    total[3] += a
            alpha = total[3] / (samples * samples)
            rgb = [round(total[i] / total[3]) for i in range(3)] if total[3] > 0 else [0, 0, 0]
            row += bytes(rgb + [round(alpha * 255)])
        rows.append(bytes(row))
    return rows


def write_app_icon(path, size=APP_ICON_SIZE):
    write_png(path, size, size, 6, 8, app_icon_rows(size))


if __name__ == "__main__":
    write_lamp("lamp_red.png", RED, MAROON)
    write_lamp("lamp_green.png", LIME, GREEN)
    write_app_icon(os.path.join(HERE, "kq_tools.png"))
