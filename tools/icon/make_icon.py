#!/usr/bin/env python3
"""Draws the program's own icon, an eye with its iris, as an SVG and as PNG
files in the usual sizes, from one description of its shapes. The results
are committed in shell/appicon/; run this only to change them:
    python3 tools/icon/make_icon.py
No libraries beyond Python's own: each pixel is sampled 4 x 4 times."""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shell", "appicon")
SIZES = [16, 24, 32, 48, 64, 128, 256]

# Shapes in a square from -1 to 1, y downwards.
LID_C, LID_R = 0.5455, 1.0955  # the eye: where two circles overlap
OUTLINE = 0.07
IRIS, LIMBUS, COLLARETTE, PUPIL = 0.50, 0.43, 0.29, 0.17
SPOKES = 14
GLINT = (-0.09, -0.11, 0.065)

WHITE = (250, 250, 246)
LINE = (31, 58, 95)
LIMBUS_C = (28, 72, 120)
IRIS_OUT = (52, 118, 186)
IRIS_IN = (118, 172, 214)
SPOKE_C = (170, 205, 232)
COLLAR_C = (201, 167, 74)
PUPIL_C = (12, 14, 20)


def in_eye(x, y, grow=0.0):
    r = LID_R + grow
    return x * x + (y - LID_C) ** 2 <= r * r and x * x + (y + LID_C) ** 2 <= r * r


def colour(x, y):
    """The colour at a point, or None outside the icon."""
    if not in_eye(x, y, OUTLINE / 2):
        return None
    if not in_eye(x, y, -OUTLINE / 2):
        return LINE
    d = math.hypot(x, y)
    gx, gy, gr = GLINT
    if (x - gx) ** 2 + (y - gy) ** 2 <= gr * gr:
        return WHITE
    if d <= PUPIL:
        return PUPIL_C
    if d <= IRIS:
        if d > LIMBUS:
            return LIMBUS_C
        if abs(d - COLLARETTE) < 0.022:
            return COLLAR_C
        angle = math.atan2(y, x) * SPOKES / (2 * math.pi)
        if abs(angle - round(angle)) < 0.12 and d > PUPIL + 0.03:
            return SPOKE_C
        t = (d - PUPIL) / (LIMBUS - PUPIL)
        return tuple(round(a + (b - a) * t) for a, b in zip(IRIS_IN, IRIS_OUT))
    return WHITE


def png(size):
    n = 4
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    x = ((px + (sx + 0.5) / n) / size) * 2 - 1
                    y = ((py + (sy + 0.5) / n) / size) * 2 - 1
                    c = colour(x * 1.04, y * 1.04)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                row += bytes(round(a / hits) for a in acc) + bytes([round(255 * hits / (n * n))])
            else:
                row += bytes(4)
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def svg():
    hexc = lambda c: "#%02x%02x%02x" % c
    s = 1 / 1.04  # the same margin as the pictures
    lid = lambda grow: (f"M {-math.sqrt((LID_R + grow) ** 2 - LID_C ** 2):.4f} 0 "
                        f"A {LID_R + grow:.4f} {LID_R + grow:.4f} 0 0 1 {math.sqrt((LID_R + grow) ** 2 - LID_C ** 2):.4f} 0 "
                        f"A {LID_R + grow:.4f} {LID_R + grow:.4f} 0 0 1 {-math.sqrt((LID_R + grow) ** 2 - LID_C ** 2):.4f} 0 Z")
    spokes = []
    for k in range(SPOKES):
        a = 2 * math.pi * k / SPOKES
        w = 2 * math.pi * 0.12 / SPOKES
        r0, r1 = PUPIL + 0.03, LIMBUS
        pts = [(r0 * math.cos(a - w), r0 * math.sin(a - w)), (r1 * math.cos(a - w), r1 * math.sin(a - w)),
               (r1 * math.cos(a + w), r1 * math.sin(a + w)), (r0 * math.cos(a + w), r0 * math.sin(a + w))]
        spokes.append("M " + " L ".join(f"{x:.4f} {y:.4f}" for x, y in pts) + " Z")
    gx, gy, gr = GLINT
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<!-- НИРЕЛ-3: drawn by tools/icon/make_icon.py -->
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="-1 -1 2 2">
  <defs>
    <radialGradient id="iris" cx="0" cy="0" r="{LIMBUS}" gradientUnits="userSpaceOnUse">
      <stop offset="{PUPIL / LIMBUS:.3f}" stop-color="{hexc(IRIS_IN)}"/>
      <stop offset="1" stop-color="{hexc(IRIS_OUT)}"/>
    </radialGradient>
    <clipPath id="eye"><path d="{lid(-OUTLINE / 2)}"/></clipPath>
  </defs>
  <g transform="scale({s:.4f})">
    <path d="{lid(OUTLINE / 2)}" fill="{hexc(LINE)}"/>
    <path d="{lid(-OUTLINE / 2)}" fill="{hexc(WHITE)}"/>
    <g clip-path="url(#eye)">
      <circle r="{IRIS}" fill="{hexc(LIMBUS_C)}"/>
      <circle r="{LIMBUS}" fill="url(#iris)"/>
      <path d="{' '.join(spokes)}" fill="{hexc(SPOKE_C)}"/>
      <circle r="{COLLARETTE}" fill="none" stroke="{hexc(COLLAR_C)}" stroke-width="0.044"/>
      <circle r="{PUPIL}" fill="{hexc(PUPIL_C)}"/>
      <circle cx="{gx}" cy="{gy}" r="{gr}" fill="{hexc(WHITE)}"/>
    </g>
  </g>
</svg>
"""


def main():
    os.makedirs(OUT, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(OUT, f"nirel3-{size}.png"), "wb") as f:
            f.write(png(size))
    with open(os.path.join(OUT, "nirel3.svg"), "w", encoding="utf-8") as f:
        f.write(svg())


if __name__ == "__main__":
    main()
