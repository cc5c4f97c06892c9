#!/usr/bin/env python3
"""Writes the background pictures of the dialog tests and of the demo as PNG files.

The pictures are committed; run this again only to change them:
    scripts/make-ui-pictures.py
"""
import math
import pathlib
import struct
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    path.write_bytes(data)


def solid(colour):
    return lambda x, y: colour


def demo_background(width, height, tint):
    """A blue-to-teal gradient with a pale disc and a frame, drawn natively at each size."""
    cx, cy, radius = width * 0.78, height * 0.30, min(width, height) * 0.18
    border = max(2, width // 100)

    def pixel(x, y):
        if x < border or y < border or x >= width - border or y >= height - border:
            return (20, 40, 80)
        t = y / height
        r, g, b = int(30 + 20 * t), int(70 + 110 * t), int(150 + 40 * t)
        if math.hypot(x - cx, y - cy) < radius:
            r, g, b = 240, 220, 140
        if y > height * 0.86:
            r, g, b = r // 2, g // 2, b // 2
        return (min(255, r + tint[0]), min(255, g + tint[1]), min(255, b + tint[2]))

    return pixel


def main():
    tests = ROOT / "tests" / "ui" / "pictures"
    tests.mkdir(parents=True, exist_ok=True)
    red, green, blue, yellow, grey = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (128, 128, 128)
    # Each variant has its own colour so that a test can tell which one was taken.
    write_png(tests / "scaled.png", 40, 30, solid(red))
    write_png(tests / "scaled_200.png", 80, 60, solid(green))
    write_png(tests / "with125.png", 40, 30, solid(red))
    write_png(tests / "with125_125.png", 50, 37, solid(blue))
    write_png(tests / "with125_200.png", 80, 60, solid(green))
    write_png(tests / "exact100_100.png", 40, 30, solid(yellow))
    write_png(tests / "exact100.png", 40, 30, solid(red))
    write_png(tests / "plain.png", 40, 30, solid(red))
    write_png(tests / "only200_200.png", 80, 60, solid(green))
    write_png(tests / "background.png", 400, 300, solid((0, 128, 255)))
    write_png(tests / "background_150.png", 600, 450, solid((0, 128, 255)))
    write_png(tests / "background_inactive.png", 400, 300, solid(grey))

    demo = ROOT / "tools" / "ui-demo" / "pictures"
    demo.mkdir(parents=True, exist_ok=True)
    for suffix, scale in (("", 1.0), ("_150", 1.5), ("_200", 2.0)):
        write_png(demo / f"background{suffix}.png", int(420 * scale), int(280 * scale), demo_background(int(420 * scale), int(280 * scale), (0, 0, 0)))
        write_png(demo / f"inactive{suffix}.png", int(420 * scale), int(280 * scale), demo_background(int(420 * scale), int(280 * scale), (60, 60, 60)))


if __name__ == "__main__":
    main()
