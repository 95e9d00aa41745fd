"""Shared pieces of the art generators: skin geometry, palette, BMP writing, fonts."""

import os
import struct

from PIL import ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "src", "res", "art"))

# Pixels of exactly this colour lie outside the shaped window.
KEY = (255, 0, 0)
SKIN_W, SKIN_H = 800, 395

# Control places on the skin (x, y, w, h); the program puts its controls here.
PLACES = {
    "mini": (567, 8, 61, 26),
    "close": (629, 8, 61, 26),
    "reset": (81, 319, 120, 25),
    "apply": (563, 319, 120, 25),
    "slider1": (294, 303, 160, 25),
    "slider2": (294, 358, 160, 25),
    "auto1": (460, 282, 45, 21),
    "auto2": (460, 337, 45, 21),
    "entry1": (462, 305, 40, 21),
    "entry2": (462, 360, 40, 21),
    "gpu_temp": (155, 52, 40, 25),
    "gpu_unit": (180, 56, 25, 19),
    "pwm_temp": (155, 74, 40, 25),
    "pwm_unit": (180, 77, 25, 19),
    "fan1_speed": (100, 170, 120, 40),
    "fan3_speed": (580, 170, 120, 40),
    "fan2_speed": (340, 147, 120, 40),
}

# Fan zones: centre x, centre y, radius of the clickable square's inscribed circle.
FANS = {
    "left": (140, 198, 85),
    "right": (621, 198, 85),
    "centre": (382, 173, 70),
}

AMBER = (255, 222, 0)      # readout digits
YELLOW = (255, 208, 0)     # highlight frames, lit controls
MAGENTA = (236, 48, 204)   # Auto buttons
ORANGE = (255, 120, 30)    # Curve buttons

ACCENTS = {
    "nv": (96, 206, 58),   # green-ish
    "amd": (226, 46, 52),  # red-ish, never the key colour
}

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def caption_font(size, bold=False):
    """DejaVu Sans from fonts-dejavu-core, laid out without raqm so every
    machine renders the same pixels."""
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size,
                              layout_engine=ImageFont.Layout.BASIC)


def bmp24_bytes(img):
    """A 24-bit uncompressed bottom-up BMP of an RGB image, with no
    resolution or other header fields that could vary between runs."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    pad = b"\0" * (stride - w * 3)
    raw = img.tobytes()
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray(raw[y * w * 3:(y + 1) * w * 3])
        row[0::3], row[2::3] = row[2::3], row[0::3]  # RGB -> BGR
        rows.append(bytes(row) + pad)
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def save_bmp(out_dir, name, img):
    write_file(os.path.join(out_dir, name), bmp24_bytes(img))


def out_dir_from_argv(argv):
    return os.path.abspath(argv[1]) if len(argv) > 1 else DEFAULT_OUT
