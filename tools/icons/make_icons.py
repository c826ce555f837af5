#!/usr/bin/env python3
"""Draws the Tavrenix icons pixel by pixel at 16 and 32 pixels and writes them as .ico files.

Usage: make_icons.py [--out DIR] [--png DIR]
  --out DIR  where the .ico files go (default: resources/ of this repository)
  --png DIR  also write a PNG of every image, enlarged 8 times, to look at
Standard library only; the output is byte for byte the same on every run.
"""
import argparse
import os
import struct
import sys
import zlib

SIZES = (16, 32)
SUB = 4  # subsamples per pixel side for edge coverage


class Canvas:
    """Straight-alpha RGBA image; shapes are painted with per-pixel coverage, then composited."""

    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def blend(self, x, y, rgb, alpha):
        if not (0 <= x < self.size and 0 <= y < self.size) or alpha <= 0:
            return
        alpha = min(alpha, 1.0)
        r0, g0, b0, a0 = self.px[y][x]
        a0 /= 255.0
        out_a = alpha + a0 * (1 - alpha)
        if out_a <= 0:
            return
        mix = [(c * alpha + c0 * a0 * (1 - alpha)) / out_a for c, c0 in zip(rgb, (r0, g0, b0))]
        self.px[y][x] = tuple(int(round(v)) for v in mix) + (int(round(out_a * 255)),)

    def shape(self, inside, color, opacity=1.0, box=None):
        """Paints the pixels where the predicate inside(fx, fy) holds, weighted by coverage.
        color is an (r, g, b) triple or a function (fx, fy) -> (r, g, b) at the pixel centre."""
        x0, y0, x1, y1 = box if box else (0, 0, self.size, self.size)
        for y in range(max(0, y0), min(self.size, y1)):
            for x in range(max(0, x0), min(self.size, x1)):
                hits = 0
                for sy in range(SUB):
                    for sx in range(SUB):
                        if inside(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB):
                            hits += 1
                if hits:
                    rgb = color(x + 0.5, y + 0.5) if callable(color) else color
                    self.blend(x, y, rgb, opacity * hits / (SUB * SUB))

    def rect(self, x0, y0, x1, y1, color, opacity=1.0):
        """Fills whole pixels x0..x1-1, y0..y1-1 (crisp edges)."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.blend(x, y, color, opacity)

    def disc(self, cx, cy, r, color, opacity=1.0):
        self.shape(lambda fx, fy: (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r, color, opacity)

    def ring(self, cx, cy, r_in, r_out, color, opacity=1.0):
        def inside(fx, fy):
            d2 = (fx - cx) ** 2 + (fy - cy) ** 2
            return r_in * r_in <= d2 <= r_out * r_out
        self.shape(inside, color, opacity)

    def segment(self, ax, ay, bx, by, width, color, opacity=1.0):
        """A thick line with round ends."""
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9
        half = width / 2.0

        def inside(fx, fy):
            t = max(0.0, min(1.0, ((fx - ax) * dx + (fy - ay) * dy) / length2))
            px, py = ax + t * dx - fx, ay + t * dy - fy
            return px * px + py * py <= half * half
        self.shape(inside, color, opacity)

    def rows(self):
        return self.px


def shade(base, light, cx, cy, r):
    """Radial shading: light at the upper left of the centre, base towards the rim."""
    def color(fx, fy):
        d = ((fx - (cx - r * 0.3)) ** 2 + (fy - (cy - r * 0.3)) ** 2) ** 0.5 / (r * 1.3)
        t = max(0.0, min(1.0, d))
        return tuple(int(round(l + (b - l) * t)) for l, b in zip(light, base))
    return color


# ---- the icons ------------------------------------------------------------------------------

def draw_lamp(size, base, light, glow):
    """A round pilot lamp in a grey bezel; glow adds a soft halo for the lit lamp."""
    c = Canvas(size)
    if size == 32:
        cx = cy = 16.0
        r_bezel, r_glass = 13.5, 11.0
    else:
        cx = cy = 8.0
        r_bezel, r_glass = 7.5, 5.5
    c.disc(cx, cy, r_bezel, (72, 72, 72))
    c.ring(cx, cy, r_bezel - (1.2 if size == 32 else 0.8), r_bezel, (32, 32, 32))
    c.disc(cx, cy, r_glass, shade(base, light, cx, cy, r_glass))
    if glow:
        c.ring(cx, cy, r_glass - (1.5 if size == 32 else 1.0), r_glass, glow, 0.55)
    # specular spot
    hr = r_glass * 0.32
    c.disc(cx - r_glass * 0.38, cy - r_glass * 0.38, hr, (255, 255, 255), 0.55 if glow else 0.25)
    return c


def draw_lamp_off(size):
    return draw_lamp(size, base=(0, 58, 0), light=(30, 110, 30), glow=None)


def draw_lamp_on(size):
    return draw_lamp(size, base=(0, 200, 0), light=(190, 255, 170), glow=(120, 255, 120))


def draw_lamp_active(size):
    """Green square frame with a cyan centre: chunks are still being counted down."""
    c = Canvas(size)
    if size == 32:
        outer, frame = (3, 29), 5
    else:
        outer, frame = (1, 15), 3
    lo, hi = outer
    c.rect(lo, lo, hi, hi, (0, 90, 0))                         # dark outline
    c.rect(lo + 1, lo + 1, hi - 1, hi - 1, (0, 200, 0))        # green frame
    c.rect(lo + frame - 1, lo + frame - 1, hi - frame + 1, hi - frame + 1, (0, 110, 0))
    c.rect(lo + frame, lo + frame, hi - frame, hi - frame, (0, 255, 255))  # cyan centre
    # a lighter top edge on the frame for depth
    c.rect(lo + 1, lo + 1, hi - 1, lo + 2, (110, 240, 110))
    return c


def draw_dots(size):
    """Three black dots on one line, centred, small enough for an 8-unit-high button."""
    c = Canvas(size)
    if size == 32:
        for x in (7, 14, 21):
            c.rect(x, 14, x + 4, 18, (0, 0, 0))
            for cx, cy in ((x, 14), (x + 3, 14), (x, 17), (x + 3, 17)):  # soften the corners
                c.px[cy][cx] = (0, 0, 0, 110)
    else:
        for x in (3, 7, 11):
            c.rect(x, 7, x + 2, 9, (0, 0, 0))
    return c


def draw_about_mark(size):
    """A dark blue square."""
    c = Canvas(size)
    lo, hi = (2, 30) if size == 32 else (1, 15)
    c.rect(lo, lo, hi, hi, (0, 0, 70))
    c.rect(lo + 1, lo + 1, hi - 1, hi - 1, (0, 0, 128))
    return c


def square_wave_points(size):
    """Corner points of the trace: low, high, low, ... with vertical edges."""
    if size == 32:
        low, high, xs = 22, 10, (1, 4, 10, 16, 22, 28, 31)
    else:
        low, high, xs = 11, 4, (1, 2, 5, 8, 11, 14, 15)
    level = low
    pts = [(xs[0], level)]
    for x in xs[1:-1]:
        pts.append((x, level))
        level = high if level == low else low
        pts.append((x, level))
    pts.append((xs[-1], level))
    return pts


def draw_app(size):
    """A magnifier over a square-wave trace."""
    c = Canvas(size)
    # panel behind the trace: light, with a grey border
    if size == 32:
        c.rect(0, 3, 32, 30, (96, 112, 128))
        c.rect(1, 4, 31, 29, (240, 246, 252))
        for gy in (7, 16, 25):                                  # faint grid
            c.rect(1, gy, 31, gy + 1, (205, 218, 230))
    else:
        c.rect(0, 1, 16, 15, (96, 112, 128))
        c.rect(1, 2, 15, 14, (240, 246, 252))
    # the square wave, crisp: horizontal and vertical runs of whole pixels
    thick = 2 if size == 32 else 1
    pts = square_wave_points(size)
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        if ay == by:
            c.rect(min(ax, bx), ay, max(ax, bx) + thick, ay + thick, (0, 80, 200))
        else:
            c.rect(ax, min(ay, by), ax + thick, max(ay, by) + thick, (0, 80, 200))
    # magnifier: tinted glass, a dark ring with a light inner edge, a handle to the lower right
    if size == 32:
        cx, cy, r_in, r_out = 12.5, 13.5, 7.0, 9.5
        handle = (19.0, 20.0, 28.0, 29.0, 4.5)
        glint = (9.5, 10.5, 2.0)
    else:
        cx, cy, r_in, r_out = 6.0, 6.5, 3.4, 5.0
        handle = (9.2, 9.7, 14.0, 14.5, 2.5)
        glint = None
    c.disc(cx, cy, r_in, (170, 225, 255), 0.35)
    if glint:
        c.disc(glint[0], glint[1], glint[2], (255, 255, 255), 0.7)
    hx0, hy0, hx1, hy1, hw = handle
    c.segment(hx0, hy0, hx1, hy1, hw, (80, 45, 20))
    c.segment(hx0, hy0, hx1, hy1, hw * 0.4, (160, 105, 55), 0.8)
    c.ring(cx, cy, r_in, r_out, (35, 40, 50))
    if size == 32:
        c.ring(cx, cy, r_in + 0.7, r_in + 1.4, (140, 148, 165), 0.8)
    return c


ICONS = {
    "app.ico": draw_app,                  # 102
    "lamp_off.ico": draw_lamp_off,        # 103
    "lamp_on.ico": draw_lamp_on,          # 104
    "lamp_active.ico": draw_lamp_active,  # 105
    "dots.ico": draw_dots,                # 107
    "about_mark.ico": draw_about_mark,    # 114
}


# ---- file formats -----------------------------------------------------------------------------

def dib32(canvas):
    """One ICO image: BITMAPINFOHEADER (height doubled), bottom-up BGRA, then the AND mask."""
    n = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(canvas.rows()):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a)) if a else bytes(4)
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(canvas.rows()):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def ico(canvases):
    images = [dib32(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.size % 256, c.size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png(canvas, scale, background=(255, 255, 255)):
    """An enlarged preview, composited over a background."""
    n = canvas.size * scale
    raw = bytearray()
    for row in canvas.rows():
        line = bytearray(b"\x00")
        for r, g, b, a in row:
            t = a / 255.0
            px = bytes(int(round(c * t + bg * (1 - t))) for c, bg in zip((r, g, b), background))
            line += px * scale
        raw += bytes(line) * scale

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Draw the Tavrenix icons")
    ap.add_argument("--out", default=os.path.join(here, "..", "..", "resources"))
    ap.add_argument("--png", default=None)
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    if args.png:
        os.makedirs(args.png, exist_ok=True)
    for name, draw in ICONS.items():
        canvases = [draw(size) for size in SIZES]
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(ico(canvases))
        if args.png:
            for c in canvases:
                base = os.path.splitext(name)[0]
                with open(os.path.join(args.png, "%s-%d.png" % (base, c.size)), "wb") as f:
                    f.write(png(c, 256 // c.size))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
