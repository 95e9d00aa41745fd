#!/usr/bin/python3
"""Draws ventiq.ico: an amber fan on a dark tile, at 16, 32 and 48 pixels."""

import math
import os
import struct
import sys

from PIL import Image, ImageDraw

import artlib

SIZES = (16, 32, 48)
SS = 8


def icon_image(size):
    """One RGBA image; small sizes get fewer, fatter blades so they stay readable."""
    n = size * SS
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = n / 48.0
    tile = [1 * s, 1 * s, 47 * s - 1, 47 * s - 1]
    d.rounded_rectangle(tile, radius=9 * s, fill=(150, 156, 166, 255))
    d.rounded_rectangle([t + (2 * s if i < 2 else -2 * s) for i, t in enumerate(tile)],
                        radius=7.5 * s, fill=(30, 32, 37, 255))
    cx = cy = 24 * s
    blades = 4 if size <= 16 else 6
    r_out = (19 if size <= 16 else 17.5) * s
    r_hub = (6.5 if size <= 16 else 5.5) * s
    if size > 16:
        d.ellipse([cx - 19.5 * s, cy - 19.5 * s, cx + 19.5 * s, cy + 19.5 * s], outline=(255, 190, 0, 255),
                  width=round(1.6 * s))
    for i in range(blades):
        base = 2 * math.pi * i / blades - 0.4
        width = (0.85 if blades == 4 else 0.5)
        lead, trail = [], []
        for k in range(11):
            t = k / 10
            r = r_hub + (r_out - r_hub) * t
            sweep = 0.75 * t ** 1.3
            lead.append((cx + r * math.cos(base + sweep), cy + r * math.sin(base + sweep)))
            trail.append((cx + r * math.cos(base + sweep - width * (0.55 + 0.45 * t)),
                          cy + r * math.sin(base + sweep - width * (0.55 + 0.45 * t))))
        d.polygon(lead + trail[::-1], fill=(255, 208, 0, 255))
    d.ellipse([cx - r_hub, cy - r_hub, cx + r_hub, cy + r_hub], fill=(30, 32, 37, 255),
              outline=(255, 208, 0, 255), width=round(1.2 * s))
    return img.resize((size, size), Image.BOX)


def dib_entry(img):
    """A classic icon image: 32-bit BGRA bottom-up plus the 1-bit AND mask."""
    w, h = img.size
    px = img.load()
    xor = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_bytes(images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        blob = dib_entry(img)
        w, h = img.size
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def main(argv):
    out = artlib.out_dir_from_argv(argv)
    artlib.write_file(os.path.join(out, "ventiq.ico"), ico_bytes([icon_image(s) for s in SIZES]))


if __name__ == "__main__":
    main(sys.argv)
