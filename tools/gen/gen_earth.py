#!/usr/bin/python3
"""Writes gui/resources/satpearth.png, the physical world map (721 x 361,
two pixels per degree: column x is longitude -180 + x/2, row y latitude
90 - y/2), from NASA's Blue Marble image (public domain) as Debian's
marble-qt-data ships it (maps/earth/bluemarble/bluemarble.jpg, 2700 x 1350,
equirectangular, whole pixels from 180 W and 90 N).

Run from the repository root (once; the output is committed):
    /usr/bin/python3 tools/gen/gen_earth.py [marble data folder]

Each output pixel is the box-filtered mean of the source over the half
degree centred on its longitude and latitude (area weights; longitudes wrap
around the date line, latitudes stop at the poles). Needs python3-numpy and
python3-pil.
"""
import os
import sys

import numpy as np
from PIL import Image

SRC = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/marble/data"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "gui", "resources", "satpearth.png")
W, H = 721, 361
STEP = 0.5  # degrees per output pixel


def weights(n_out, n_src, src_per_deg, wrap):
    """Row k: area weights of the source cells under the box of output k."""
    w = np.zeros((n_out, n_src))
    for k in range(n_out):
        a = (k * STEP - STEP / 2) * src_per_deg
        b = (k * STEP + STEP / 2) * src_per_deg
        if not wrap:
            a, b = max(a, 0.0), min(b, float(n_src))
        i = int(np.floor(a))
        while i < b:
            lo, hi = max(a, i), min(b, i + 1)
            if hi > lo:
                w[k, i % n_src] += hi - lo
            i += 1
        w[k] /= w[k].sum()
    return w


def main():
    img = np.asarray(Image.open(os.path.join(
        SRC, "maps", "earth", "bluemarble", "bluemarble.jpg")).convert("RGB"), dtype=np.float64)
    sh, sw = img.shape[:2]
    wx = weights(W, sw, sw / 360.0, True)
    wy = weights(H, sh, sh / 180.0, False)
    out = np.empty((H, W, 3))
    for c in range(3):
        out[:, :, c] = wy @ img[:, :, c] @ wx.T
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    Image.fromarray(np.clip(np.rint(out), 0, 255).astype(np.uint8), "RGB").save(OUT, optimize=True)
    print("%s: %d x %d from %d x %d" % (OUT, W, H, sw, sh))


if __name__ == "__main__":
    main()
