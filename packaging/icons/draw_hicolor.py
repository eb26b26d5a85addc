#!/usr/bin/env python3
"""Draws the application icon of the dialog (tool/resources/icons) at the hicolor theme's usual
sizes and writes hicolor/<N>x<N>/apps/kq-tools.png beside this script.

The drawing is the dialog's own, sampled at each size rather than scaled from the 128 pixel
image, so the small sizes stay sharp. Run it again after changing the drawing; the PNGs are
committed. Standard library only.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tool", "resources", "icons"))

import draw_icons  # noqa: E402

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
DRAWN_SIZE = 128  # the square the dialog's icon is drawn in


def render(size):
    """The icon at `size` pixels: each pixel averages samples x samples points of the drawing."""
    samples = max(4, 64 // size)
    scale = DRAWN_SIZE / size
    step = 1.0 / samples
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = draw_icons.app_sample(
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


if __name__ == "__main__":
    for size in SIZES:
        folder = os.path.join(HERE, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        draw_icons.write_png(os.path.join(folder, "kq-tools.png"), size, size, 6, 8, render(size))
