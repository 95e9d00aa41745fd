#!/usr/bin/python3
"""Tests of the art tools: BMP and icon writers, outline cutting, font building, and that
check_art really rejects broken art."""

import io
import os
import struct
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import artlib  # noqa: E402
import check_art  # noqa: E402
import gen_font  # noqa: E402
import gen_icon  # noqa: E402
import gen_skin  # noqa: E402
from check_art import ArtError  # noqa: E402


def bmp(img):
    return artlib.bmp24_bytes(img)


def decoded(img):
    return check_art.read_bmp24(bmp(img))


def grey_card():
    """A flat card cut along the real outline: every outline rule should hold for it."""
    return gen_skin.cut_outline(Image.new("RGB", (800, 395), (60, 60, 60)))


class BmpWriter(unittest.TestCase):
    def test_round_trip_through_pil_and_checker(self):
        # Widths 1..5 cover every row-padding case of 24-bit rows.
        for w in (1, 2, 3, 4, 5):
            img = Image.new("RGB", (w, 3))
            img.putdata([(10 * i, 255 - i, (7 * i) % 256) for i in range(w * 3)])
            data = bmp(img)
            with self.subTest(width=w):
                self.assertEqual(list(Image.open(io.BytesIO(data)).convert("RGB").getdata()), list(img.getdata()))
                back = check_art.read_bmp24(data)
                self.assertEqual([back.pixel(x, y) for y in range(3) for x in range(w)], list(img.getdata()))
                self.assertEqual(struct.unpack_from("<I", data, 2)[0], len(data))

    def test_rows_are_bottom_up(self):
        img = Image.new("RGB", (2, 2), (0, 0, 0))
        img.putpixel((0, 0), (1, 2, 3))
        data = bmp(img)
        self.assertGreater(struct.unpack_from("<i", data, 22)[0], 0)
        self.assertEqual(data[54 + 8:54 + 11], bytes((3, 2, 1)))  # top row stored last, as BGR

    def test_same_image_same_bytes(self):
        img = Image.new("RGB", (7, 5), (9, 8, 7))
        self.assertEqual(bmp(img), bmp(img.copy()))


class BmpReader(unittest.TestCase):
    def test_rejects_what_the_resources_must_not_be(self):
        good = bmp(Image.new("RGB", (4, 4), (1, 2, 3)))

        def patched(offset, fmt, value):
            data = bytearray(good)
            struct.pack_into(fmt, data, offset, value)
            return bytes(data)

        cases = [
            ("not a bmp", b"PK" + good[2:], "not a BMP"),
            ("32 bits", patched(28, "<H", 32), "32 bits"),
            ("rle", patched(30, "<I", 1), "compressed"),
            ("top-down", patched(22, "<i", -4), "top-down"),
            ("truncated", good[:-10], "truncated"),
            ("short header", patched(14, "<I", 12), "old-style"),
        ]
        for name, data, message in cases:
            with self.subTest(name), self.assertRaisesRegex(ArtError, message):
                check_art.read_bmp24(data)


class Runs(unittest.TestCase):
    def test_runs_table(self):
        k, o = check_art.KEY, (9, 9, 9)
        cases = [
            ([k, k, k], []),
            ([o, o, o], [(0, 3)]),
            ([k, o, k], [(1, 2)]),
            ([o, k, o], [(0, 1), (2, 3)]),
            ([k, o, o, k, k, o], [(1, 3), (5, 6)]),
            ([(254, 0, 0), k], [(0, 1)]),
        ]
        for pixels, expected in cases:
            row = b"".join(bytes(p) for p in pixels)
            with self.subTest(pixels=pixels):
                self.assertEqual(check_art.runs(row, len(pixels), k), expected)


class CardOutline(unittest.TestCase):
    def test_cut_outline_gives_a_valid_card(self):
        check_art.check_card(decoded(grey_card()))

    def test_card_spans_touch_top_and_bottom_and_stay_inside(self):
        for y in (0, 1, 17, 18, 200, 376, 394):
            x0, x1 = gen_skin.card_span(y)
            with self.subTest(y=y):
                self.assertLess(x0, x1)
                self.assertGreaterEqual(x0, gen_skin.CARD_X0)
                self.assertLessEqual(x1, gen_skin.CARD_X1)
        self.assertEqual(gen_skin.card_span(0), gen_skin.card_span(394))  # chamfers are symmetric

    def test_key_painted_inside_is_replaced(self):
        img = Image.new("RGB", (800, 395), (60, 60, 60))
        img.putpixel((400, 200), artlib.KEY)
        out = gen_skin.cut_outline(img)
        self.assertNotEqual(out.getpixel((400, 200)), artlib.KEY)
        self.assertEqual(out.getpixel((0, 0)), artlib.KEY)

    def test_checker_catches_broken_outlines(self):
        def hole(img):
            img.putpixel((400, 200), artlib.KEY)

        def empty_top(img):
            for x in range(800):
                img.putpixel((x, 0), artlib.KEY)

        def notch(img):  # a bite out of the left edge that leaves an island
            for x in range(30, 40):
                img.putpixel((x, 100), artlib.KEY)

        def fringe(img):
            x0, _ = gen_skin.card_span(200)
            img.putpixel((x0, 200), (240, 12, 10))

        cases = [(hole, "inside the card"), (empty_top, "row 0 holds no card"),
                 (notch, "inside the card"), (fringe, "nearly the key")]
        for damage, message in cases:
            img = grey_card()
            damage(img)
            with self.subTest(damage.__name__), self.assertRaisesRegex(ArtError, message):
                check_art.check_card(decoded(img))

    def test_checker_refuses_wrong_size(self):
        with self.assertRaisesRegex(ArtError, "800x394"):
            check_art.check_card(decoded(Image.new("RGB", (800, 394), (60, 60, 60))))


class Thumb(unittest.TestCase):
    def test_generated_thumbs_pass(self):
        for lit in (False, True):
            check_art.check_thumb(decoded(gen_skin.thumb(lit)))

    def test_checker_catches_broken_thumbs(self):
        def opaque_corner(img):
            img.putpixel((0, 0), (5, 5, 5))

        def hole(img):
            img.putpixel((20, 10), (0, 0, 0))

        def hole_off_centre(img):
            img.putpixel((10, 5), (0, 0, 0))

        cases = [(opaque_corner, "corner"), (hole, "centre"), (hole_off_centre, "row 5")]
        for damage, message in cases:
            img = gen_skin.thumb(False)
            damage(img)
            with self.subTest(damage.__name__), self.assertRaisesRegex(ArtError, message):
                check_art.check_thumb(decoded(img))


class Seams(unittest.TestCase):
    SIZES = {"mini": (61, 26), "close": (61, 26), "reset": (120, 25), "apply": (120, 25),
             "auto": (45, 21), "slider": (160, 25)}

    def controls(self, grey):
        out = {}
        for _, _, names in check_art.SEAMS:
            for n in names:
                size = next(v for k, v in self.SIZES.items() if n.startswith(k))
                out[n] = decoded(Image.new("RGB", size, grey))
        return out

    def test_corner_table(self):
        card = decoded(grey_card())
        # (control, corner pixel changed, whether the card beneath must match there)
        cases = [("apply_lit", (0, 0), True), ("apply_lit", (119, 24), True),
                 ("mini_over", (0, 25), True), ("mini_over", (60, 0), False),
                 ("close", (0, 0), False), ("close", (60, 25), True),
                 ("slider2_channel_lit", (159, 0), True), ("auto1_on", (44, 20), True)]
        for name, corner, checked in cases:
            controls = self.controls((60, 60, 60))
            bad = controls[name]
            row = bytearray(bad.rows[corner[1]])
            row[3 * corner[0]:3 * corner[0] + 3] = bytes((200, 200, 0))
            bad.rows[corner[1]] = bytes(row)
            with self.subTest(name=name, corner=corner):
                if checked:
                    with self.assertRaisesRegex(ArtError, name):
                        check_art.check_seams(card, "card", controls)
                else:
                    check_art.check_seams(card, "card", controls)

    def test_small_differences_are_tolerated(self):
        check_art.check_seams(decoded(grey_card()), "card", self.controls((63, 57, 60)))


class Icon(unittest.TestCase):
    def images(self, sizes):
        return [Image.new("RGBA", (s, s), (200, 100, 0, 255)) for s in sizes]

    def test_written_icon_passes_and_pil_reads_every_size(self):
        data = gen_icon.ico_bytes(self.images((16, 32, 48)))
        check_art.check_icon(data)
        self.assertEqual(Image.open(io.BytesIO(data)).info["sizes"], {(16, 16), (32, 32), (48, 48)})

    def test_transparent_pixels_set_the_and_mask(self):
        img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
        img.putpixel((0, 15), (255, 255, 255, 255))  # bottom-left: first mask row, first bit
        blob = gen_icon.dib_entry(img)
        mask = blob[40 + 16 * 16 * 4:]
        self.assertEqual(len(mask), 16 * 4)
        self.assertEqual(mask[0], 0x7F)
        self.assertEqual(mask[4], 0xFF)

    def test_checker_catches_broken_icons(self):
        good = gen_icon.ico_bytes(self.images((16, 32, 48)))
        cases = [
            ("missing 48", gen_icon.ico_bytes(self.images((16, 32))), "sizes"),
            ("truncated", good[:len(good) // 2], "outside the file"),
            ("not an icon", b"\0\0\2\0" + good[4:], "not an icon"),
        ]
        for name, data, message in cases:
            with self.subTest(name), self.assertRaisesRegex(ArtError, message):
                check_art.check_icon(data)


class Font(unittest.TestCase):
    def saved(self, font):
        path = os.path.join(self.tmp.name, "f.ttf")
        font.save(path)
        return path

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def test_built_font_passes(self):
        check_art.check_font(self.saved(gen_font.build_font()))

    def test_builds_are_identical(self):
        a, b = io.BytesIO(), io.BytesIO()
        gen_font.build_font().save(a)
        gen_font.build_font().save(b)
        self.assertEqual(a.getvalue(), b.getvalue())

    def test_checker_catches_wrong_fonts(self):
        def renamed(f):
            f["name"].setName("DS Digital", 1, 3, 1, 0x409)

        def bold(f):
            f["OS/2"].usWeightClass = 700

        def upright(f):
            f["OS/2"].fsSelection = 0x40

        def no_percent(f):
            for table in f["cmap"].tables:
                table.cmap.pop(0x25, None)

        def proportional(f):
            f["hmtx"]["one"] = (300, f["hmtx"]["one"][1])

        def em(f):
            f["head"].unitsPerEm = 1000

        cases = [(renamed, "name 1"), (bold, "weight 700"), (upright, "italic"),
                 (no_percent, "U\\+0025"), (proportional, "advances"), (em, "unitsPerEm")]
        for damage, message in cases:
            font = gen_font.build_font()
            damage(font)
            with self.subTest(damage.__name__), self.assertRaisesRegex(ArtError, message):
                check_art.check_font(self.saved(font))

    def test_outer_contours_clockwise_holes_counter_clockwise(self):
        square = [(0, 0), (10, 0), (10, 10), (0, 10)]  # counter-clockwise, y up
        cases = [(square, True, -100.0), (square, False, 100.0),
                 (square[::-1], True, -100.0), (square[::-1], False, 100.0)]
        for pts, outer, area in cases:
            with self.subTest(pts=pts, outer=outer):
                self.assertEqual(gen_font.signed_area(gen_font.oriented(pts, outer)), area)

    def test_glyphs_follow_the_seven_segment_table(self):
        font = gen_font.build_font()
        glyf = font["glyf"]
        for name, segs in gen_font.SEGMENTS_OF.items():
            with self.subTest(name):
                self.assertEqual(glyf[name].numberOfContours, len(segs))
        self.assertEqual(glyf["degree"].numberOfContours, 2)  # ring with a hole
        self.assertEqual(glyf["percent"].numberOfContours, 5)


class Reproducible(unittest.TestCase):
    def test_regeneration_check_names_changed_and_missing_files(self):
        with tempfile.TemporaryDirectory() as art:
            subprocess.run(["bash", os.path.join(check_art.HERE, "generate_all.sh"), art], check=True)
            with open(os.path.join(art, "thumb.bmp"), "r+b") as f:
                f.seek(100)
                f.write(b"\x01")
            os.remove(os.path.join(art, "close.bmp"))
            open(os.path.join(art, "stray.bmp"), "wb").close()
            with self.assertRaises(ArtError) as caught:
                check_art.check_regenerates(art)
            message = str(caught.exception)
            for part in ("not committed: close.bmp", "not generated: stray.bmp", "differ: thumb.bmp"):
                self.assertIn(part, message)


if __name__ == "__main__":
    unittest.main()
