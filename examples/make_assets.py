#!/usr/bin/env python3
"""Writes the binary files of the examples' assets folders (PNG images, a WAV sound) and of the
guide's examples in docs/examples (images and a particle record). Everything is computed, so the
same files come out on every run. Run it from anywhere; the files are committed."""
import math
import os
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DOCS = os.path.join(HERE, "..", "docs", "examples")


def write_png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a), bytes 0..255."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    write_file(path, png)


def write_file(path, data):
    with open(os.path.join(HERE, path), "wb") as f:
        f.write(data)


def disc(cx, cy, radius, colour, x, y):
    inside = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius
    return colour + (255,) if inside else (0, 0, 0, 0)


def sheet(star):
    """32 x 32 cells: a ball, a box, a star of the colour star."""
    def pixel(x, y):
        cell, dx, dy = x // 32, x % 32 + 0.5 - 16, y + 0.5 - 16
        if cell == 0:
            return disc(16, 16, 14, (255, 200, 60), x % 32, y)
        if cell == 1:
            edge = max(abs(dx), abs(dy))
            return (80, 150, 255, 255) if edge < 14 else (0, 0, 0, 0) if edge >= 15 else (20, 40, 120, 255)
        radius = 8 + 6 * math.cos(5 * math.atan2(dy, dx))
        return star + (255,) if math.hypot(dx, dy) <= radius else (0, 0, 0, 0)
    return pixel


# A 3 x 5 pixel font drawn at twice the size into 8 x 12 cells.
GLYPHS = {
    " ": "000000000000000",
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111", "3": "111001111001111",
    "4": "101101111001001", "5": "111100111001111", "6": "111100111101111", "7": "111001001001001",
    "8": "111101111101111", "9": "111101111001111",
    "C": "111100100100111", "D": "110101101101110", "E": "111100111100111", "O": "111101101101111",
    "P": "111101111100100", "R": "110101110101101", "S": "111100111001111",
}
FONT_ORDER = " 0123456789CDEOPRS"


def font(x, y):
    index = (y // 12) * 16 + x // 8
    if index >= len(FONT_ORDER):
        return (0, 0, 0, 0)
    px, py = (x % 8) // 2, (y % 12 - 1) // 2
    bits = GLYPHS[FONT_ORDER[index]]
    on = 0 <= px < 3 and 0 <= py < 5 and y % 12 >= 1 and bits[py * 3 + px] == "1"
    return (255, 255, 255, 255) if on else (0, 0, 0, 0)


def faces(width, height, colours):
    """Frames side by side, each a bordered block of its colour."""
    def pixel(x, y):
        colour = colours[x // width]
        border = x % width in (0, width - 1) or y in (0, height - 1)
        return (255, 255, 255, 255) if border else colour + (255,)
    return pixel


def write_click(path):
    rate, frames = 22050, 2205
    samples = b"".join(
        struct.pack("<h", int(12000 * math.sin(2 * math.pi * 880 * i / rate) * (1 - i / frames)))
        for i in range(frames))
    with wave.open(os.path.join(HERE, path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples)


def write_particle_record(path):
    """The 128-byte particle record, little-endian: sprite word (frame 0, blend 2 << 16), emission,
    lifetime (-1 = continuous), particle life min/max, direction, spread, relative (+3 bytes),
    speed, gravity, radial and tangential acceleration (min, max each), size and spin (start, end,
    variation each), colour start and end (r, g, b, a from 0 to 1), colour and alpha variation."""
    record = struct.pack("<Iifffff", 2 << 16, 30, -1.0, 0.5, 1.0, 0.0, 1.0)
    record += struct.pack("<B3x", 0)
    record += struct.pack("<14f", 1.0, 2.0, 1.0, 2.0, 0, 0, 0, 0, 0.8, 0.2, 0.1, 0, 3, 0.5)
    record += struct.pack("<10f", 1, 0.9, 0.5, 1, 1, 0.3, 0.1, 0, 0.1, 0.2)
    assert len(record) == 128
    write_file(path, record)


PINK, WHITE = (255, 110, 180), (255, 255, 255)
write_png("first-game/assets/sheet.png", 96, 32, sheet(PINK))
write_click("first-game/assets/click.wav")
write_png("script-game/assets/sheet.png", 96, 32, sheet(PINK))
write_png("script-game/assets/font.png", 128, 24, font)
write_png("script-game/assets/button.png", 64, 16, faces(32, 16, [(60, 120, 60), (200, 80, 40)]))
write_png("gui-game/assets/gui/button.png", 256, 24,
          faces(64, 24, [(150, 180, 230), (180, 210, 255), (110, 140, 200), (160, 160, 160)]))
write_png("gui-game/assets/gui/panel.png", 160, 100, lambda x, y: (170 + x // 4, 190, 150 + y // 2, 255))
# The guide's star is white: particles multiply it by their own colour.
write_png(os.path.join(DOCS, "sheet.png"), 96, 32, sheet(WHITE))
for source, name in (("script-game/assets/font.png", "font.png"),
                     ("gui-game/assets/gui/button.png", "gui/face.png"), ("gui-game/assets/gui/panel.png", "gui/panel.png")):
    with open(os.path.join(HERE, source), "rb") as image:
        write_file(os.path.join(DOCS, name), image.read())
write_particle_record(os.path.join(DOCS, "spark.psi"))
