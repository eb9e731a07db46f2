#!/usr/bin/env python3
"""Writes the binary seeds of the fuzz corpora (zip packs, resource packs, images, sounds).
The text seeds are written by hand.

usage: make_seeds.py BUILD_BIN_DIR   (the folder holding tqpack and tqassets)
"""
import io
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def corpus(name, seed, data):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, seed), "wb") as out:
        out.write(data)


def bmp(width, height, pixel):
    stride = (width * 3 + 3) // 4 * 4
    rows = b""
    for y in reversed(range(height)):
        row = b"".join(struct.pack("<I", pixel(x, y))[:3] for x in range(width))
        rows += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 0, 0, 0, 0)
    return header + info + rows


def png(width, height, pixel):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + b"".join(struct.pack(">I", pixel(x, y)) for x in range(width)) for y in range(height))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def wav(samples, rate=8000, channels=1):
    data = b"".join(struct.pack("<h", s) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * channels * 2, channels * 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def zip_bytes(entries, method=zipfile.ZIP_DEFLATED):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as archive:
        for name, data in entries:
            archive.writestr(name, data)
    return buffer.getvalue()


def pack_bytes(tqpack, entries):
    with tempfile.TemporaryDirectory() as folder:
        for name, data in entries:
            path = os.path.join(folder, "src", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(data)
        pack = os.path.join(folder, "seed.pak")
        subprocess.run([tqpack, "create", pack, os.path.join(folder, "src")], check=True, stdout=subprocess.DEVNULL)
        with open(pack, "rb") as packed:
            return packed.read()


def main():
    tqpack = os.path.join(sys.argv[1], "tqpack")
    checker = lambda x, y: 0xFF0000 if (x + y) % 2 else 0x00FF00
    corpus("texture", "checker.bmp", bmp(4, 3, checker))
    corpus("texture", "gradient.png", png(5, 4, lambda x, y: (x * 50) << 24 | (y * 60) << 16 | 0x80FF))
    corpus("sound", "tone.wav", wav([int(8000 * ((i // 8) % 2 * 2 - 1)) for i in range(400)]))
    corpus("sound", "stereo.wav", wav([i * 37 % 20000 - 10000 for i in range(200)], 11025, 2))
    corpus("zip", "stored.zip", zip_bytes([("a.txt", b"TEX=t.bmp\n"), ("dir/b.txt", b"bee")], zipfile.ZIP_STORED))
    corpus("zip", "deflated.zip", zip_bytes([("A.TXT", b"alpha " * 20), ("dir/c.bin", bytes(range(64)))]))
    entries = [("a.txt", b"TEX=t.bmp\nW=2\n"), ("dir/b.txt", b"x" * 300), ("empty.txt", b"")]
    corpus("pack", "three.pak", pack_bytes(tqpack, entries))
    corpus("pack", "one.pak", pack_bytes(tqpack, [("in.txt", b"SIZE=1,2\n")]))
    # A particle record (frame 0, emission 50, lifetime 1 s, ...) and a description naming it.
    record = struct.pack("<Iifffff4B", 0, 50, 1.0, 0.5, 1.5, 1.57, 0.8, 1, 0, 0, 0)
    record += struct.pack("<16f", 10, 20, 0, 5, 0, 1, 0, 1, 1, 2, 0.5, 0, 3, 1, 1, 1)
    record += struct.pack("<10f", 1, 1, 0.5, 1, 0, 0, 0, 0.2, 0.1, 0)[:128 - len(record)]
    corpus("particle", "record.bin", record + b"TEX=t.bmp\nPSI=in.psi\nW=1\nH=1\nFPS=30\n")


if __name__ == "__main__":
    main()
