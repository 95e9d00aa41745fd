#!/usr/bin/python3
"""Composes the skin as the program shows it (controls, thumbs, amber readouts) into a PNG."""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

import artlib
from artlib import AMBER, KEY, PLACES

MARGIN = 30


def load(art, name):
    return Image.open(os.path.join(art, name)).convert("RGB")


def paste_keyed(dest, src, xy, key):
    """Pastes src with every pixel of the key colour left out, as the window region and the
    thumb's transparent blit do."""
    exact = Image.new("L", src.size, 0)
    sp, ep = src.load(), exact.load()
    for y in range(src.height):
        for x in range(src.width):
            ep[x, y] = 0 if sp[x, y] == key else 255
    dest.paste(src, xy, exact)


def slider(art, n, position, low, dragging):
    """The slider the way the program paints it: lit channel left of the thumb centre."""
    normal = load(art, "slider%d_channel.bmp" % n)
    lit = load(art, "slider%d_channel_lit.bmp" % n)
    thumb = load(art, "thumb_lit.bmp" if dragging else "thumb.bmp")
    travel = normal.width - thumb.width
    centre = int((position - low) / (100 - low) * travel) + thumb.width // 2
    img = normal.copy()
    img.paste(lit.crop((0, 0, centre, lit.height)), (0, 0))
    paste_keyed(img, thumb, (centre - thumb.width // 2, 0), (0, 0, 0))
    return img


def digital(art, points, dpi=96):
    return ImageFont.truetype(os.path.join(art, "DSDigital.ttf"), round(points * dpi / 72))


def compose(art, vendor, highlight):
    suffix = {"": "", "fan3": "_fan3", "fan12": "_fan12"}[highlight]
    card = load(art, "%s_card%s.bmp" % (vendor, suffix))
    low = 26 if vendor == "nv" else 30
    controls = {
        "mini": load(art, "mini.bmp"),
        "close": load(art, "close_over.bmp"),
        "reset": load(art, "reset_lit.bmp"),
        "apply": load(art, "apply_over.bmp" if highlight else "apply_dark.bmp"),
        "auto1": load(art, "auto1_on.bmp" if highlight != "fan12" else "auto1_off.bmp"),
        "auto2": load(art, "auto2_off.bmp" if highlight != "fan3" else "auto2_over.bmp"),
        "slider1": slider(art, 1, 64, low, highlight == "fan12"),
        "slider2": slider(art, 2, 45, 30, highlight == "fan3"),
    }
    for key, img in controls.items():
        card.paste(img, PLACES[key][:2])
    d = ImageDraw.Draw(card)
    entry = ImageFont.truetype(os.path.join(artlib.FONT_DIR, "DejaVuSans.ttf"), 13)
    for key, s in (("entry1", "64"), ("entry2", "45")):
        x, y, w, h = PLACES[key]
        d.text((x + w / 2, y + h / 2), s, font=entry, fill=(255, 255, 255), anchor="mm")
    for key, s, pts in (("gpu_temp", "54", 20), ("pwm_temp", "47", 20), ("gpu_unit", " \u00b0C", 16),
                        ("pwm_unit", " \u00b0C", 16), ("fan1_speed", "64%", 36),
                        ("fan3_speed", "64%", 36), ("fan2_speed", "45%", 36)):
        x, y, _, _ = PLACES[key]
        d.text((x, y), s, font=digital(art, pts), fill=AMBER, anchor="la")
    desk = Image.new("RGB", (card.width + 2 * MARGIN, card.height + 2 * MARGIN), (58, 96, 140))
    paste_keyed(desk, card, (MARGIN, MARGIN), KEY)
    return desk


def main(argv):
    vendor = argv[1] if len(argv) > 1 else "amd"
    highlight = argv[2] if len(argv) > 2 else ""
    out = argv[3] if len(argv) > 3 else "/tmp/art_preview_%s%s.png" % (vendor, highlight)
    art = argv[4] if len(argv) > 4 else artlib.DEFAULT_OUT
    compose(art, vendor, highlight).save(out)
    print(out)


if __name__ == "__main__":
    main(sys.argv)
