"""Writes RGB pictures as PNG files, for looking at a failed comparison."""

import struct
import zlib


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path, width, height, rgb):
    """Writes `rgb` (3 bytes a pixel, rows top to bottom) as an 8-bit RGB PNG."""
    stride = width * 3
    raw = b"".join(b"\x00" + rgb[y * stride:(y + 1) * stride] for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(_chunk(b"IHDR", header))
        out.write(_chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(_chunk(b"IEND", b""))
