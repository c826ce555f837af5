#!/usr/bin/env python3
"""The committed icons are what make_icons.py draws, well-formed, and look as described."""
import os
import struct
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.normpath(os.path.join(HERE, "..", "..", "resources"))
sys.path.insert(0, HERE)
import make_icons  # noqa: E402


def read_ico(path):
    """{size: rows of (r, g, b, a), top row first} of a 32-bit .ico, checking its structure."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "not an icon file"
    images = {}
    for i in range(count):
        w, h, colors, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        assert (colors, planes, bits) == (0, 1, 32), "image %d is not 32-bit" % i
        hdr = struct.unpack_from("<IiiHHIIiiII", data, offset)
        assert hdr[0] == 40 and hdr[1] == w and hdr[2] == 2 * h and hdr[4] == 32 and hdr[5] == 0
        mask_stride = ((w + 31) // 32) * 4
        assert size == 40 + 4 * w * h + mask_stride * h, "image %d has the wrong size" % i
        pix = offset + 40
        rows = []
        for y in range(h):
            row = []
            for x in range(w):
                b, g, r, a = data[pix + 4 * (y * w + x):pix + 4 * (y * w + x) + 4]
                row.append((r, g, b, a))
            rows.append(row)
        rows.reverse()  # stored bottom-up
        mask = offset + 40 + 4 * w * h
        for y in range(h):
            line = data[mask + mask_stride * (h - 1 - y):mask + mask_stride * (h - y)]
            for x in range(w):
                transparent = bool(line[x // 8] & (0x80 >> (x % 8)))
                assert transparent == (rows[y][x][3] == 0), "mask disagrees with alpha at %d,%d" % (x, y)
        images[w] = rows
    return images


def centre(rows):
    n = len(rows)
    return rows[n // 2][n // 2]


class Files(unittest.TestCase):
    def test_committed_icons_are_what_the_script_draws(self):
        with tempfile.TemporaryDirectory() as out:
            make_icons.main(["--out", out])
            for name in make_icons.ICONS:
                with open(os.path.join(out, name), "rb") as a, open(os.path.join(RESOURCES, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), "%s is stale: run tools/icons/make_icons.py" % name)

    def test_every_icon_has_16_and_32_pixels_with_alpha(self):
        for name in make_icons.ICONS:
            images = read_ico(os.path.join(RESOURCES, name))
            self.assertEqual(sorted(images), [16, 32], name)
            for size, rows in images.items():
                alphas = {p[3] for row in rows for p in row}
                self.assertIn(255, alphas, "%s %d has no opaque pixel" % (name, size))

    def test_the_rc_file_names_every_icon(self):
        with open(os.path.join(RESOURCES, "Tavrenix.rc")) as f:
            rc = f.read()
        for name in make_icons.ICONS:
            self.assertIn('"resources/%s"' % name, rc)


class Looks(unittest.TestCase):
    def icon(self, name):
        return read_ico(os.path.join(RESOURCES, name))

    def test_lamps_dark_and_bright_green(self):
        for size in (16, 32):
            r, g, b, a = centre(self.icon("lamp_off.ico")[size])
            self.assertEqual(a, 255)
            self.assertTrue(g > r and g > b and g < 120, (r, g, b))
            r2, g2, b2, _ = centre(self.icon("lamp_on.ico")[size])
            self.assertTrue(g2 > 180 and g2 > r2 and g2 > b2, (r2, g2, b2))
            self.assertGreater(g2, g + 80)
            rows = self.icon("lamp_on.ico")[size]
            self.assertEqual(rows[0][0][3], 0)  # round: the corners are transparent

    def test_activity_icon_is_a_green_frame_with_a_cyan_centre(self):
        for size in (16, 32):
            rows = self.icon("lamp_active.ico")[size]
            self.assertEqual(centre(rows)[:3], (0, 255, 255))
            frame = rows[size // 2][size // 2 - (12 if size == 32 else 6)]
            self.assertTrue(frame[1] > 150 and frame[2] < 60 and frame[0] < 60, frame)

    def test_three_dots_on_one_line(self):
        for size in (16, 32):
            rows = self.icon("dots.ico")[size]
            mid = rows[size // 2]
            dark = [x for x, p in enumerate(mid) if p[3] == 255 and max(p[:3]) < 40]
            runs = [x for i, x in enumerate(dark) if i == 0 or dark[i - 1] != x - 1]
            self.assertEqual(len(runs), 3, "dots at %s" % dark)
            self.assertTrue(all(p[3] == 0 for p in rows[2]), "nothing above the dots")

    def test_about_mark_is_a_dark_blue_square(self):
        for size in (16, 32):
            rows = self.icon("about_mark.ico")[size]
            r, g, b, a = centre(rows)
            self.assertTrue(a == 255 and b >= 100 and r < 40 and g < 40, (r, g, b))
            inner = rows[3][3]
            self.assertEqual(inner[:3], (r, g, b))  # filled to the corners: a square

    def test_app_icon_shows_a_trace_and_a_magnifier(self):
        for size in (16, 32):
            rows = self.icon("app.ico")[size]
            pixels = [p for row in rows for p in row if p[3] == 255]
            blue_trace = [p for p in pixels if p[2] > 150 and p[0] < 60]
            dark_ring = [p for p in pixels if max(p[:3]) < 70]
            brown_handle = [p for p in pixels if p[0] > p[1] > p[2] and p[0] > 60 and p[2] < 60]
            self.assertGreater(len(blue_trace), size // 2)
            self.assertGreater(len(dark_ring), size // 2)
            self.assertGreater(len(brown_handle), 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
