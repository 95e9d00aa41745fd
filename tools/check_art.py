#!/usr/bin/python3
"""Checks the committed art: formats and sizes, card outlines, thumbs, icon, font, reproducibility.

Usage: check_art.py [ART_DIR] [--no-regen]
"""

import filecmp
import os
import struct
import subprocess
import sys
import tempfile

from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_ART = os.path.normpath(os.path.join(HERE, "..", "src", "res", "art"))
KEY = (255, 0, 0)
NEAR_KEY = 24  # per channel: an edge pixel this close to the key shows as a red fringe

CARDS = ["nv_card", "nv_card_fan3", "nv_card_fan12", "amd_card", "amd_card_fan3", "amd_card_fan12"]
THUMBS = ["thumb", "thumb_lit"]
BITMAPS = {name: (800, 395) for name in CARDS}
BITMAPS.update({n: (160, 25) for n in ["slider1_channel", "slider1_channel_lit",
                                        "slider2_channel", "slider2_channel_lit"]})
BITMAPS.update({n: (40, 20) for n in THUMBS})
BITMAPS.update({k + s: (61, 26) for k in ("mini", "close") for s in ("", "_down", "_over")})
BITMAPS.update({k + s: (120, 25) for k in ("apply", "reset") for s in ("_dark", "_lit", "_over")})
BITMAPS.update({"auto%d%s" % (n, s): (45, 21) for n in (1, 2)
                for s in ("_off", "_on", "_over", "_curve", "_curve_over")})
ICON, FONT = "ventiq.ico", "DSDigital.ttf"
ICON_SIZES = {16, 32, 48}
FONT_CHARS = "0123456789%\u00b0C -."
# Where each control sits on the card, and which of its corners show the card beneath
# (l/r = left/right, t/b = top/bottom): those must continue the card without a seam.
SEAMS = [
    ((567, 8), "lt lb", ["mini", "mini_down", "mini_over"]),
    ((629, 8), "rt rb", ["close", "close_down", "close_over"]),
    ((81, 319), "lt rt lb rb", ["reset_dark", "reset_lit", "reset_over"]),
    ((563, 319), "lt rt lb rb", ["apply_dark", "apply_lit", "apply_over"]),
    ((460, 282), "lt rt lb rb", ["auto1_off", "auto1_on", "auto1_over", "auto1_curve", "auto1_curve_over"]),
    ((460, 337), "lt rt lb rb", ["auto2_off", "auto2_on", "auto2_over", "auto2_curve", "auto2_curve_over"]),
    ((294, 303), "lt rt lb rb", ["slider1_channel", "slider1_channel_lit"]),
    ((294, 358), "lt rt lb rb", ["slider2_channel", "slider2_channel_lit"]),
]
SEAM_TOLERANCE = 6


class ArtError(Exception):
    pass


class Bitmap:
    """A decoded 24-bit BMP; rows are stored top to bottom as RGB bytes."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def pixel(self, x, y):
        r = self.rows[y]
        return tuple(r[3 * x:3 * x + 3])


def read_bmp24(data):
    """Decodes a 24-bit uncompressed bottom-up BMP, refusing anything else."""
    if len(data) < 54 or data[:2] != b"BM":
        raise ArtError("not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size < 40:
        raise ArtError("old-style BMP header (%d bytes)" % size)
    if bpp != 24:
        raise ArtError("%d bits per pixel, expected 24" % bpp)
    if compression != 0:
        raise ArtError("compressed (method %d), expected uncompressed" % compression)
    if height <= 0:
        raise ArtError("top-down rows (height %d), expected bottom-up" % height)
    if width <= 0 or planes != 1:
        raise ArtError("bad width %d or planes %d" % (width, planes))
    stride = (width * 3 + 3) & ~3
    if offset + stride * height > len(data):
        raise ArtError("pixel data truncated")
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        bgr = bytearray(data[start:start + width * 3])
        bgr[0::3], bgr[2::3] = bgr[2::3], bgr[0::3]
        rows.append(bytes(bgr))
    return Bitmap(width, height, rows)


def runs(row, width, transparent):
    """Runs [start, end) of pixels that differ from the transparent colour."""
    out, start = [], None
    key = bytes(transparent)
    for x in range(width):
        opaque = row[3 * x:3 * x + 3] != key
        if opaque and start is None:
            start = x
        elif not opaque and start is not None:
            out.append((start, x))
            start = None
    if start is not None:
        out.append((start, width))
    return out


def check_size(bmp, name, expected):
    if (bmp.width, bmp.height) != expected:
        raise ArtError("%s is %dx%d, expected %dx%d" % (name, bmp.width, bmp.height, *expected))


def near_key(p):
    return all(abs(a - b) <= NEAR_KEY for a, b in zip(p, KEY))


def check_card(bmp):
    """One run of card pixels per row, touching top and bottom; no key inside, no red fringe."""
    check_size(bmp, "card", (800, 395))
    for y in range(bmp.height):
        found = runs(bmp.rows[y], bmp.width, KEY)
        if not found:
            raise ArtError("row %d holds no card pixels (the card must span every row)" % y)
        if len(found) > 1:
            raise ArtError("key colour inside the card at (%d, %d): row %d has %d runs"
                           % (found[0][1], y, y, len(found)))
        x0, x1 = found[0]
        for x in (x0, x1 - 1):
            if near_key(bmp.pixel(x, y)):
                raise ArtError("edge pixel (%d, %d) %s is nearly the key colour" % (x, y, bmp.pixel(x, y)))


def check_thumb(bmp):
    """A capsule on pure black: black corners, solid body (no see-through holes)."""
    check_size(bmp, "thumb", (40, 20))
    w, h = bmp.width, bmp.height
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        if bmp.pixel(x, y) != (0, 0, 0):
            raise ArtError("corner (%d, %d) is %s, expected transparent black" % (x, y, bmp.pixel(x, y)))
    if bmp.pixel(w // 2, h // 2) == (0, 0, 0):
        raise ArtError("the thumb's centre is transparent")
    for y in range(h):
        found = runs(bmp.rows[y], w, (0, 0, 0))
        if len(found) != 1:
            raise ArtError("thumb row %d has %d opaque runs (holes show the channel)" % (y, len(found)))


def check_seams(card, card_name, controls):
    """Each control's background corners match the card beneath it at its place."""
    for (x, y), corners, names in SEAMS:
        for name in names:
            bmp = controls[name]
            for corner in corners.split():
                cx = 0 if corner[0] == "l" else bmp.width - 1
                cy = 0 if corner[1] == "t" else bmp.height - 1
                a, b = bmp.pixel(cx, cy), card.pixel(x + cx, y + cy)
                if max(abs(p - q) for p, q in zip(a, b)) > SEAM_TOLERANCE:
                    raise ArtError("%s corner %s is %s but %s has %s there: the control shows a seam"
                                   % (name, corner, a, card_name, b))


def check_icon(data):
    if len(data) < 6:
        raise ArtError("icon truncated")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ArtError("not an icon file")
    if len(data) < 6 + 16 * count:
        raise ArtError("icon directory truncated")
    sizes = set()
    for i in range(count):
        w, h, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        if offset + length > len(data) or length < 40:
            raise ArtError("icon image %d lies outside the file" % i)
        blob = data[offset:offset + length]
        if blob[:8] != b"\x89PNG\r\n\x1a\n":
            bw, bh, _, bpp = struct.unpack_from("<iiHH", blob, 4)
            if (bw, bh) != (w, 2 * h) or bpp not in (24, 32):
                raise ArtError("icon image %d header %dx%d/%d bpp does not match %dx%d" % (i, bw, bh, bpp, w, h))
            mask_stride = ((w + 31) // 32) * 4
            if length < 40 + w * h * bpp // 8 + mask_stride * h:
                raise ArtError("icon image %d is shorter than its pixels and mask" % i)
        if w != h:
            raise ArtError("icon image %d is not square (%dx%d)" % (i, w, h))
        sizes.add(w)
    if sizes != ICON_SIZES:
        raise ArtError("icon sizes %s, expected %s" % (sorted(sizes), sorted(ICON_SIZES)))


def font_name(font, name_id):
    rec = font["name"].getName(name_id, 3, 1, 0x409)
    return rec.toUnicode() if rec else None


def check_font(path):
    try:
        font = TTFont(path)
        font.ensureDecompiled()
    except Exception as e:  # any parse failure means GDI would refuse it too
        raise ArtError("font does not load: %s" % e)
    if "glyf" not in font:
        raise ArtError("not a TrueType (glyf) font")
    expect = {1: "DS-Digital", 2: "Italic"}
    for name_id, value in expect.items():
        if font_name(font, name_id) != value:
            raise ArtError("Windows name %d is %r, expected %r" % (name_id, font_name(font, name_id), value))
    os2, head = font["OS/2"], font["head"]
    if os2.usWeightClass != 400:
        raise ArtError("weight %d, expected 400" % os2.usWeightClass)
    if not os2.fsSelection & 1 or not head.macStyle & 2:
        raise ArtError("italic bits missing (fsSelection 0x%x, macStyle 0x%x)" % (os2.fsSelection, head.macStyle))
    if head.unitsPerEm != 1100:
        raise ArtError("unitsPerEm %d, expected 1100" % head.unitsPerEm)
    cmap = font["cmap"].getcmap(3, 1)
    if cmap is None:
        raise ArtError("no Windows Unicode BMP cmap (3, 1)")
    missing = [c for c in FONT_CHARS if ord(c) not in cmap.cmap]
    if missing:
        raise ArtError("cmap lacks %s" % ", ".join("U+%04X" % ord(c) for c in missing))
    glyf, hmtx = font["glyf"], font["hmtx"]
    for c in FONT_CHARS.replace(" ", ""):
        g = glyf[cmap.cmap[ord(c)]]
        if g.numberOfContours == 0:
            raise ArtError("glyph for %r is empty" % c)
    widths = {hmtx[cmap.cmap[ord(c)]][0] for c in "0123456789"}
    if len(widths) != 1:
        raise ArtError("digits have different advances %s: readouts would jitter" % sorted(widths))


def check_regenerates(art_dir):
    """Reruns every generator into a scratch directory and compares byte for byte."""
    with tempfile.TemporaryDirectory() as tmp:
        result = subprocess.run(["bash", os.path.join(HERE, "generate_all.sh"), tmp],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise ArtError("generate_all.sh failed: %s" % result.stderr.strip()[-400:])
        made, committed = set(os.listdir(tmp)), set(os.listdir(art_dir))
        problems = []
        if made - committed:
            problems.append("generated but not committed: %s" % ", ".join(sorted(made - committed)))
        if committed - made:
            problems.append("committed but not generated: %s" % ", ".join(sorted(committed - made)))
        differ = [n for n in sorted(made & committed)
                  if not filecmp.cmp(os.path.join(tmp, n), os.path.join(art_dir, n), shallow=False)]
        if differ:
            problems.append("regenerated files differ: %s" % ", ".join(differ))
        if problems:
            raise ArtError("; ".join(problems))


def read(art_dir, name):
    path = os.path.join(art_dir, name)
    if not os.path.exists(path):
        raise ArtError("%s is missing" % name)
    with open(path, "rb") as f:
        return f.read()


def checks(art_dir, regen):
    out = []
    for name, size in BITMAPS.items():
        def bitmap(name=name, size=size):
            bmp = read_bmp24(read(art_dir, name + ".bmp"))
            check_size(bmp, name, size)
            if name in CARDS:
                check_card(bmp)
            if name in THUMBS:
                check_thumb(bmp)
        out.append((name + ".bmp", bitmap))
    def seams():
        controls = {n: read_bmp24(read(art_dir, n + ".bmp")) for _, _, names in SEAMS for n in names}
        for card in CARDS:
            check_seams(read_bmp24(read(art_dir, card + ".bmp")), card, controls)
    out.append(("controls on the cards", seams))
    out.append((ICON, lambda: check_icon(read(art_dir, ICON))))
    out.append((FONT, lambda: (read(art_dir, FONT), check_font(os.path.join(art_dir, FONT)))))
    if regen:
        out.append(("regenerate", lambda: check_regenerates(art_dir)))
    return out


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    art_dir = os.path.abspath(args[0]) if args else DEFAULT_ART
    passed = failed = 0
    for name, fn in checks(art_dir, "--no-regen" not in argv):
        try:
            fn()
            passed += 1
            print("ok   %s" % name)
        except ArtError as e:
            failed += 1
            print("FAIL %s: %s" % (name, e))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
