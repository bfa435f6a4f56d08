#!/usr/bin/env python3
"""Draws the program's pictures into assets/ (run from the repository root):

  tarnwick.ico                  program icon, a globe: 32 x 32, 16 colours
  tarnwick-{32,48,256}.png      the same globe for the desktop, full colour
  {tick,cross,home,info}.ico    button icons, 32 x 32, 16 colours
  {tick,cross,home,info}.png    the same, as PNG for the Qt front end
  hand.cur, hand.png            pointing hand cursor, 32 x 32 monochrome, hot spot (12, 1)
  donate.{bmp,png,gif}          donation button, 62 x 31

Shapes are signed distance functions in a 32 x 32 unit square, drawn in layers; the 16-colour
pictures take the most frequent colour of 4 x 4 samples per pixel (no blending, as 16 colours
allow), the full-colour ones average them. Python 3 standard library only."""
import math
import os
import struct
import zlib

# The standard 16-colour palette, in its usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# ---------------------------------------------------------------- shapes (signed distances)


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    k = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * k


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0), max(dy, 0))
        return outside + min(max(dx, dy), 0) - radius
    return sdf


def segment(ax, ay, bx, by, r):
    def sdf(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r
    return sdf


def polyline(points, r):
    parts = [segment(*a, *b, r) for a, b in zip(points, points[1:])]
    return lambda x, y: min(p(x, y) for p in parts)


def polygon(points):
    def sdf(x, y):
        d = float("inf")
        inside = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
            t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
            d = min(d, math.hypot(px - vx * t, py - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


# A picture is a list of layers (shape, colour, grow), painted in order; a point is in a layer
# when shape(x, y) < grow. colour is a palette index or a function of (x, y) giving one.


def colour_at(layers, x, y):
    found = None
    for shape, colour, grow in layers:
        if shape(x, y) < grow:
            found = colour(x, y) if callable(colour) else colour
    return found


def render_indexed(layers, size=32, ss=4):
    """Rows of palette indices (None: transparent), majority of ss x ss samples."""
    unit = 32 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            votes = {}
            for sy in range(ss):
                for sx in range(ss):
                    c = colour_at(layers, (px + (sx + 0.5) / ss) * unit, (py + (sy + 0.5) / ss) * unit)
                    votes[c] = votes.get(c, 0) + 1
            row.append(max(votes, key=lambda c: (votes[c], c is not None)))
        rows.append(row)
    return rows


def render_rgba(layers, size, ss=4):
    """Rows of (r, g, b, a), the average of ss x ss samples."""
    unit = 32 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    c = colour_at(layers, (px + (sx + 0.5) / ss) * unit, (py + (sy + 0.5) / ss) * unit)
                    if c is not None:
                        r, g, b = PALETTE[c]
                        acc[0] += r
                        acc[1] += g
                        acc[2] += b
                        acc[3] += 1
            n = acc[3]
            row.append((0, 0, 0, 0) if n == 0 else
                       (round(acc[0] / n), round(acc[1] / n), round(acc[2] / n), round(255 * n / (ss * ss))))
        rows.append(row)
    return rows


def indexed_to_rgba(rows):
    return [[(0, 0, 0, 0) if c is None else PALETTE[c] + (255,) for c in row] for row in rows]

# ---------------------------------------------------------------- the pictures


def globe():
    cx = cy = 16.0
    radius = 14.6
    view_lon = math.radians(-60)
    tilt = math.radians(18)  # north pole leans towards the viewer
    light = (-0.55, -0.6, 0.58)
    # Land as ellipses in (longitude, latitude, half-width, half-height), degrees.
    land = [
        (-100, 52, 26, 13), (-113, 40, 12, 10), (-88, 38, 13, 10), (-102, 24, 8, 7),
        (-78, 62, 14, 9), (-150, 63, 12, 6), (-87, 14, 4, 6), (-42, 72, 11, 8),
        (-60, -5, 16, 12), (-62, -20, 12, 14), (-68, -38, 6, 12),
        (15, 50, 15, 8), (12, 12, 20, 13), (25, -8, 12, 12), (22, -25, 8, 8),
    ]

    def surface(x, y):
        nx, ny = (x - cx) / radius, (y - cy) / radius
        nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
        # Undo the tilt about the x axis, then read longitude and latitude.
        uy = -ny * math.cos(tilt) + nz * math.sin(tilt)
        uz = ny * math.sin(tilt) + nz * math.cos(tilt)
        lat = math.degrees(math.asin(max(-1.0, min(1.0, uy))))
        lon = math.degrees(math.atan2(nx, uz) + view_lon)
        lit = nx * light[0] + ny * light[1] + nz * light[2]
        on_land = any(((lon - a) / w) ** 2 + ((lat - b) / h) ** 2 < 1 for a, b, w, h in land)
        if on_land:
            return LIME if lit > 0.3 else GREEN
        if lit > 0.93:
            return AQUA
        return BLUE if lit > -0.05 else NAVY

    ball = circle(cx, cy, radius)
    return [(ball, NAVY, 0.0), (ball, surface, -1.1)]


def tick():
    mark = polyline([(5.5, 17), (12.5, 24.5), (26.5, 7.5)], 0.0)
    return [(mark, GREEN, 3.4), (mark, LIME, 2.0)]


def cross():
    mark = union(segment(7, 7, 25, 25, 0), segment(25, 7, 7, 25, 0))
    return [(mark, GREY, 3.2), (mark, BLACK, 2.5)]


def home():
    page = polygon([(6, 2), (20, 2), (26, 8), (26, 30), (6, 30)])
    fold = polygon([(20, 2), (20, 8), (26, 8)])
    lines = union(*[box(9, y, 17 if y < 6 else 23, y + 1) for y in (5, 8, 11)])
    roof = polygon([(16, 12.5), (24.5, 20), (7.5, 20)])
    walls = box(10, 19.5, 22, 28)
    door = box(14.5, 22.5, 17.5, 28)
    window = box(18.5, 21.5, 21, 24)
    return [
        (page, BLACK, 1.0), (page, WHITE, 0.0), (fold, BLACK, 0.6), (fold, SILVER, -0.4),
        (lines, GREY, 0.0),
        (walls, MAROON, 0.9), (walls, YELLOW, 0.0), (door, MAROON, 0.0), (window, BLUE, 0.0),
        (roof, MAROON, 0.9), (roof, RED, 0.0),
    ]


def info():
    bubble = union(ellipse(16, 13, 13.5, 10.5), polygon([(8, 19), (14, 22), (5, 29.5)]))
    dot = circle(16, 7.2, 1.9)
    stem = union(box(14.4, 10.5, 17.6, 19.5), box(12.8, 17.8, 19.2, 19.5), box(13.2, 10.5, 17.6, 12))
    return [(bubble, NAVY, 1.0), (bubble, WHITE, 0.0), (union(dot, stem), BLUE, 0.0)]


def hand():
    """The pointing hand as rows of 'b' (black), 'w' (white) and ' ' (transparent)."""
    fill = union(
        box(10.5, 1, 15.5, 17, 2.5),     # index finger, tip at the top of pixel (12, 1)
        box(14.5, 7, 19.5, 17, 2.5),     # middle
        box(18.5, 8, 23.5, 17, 2.5),     # ring
        box(22.5, 10, 26.5, 18, 2.0),    # little
        box(10.5, 12, 26.5, 24, 2.0),    # palm
        segment(6.2, 15.2, 11.5, 20.5, 2.7),  # thumb
        box(12.5, 22, 25.5, 30, 0.0),    # wrist
    )
    gaps = union(segment(15, 10, 15, 14.4, 0.01), segment(19, 10, 19, 14.4, 0.01),
                 segment(23, 12, 23, 14.4, 0.01))
    inside = [[fill(x + 0.5, y + 0.5) < 0 for x in range(32)] for y in range(32)]
    rows = []
    for y in range(32):
        row = ""
        for x in range(32):
            if not inside[y][x]:
                row += " "
                continue
            edge = any(not (0 <= x + dx < 32 and 0 <= y + dy < 32 and inside[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            row += "b" if edge or gaps(x + 0.5, y + 0.5) < 0.3 else "w"
        rows.append(row)
    rows[22] = "".join("b" if c != " " else c for c in rows[22])  # the cuff line
    return rows


# A small bold face for the donation button, 5 x 7 before emboldening.
FONT = {
    "D": ["1110 ", "1001 ", "1001 ", "1001 ", "1001 ", "1001 ", "1110 "],
    "o": ["     ", "     ", "0110 ", "1001 ", "1001 ", "1001 ", "0110 "],
    "n": ["     ", "     ", "1110 ", "1001 ", "1001 ", "1001 ", "1001 "],
    "a": ["     ", "     ", "0110 ", "0001 ", "0111 ", "1001 ", "0111 "],
    "t": [" 1   ", " 1   ", "1110 ", " 1   ", " 1   ", " 1   ", "  11 "],
    "e": ["     ", "     ", "0110 ", "1001 ", "1111 ", "1000 ", "0111 "],
}

BUTTON_FACE = (192, 192, 192)  # Windows maps this grey to the button face (LR_LOADMAP3DCOLORS)


def donate():
    """62 x 31 rows of (r, g, b) or None (transparent corners)."""
    w, h = 62, 31
    outline = box(0.5, 0.5, w - 0.5, h - 0.5, 5)
    top, bottom = (255, 239, 160), (250, 170, 30)
    heart = union(circle(7.3, 13.4, 2.5), circle(11.7, 13.4, 2.5),
                  polygon([(5.0, 14.4), (14.0, 14.4), (9.5, 19.8)]))
    rows = []
    for y in range(h):
        t = min(1.0, max(0.0, (y - 3) / (h - 7)))
        band = round(t * 7) / 7  # eight bands keep the GIF palette small
        fill = tuple(round(a + (b - a) * band) for a, b in zip(top, bottom))
        row = []
        for x in range(w):
            d = outline(x + 0.5, y + 0.5)
            if d > 0:
                row.append(None)
            elif d > -1:
                row.append((150, 80, 0))
            elif y == 2 and 5 < x < w - 6:
                row.append((255, 255, 230))
            elif heart(x + 0.5, y + 0.5) < 0:
                row.append((200, 0, 0))
            else:
                row.append(fill)
        rows.append(row)
    text = "Donate"
    glyph_w = 6  # 5 columns, emboldened to 6
    gap = 1
    width = len(text) * glyph_w + (len(text) - 1) * gap
    x0, y0 = w - 4 - width, 12  # right of the heart
    ink = (0, 40, 120)
    for i, ch in enumerate(text):
        for gy, line in enumerate(FONT[ch]):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for dx in (0, 1):
                        rows[y0 + gy][x0 + i * (glyph_w + gap) + gx + dx] = ink
    return rows

# ---------------------------------------------------------------- file formats


def png(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bitmap_info(w, h, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, 0, 0, 0, colours, 0)


def and_mask(rows):
    out = b""
    for row in reversed(rows):
        bits = 0
        for x, c in enumerate(row):
            if c is None:
                bits |= 1 << (31 - x)
        out += struct.pack(">I", bits)
    return out


def ico(rows):
    """A one-image icon, 32 x 32, 4 bits per pixel, with its transparency mask."""
    xor = b""
    for row in reversed(rows):
        idx = [0 if c is None else c for c in row]
        xor += bytes((idx[i] << 4) | idx[i + 1] for i in range(0, 32, 2))
    image = (bitmap_info(32, 64, 4, 16) + b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
             + xor + and_mask(rows))
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22) + image


def cur(rows, hot_x, hot_y):
    """A monochrome cursor: black is AND 0 / XOR 0, white AND 0 / XOR 1, ' ' AND 1 / XOR 0."""
    xor = b""
    for row in reversed(rows):
        bits = 0
        for x, c in enumerate(row):
            if c == "w":
                bits |= 1 << (31 - x)
        xor += struct.pack(">I", bits)
    mask = and_mask([[None if c == " " else 0 for c in row] for row in rows])
    image = bitmap_info(32, 64, 1, 2) + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + mask
    return (struct.pack("<HHH", 0, 2, 1)
            + struct.pack("<BBBBHHII", 32, 32, 2, 0, hot_x, hot_y, len(image), 22) + image)


def bmp(rows, background):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = b"".join(bytes(reversed(c if c is not None else background)) for c in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    return header + struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0) + pixels


def gif(rows):
    """GIF89a with one transparent colour (index 0), LZW-compressed."""
    h, w = len(rows), len(rows[0])
    colours = [(0, 0, 0)] + sorted({c for row in rows for c in row if c is not None})
    bits = max(2, (len(colours) - 1).bit_length())
    colours += [(0, 0, 0)] * ((1 << bits) - len(colours))
    index = {c: i for i, c in enumerate(colours) if i}
    pixels = [0 if c is None else index[c] for row in rows for c in row]

    clear, end = 1 << bits, (1 << bits) + 1
    out, acc, nacc = bytearray(), 0, 0

    def emit(code, size):
        nonlocal acc, nacc
        acc |= code << nacc
        nacc += size
        while nacc >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nacc -= 8

    table = {(i,): i for i in range(1 << bits)}
    size, next_code = bits + 1, end + 1
    emit(clear, size)
    run = (pixels[0],)
    for p in pixels[1:]:
        if run + (p,) in table:
            run += (p,)
            continue
        emit(table[run], size)
        if next_code < 4096:
            table[run + (p,)] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = {(i,): i for i in range(1 << bits)}
            size, next_code = bits + 1, end + 1
        run = (p,)
    emit(table[run], size)
    emit(end, size)
    if nacc:
        out.append(acc & 0xFF)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + bytes(out[i:i + 255]) for i in range(0, len(out), 255))
    return (b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | (bits - 1), 0, 0)
            + b"".join(bytes(c) for c in colours)
            + b"\x21\xf9\x04\x01\x00\x00\x00\x00"  # graphic control: colour 0 is transparent
            + b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, 0) + bytes([bits]) + blocks + b"\0\x3b")


def main():
    os.makedirs("assets", exist_ok=True)

    def write(name, data):
        with open(os.path.join("assets", name), "wb") as f:
            f.write(data)

    globe_layers = globe()
    write("tarnwick.ico", ico(render_indexed(globe_layers)))
    for size in (32, 48, 256):
        write(f"tarnwick-{size}.png", png(render_rgba(globe_layers, size)))
    for name, layers in (("tick", tick()), ("cross", cross()), ("home", home()), ("info", info())):
        rows = render_indexed(layers)
        write(f"{name}.ico", ico(rows))
        write(f"{name}.png", png(indexed_to_rgba(rows)))
    hand_rows = hand()
    write("hand.cur", cur(hand_rows, 12, 1))
    write("hand.png", png([[{"b": (0, 0, 0, 255), "w": (255, 255, 255, 255), " ": (0, 0, 0, 0)}[c]
                            for c in row] for row in hand_rows]))
    donate_rows = donate()
    write("donate.bmp", bmp(donate_rows, BUTTON_FACE))
    write("donate.png", png([[(0, 0, 0, 0) if c is None else c + (255,) for c in row] for row in donate_rows]))
    write("donate.gif", gif(donate_rows))


if __name__ == "__main__":
    main()
