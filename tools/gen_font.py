#!/usr/bin/python3
"""Builds DSDigital.ttf, the slanted seven-segment "DS-Digital" face of the readouts."""

import math
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

from artlib import out_dir_from_argv

UPM = 1100
ASCENT, DESCENT = 800, 200      # a 40 px fan readout at 36 pt keeps its digits inside
DIGIT_H = 700
ADVANCE = 560                   # digits, C, %, - share one width so readouts do not jitter
X0, X1 = 46, 446                # digit box before slanting
THICK = 78
GAP = 9
SLANT_DEG = 8.0
SLANT = math.tan(math.radians(SLANT_DEG))
# 2024-01-01 00:00:00 in seconds since 1904-01-01: a fixed stamp keeps rebuilds identical.
TIMESTAMP = 3786825600

SEGMENTS_OF = {
    "zero": "abcdef", "one": "bc", "two": "abged", "three": "abgcd", "four": "fgbc",
    "five": "afgcd", "six": "afgedc", "seven": "abc", "eight": "abcdefg", "nine": "abcdfg",
    "C": "afed", "hyphen": "g",
}


def signed_area(pts):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1])) / 2


def oriented(pts, clockwise):
    """TrueType fills clockwise outer contours (y up); holes run the other way."""
    return list(reversed(pts)) if (signed_area(pts) < 0) != clockwise else list(pts)


def slanted(pts):
    return [(round(x + y * SLANT), round(y)) for x, y in pts]


def segment(p, q, half, gap):
    """A hexagonal bar from p to q (axis-aligned), pointed at both ends."""
    (px, py), (qx, qy) = p, q
    length = math.hypot(qx - px, qy - py)
    ux, uy = (qx - px) / length, (qy - py) / length
    nx, ny = -uy, ux
    a, b = gap, gap + half
    return [
        (px + ux * a, py + uy * a),
        (px + ux * b + nx * half, py + uy * b + ny * half),
        (qx - ux * b + nx * half, qy - uy * b + ny * half),
        (qx - ux * a, qy - uy * a),
        (qx - ux * b - nx * half, qy - uy * b - ny * half),
        (px + ux * b - nx * half, py + uy * b - ny * half),
    ]


def seven_segment_contours(segments):
    h = THICK / 2
    xl, xr = X0 + h, X1 - h
    yb, ym, yt = h, DIGIT_H / 2, DIGIT_H - h
    ends = {
        "a": ((xl, yt), (xr, yt)), "g": ((xl, ym), (xr, ym)), "d": ((xl, yb), (xr, yb)),
        "f": ((xl, ym), (xl, yt)), "b": ((xr, ym), (xr, yt)),
        "e": ((xl, yb), (xl, ym)), "c": ((xr, yb), (xr, ym)),
    }
    return [(segment(*ends[s], h, GAP), True) for s in "abcdefg" if s in segments]


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]


def ring(x0, y0, x1, y1, t):
    return [(rect(x0, y0, x1, y1), True), (rect(x0 + t, y0 + t, x1 - t, y1 - t), False)]


def percent_contours():
    t = THICK * 0.8
    bar_w = THICK * 0.9
    bx0, bx1 = X0 + 30, X1 - 30
    bar = [(bx0, 0), (bx0 + bar_w, 0), (bx1, DIGIT_H), (bx1 - bar_w, DIGIT_H)]
    return (ring(X0, DIGIT_H - 200, X0 + 160, DIGIT_H, t) + ring(X1 - 160, 0, X1, 200, t)
            + [(bar, True)])


def glyph_contours():
    contours = {name: seven_segment_contours(segs) for name, segs in SEGMENTS_OF.items()}
    contours["percent"] = percent_contours()
    contours["degree"] = ring(40, DIGIT_H - 190, 230, DIGIT_H, 52)
    contours["period"] = [(rect(50, 0, 50 + THICK, THICK), True)]
    contours["space"] = []
    contours[".notdef"] = ring(60, 0, 440, DIGIT_H, 50)
    return contours


ADVANCES = {"space": 250, "period": 200, "degree": 300}
CMAP = {0x20: "space", 0x25: "percent", 0x2D: "hyphen", 0x2E: "period", 0x43: "C", 0xB0: "degree"}
CMAP.update({0x30 + i: n for i, n in enumerate(
    ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"])})


def draw_glyph(contours):
    pen = TTGlyphPen(None)
    for pts, outer in contours:
        pts = oriented(slanted(pts), clockwise=outer)
        pen.moveTo(pts[0])
        for pt in pts[1:]:
            pen.lineTo(pt)
        pen.closePath()
    return pen.glyph()


def build_font():
    order = [".notdef", "space", "percent", "hyphen", "period", "zero", "one", "two", "three",
             "four", "five", "six", "seven", "eight", "nine", "C", "degree"]
    contours = glyph_contours()
    fb = FontBuilder(UPM, isTTF=True)
    fb.updateHead(created=TIMESTAMP, modified=TIMESTAMP, macStyle=0x02, fontRevision=1.0)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(dict(CMAP))  # the cmap table keeps the dict it is given
    glyphs = {name: draw_glyph(contours[name]) for name in order}
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    metrics = {}
    for name in order:
        g = glyf[name]
        g.recalcBounds(glyf)
        metrics[name] = (ADVANCES.get(name, ADVANCE), getattr(g, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, caretSlopeRise=1000,
                             caretSlopeRun=round(1000 * SLANT))
    fb.setupNameTable({
        "familyName": "DS-Digital",
        "styleName": "Italic",
        "uniqueFontIdentifier": "Valdro: DS-Digital Italic: 2024",
        "fullName": "DS-Digital Italic",
        "psName": "DS-Digital-Italic",
        "version": "Version 1.000",
        "copyright": "Copyright (c) 2024 Valdro",
    })
    fb.setupOS2(
        version=4, usWeightClass=400, usWidthClass=5, fsType=0, fsSelection=0x0001,
        achVendID="VLDR", sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=DESCENT, sxHeight=DIGIT_H // 2, sCapHeight=DIGIT_H,
        ulUnicodeRange1=0b11, ulCodePageRange1=0b1, usFirstCharIndex=0x20,
        usLastCharIndex=0xB0, usDefaultChar=0, usBreakChar=0x20,
    )
    fb.setupPost(italicAngle=-SLANT_DEG, underlinePosition=-100, underlineThickness=50)
    fb.setupMaxp()
    fb.font["head"].macStyle = 0x02
    fb.font.recalcTimestamp = False
    return fb.font


def main(argv):
    out = out_dir_from_argv(argv)
    os.makedirs(out, exist_ok=True)
    build_font().save(os.path.join(out, "DSDigital.ttf"))


if __name__ == "__main__":
    main(sys.argv)
