#!/usr/bin/env python3
"""Draws the Darvelinto mark (a gold house on a dark rounded square) into assets/logo.ico.

Pure standard library: each size is rasterised with 4x4 supersampling, stored as PNG inside the ICO.
"""
import struct
import sys
import zlib

BG_TOP = (0x13, 0x21, 0x3a)
BG_BOTTOM = (0x08, 0x11, 0x1f)
GOLD = (0xc7, 0x9a, 0x36)
GOLD_LIGHT = (0xe7, 0xc9, 0x6f)


def inside_rounded_square(x, y, r):
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_triangle(x, y, a, b, c):
    def sign(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])
    d1, d2, d3 = sign((x, y), a, b), sign((x, y), b, c), sign((x, y), c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def shade(x, y):
    """Colour and alpha of the mark at (x, y) in the unit square."""
    if not inside_rounded_square(x, y, 0.2):
        return None
    roof = inside_triangle(x, y, (0.5, 0.16), (0.16, 0.48), (0.84, 0.48))
    roof_hole = inside_triangle(x, y, (0.5, 0.27), (0.31, 0.45), (0.69, 0.45))
    body = 0.24 <= x <= 0.76 and 0.45 <= y <= 0.82
    door = 0.43 <= x <= 0.57 and 0.6 <= y <= 0.82
    window = (0.3 <= x <= 0.39 or 0.61 <= x <= 0.7) and 0.53 <= y <= 0.62
    chimney = 0.64 <= x <= 0.71 and 0.22 <= y <= 0.36
    if (roof and not roof_hole) or chimney:
        return GOLD_LIGHT
    if body and not door and not window:
        return GOLD
    t = y
    return tuple(int(BG_TOP[i] * (1 - t) + BG_BOTTOM[i] * t) for i in range(3))


def render(size, samples=4):
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = shade((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c is not None:
                        acc[0] += c[0]; acc[1] += c[1]; acc[2] += c[2]; acc[3] += 255
            n = samples * samples
            hits = acc[3] // 255
            if hits:
                row += bytes([acc[0] // hits, acc[1] // hits, acc[2] // hits, acc[3] // n])
            else:
                row += bytes([0, 0, 0, 0])
        rows.append(bytes(row))
    return png(size, b"".join(rows))


def png(size, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main(path):
    sizes = [16, 32, 48, 64, 128, 256]
    images = [render(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "assets/logo.ico")
