#!/usr/bin/env python3
"""Write Kestrava's icon files (icon129.ico, icon135.ico, icon140.ico) into OUTDIR.

The artwork is drawn here from a few shapes so that the icons need no binary files in the
repository. Each image is a BMP DIB with its AND mask, as .ico files and windres expect:
129 and 135 hold a 32x32 and a 16x16 image in 16 colours, 140 one 128x128 true-colour image.
"""

import os
import struct
import sys

# The standard 16-colour palette, so the 4-bit images look the same on every display.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, OLIVE, NAVY, SILVER, GREY = VGA[0], VGA[2], VGA[3], VGA[4], VGA[7], VGA[8]
LIME, YELLOW, BLUE, WHITE = VGA[10], VGA[11], VGA[12], VGA[15]


def rect(x0, y0, x1, y1):
    return lambda u, v: x0 <= u < x1 and y0 <= v < y1


def polygon(points):
    """Even-odd point-in-polygon test in unit coordinates."""
    def inside(u, v):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > v) != (yj > v) and u < (xj - xi) * (v - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def union(*shapes):
    return lambda u, v: any(shape(u, v) for shape in shapes)


def vertical_gradient(top, bottom, y0, y1):
    def colour(_u, v):
        t = min(max((v - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return colour


class Canvas:
    """A square image; None marks a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def draw(self, shape, fill, border):
        """Fill a shape sampled at pixel centres and give it a one-pixel border.

        fill is a colour or a function of the unit coordinates returning one.
        """
        n = self.size
        mask = [[shape((x + 0.5) / n, (y + 0.5) / n) for x in range(n)] for y in range(n)]
        for y in range(n):
            for x in range(n):
                if not mask[y][x]:
                    continue
                edge = any(
                    not (0 <= x + dx < n and 0 <= y + dy < n and mask[y + dy][x + dx])
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                if edge:
                    self.pixels[y][x] = border
                elif callable(fill):
                    self.pixels[y][x] = fill((x + 0.5) / n, (y + 0.5) / n)
                else:
                    self.pixels[y][x] = fill


def folder_shape(bottom):
    tab = polygon([(0.06, 0.16), (0.38, 0.16), (0.46, 0.26), (0.06, 0.26)])
    return union(tab, rect(0.06, 0.24, 0.94, bottom))


def right_arrow(x0, x1, y_mid, half_shaft, half_head, head_len):
    shaft = rect(x0, y_mid - half_shaft, x1 - head_len + 0.02, y_mid + half_shaft)
    head = polygon([(x1 - head_len, y_mid - half_head), (x1, y_mid),
                    (x1 - head_len, y_mid + half_head)])
    return union(shaft, head)


def draw_folder_arrow(size):
    c = Canvas(size)
    c.draw(folder_shape(0.86), YELLOW, OLIVE)
    c.draw(right_arrow(0.22, 0.86, 0.58, 0.09, 0.22, 0.28), LIME, GREEN)
    return c


def draw_document_arrow(size):
    c = Canvas(size)
    c.draw(polygon([(0.24, 0.04), (0.66, 0.04), (0.86, 0.24), (0.86, 0.96), (0.24, 0.96)]),
           WHITE, BLACK)
    c.draw(polygon([(0.62, 0.04), (0.62, 0.28), (0.86, 0.28)]), SILVER, BLACK)
    if size >= 32:
        for top in (0.36, 0.48, 0.60, 0.72, 0.84):
            c.draw(rect(0.36, top, 0.76, top + 0.04), GREY, GREY)
    c.draw(right_arrow(0.04, 0.62, 0.62, 0.09, 0.22, 0.26), BLUE, NAVY)
    return c


def draw_about(size):
    c = Canvas(size)
    c.draw(folder_shape(0.76), vertical_gradient((255, 236, 140), (224, 168, 32), 0.16, 0.76),
           (120, 84, 8))
    c.draw(right_arrow(0.20, 0.86, 0.50, 0.08, 0.20, 0.26),
           vertical_gradient((120, 220, 100), (20, 130, 40), 0.30, 0.70), (10, 80, 20))
    c.draw(rect(0.06, 0.84, 0.94, 0.96), (236, 236, 236), (96, 96, 96))
    c.draw(rect(0.06, 0.84, 0.62, 0.96),
           vertical_gradient((90, 200, 90), (30, 140, 50), 0.84, 0.96), (96, 96, 96))
    return c


def row_bytes(width, bpp):
    return (width * bpp + 31) // 32 * 4


def and_mask(canvas):
    n = canvas.size
    out = bytearray()
    for y in reversed(range(n)):
        row = bytearray(row_bytes(n, 1))
        for x in range(n):
            if canvas.pixels[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return out


def xor_4bpp(canvas):
    n = canvas.size
    out = bytearray()
    for y in reversed(range(n)):
        row = bytearray(row_bytes(n, 4))
        for x in range(n):
            pixel = canvas.pixels[y][x]
            index = 0 if pixel is None else VGA.index(pixel)
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        out += row
    return out


def xor_24bpp(canvas):
    n = canvas.size
    out = bytearray()
    for y in reversed(range(n)):
        row = bytearray(row_bytes(n, 24))
        for x in range(n):
            r, g, b = canvas.pixels[y][x] or (0, 0, 0)
            row[3 * x:3 * x + 3] = bytes((b, g, r))
        out += row
    return out


def dib(canvas, bpp):
    n = canvas.size
    if bpp == 4:
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
        bits = xor_4bpp(canvas)
    elif bpp == 24:
        palette = b""
        bits = xor_24bpp(canvas)
    else:
        raise ValueError(f"unsupported bit count {bpp}")
    mask = and_mask(canvas)
    # An icon DIB's height counts the colour image and the mask stacked together.
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, bpp, 0, len(bits) + len(mask),
                         0, 0, 0, 0)
    return header + palette + bits + mask


def ico(images):
    """images: list of (canvas, bpp)."""
    blobs = [dib(canvas, bpp) for canvas, bpp in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (canvas, bpp), blob in zip(images, blobs):
        side = canvas.size if canvas.size < 256 else 0
        colours = 1 << bpp if bpp < 8 else 0
        out += struct.pack("<BBBBHHII", side, side, colours, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def write_if_changed(path, data):
    # Leaving an unchanged file alone keeps its timestamp, so the resources are not rebuilt.
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(f"usage: {argv[0]} OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    icons = {
        "icon129.ico": [(draw_folder_arrow(32), 4), (draw_folder_arrow(16), 4)],
        "icon135.ico": [(draw_document_arrow(32), 4), (draw_document_arrow(16), 4)],
        "icon140.ico": [(draw_about(128), 24)],
    }
    for name, images in icons.items():
        write_if_changed(os.path.join(outdir, name), ico(images))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
