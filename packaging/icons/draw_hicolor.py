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

if __name__ == "__main__":
    for size in SIZES:
        folder = os.path.join(HERE, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        draw_icons.write_app_icon(os.path.join(folder, "kq-tools.png"), size)
