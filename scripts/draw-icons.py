#!/usr/bin/env python3
"""Draws Torvane's icons and its link cursor and writes them as ICO/CUR files.

Everything is drawn from shapes (signed distance functions with analytic
anti-aliasing), so the files can be made again at any time and come out the
same byte for byte. Python's standard library only.

    scripts/draw-icons.py                write res/icons/*.ico and hand.cur
    scripts/draw-icons.py --check        draw everything in memory and fail
                                         when the committed files differ
    scripts/draw-icons.py --preview DIR  also write enlarged PNG previews

Files:
    torvane.ico   program icon: 256, 48, 32, 24 and 16 px, each at 4, 8 and
                  32 bits per pixel (the 256 px 32-bit image as PNG); and the
                  sizes only scaled displays ask for (20, 40, 60, 64, 72 and
                  96 px, the window's icons and the About box's 48 px icon at
                  125 % to 400 %) at 32 bits only, as such displays have true
                  colour, and as PNG
    harddrive.ico, opticaldrive.ico, refresh.ico, manual.ico
                  16, 20, 24, 32, 40, 48 and 64 px (100 % to 400 %), 24-bit
                  colour with an AND mask
    hand.cur      pointing hand, 32 x 32 monochrome, hot spot (0, 0)
"""

import argparse
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICON_DIR = os.path.join(ROOT, "res", "icons")

# ---------------------------------------------------------------------------
# Drawing: a canvas of premultiplied RGBA floats and shapes as distance
# functions in design units (scale = pixels per design unit).


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def rgb(r, g, b, a=1.0):
    return (r / 255.0, g / 255.0, b / 255.0, a)


def mix(c0, c1, t):
    t = clamp(t)
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


class Canvas:
    def __init__(self, size, scale):
        self.size = size
        self.scale = scale
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def draw(self, sdf, paint, box=None, opacity=1.0):
        """Paints `paint` (a colour or a function of x, y) over the pixels the
        shape covers, with each pixel's coverage from its distance to the edge."""
        s = self.scale
        n = self.size
        if box is None:
            x0 = y0 = 0
            x1 = y1 = n
        else:
            x0 = max(0, int(math.floor(box[0] * s)) - 1)
            y0 = max(0, int(math.floor(box[1] * s)) - 1)
            x1 = min(n, int(math.ceil(box[2] * s)) + 1)
            y1 = min(n, int(math.ceil(box[3] * s)) + 1)
        solid = not callable(paint)
        for py in range(y0, y1):
            y = (py + 0.5) / s
            row = py * n
            for px in range(x0, x1):
                x = (px + 0.5) / s
                cover = 0.5 - sdf(x, y) * s
                if cover <= 0.0:
                    continue
                if cover > 1.0:
                    cover = 1.0
                r, g, b, a = paint if solid else paint(x, y)
                a *= cover * opacity
                if a <= 0.0:
                    continue
                p = self.px[row + px]
                k = 1.0 - a
                p[0] = r * a + p[0] * k
                p[1] = g * a + p[1] * k
                p[2] = b * a + p[2] * k
                p[3] = a + p[3] * k

    def rgba8(self):
        """Straight (not premultiplied) 8-bit RGBA, rows top to bottom."""
        out = []
        for r, g, b, a in self.px:
            if a <= 0.0:
                out.append((0, 0, 0, 0))
                continue
            out.append((int(round(clamp(r / a) * 255)), int(round(clamp(g / a) * 255)),
                        int(round(clamp(b / a) * 255)), int(round(clamp(a) * 255))))
        return out


# Distance functions (negative inside).

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, w):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - w / 2.0


def rect(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def f(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return f


def _segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0.0 else clamp(((x - ax) * dx + (y - ay) * dy) / length2)
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def capsule(ax, ay, bx, by, r):
    return lambda x, y: _segment_distance(x, y, ax, ay, bx, by) - r


def stroke(points, w):
    """An open polyline drawn with width w and round ends."""
    segments = list(zip(points, points[1:]))

    def f(x, y):
        return min(_segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in segments) - w / 2.0
    return f


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def f(x, y):
        d = min(_segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return f


def arc(cx, cy, r, w, a0, a1):
    """Part of a ring from angle a0 to a1 (degrees, clockwise on screen since
    y points down), with round ends."""
    t0, t1 = math.radians(a0), math.radians(a1)
    ends = [(cx + r * math.cos(t), cy + r * math.sin(t)) for t in (t0, t1)]

    def f(x, y):
        t = math.atan2(y - cy, x - cx)
        while t < t0:
            t += 2 * math.pi
        if t <= t1:
            return abs(math.hypot(x - cx, y - cy) - r) - w / 2.0
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - w / 2.0
    return f


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def grow(shape, d):
    return lambda x, y: shape(x, y) - d


def vertical(y0, c0, y1, c1):
    return lambda x, y: mix(c0, c1, (y - y0) / (y1 - y0))


# ---------------------------------------------------------------------------
# The program icon: a drive platter with a quiet, dying-away wave on a badge.
# Design units: the image is 1 x 1.

PLATTER = (0.44, 0.44, 0.41)


def badge_for(size):
    """Centre and radius of the badge: larger on the small images."""
    return (0.735, 0.735, 0.245) if size >= 32 else (0.70, 0.70, 0.29)


def platter_paint(x, y):
    cx, cy, r = PLATTER
    t = math.atan2(y - cy, x - cx)
    rho = math.hypot(x - cx, y - cy) / r
    # Brushed metal: two bright and two dark sectors, a little lighter inwards.
    light = 0.74 + 0.17 * math.cos(2.0 * (t + 0.75)) + 0.07 * (1.0 - rho)
    return (clamp(0.86 * light), clamp(0.89 * light), clamp(0.95 * light), 1.0)


def wave_points(cx, cy, r, half_waves, samples=48):
    """A sine wave whose swing dies away from left to right: the noise going quiet."""
    points = []
    for i in range(samples + 1):
        u = i / samples
        x = cx - 0.72 * r + 1.44 * r * u
        swing = 0.50 * r * math.exp(-2.6 * u)
        points.append((x, cy - swing * math.sin(u * half_waves * math.pi)))
    return points


def draw_program_icon(size):
    c = Canvas(size, size)
    px = 1.0 / size                      # one pixel in design units
    detail = size >= 32
    cx, cy, r = PLATTER
    box = (cx - r - 2 * px, cy - r - 2 * px, cx + r + 2 * px, cy + r + 2 * px)

    if size >= 48:                       # soft shadow under the platter
        for i in range(6):
            c.draw(circle(cx + 0.02, cy + 0.03, r - 0.01 + 0.01 * i), rgb(0, 0, 0),
                   box=(0, 0, 1, 1), opacity=0.05)

    # Platter: a dark rim, the metal, the tracks and the hub.
    c.draw(circle(cx, cy, r), rgb(58, 66, 80), box=box)
    c.draw(circle(cx, cy, r - max(0.022, 1.0 * px)), platter_paint, box=box)
    if detail:
        for tr in (0.17, 0.235, 0.30, 0.355):
            c.draw(ring(cx, cy, tr, max(0.006, 0.6 * px)), rgb(70, 80, 96), box=box, opacity=0.35)
    hub_r = 0.11 if size >= 24 else 0.13
    c.draw(circle(cx, cy, hub_r), rgb(70, 78, 92), box=box)
    c.draw(circle(cx, cy, hub_r - max(0.02, 0.8 * px)),
           vertical(cy - hub_r, rgb(236, 240, 246), cy + hub_r, rgb(168, 176, 190)), box=box)
    c.draw(circle(cx, cy, max(0.03, 0.9 * px)), rgb(52, 58, 70), box=box)

    if detail:                           # the head arm, resting over the platter
        pivot = (0.86, 0.12)
        head = (0.60, 0.33)
        arm_w = max(0.05, 2.2 * px)
        c.draw(capsule(pivot[0], pivot[1], head[0], head[1], arm_w / 2 + max(0.012, px)),
               rgb(50, 56, 66), box=(0.5, 0.0, 1.0, 0.45))
        c.draw(capsule(pivot[0], pivot[1], head[0], head[1], arm_w / 2),
               vertical(0.1, rgb(150, 158, 172), 0.35, rgb(96, 104, 118)), box=(0.5, 0.0, 1.0, 0.45))
        c.draw(circle(pivot[0], pivot[1], 0.055), rgb(50, 56, 66), box=(0.7, 0.0, 1.0, 0.25))
        c.draw(circle(pivot[0], pivot[1], 0.055 - max(0.012, px)), rgb(176, 184, 198),
               box=(0.7, 0.0, 1.0, 0.25))

    # Badge with the quiet wave, ringed in white to stand off the platter.
    bx, by, br = badge_for(size)
    bbox = (bx - br - 0.05, by - br - 0.05, 1.0, 1.0)
    half_waves = 4.5 if size >= 48 else 3.5 if size >= 32 else 2.5
    c.draw(circle(bx, by, br + max(0.03, 1.0 * px)), rgb(255, 255, 255), box=bbox)
    c.draw(circle(bx, by, br), rgb(8, 84, 72), box=bbox)
    c.draw(circle(bx, by, br - max(0.015, 0.8 * px)),
           vertical(by - br, rgb(46, 196, 150), by + br, rgb(10, 112, 96)), box=bbox)
    c.draw(stroke(wave_points(bx, by, br, half_waves), max(0.045, 1.25 * px)),
           rgb(255, 255, 255), box=bbox)
    return c


# ---------------------------------------------------------------------------
# The small icons. Design units are the pixels of the 16 px image; the larger
# images draw the same shapes at their scale.

SMALL_SIZES = (16, 20, 24, 32, 40, 48, 64)
PROGRAM_SIZES = (256, 48, 32, 24, 16)     # each at 4, 8 and 32 bits
SCALED_PROGRAM_SIZES = (96, 72, 64, 60, 40, 20)  # 32 bits only

OUTLINE = rgb(48, 52, 60)


def draw_hard_drive(size=16):
    c = Canvas(size, size / 16.0)
    silhouette = polygon([(4, 3), (15, 3), (15, 8), (11.5, 13), (1, 13), (1, 8)])
    c.draw(silhouette, OUTLINE)
    top = polygon([(4.4, 4), (14, 4), (11.2, 8), (2, 8)])
    c.draw(top, vertical(4, rgb(228, 230, 234), 8, rgb(188, 192, 198)))
    c.draw(rect(2, 9, 11, 12), vertical(9, rgb(164, 168, 176), 12, rgb(124, 128, 136)))
    c.draw(polygon([(12, 9), (14, 5.2), (14, 8), (12, 11)]), rgb(112, 116, 124))
    c.draw(rect(3, 10, 6.5, 11), rgb(88, 92, 100))                      # label slot
    c.draw(circle(9.0, 10.5, 1.2), rgb(20, 96, 30))                      # the light
    c.draw(circle(9.0, 10.5, 0.75), rgb(70, 230, 80))
    return c


def draw_optical_drive(size=16):
    c = Canvas(size, size / 16.0)
    # The disc, standing in the drive's slot.
    c.draw(circle(8, 6.5, 6.2), rgb(90, 96, 108))
    def disc_paint(x, y):
        t = math.atan2(y - 6.5, x - 8)
        sheen = (0.5 + 0.5 * math.cos(3 * t), 0.5 + 0.5 * math.cos(3 * t + 2.1),
                 0.5 + 0.5 * math.cos(3 * t + 4.2), 1.0)
        return mix(rgb(214, 220, 230), sheen, 0.28)
    c.draw(circle(8, 6.5, 5.3), disc_paint)
    c.draw(circle(8, 6.5, 2.1), rgb(232, 236, 242))
    c.draw(circle(8, 6.5, 1.1), rgb(90, 96, 108))
    # The drive in front of it.
    c.draw(rect(0.5, 9, 15.5, 15, 0.5), OUTLINE)
    c.draw(rect(1.5, 10, 14.5, 14), vertical(10, rgb(206, 210, 216), 14, rgb(150, 154, 162)))
    c.draw(rect(2.5, 11, 13.5, 12), rgb(70, 74, 82))                     # tray slot
    c.draw(rect(11, 12.6, 13.5, 13.5), rgb(96, 100, 108))                # eject button
    c.draw(rect(2.5, 12.6, 4, 13.5), rgb(60, 210, 70))                   # busy light
    return c


def draw_refresh(size=16):
    c = Canvas(size, size / 16.0)
    cx, cy, r = 8.0, 8.0, 4.6

    def head(angle):
        t = math.radians(angle)
        ex, ey = cx + r * math.cos(t), cy + r * math.sin(t)
        tx, ty = -math.sin(t), math.cos(t)          # clockwise tangent
        nx, ny = math.cos(t), math.sin(t)
        return polygon([(ex + 3.0 * nx - 0.4 * tx, ey + 3.0 * ny - 0.4 * ty),
                        (ex + 3.2 * tx, ey + 3.2 * ty),
                        (ex - 3.0 * nx - 0.4 * tx, ey - 3.0 * ny - 0.4 * ty)])

    # Two arrows chasing each other clockwise round the circle.
    arrows = union(arc(cx, cy, r, 2.1, 190, 290), head(290),
                   arc(cx, cy, r, 2.1, 10, 110), head(110))
    c.draw(grow(arrows, 0.85), rgb(18, 92, 28))
    c.draw(arrows, vertical(2, rgb(120, 226, 110), 14, rgb(30, 150, 44)))
    return c


def draw_manual(size=16):
    c = Canvas(size, size / 16.0)
    mark = union(arc(8.0, 5.4, 3.1, 2.6, 180, 405),
                 capsule(8.0 + 3.1 * math.cos(math.radians(45)) - 0.6, 5.4 + 3.1 * math.sin(math.radians(45)),
                         8.0, 9.8, 1.3),
                 circle(8.0, 13.4, 1.45))
    c.draw(grow(mark, 0.9), rgb(12, 40, 118))
    c.draw(mark, vertical(1.5, rgb(96, 164, 255), 15, rgb(16, 76, 204)))
    return c


# ---------------------------------------------------------------------------
# The link cursor: a pointing hand (the back of a right hand, index finger up,
# the other fingers folded, the thumb across the palm) with the fingertip at
# the top-left corner, where the hot spot is. Monochrome: white inside, a
# black outline around the whole silhouette, black creases inside it.

HAND_SILHOUETTE = union(
    capsule(3.0, 3.0, 3.0, 15.0, 1.95),     # index finger
    capsule(8.0, 9.5, 8.0, 15.0, 1.95),     # folded: middle,
    capsule(13.0, 10.5, 13.0, 15.0, 1.95),  # ring
    capsule(17.5, 12.5, 17.5, 15.0, 1.45),  # and little finger
    rect(1, 14, 19, 24, 3.0),               # palm
    rect(4, 22, 16, 27),                    # wrist
)
HAND_CREASES = [
    stroke([(1.0, 20.5), (3.0, 18.5), (5.5, 17.5), (8.5, 17.5), (10.2, 16.3)], 0.8),  # thumb
    stroke([(5.0, 23.5), (15.0, 23.5)], 0.8),                                          # cuff
]


def draw_hand():
    """Returns 32 rows of 32 values: None (transparent), 0 (black), 1 (white)."""
    inside = [[HAND_SILHOUETTE(x + 0.5, y + 0.5) < 0 for x in range(32)] for y in range(32)]

    def outline(x, y):
        return any(0 <= x + dx < 32 and 0 <= y + dy < 32 and inside[y + dy][x + dx]
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    grid = [[1 if inside[y][x] else 0 if outline(x, y) else None for x in range(32)] for y in range(32)]
    for crease in HAND_CREASES:
        for y in range(32):
            for x in range(32):
                if inside[y][x] and crease(x + 0.5, y + 0.5) < 0:
                    grid[y][x] = 0
    return grid


# ---------------------------------------------------------------------------
# Colour reduction for the 16- and 256-colour images.

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def opaque(a):
    """The AND mask keeps a pixel when it is at least half covered."""
    return a >= 128


def nearest(palette, colour, candidates=None):
    best, best_d = 0, None
    for i in candidates if candidates is not None else range(len(palette)):
        p = palette[i]
        d = (2 * (p[0] - colour[0]) ** 2 + 4 * (p[1] - colour[1]) ** 2 + 3 * (p[2] - colour[2]) ** 2)
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


VGA16_GREYS = (0, 8, 7, 15)     # black, grey, silver, white


def to_16_colours(pixels, size):
    """Standard 16-colour palette; ordered dithering from 32 px up. Colours
    with little saturation keep to the greys (by lightness), so that the
    metal does not turn teal."""
    dither = size >= 32
    indices = []
    for i, (r, g, b, a) in enumerate(pixels):
        if not opaque(a):
            indices.append(0)
            continue
        if dither:
            y, x = divmod(i, size)
            t = (BAYER4[y % 4][x % 4] - 7.5) * 4.0
            r, g, b = (int(clamp(v + t, 0, 255)) for v in (r, g, b))
        if max(r, g, b) - min(r, g, b) < 48:
            light = 0.30 * r + 0.59 * g + 0.11 * b
            level = 0 if light < 84 else 1 if light < 164 else 2 if light < 232 else 3
            indices.append(VGA16_GREYS[level])
        else:
            indices.append(nearest(VGA16, (r, g, b)))
    return VGA16, indices


def to_256_colours(pixels):
    """Median cut over the opaque pixels; entry 0 stays black for the
    transparent ones. Deterministic: ties and orders are all by value."""
    colours = sorted({(r, g, b) for r, g, b, a in pixels if opaque(a)})
    boxes = [colours] if colours else []
    while len(boxes) < 255:
        best, best_key = None, None
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spans = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
            key = (max(spans), len(box))
            if best_key is None or key > best_key:
                best, best_key = i, key
        if best is None:
            break
        box = boxes[best]
        spans = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
        k = spans.index(max(spans))
        box = sorted(box, key=lambda c: (c[k], c))
        half = len(box) // 2
        boxes[best:best + 1] = [box[:half], box[half:]]
    palette = [(0, 0, 0)]
    index_of = {}
    for box in boxes:
        n = len(box)
        palette.append(tuple(int(round(sum(c[k] for c in box) / n)) for k in range(3)))
        for colour in box:
            index_of[colour] = len(palette) - 1
    palette += [(0, 0, 0)] * (256 - len(palette))
    indices = [index_of[(r, g, b)] if opaque(a) else 0 for r, g, b, a in pixels]
    return palette, indices


# ---------------------------------------------------------------------------
# File formats. An icon image is a BITMAPINFOHEADER (height doubled for the
# mask), the palette, the colour rows and the AND mask rows, all bottom-up
# with rows padded to 4 bytes; or, for 256 px at 32 bits, a PNG file.

def _rows_bottom_up(size, row_bytes):
    return b"".join(row_bytes(y) for y in range(size - 1, -1, -1))


def _pad4(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(pixels, size, keep):
    def row(y):
        bits = bytearray((size + 7) // 8)
        for x in range(size):
            if not keep(pixels[y * size + x]):
                bits[x // 8] |= 0x80 >> (x % 8)
        return _pad4(bytes(bits))
    return _rows_bottom_up(size, row)


def bitmap_header(size, bpp):
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0, 0, 0, 0, 0, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def indexed_image(size, bpp, palette, indices, pixels):
    def row(y):
        line = indices[y * size:(y + 1) * size]
        if bpp == 8:
            return _pad4(bytes(line))
        return _pad4(bytes((line[i] << 4) | (line[i + 1] if i + 1 < size else 0)
                           for i in range(0, size, 2)))
    return (bitmap_header(size, bpp) + palette_bytes(palette) + _rows_bottom_up(size, row)
            + and_mask(pixels, size, lambda p: opaque(p[3])))


def truecolour_image(size, bpp, pixels):
    def row(y):
        line = pixels[y * size:(y + 1) * size]
        if bpp == 32:
            return b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in line)
        return _pad4(b"".join(struct.pack("<BBB", b, g, r) if opaque(a) else b"\0\0\0"
                              for r, g, b, a in line))
    return bitmap_header(size, bpp) + _rows_bottom_up(size, row) + and_mask(
        pixels, size, lambda p: opaque(p[3]))


def png(size, pixels):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in pixels[y * size:(y + 1) * size])
                   for y in range(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(images, kind=1, hot_spots=None):
    """ICONDIR, one 16-byte entry per image, then the images. For cursors
    (kind 2) the planes and bit count fields hold the hot spot."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for i, (size, bpp, data) in enumerate(images):
        colours = 1 << bpp if bpp < 8 else 0
        field1, field2 = (1, bpp) if kind == 1 else hot_spots[i]
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, field1, field2,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def program_icon():
    images = []
    for size in PROGRAM_SIZES:
        pixels = draw_program_icon(size).rgba8()
        palette, indices = to_16_colours(pixels, size)
        images.append((size, 4, indexed_image(size, 4, palette, indices, pixels)))
        palette, indices = to_256_colours(pixels)
        images.append((size, 8, indexed_image(size, 8, palette, indices, pixels)))
        images.append((size, 32, png(size, pixels) if size == 256 else truecolour_image(size, 32, pixels)))
    for size in SCALED_PROGRAM_SIZES:   # compressed, as Windows reads them from Vista on
        images.append((size, 32, png(size, draw_program_icon(size).rgba8())))
    return images


def small_icon(draw):
    return [(size, 24, truecolour_image(size, 24, draw(size).rgba8())) for size in SMALL_SIZES]


def hand_cursor():
    grid = draw_hand()
    # XOR bits: 1 = white; AND bits: 1 = transparent. Black is XOR 0, AND 0.
    def xor_row(y):
        bits = bytearray(4)
        for x in range(32):
            if grid[y][x] == 1:
                bits[x // 8] |= 0x80 >> (x % 8)
        return bytes(bits)

    def and_row(y):
        bits = bytearray(4)
        for x in range(32):
            if grid[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        return bytes(bits)
    data = (bitmap_header(32, 1) + palette_bytes([(0, 0, 0), (255, 255, 255)])
            + _rows_bottom_up(32, xor_row) + _rows_bottom_up(32, and_row))
    return [(32, 1, data)]


def build_all():
    """File name -> (bytes, images, kind)."""
    files = {}
    files["torvane.ico"] = (program_icon(), 1)
    files["harddrive.ico"] = (small_icon(draw_hard_drive), 1)
    files["opticaldrive.ico"] = (small_icon(draw_optical_drive), 1)
    files["refresh.ico"] = (small_icon(draw_refresh), 1)
    files["manual.ico"] = (small_icon(draw_manual), 1)
    files["hand.cur"] = (hand_cursor(), 2)
    out = {}
    for name, (images, kind) in files.items():
        out[name] = icon_file(images, kind, [(0, 0)] * len(images) if kind == 2 else None)
    return out


# ---------------------------------------------------------------------------
# Reading the files back: what the resource compiler and the loader will see.

EXPECTED = {
    "torvane.ico": (1, [(s, b) for s in PROGRAM_SIZES for b in (4, 8, 32)]
                    + [(s, 32) for s in SCALED_PROGRAM_SIZES]),
    "harddrive.ico": (1, [(s, 24) for s in SMALL_SIZES]),
    "opticaldrive.ico": (1, [(s, 24) for s in SMALL_SIZES]),
    "refresh.ico": (1, [(s, 24) for s in SMALL_SIZES]),
    "manual.ico": (1, [(s, 24) for s in SMALL_SIZES]),
    "hand.cur": (2, [(32, 1)]),
}


def read_images(data):
    """Returns kind and a list of (width, bits, fields of the entry, image bytes)."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind not in (1, 2):
        raise ValueError("not an icon or cursor file")
    images = []
    for i in range(count):
        w, h, colours, res, f1, f2, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        body = data[offset:offset + length]
        if len(body) != length:
            raise ValueError("image %d runs past the end of the file" % i)
        if body.startswith(b"\x89PNG\r\n\x1a\n"):
            pw, ph, depth, ctype = struct.unpack_from(">IIBB", body, 16)
            if (pw, ph, depth, ctype) != (w or 256, h or 256, 8, 6):
                raise ValueError("image %d: PNG header does not match its entry" % i)
            bits = 32
        else:
            hsize, bw, bh, planes, bits = struct.unpack_from("<IiiHH", body, 0)
            if hsize != 40 or bw != (w or 256) or bh != 2 * (h or 256) or planes != 1:
                raise ValueError("image %d: bitmap header does not match its entry" % i)
            palette = 4 * (1 << bits) if bits <= 8 else 0
            size = bw
            colour_rows = ((size * bits + 31) // 32) * 4 * size
            mask_rows = ((size + 31) // 32) * 4 * size
            if length != 40 + palette + colour_rows + mask_rows:
                raise ValueError("image %d: %d bytes, expected %d" %
                                 (i, length, 40 + palette + colour_rows + mask_rows))
        if kind == 1 and (f1 != 1 or f2 != bits or colours != (1 << bits if bits < 8 else 0)):
            raise ValueError("image %d: entry says %d planes, %d bits, %d colours" % (i, f1, f2, colours))
        images.append((w or 256, bits, (f1, f2), body))
    return kind, images


def verify(name, data):
    kind, images = read_images(data)
    want_kind, want = EXPECTED[name]
    got = [(w, b) for w, b, _, _ in images]
    if kind != want_kind or got != want:
        raise ValueError("%s: kind %d with %s, expected kind %d with %s" % (name, kind, got, want_kind, want))
    if kind == 2 and images[0][2] != (0, 0):
        raise ValueError("%s: hot spot %s, expected (0, 0)" % (name, images[0][2]))


def canonical(data):
    """The file with each PNG's compressed stream replaced by its pixels, so
    that a different zlib build does not count as a difference."""
    kind, images = read_images(data)
    parts = [data[:6 + 16 * len(images)]]
    for _, _, _, body in images:
        if body.startswith(b"\x89PNG"):
            pos, idat = 8, b""
            while pos < len(body):
                (length,) = struct.unpack_from(">I", body, pos)
                if body[pos + 4:pos + 8] == b"IDAT":
                    idat += body[pos + 8:pos + 8 + length]
                pos += 12 + length
            body = body[:33] + zlib.decompress(idat)
        parts.append(body)
    return b"".join(parts)


# ---------------------------------------------------------------------------
# Previews for people: enlarged PNGs over a checkerboard.

def preview_pngs(directory):
    os.makedirs(directory, exist_ok=True)

    def save(name, size, pixels, zoom):
        big = size * zoom
        out = []
        for y in range(big):
            for x in range(big):
                r, g, b, a = pixels[(y // zoom) * size + x // zoom]
                bg = 200 if ((x // 8) + (y // 8)) % 2 else 240
                k = a / 255.0
                out.append(tuple(int(round(c * k + bg * (1 - k))) for c in (r, g, b)) + (255,))
        with open(os.path.join(directory, name), "wb") as f:
            f.write(png(big, out))

    def indexed_preview(palette, indices, pixels):
        return [palette[i] + (255,) if opaque(p[3]) else (0, 0, 0, 0) for i, p in zip(indices, pixels)]

    for size in PROGRAM_SIZES + SCALED_PROGRAM_SIZES:
        pixels = draw_program_icon(size).rgba8()
        zoom = max(1, 256 // size)
        save("torvane-%d-32.png" % size, size, pixels, zoom)
        if size in PROGRAM_SIZES:
            save("torvane-%d-8.png" % size, size, indexed_preview(*to_256_colours(pixels), pixels), zoom)
            save("torvane-%d-4.png" % size, size, indexed_preview(*to_16_colours(pixels, size), pixels), zoom)
    for name, draw in (("harddrive", draw_hard_drive), ("opticaldrive", draw_optical_drive),
                       ("refresh", draw_refresh), ("manual", draw_manual)):
        for size in SMALL_SIZES:
            pixels = [p if opaque(p[3]) else (0, 0, 0, 0) for p in draw(size).rgba8()]
            save("%s-%d.png" % (name, size), size,
                 [(r, g, b, 255 if a else 0) for r, g, b, a in pixels], 256 // size)
    grid = draw_hand()
    colours = {None: (0, 0, 0, 0), 0: (0, 0, 0, 255), 1: (255, 255, 255, 255)}
    save("hand.png", 32, [colours[v] for row in grid for v in row], 8)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=ICON_DIR, help="where the files go (default res/icons)")
    parser.add_argument("--check", action="store_true",
                        help="compare with the files in --out instead of writing them")
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG previews")
    args = parser.parse_args()

    files = build_all()
    for name, data in files.items():
        verify(name, data)

    if args.check:
        stale = []
        for name, data in sorted(files.items()):
            path = os.path.join(args.out, name)
            try:
                with open(path, "rb") as f:
                    committed = f.read()
                verify(name, committed)
                if canonical(committed) != canonical(data):
                    stale.append(name + " differs from what the script draws")
            except (OSError, ValueError, struct.error) as e:
                stale.append("%s: %s" % (name, e))
        for line in stale:
            print("draw-icons: " + line, file=sys.stderr)
        if stale:
            print("draw-icons: run scripts/draw-icons.py and commit res/icons", file=sys.stderr)
            return 1
        print("draw-icons: %d files match" % len(files))
        return 0

    os.makedirs(args.out, exist_ok=True)
    for name, data in sorted(files.items()):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
        print("draw-icons: wrote %s (%d bytes)" % (os.path.join(args.out, name), len(data)))
    if args.preview:
        preview_pngs(args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main())
