"""Writes small PNG files for the drawing scripts of our pictures.

Rows of pixels, each pixel a tuple of 3 (RGB) or 4 (RGBA) values 0..255.
"""
import struct
import zlib


def write_png(path, pixels):
    h, w = len(pixels), len(pixels[0])
    channels = len(pixels[0][0])
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6 if channels == 4 else 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))
