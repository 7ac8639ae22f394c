#!/usr/bin/env python3
"""Writes the small BMP, TGA and JPEG seeds of the image decoder fuzz targets
into tests/fuzz/seeds: one picture per stored form the loaders read. The
JPEG seeds are encoded by ImageMagick's convert from pixels made here."""
import os
import struct
import subprocess
import tempfile

SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
W, H = 12, 8


def colour(x, y):
    return (x * 20 % 256, y * 30 % 256, (x + y) * 10 % 256)


def bmp(name, bits, top_down=False, alpha=False, palette_bits=0):
    rows = []
    for y in range(H):
        row = bytearray()
        if palette_bits:
            indices = [(x + y) % (1 << palette_bits) for x in range(W)]
            if palette_bits == 8:
                row += bytes(indices)
            else:
                per = 8 // palette_bits
                for i in range(0, W, per):
                    byte = 0
                    for j, v in enumerate(indices[i:i + per]):
                        byte |= v << (8 - palette_bits * (j + 1))
                    row.append(byte)
        else:
            for x in range(W):
                r, g, b = colour(x, y)
                row += bytes((b, g, r)) + (bytes((x * 20,)) if bits == 32 else b"")
        row += b"\0" * ((-len(row)) % 4)
        rows.append(bytes(row))
    if not top_down:
        rows.reverse()
    palette = b""
    if palette_bits:
        palette = b"".join(bytes((i * 7 % 256, i * 3 % 256, i * 5 % 256, 0))
                           for i in range(1 << palette_bits))
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, -H if top_down else H, 1, bits, 0, len(pixels),
                       2835, 2835, len(palette) // 4, 0)
    write(name, header + info + palette + pixels)


def tga(name, kind, bits, top_down, run_length):
    out = bytearray()
    pixels = []
    for y in range(H):
        for x in range(W):
            r, g, b = colour(x // 3, y // 2)
            if kind == 3:
                pixels.append(bytes((r,)))
            else:
                pixels.append(bytes((b, g, r)) + (bytes((200,)) if bits == 32 else b""))
    if not top_down:
        pixels = [p for y in reversed(range(H)) for p in pixels[y * W:(y + 1) * W]]
    if run_length:
        i = 0
        while i < len(pixels):
            run = 1
            while i + run < len(pixels) and run < 128 and pixels[i + run] == pixels[i]:
                run += 1
            if run > 1:
                out += bytes((0x80 | (run - 1),)) + pixels[i]
            else:
                out += bytes((0,)) + pixels[i]
            i += run
    else:
        out = b"".join(pixels)
    header = bytes((3, 0, kind + (8 if run_length else 0), 0, 0, 0, 0, 0, 0, 0, 0, 0))
    header += struct.pack("<HH", W, H) + bytes((bits, (0x20 if top_down else 0) | (8 if bits == 32 else 0)))
    write(name, header + b"id!" + bytes(out))


def jpeg(name, *options, grey=False):
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "in.ppm")
        with open(source, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (W, H))
            f.write(b"".join(bytes(colour(x, y)) for y in range(H) for x in range(W)))
        target = os.path.join(SEEDS, name)
        command = ["convert", source] + (["-colorspace", "Gray"] if grey else []) + list(options)
        subprocess.run(command + ["-strip", target], check=True)


def write(name, data):
    with open(os.path.join(SEEDS, name), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    bmp("rgb24.bmp", 24)
    bmp("argb32-top-down.bmp", 32, top_down=True)
    bmp("palette8.bmp", 8, palette_bits=8)
    bmp("palette4.bmp", 4, palette_bits=4)
    bmp("palette1-top-down.bmp", 1, top_down=True, palette_bits=1)
    tga("rgb24.tga", 2, 24, False, False)
    tga("rgba32-rle-top.tga", 2, 32, True, True)
    tga("grey-rle.tga", 3, 8, False, True)
    jpeg("baseline.jpg", "-quality", "90")
    jpeg("progressive-420.jpg", "-interlace", "JPEG", "-sampling-factor", "2x2", "-quality", "60")
    jpeg("grey-restart.jpg", "-define", "jpeg:restart-interval=1", grey=True)
