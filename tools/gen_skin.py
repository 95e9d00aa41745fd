#!/usr/bin/python3
"""Paints every skin bitmap: the six card pictures, slider channels and thumbs, and button faces."""

import math
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

import artlib
from artlib import AMBER, FANS, KEY, MAGENTA, ORANGE, PLACES, SKIN_H, SKIN_W, YELLOW, caption_font

SS = 3  # supersampling factor of the vector layer

# Card silhouette: a chamfered slab that spans the full height.
CARD_X0, CARD_X1, CHAMFER = 6, 794, 18
RIM = 3

# The control deck at the bottom rises between the outer fans.
DECK_SIDE_Y, DECK_MID_Y = 292, 268
DECK_MID_X0, DECK_MID_X1 = 252, 512
BANNER_H = 44
VENT_X, VENT_COUNT = 596, 16

FAN_STYLE = {  # opening radius, hub radius, blade count
    "left": (78, 34, 9),
    "right": (78, 34, 9),
    "centre": (62, 28, 9),
}


def card_span(y):
    """Left and right x (exclusive) of the card on pixel row y: one run per row."""
    yc = y + 0.5
    cut = max(0.0, CHAMFER - yc, CHAMFER - (SKIN_H - yc))
    return math.ceil(CARD_X0 + cut - 0.5), math.floor(CARD_X1 - cut - 0.5) + 1


def chamfered(x0, y0, x1, y1, c):
    return [(x0 + c, y0), (x1 - c, y0), (x1, y0 + c), (x1, y1 - c),
            (x1 - c, y1), (x0 + c, y1), (x0, y1 - c), (x0, y0 + c)]


def deck_polygon():
    d = DECK_SIDE_Y - DECK_MID_Y
    return [(CARD_X0 + RIM, DECK_SIDE_Y), (DECK_MID_X0 - d, DECK_SIDE_Y), (DECK_MID_X0, DECK_MID_Y),
            (DECK_MID_X1, DECK_MID_Y), (DECK_MID_X1 + d, DECK_SIDE_Y),
            (CARD_X1 - RIM, DECK_SIDE_Y), (CARD_X1 - RIM, SKIN_H), (CARD_X0 + RIM, SKIN_H)]


def vgradient(size, top, bottom):
    w, h = size
    col = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        col.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return col.resize((w, h))


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


class Layer:
    """A supersampled drawing surface addressed in skin pixels."""

    def __init__(self, size, background):
        self.w, self.h = size
        self.img = Image.new("RGB", (self.w * SS, self.h * SS), background)

    @staticmethod
    def pts(points, dx=0, dy=0):
        return [((x - dx) * SS, (y - dy) * SS) for x, y in points]

    @staticmethod
    def box(x0, y0, x1, y1):
        return [x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1]

    def mask(self):
        return Image.new("L", self.img.size, 0)

    def fill(self, mask, source):
        if isinstance(source, tuple):
            source = Image.new("RGB", self.img.size, source)
        self.img.paste(source, (0, 0), mask)

    def gradient(self, top, bottom, y0=0, y1=None):
        """A vertical gradient over rows y0..y1 (skin pixels), flat outside them."""
        y1 = self.h if y1 is None else y1
        grad = Image.new("RGB", self.img.size, top)
        band = vgradient((self.w * SS, (y1 - y0) * SS), top, bottom)
        grad.paste(band, (0, y0 * SS))
        grad.paste(bottom, (0, y1 * SS, self.w * SS, self.h * SS))
        return grad

    def polygon(self, points, fill):
        m = self.mask()
        ImageDraw.Draw(m).polygon(self.pts(points), fill=255)
        self.fill(m, fill)
        return m

    def ellipse(self, cx, cy, r, fill):
        m = self.mask()
        ImageDraw.Draw(m).ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], fill=255)
        self.fill(m, fill)
        return m

    def ring(self, cx, cy, r_out, r_in, fill):
        m = self.mask()
        d = ImageDraw.Draw(m)
        d.ellipse([(cx - r_out) * SS, (cy - r_out) * SS, (cx + r_out) * SS, (cy + r_out) * SS], fill=255)
        d.ellipse([(cx - r_in) * SS, (cy - r_in) * SS, (cx + r_in) * SS, (cy + r_in) * SS], fill=0)
        self.fill(m, fill)
        return m

    def rounded(self, x0, y0, x1, y1, r, fill):
        m = self.mask()
        ImageDraw.Draw(m).rounded_rectangle(self.box(x0, y0, x1, y1), radius=r * SS, fill=255)
        self.fill(m, fill)
        return m

    def line(self, points, fill, width):
        d = ImageDraw.Draw(self.img)
        d.line(self.pts(points), fill=fill, width=max(1, round(width * SS)), joint="curve")

    def result(self):
        return self.img.resize((self.w, self.h), Image.BOX)


# ---------------------------------------------------------------------------------------------
# Card picture


def paint_fan(layer, cx, cy, style, accent):
    r_open, r_hub, blades = style
    # Bevelled collar around the opening, lit from above.
    layer.ring(cx, cy, r_open + 6, r_open - 1,
               layer.gradient((150, 156, 164), (26, 28, 32), cy - r_open - 6, cy + r_open + 6))
    layer.ring(cx, cy, r_open + 7.5, r_open + 6, (12, 13, 15))
    layer.ring(cx, cy, r_open + 9, r_open + 7.5, mix(accent, (20, 20, 22), 0.35))
    # The heatsink seen through the opening: dark fins.
    layer.ellipse(cx, cy, r_open, (9, 10, 11))
    fins = Image.new("RGB", layer.img.size, (9, 10, 11))
    fd = ImageDraw.Draw(fins)
    for y in range(cy - r_open, cy + r_open, 4):
        fd.rectangle([(cx - r_open) * SS, y * SS, (cx + r_open) * SS, y * SS + SS], fill=(24, 25, 28))
    opening = layer.mask()
    ImageDraw.Draw(opening).ellipse([(cx - r_open + 1) * SS, (cy - r_open + 1) * SS,
                                     (cx + r_open - 1) * SS, (cy + r_open - 1) * SS], fill=255)
    layer.fill(opening, fins)
    # Swept blades, dark so the amber readouts stay legible on them.
    blade_mask = layer.mask()
    edge_lines = []
    d = ImageDraw.Draw(blade_mask)
    r0, r1 = r_hub - 2, r_open - 3
    for i in range(blades):
        base = 2 * math.pi * i / blades + 0.3
        lead, trail = [], []
        for k in range(13):
            t = k / 12
            r = r0 + (r1 - r0) * t
            sweep = 0.62 * t ** 1.4
            width = 0.36 + 0.2 * t
            lead.append((cx + r * math.cos(base + sweep), cy + r * math.sin(base + sweep)))
            trail.append((cx + r * math.cos(base + sweep - width), cy + r * math.sin(base + sweep - width)))
        tip0 = base + 0.62
        tip = [(cx + r1 * math.cos(tip0 - 0.56 * k / 6), cy + r1 * math.sin(tip0 - 0.56 * k / 6))
               for k in range(1, 6)]
        d.polygon(layer.pts(lead + tip + trail[::-1]), fill=255)
        edge_lines.append(lead)
    layer.fill(blade_mask, layer.gradient((62, 66, 74), (30, 32, 36), cy - r_open, cy + r_open))
    for lead in edge_lines:
        layer.line(lead, (92, 97, 106), 1.0)
    # Hub: a plain dark cap with a thin bright ring.
    layer.ellipse(cx, cy, r_hub + 1.5, (96, 101, 110))
    layer.ellipse(cx, cy, r_hub, layer.gradient((30, 32, 36), (12, 13, 15), cy - r_hub, cy + r_hub))
    layer.ring(cx, cy, r_hub * 0.55, r_hub * 0.55 - 1.2, (40, 42, 47))


def screw(layer, x, y):
    layer.ellipse(x, y, 3.6, (20, 21, 24))
    layer.ellipse(x, y, 3, layer.gradient((176, 182, 190), (70, 74, 80), round(y - 3), round(y + 3)))
    layer.polygon([(x - 1.8, y - 0.5), (x + 1.8, y - 0.5), (x + 1.8, y + 0.5), (x - 1.8, y + 0.5)], (36, 38, 42))
    layer.polygon([(x - 0.5, y - 1.8), (x + 0.5, y - 1.8), (x + 0.5, y + 1.8), (x - 0.5, y + 1.8)], (36, 38, 42))


def card_layers(accent):
    """The vector layer of a card and the mask of its brushed-metal parts."""
    layer = Layer((SKIN_W, SKIN_H), (40, 42, 46))
    outline = chamfered(CARD_X0, 0, CARD_X1, SKIN_H, CHAMFER)
    # Rim: polished edge around the slab, then the body inset.
    layer.polygon(outline, layer.gradient((170, 176, 184), (58, 62, 68)))
    inner = chamfered(CARD_X0 + RIM, RIM, CARD_X1 - RIM, SKIN_H - RIM, CHAMFER - 1)
    metal = layer.polygon(inner, layer.gradient((58, 62, 68), (34, 36, 40)))

    # Title banner.
    banner = chamfered(CARD_X0 + RIM, RIM, CARD_X1 - RIM, BANNER_H + 20, CHAMFER - 1)
    bm = layer.mask()
    ImageDraw.Draw(bm).polygon(layer.pts(banner), fill=255)
    ImageDraw.Draw(bm).rectangle([0, BANNER_H * SS, SKIN_W * SS, SKIN_H * SS], fill=0)
    layer.fill(bm, layer.gradient((30, 32, 36), (16, 17, 19), RIM, BANNER_H))
    ImageDraw.Draw(metal).rectangle([0, 0, SKIN_W * SS, BANNER_H * SS], fill=0)
    layer.polygon([(CARD_X0 + RIM, BANNER_H), (CARD_X1 - RIM, BANNER_H),
                   (CARD_X1 - RIM, BANNER_H + 1), (CARD_X0 + RIM, BANNER_H + 1)], (96, 102, 110))
    # Accent strip under the banner, broken by an angled notch on both sides.
    layer.polygon([(40, BANNER_H + 1), (250, BANNER_H + 1), (244, BANNER_H + 4), (46, BANNER_H + 4)], accent)
    layer.polygon([(550, BANNER_H + 1), (760, BANNER_H + 1), (754, BANNER_H + 4), (556, BANNER_H + 4)], accent)

    # A raised plate carries the centre fan; its slanted flanks hold the accent lights.
    plate = [(288, BANNER_H + 6), (476, BANNER_H + 6), (496, 74), (496, 236), (DECK_MID_X1 - 4, DECK_MID_Y),
             (DECK_MID_X0 + 4, DECK_MID_Y), (268, 236), (268, 74)]
    layer.polygon([(x, y - 1) for x, y in plate[:4]] + plate[4:], (112, 118, 128))
    layer.polygon([(x + (1 if x < 382 else -1), y + 1) for x, y in plate],
                  layer.gradient((70, 75, 83), (40, 43, 48), BANNER_H + 6, DECK_MID_Y))
    for side in (-1, 1):
        x = 382 + side * 104
        layer.polygon([(x, 96), (x + side * 3, 100), (x + side * 3, 212), (x, 216)], accent)
        layer.polygon([(x - side * 1, 98), (x, 96), (x, 216), (x - side * 1, 214)], mix(accent, (0, 0, 0), 0.5))
    for x, y in ((300, 62), (464, 62)):
        screw(layer, x, y)
    # Vent grille above the right fan, balancing the readout window on the left.
    vents = layer.mask()
    for k in range(VENT_COUNT):
        x = VENT_X + k * 11
        slot = [(x + 8, 56), (x + 12, 56), (x + 4, 96), (x, 96)]
        layer.polygon([(px - 0.8, py + 0.8) for px, py in slot], (92, 98, 106))
        layer.polygon(slot, layer.gradient((10, 11, 12), (22, 23, 26), 56, 96))
        ImageDraw.Draw(vents).polygon(layer.pts(slot), fill=255)
    ImageDraw.Draw(metal).bitmap((0, 0), vents, fill=0)

    # Readout window at the top left.
    layer.rounded(12, 48, 216, 103, 5, (84, 90, 98))
    win = layer.rounded(13, 49, 215, 102, 4, layer.gradient((14, 15, 17), (22, 23, 26), 49, 102))
    layer.rounded(150, 51, 213, 100, 3, (5, 6, 7))
    ImageDraw.Draw(metal).bitmap((0, 0), win, fill=0)

    # Fans.
    for name, (cx, cy, _) in FANS.items():
        paint_fan(layer, cx, cy, FAN_STYLE[name], accent)
        r = FAN_STYLE[name][0] + 9
        ImageDraw.Draw(metal).ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], fill=0)

    # Fan name plates.
    for x0, y0, x1, y1 in ((12, 189, 52, 207), (730, 189, 770, 207), (362, 250, 402, 266)):
        layer.rounded(x0, y0, x1, y1, 3, (88, 94, 102))
        layer.rounded(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 2, (18, 19, 22))

    # Control deck.
    deck = deck_polygon()
    layer.polygon([(x, y - 2) for x, y in deck[:6]] + [(CARD_X1 - RIM, DECK_SIDE_Y + 2),
                                                        (CARD_X0 + RIM, DECK_SIDE_Y + 2)], (118, 124, 132))
    dm = layer.polygon(deck, layer.gradient((30, 32, 36), (20, 21, 24), DECK_MID_Y, SKIN_H - RIM))
    ImageDraw.Draw(metal).bitmap((0, 0), dm, fill=0)
    for x, y in ((30, 378), (770, 378)):
        screw(layer, x, y)
    # Recesses the buttons and sliders sit in.
    for key in ("reset", "apply"):
        x, y, w, h = PLACES[key]
        layer.rounded(x - 4, y - 4, x + w + 4, y + h + 4, 6, (58, 62, 68))
        layer.rounded(x - 3, y - 3, x + w + 3, y + h + 3, 5, (11, 12, 14))
    for key in ("slider1", "slider2"):
        x, y, w, h = PLACES[key]
        layer.rounded(x - 3, y - 2, x + w + 3, y + h + 2, 5, (48, 52, 58))
        layer.rounded(x - 2, y - 1, x + w + 2, y + h + 1, 4, (15, 16, 18))
    for key in ("entry1", "entry2"):
        x, y, w, h = PLACES[key]
        layer.rounded(x - 2, y - 2, x + w + 2, y + h + 2, 2, (70, 75, 82))
        layer.polygon([(x, y), (x + w, y), (x + w, y + h), (x, y + h)], (0, 0, 0))
    return layer, metal


def noise_bytes(count, seed):
    """xorshift32: a tiny generator whose sequence never changes."""
    x = seed & 0xFFFFFFFF
    for _ in range(count):
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        yield x >> 24


def brushed(img):
    """Fine horizontal brush marks from a fixed-seed generator of our own, so reruns on any
    Python give the same pixels."""
    w, h = img.size
    cols = w // 40
    noise = Image.frombytes("L", (cols, h), bytes(noise_bytes(cols * h, 20240101)))
    noise = noise.resize((w, h), Image.BICUBIC)
    up = noise.point(lambda v: max(0, v - 128) // 32)
    down = noise.point(lambda v: max(0, 128 - v) // 32)
    up, down = Image.merge("RGB", (up,) * 3), Image.merge("RGB", (down,) * 3)
    return ImageChops.subtract(ImageChops.add(img, up), down)


def text(draw, xy, s, font, fill, anchor="la", tracking=0):
    if not tracking:
        draw.text(xy, s, font=font, fill=fill, anchor=anchor)
        return
    width = sum(font.getlength(c) for c in s) + tracking * (len(s) - 1)
    x, y = xy
    if anchor[0] == "m":
        x -= width / 2
    elif anchor[0] == "r":
        x -= width
    for c in s:
        draw.text((round(x), y), c, font=font, fill=fill, anchor="l" + anchor[1])
        x += font.getlength(c) + tracking


def paint_captions(img, vendor, highlight, accent):
    d = ImageDraw.Draw(img)
    # Banner: brand, product, tagline.
    text(d, (34, 23), "VALDRO", caption_font(19, bold=True), (236, 238, 242), "lm", tracking=4)
    d.polygon([(152, 12), (156, 12), (150, 34), (146, 34)], fill=accent)
    text(d, (166, 23), "Ventiq", caption_font(19), AMBER, "lm")
    text(d, (250, 24), "TRIPLE-FAN THERMAL CONTROL", caption_font(9), (128, 134, 142), "lm", tracking=1)
    for i in range(3):
        x = 712 + i * 14
        d.polygon([(x, 34), (x + 8, 12), (x + 13, 12), (x + 5, 34)], fill=mix(accent, (18, 18, 20), 0.15 * i))
    # Readout captions, right-aligned up to the digits.
    cap = caption_font(11, bold=True)
    text(d, (145, 64), "GPU Temperature", cap, (196, 201, 208), "rm")
    text(d, (145, 86), "PWM Temperature", cap, (196, 201, 208), "rm")
    d.line([(22, 75), (145, 75)], fill=(46, 49, 54))
    # Fan names.
    plate = caption_font(10, bold=True)
    for s, x, y in (("Fan1", 32, 198), ("Fan3", 750, 198), ("Fan2", 382, 258)):
        text(d, (x, y), s, plate, (206, 210, 216), "mm")
    # Slider rows.
    row_font = caption_font(11, bold=True)
    scale = caption_font(9)
    lo = "26%" if vendor == "nv" else "30%"
    for (label, lo_mark, (x, y, w, h), entry, lit) in (
        ("Fan1 & Fan3", lo, PLACES["slider1"], PLACES["entry1"], highlight == "fan12"),
        ("Fan2", "30%", PLACES["slider2"], PLACES["entry2"], highlight == "fan3"),
    ):
        colour = YELLOW if lit else (206, 210, 216)
        text(d, (x - 8, y + 10), label, row_font, colour, "rm")
        text(d, (x + 20, y - 8), lo_mark, scale, (150, 156, 164), "mm")
        text(d, (x + w - 20, y - 8), "100%", scale, (150, 156, 164), "mm")
        ex, ey, ew, eh = entry
        text(d, (ex + ew + 5, ey + eh // 2), "%", caption_font(13, bold=True), (206, 210, 216), "lm")


def paint_highlight(img, highlight):
    """Yellow frames (with a soft glow) around the zones being edited."""
    if highlight is None:
        return img
    glow = Image.new("L", img.size, 0)
    crisp = Image.new("L", (img.width * SS, img.height * SS), 0)
    gd, cd = ImageDraw.Draw(glow), ImageDraw.Draw(crisp)
    fans = ["centre"] if highlight == "fan3" else ["left", "right"]
    for name in fans:
        cx, cy, _ = FANS[name]
        r = FAN_STYLE[name][0] + 8
        gd.ellipse([cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1], outline=255, width=4)
        cd.ellipse([(cx - r - 1) * SS, (cy - r - 1) * SS, (cx + r + 1) * SS, (cy + r + 1) * SS],
                   outline=255, width=round(2.2 * SS))
    if highlight == "fan12":
        for a, b in (((205, 256), (262, 297)), ((555, 256), (530, 304))):
            n = int(math.dist(a, b) // 5)
            for k in range(n + 1):
                t = k / n
                px, py = a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t
                cd.ellipse([(px - 1.2) * SS, (py - 1.2) * SS, (px + 1.2) * SS, (py + 1.2) * SS], fill=255)
            gd.line([a, b], fill=140, width=3)
    glow = glow.filter(ImageFilter.GaussianBlur(3)).point(lambda v: min(255, v * 2))
    img = Image.composite(Image.new("RGB", img.size, YELLOW), img, glow.point(lambda v: v * 6 // 10))
    crisp = crisp.resize(img.size, Image.BOX)
    return Image.composite(Image.new("RGB", img.size, YELLOW), img, crisp)


def cut_outline(img):
    """Everything outside the card becomes the key colour; nothing inside may be it."""
    px = img.load()
    for y in range(SKIN_H):
        x0, x1 = card_span(y)
        for x in range(SKIN_W):
            if x < x0 or x >= x1:
                px[x, y] = KEY
            elif px[x, y] == KEY:
                px[x, y] = (254, 0, 0)
    return img


def card_picture(vendor, highlight):
    accent = artlib.ACCENTS[vendor]
    layer, metal = card_layers(accent)
    img = layer.result()
    metal = metal.resize(img.size, Image.BOX)
    img = Image.composite(brushed(img), img, metal)
    paint_captions(img, vendor, highlight, accent)
    img = paint_highlight(img, highlight)
    return cut_outline(img)


def neutral_card():
    """The card as the controls see it beneath them: vendor accents never reach there."""
    layer, _ = card_layers((128, 128, 128))
    return layer.result()


# ---------------------------------------------------------------------------------------------
# Controls


def crop(base, key):
    x, y, w, h = PLACES[key]
    return base.crop((x, y, x + w, y + h))


def on_background(bg, draw_fn):
    """Draws a control face supersampled over the piece of card it covers."""
    layer = Layer(bg.size, (0, 0, 0))
    layer.img = bg.resize(layer.img.size, Image.NEAREST)
    draw_fn(layer)
    return layer.result()


def channel(bg, lit):
    w, h = bg.size

    def draw(layer):
        # Groove centred on the thumb's middle row (the thumb is 20 px high, top aligned).
        layer.rounded(5, 6, w - 5, 15, 4.5, (62, 66, 72))
        if lit:
            layer.rounded(6, 7, w - 6, 14, 3.5, layer.gradient((255, 236, 120), (232, 150, 0), 7, 14))
        else:
            layer.rounded(6, 7, w - 6, 14, 3.5, layer.gradient((6, 6, 7), (26, 27, 30), 7, 14))
        tick = (214, 168, 0) if lit else (96, 101, 108)
        for k in range(11):
            x = 20 + k * 12
            tall = k in (0, 5, 10)
            layer.polygon([(x - 0.5, 18), (x + 0.5, 18), (x + 0.5, 23 if tall else 21), (x - 0.5, 23 if tall else 21)],
                          tick)
    return on_background(bg, draw)


def thumb(lit):
    def draw(layer):
        if lit:
            layer.rounded(0, 0, 40, 20, 10, (120, 84, 0))
            layer.rounded(1, 1, 39, 19, 9, layer.gradient((255, 244, 170), (240, 160, 0), 1, 19))
            grip = (150, 100, 0)
        else:
            layer.rounded(0, 0, 40, 20, 10, (40, 42, 46))
            layer.rounded(1, 1, 39, 19, 9, layer.gradient((226, 230, 236), (112, 117, 126), 1, 19))
            grip = (70, 74, 80)
        for x in (16, 20, 24):
            layer.rounded(x - 0.75, 6, x + 0.75, 14, 0.75, grip)
    img = on_background(Image.new("RGB", (40, 20), (0, 0, 0)), draw)
    # Black is the transparent colour: soften the edge without punching holes.
    px = img.load()
    inside = Image.new("L", (40, 20), 0)
    ImageDraw.Draw(inside).rounded_rectangle([0, 0, 39, 19], radius=9.5, fill=255)
    ins = inside.load()
    for y in range(20):
        for x in range(40):
            if not ins[x, y]:
                px[x, y] = (0, 0, 0)
            elif px[x, y] == (0, 0, 0):
                px[x, y] = (1, 1, 1)
    return img


def paint_button(bg, radius, style, corners="all"):
    """style: dict with border, top, bottom, optional glow."""
    w, h = bg.size

    def draw(layer):
        x0 = -radius - 2 if corners == "right" else 0
        x1 = w + radius + 2 if corners == "left" else w
        inset = 0
        if style.get("glow"):
            layer.rounded(x0, 0, x1, h, radius, style["glow"])
            inset = 1.5
        layer.rounded(x0 + inset, inset, x1 - inset, h - inset, radius - inset, style["border"])
        inset += 1
        layer.rounded(x0 + inset, inset, x1 - inset, h - inset, radius - inset,
                      layer.gradient(style["top"], style["bottom"], 0, h))
        if style.get("shine"):
            layer.rounded(x0 + inset + 1, inset, x1 - inset - 1, h / 2, radius - inset,
                          layer.gradient(style["shine"], style["top"], 0, round(h / 2)))
    return on_background(bg, draw)


def worded(img, word, font, ink, tracking=0, shadow=None):
    d = ImageDraw.Draw(img)
    w, h = img.size
    if shadow:
        text(d, (w / 2, h / 2 + 1), word, font, shadow, "mm", tracking)
    text(d, (w / 2, h / 2), word, font, ink, "mm", tracking)
    return img


DARK = {"border": (88, 94, 102), "top": (56, 60, 66), "bottom": (28, 30, 34)}
LIT = {"border": (255, 240, 160), "top": (255, 226, 80), "bottom": (236, 164, 0)}
GLOW = {"glow": (255, 208, 0), "border": (120, 96, 10), "top": (48, 44, 30), "bottom": (26, 24, 18)}
LIGHT = {"border": (236, 240, 244), "top": (222, 226, 232), "bottom": (160, 166, 174)}
PRESSED = {"border": (70, 75, 82), "top": (24, 26, 29), "bottom": (40, 43, 48)}
OVER = {"border": (255, 244, 180), "top": (255, 228, 90), "bottom": (240, 172, 0)}


def word_buttons(base, key, word):
    bg = crop(base, key)
    font = caption_font(12, bold=True)
    dark = worded(paint_button(bg, 5, DARK), word, font, (156, 162, 170), 2, (12, 13, 15))
    lit = worded(paint_button(bg, 5, LIT), word, font, (40, 28, 0), 2, (255, 246, 200))
    over = worded(paint_button(bg, 5, GLOW), word, font, AMBER, 2, (0, 0, 0))
    return dark, lit, over


def pill(bg, style, word, font, ink, shadow):
    """A face of the mode buttons: a pill over the card with its word."""
    return worded(paint_button(bg, 10.5, style), word, font, ink, 0, shadow)


def auto_buttons(base, key):
    bg = crop(base, key)
    font = caption_font(11, bold=True)
    off = pill(bg, {"border": (80, 86, 94), "top": (44, 47, 52), "bottom": (24, 26, 29)},
               "Auto", font, (150, 156, 164), (8, 8, 10))
    on = pill(bg, {"border": (255, 150, 240), "top": (246, 84, 220), "bottom": (170, 10, 146), "glow": (120, 0, 100)},
              "Auto", font, (255, 240, 252), (110, 0, 90))
    over = pill(bg, {"glow": MAGENTA, "border": (90, 10, 80), "top": (40, 26, 40), "bottom": (22, 16, 22)},
                "Auto", font, (250, 110, 230), (0, 0, 0))
    return off, on, over


def curve_buttons(base, key):
    """Curve mode lit and under the mouse: the Auto pill in the skin's warm orange, between its amber
    and its red, so it reads apart from Auto's magenta."""
    bg = crop(base, key)
    # One size below Auto's caption: the longer word then keeps clear of the rim.
    font = caption_font(10, bold=True)
    lit = pill(bg, {"border": (255, 196, 140), "top": (255, 142, 46), "bottom": (196, 58, 8), "glow": (110, 30, 0)},
               "Curve", font, (255, 246, 236), (112, 30, 0))
    over = pill(bg, {"glow": ORANGE, "border": (100, 40, 10), "top": (42, 30, 24), "bottom": (22, 18, 16)},
                "Curve", font, (255, 156, 80), (0, 0, 0))
    return lit, over


def glyph_buttons(base, key, corners, glyph):
    bg = crop(base, key)
    out = []
    for style, ink in ((LIGHT, (36, 38, 42)), (PRESSED, (206, 210, 216)), (OVER, (40, 28, 0))):
        img = paint_button(bg, 7, style, corners)
        w, h = img.size

        def draw(layer, ink=ink):
            cx, cy = w / 2, h / 2
            if glyph == "dash":
                layer.rounded(cx - 8, cy + 3, cx + 8, cy + 6, 1.5, ink)
            else:
                for sx in (-1, 1):
                    a = (cx - 6 * sx, cy - 6)
                    b = (cx + 6 * sx, cy + 6)
                    layer.line([a, b], ink, 2.4)
        out.append(on_background(img, draw))
    return out


def write_all(out):
    for vendor, ids in (("nv", "nv_card"), ("amd", "amd_card")):
        for highlight, suffix in ((None, ""), ("fan3", "_fan3"), ("fan12", "_fan12")):
            artlib.save_bmp(out, ids + suffix + ".bmp", card_picture(vendor, highlight))
    base = neutral_card()
    for n, key in (("1", "slider1"), ("2", "slider2")):
        artlib.save_bmp(out, "slider%s_channel.bmp" % n, channel(crop(base, key), False))
        artlib.save_bmp(out, "slider%s_channel_lit.bmp" % n, channel(crop(base, key), True))
    artlib.save_bmp(out, "thumb.bmp", thumb(False))
    artlib.save_bmp(out, "thumb_lit.bmp", thumb(True))
    for key, corners, glyph in (("mini", "left", "dash"), ("close", "right", "cross")):
        for img, suffix in zip(glyph_buttons(base, key, corners, glyph), ("", "_down", "_over")):
            artlib.save_bmp(out, key + suffix + ".bmp", img)
    for key, word in (("apply", "APPLY"), ("reset", "RESET")):
        for img, suffix in zip(word_buttons(base, key, word), ("_dark", "_lit", "_over")):
            artlib.save_bmp(out, key + suffix + ".bmp", img)
    for n in ("1", "2"):
        for img, suffix in zip(auto_buttons(base, "auto" + n), ("_off", "_on", "_over")):
            artlib.save_bmp(out, "auto%s%s.bmp" % (n, suffix), img)
        for img, suffix in zip(curve_buttons(base, "auto" + n), ("_curve", "_curve_over")):
            artlib.save_bmp(out, "auto%s%s.bmp" % (n, suffix), img)


if __name__ == "__main__":
    write_all(artlib.out_dir_from_argv(sys.argv))
