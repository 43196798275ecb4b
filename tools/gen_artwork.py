#!/usr/bin/env python3
"""Draws the program's icon and bitmaps into res/.

Run `python3 tools/gen_artwork.py` after changing a picture; the output is
byte-for-byte the same on every run, and is committed.

Button strips are three square frames side by side: normal, pressed, hover.
They are 8-bit palette bitmaps and never use the three greys that
LR_LOADMAP3DCOLORS swaps for the current 3-D colours, so they show as drawn.
"""
import math
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
SUPERSAMPLE = 4
STANDARD_GREYS = {(128, 128, 128), (192, 192, 192), (223, 223, 223)}
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
       (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
       (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
       (0, 255, 255), (255, 255, 255)]
# The 16-colour icon keeps to the VGA colours that suit the marble.
VGA_MARBLE = [0, 1, 4, 9, 11, 12, 15]


# ---- geometry -------------------------------------------------------------

def inside_polygon(x, y, poly):
    inside = False
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def segment_distance(x, y, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - x1 - t * dx, y - y1 - t * dy)


def edge_distance(x, y, poly):
    return min(segment_distance(x, y, *a, *b) for a, b in zip(poly, poly[1:] + poly[:1]))


def hexagram(cx, cy, radius):
    inner = radius / math.sqrt(3)
    return [(cx + r * math.cos(a), cy - r * math.sin(a))
            for k in range(12)
            for r, a in [(radius if k % 2 == 0 else inner, math.radians(90 + 30 * k))]]


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


# ---- rendering ------------------------------------------------------------

def render(width, height, paint):
    """Pixels (rows top-down) of paint(x, y) -> rgb or None, averaged over
    subsamples; a pixel whose samples are mostly None is None."""
    rows = []
    n = SUPERSAMPLE
    for py in range(height):
        row = []
        for px in range(width):
            samples = [paint(px + (i + 0.5) / n, py + (j + 0.5) / n)
                       for j in range(n) for i in range(n)]
            hits = [s for s in samples if s is not None]
            if len(hits) * 2 < len(samples):
                row.append(None)
            else:
                row.append(tuple(round(sum(c[k] for c in hits) / len(hits)) for k in range(3)))
        rows.append(row)
    return rows


def away_from_standard_greys(rows):
    return [[(c[0] + 1, c[1] + 1, c[2] + 1) if c in STANDARD_GREYS else c for c in row]
            for row in rows]


def build_palette(rows, size):
    """At most `size` colours: the most frequent ones; rarer colours (edge
    blends) fall to their nearest kept neighbour."""
    counts = {}
    for row in rows:
        for c in row:
            if c is not None:
                counts[c] = counts.get(c, 0) + 1
    kept = sorted(sorted(counts), key=lambda c: -counts[c])[:size]
    nearest = {c: min(kept, key=lambda k: sum((p - q) ** 2 for p, q in zip(c, k)))
               for c in counts}
    return sorted(kept), nearest


def packed_rows(indices, bits):
    """Bottom-up DIB rows of palette indices (or mask bits), padded to 4 bytes."""
    out = b""
    for row in reversed(indices):
        acc, nbits, data = 0, 0, bytearray()
        for v in row:
            acc, nbits = (acc << bits) | v, nbits + bits
            if nbits == 8:
                data.append(acc)
                acc, nbits = 0, 0
        if nbits:
            data.append(acc << (8 - nbits))
        out += bytes(data) + b"\0" * (-len(data) % 4)
    return out


def dib_header(width, height, bits, colours_used, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0,
                       colours_used, 0)


def rgbquads(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def write_bmp(name, rows):
    rows = away_from_standard_greys(rows)
    palette, nearest = build_palette(rows, 256)
    assert not STANDARD_GREYS & set(palette), name
    index = {c: i for i, c in enumerate(palette)}
    bits = packed_rows([[index[nearest[c]] for c in row] for row in rows], 8)
    info = dib_header(len(rows[0]), len(rows), 8, len(palette), len(bits)) + rgbquads(palette)
    offset = 14 + len(info)
    with open(os.path.join(RES, name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + info + bits)


def icon_image(rows, bits):
    """One ICO image: transparent pixels (None) are black under a set mask bit."""
    size = len(rows)
    if bits == 8:
        palette, nearest = build_palette(rows, 255)
        palette = [(0, 0, 0)] + palette
        index = {c: i for i, c in enumerate(palette)}
        to_index = lambda c: index[nearest[c]]
    else:
        palette = VGA
        to_index = lambda c: min(VGA_MARBLE, key=lambda i: sum((p - q) ** 2 for p, q in zip(c, VGA[i])))
    palette = palette + [(0, 0, 0)] * (2 ** bits - len(palette))
    xor = packed_rows([[0 if c is None else to_index(c) for c in row] for row in rows], bits)
    mask = packed_rows([[1 if c is None else 0 for c in row] for row in rows], 1)
    return dib_header(size, size * 2, bits, 0, len(xor) + len(mask)) + rgbquads(palette) + xor + mask


def write_ico(name, images):
    """images: (pixel rows, bits per pixel), in directory order."""
    blobs = [icon_image(rows, bits) for rows, bits in images]
    head = struct.pack("<HHH", 0, 1, len(blobs))
    offset = len(head) + 16 * len(blobs)
    for (rows, bits), blob in zip(images, blobs):
        head += struct.pack("<BBBBHHII", len(rows), len(rows), 16 if bits == 4 else 0, 0, 1,
                            bits, len(blob), offset)
        offset += len(blob)
    with open(os.path.join(RES, name), "wb") as f:
        f.write(head + b"".join(blobs))


# ---- button strips --------------------------------------------------------

# Per set and frame: outer border, inner bevel top-left and bottom-right, face
# gradient top and bottom, glyph, accent (the star's fill).
SCHEMES = {
    "amber": {
        "normal": dict(border=(158, 92, 14), light=(255, 248, 226), shade=(226, 150, 40),
                       top=(255, 240, 196), bottom=(252, 196, 96),
                       glyph=(86, 40, 0), accent=(246, 146, 16)),
        "pressed": dict(border=(72, 36, 0), light=(196, 118, 24), shade=(244, 186, 96),
                        top=(226, 146, 36), bottom=(240, 176, 78),
                        glyph=(60, 26, 0), accent=(214, 108, 0)),
        "hover": dict(border=(178, 108, 22), light=(255, 255, 244), shade=(240, 176, 70),
                      top=(255, 250, 226), bottom=(255, 216, 136),
                      glyph=(86, 40, 0), accent=(255, 170, 40)),
    },
    "grey": {
        "normal": dict(border=(108, 108, 108), light=(250, 250, 250), shade=(170, 170, 170),
                       top=(240, 240, 240), bottom=(196, 196, 196),
                       glyph=(36, 36, 36), accent=(150, 150, 150)),
        "pressed": dict(border=(40, 40, 40), light=(120, 120, 120), shade=(190, 190, 190),
                        top=(150, 150, 150), bottom=(176, 176, 176),
                        glyph=(20, 20, 20), accent=(104, 104, 104)),
        "hover": dict(border=(124, 124, 124), light=(255, 255, 255), shade=(188, 188, 188),
                      top=(252, 252, 252), bottom=(216, 216, 216),
                      glyph=(36, 36, 36), accent=(170, 170, 170)),
    },
}
FRAME_ORDER = ("normal", "pressed", "hover")
BLACK = (0, 0, 0)


def button_face(size, s, x, y):
    """Square button: border, one-pixel bevel, face gradient. The pressed
    scheme darkens the top-left bevel, so that frame looks sunk."""
    px, py, last = int(x), int(y), size - 1
    if px in (0, last) or py in (0, last):
        return s["border"]
    if px == 1 or py == 1:
        return s["light"]
    if px == last - 1 or py == last - 1:
        return s["shade"]
    return mix(s["top"], s["bottom"], (py - 2) / max(1, size - 5))


def crisp_cross(x, y, low, high):
    """Pixel-sharp diagonals over the square of pixels low..high."""
    px, py = int(x), int(y)
    return low <= px <= high and low <= py <= high and (px - py == 0 or px + py == low + high)


def cross(x, y, s):
    if crisp_cross(x, y, 3, 8):
        return s["glyph"]


def corner_triangle(low, high):
    """The black right triangle in a button's lower right corner."""
    tri = [(high, low), (high, high), (low, high)]
    return lambda x, y, s: BLACK if inside_polygon(x, y, tri) else None


STAR = hexagram(8.5, 8.0, 6.2)


def star(x, y, s):
    if inside_polygon(x, y, STAR):
        return s["glyph"] if edge_distance(x, y, STAR) < 0.75 else s["accent"]


def strip(size, scheme, glyphs):
    def paint(x, y):
        frame = int(x // size)
        s = scheme[FRAME_ORDER[frame]]
        fx = x - frame * size
        shift = 1 if FRAME_ORDER[frame] == "pressed" else 0
        colour = button_face(size, s, fx, y)
        for glyph in glyphs:
            colour = glyph(fx - shift, y - shift, s) or colour
        return colour
    return render(size * 3, size, paint)


# ---- close glyph of the browser buttons -----------------------------------

def close_glyph():
    s = dict(border=(96, 96, 96), light=(255, 255, 255), shade=(178, 178, 178),
             top=(250, 250, 250), bottom=(214, 214, 214))

    def paint(x, y):
        if crisp_cross(x, y, 3, 7):
            return (30, 30, 30)
        return button_face(11, s, x, y)
    return render(11, 11, paint)


# ---- program icon: a glass marble with an amber swirl ---------------------

def marble(size):
    radius = size / 2 - 0.25
    light = (-0.45, -0.6, 0.66)
    norm = math.sqrt(sum(v * v for v in light))
    light = tuple(v / norm for v in light)

    def paint(x, y):
        nx, ny = (x - size / 2) / radius, (y - size / 2) / radius
        r2 = nx * nx + ny * ny
        if r2 > 1:
            return None
        nz = math.sqrt(1 - r2)
        if math.sqrt(r2) > 1 - 1.1 / radius:
            return (12, 34, 92)
        swirl = abs(ny - 0.35 * math.sin(2.4 * nx) - 0.12) < 0.15 * (0.5 + nz)
        base = (255, 150, 24) if swirl else (44, 104, 214)
        diffuse = max(0.0, nx * light[0] + ny * light[1] + nz * light[2])
        colour = mix((0, 0, 0), base, 0.3 + 0.85 * diffuse)
        # Light passing through the glass brightens the far side.
        if not swirl:
            colour = mix(colour, (150, 210, 255), 0.35 * max(0.0, 0.2 + 0.6 * nx + 0.6 * ny))
        reflect = 2 * diffuse * nz - light[2]
        colour = mix(colour, (255, 255, 255), min(1.0, max(0.0, reflect) ** 24 * 1.4))
        return tuple(min(255.0, c) for c in colour)
    return render(size, size, paint)


def main():
    for set_name in ("grey", "amber"):
        write_bmp(f"new_window_{set_name}.bmp",
                  strip(18, SCHEMES[set_name], [star, corner_triangle(11.0, 15.0)]))
        write_bmp(f"close_{set_name}.bmp", strip(12, SCHEMES[set_name], [cross]))
        write_bmp(f"hide_{set_name}.bmp", strip(12, SCHEMES[set_name], [corner_triangle(4.0, 9.0)]))
    write_bmp("close_glyph.bmp", close_glyph())
    big, small = marble(32), marble(16)
    write_ico("marbel.ico", [(big, 8), (small, 8), (big, 4), (small, 4)])


if __name__ == "__main__":
    main()
