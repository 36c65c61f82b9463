#!/usr/bin/env python3
"""Writes the seed corpus for the skin file fuzzer.

A handful of small skins: valid ones at every accepted depth and header
version, and a few that are refused at different stages, so the fuzzer starts
from inputs that reach every check. Run from anywhere; it rewrites
tests/fuzz/corpus/skinformat/ beside this script.
"""
import os
import struct

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3
HEADER_SIZE = 1077
TEXT_OFFSETS = (9, 265, 521, 777)


def skin(width=8, height=4, bits=8, compression=BI_RGB, info_size=40,
         colors=0, texts=(b"", b"", b"", b""), profile=None):
    """Returns a skin file image; profile=(cs_type, data_bytes) for V5 headers."""
    rows = abs(height)
    stride = (width * bits + 31) // 32 * 4
    table = colors or (1 << bits if bits <= 8 else 0)
    masks = 12 if compression == BI_BITFIELDS and info_size == 40 else 0
    info_bytes = info_size + masks + 4 * table
    profile_bytes = profile[1] if profile else b""
    off_bits = 14 + info_bytes + len(profile_bytes)

    header = bytearray(HEADER_SIZE)
    header[0:3] = b"QVE"
    struct.pack_into("<H", header, 3, 1)
    for offset, text in zip(TEXT_OFFSETS, texts):
        header[offset:offset + min(len(text), 256)] = text[:256]
    struct.pack_into("<5i", header, 1033, 5, 11, 50, 35, 2)

    info = bytearray(info_bytes)
    struct.pack_into("<IiiHHIIiiII", info, 0, info_size, width, height, 1, bits,
                     compression, stride * rows, 2835, 2835, colors, 0)
    if compression == BI_BITFIELDS:
        red, green, blue = (0xF800, 0x07E0, 0x001F) if bits == 16 else (0xFF0000, 0xFF00, 0xFF)
        struct.pack_into("<III", info, 40, red, green, blue)
    if profile:
        cs_type, data = profile
        struct.pack_into("<I", info, 56, cs_type)
        struct.pack_into("<II", info, 112, info_bytes, len(data))
    start = info_size + masks
    for i in range(table):
        grey = i * 255 // max(table - 1, 1)
        info[start + 4 * i:start + 4 * i + 3] = bytes((grey, grey, grey))

    pixels = bytes((x * 37 + y * 11) & 0xFF for y in range(rows) for x in range(stride))
    picture = info + profile_bytes + pixels
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(picture), 0, 0, off_bits)
    return bytes(header) + file_header + bytes(picture)


def poke32(image, offset, value):
    image = bytearray(image)
    struct.pack_into("<I", image, offset, value)
    return bytes(image)


def compressed(bits, stream):
    """An RLE8 or RLE4 picture (pack converts it) with the stream as its rows."""
    image = skin(bits=bits, compression=BI_RLE8 if bits == 8 else BI_RLE4)
    (off_bits,) = struct.unpack_from("<I", image, HEADER_SIZE + 10)
    return image[:HEADER_SIZE + off_bits] + stream


def os2(width=5, height=3, bits=4):
    """An OS/2 1.x picture: a 12-byte header and colour triples."""
    stride = (width * bits + 31) // 32 * 4
    table = bytes(range(3 * (1 << bits)))
    core = struct.pack("<IHHHH", 12, width, height, 1, bits) + table
    rows = bytes((7 * i) & 0xFF for i in range(stride * height))
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(core) + len(rows), 0, 0, 14 + len(core))
    return skin()[:HEADER_SIZE] + file_header + core + rows


def seeds():
    base = skin()
    v5 = dict(info_size=124)
    yield "valid-1bpp.qve", skin(width=17, height=3, bits=1)
    yield "valid-4bpp-top-down.qve", skin(width=9, height=-3, bits=4)
    yield "valid-8bpp.qve", base
    yield "valid-8bpp-short-table.qve", skin(width=5, height=2, colors=4)
    yield "valid-16bpp.qve", skin(width=3, height=2, bits=16)
    yield "valid-16bpp-bitfields.qve", skin(width=3, height=2, bits=16, compression=BI_BITFIELDS)
    yield "valid-24bpp-texts.qve", skin(width=5, height=2, bits=24,
                                        texts=(b"A" * 256, b"\xc3\xde\xcc\xab\xd9\xc4",
                                               b"http://example.invalid/", b"x@example.invalid"))
    yield "valid-32bpp-v4.qve", skin(width=2, height=2, bits=32, info_size=108)
    yield "valid-32bpp-v5-bitfields-profile.qve", skin(width=2, height=-2, bits=32, compression=BI_BITFIELDS,
                                                       profile=(0x4D424544, b"\x00" * 16), **v5)
    yield "refused-magic.qve", b"qve" + base[3:]
    yield "refused-too-short.qve", base[:1130]
    yield "refused-bits-outside.qve", poke32(base, 1087, 0xFFFFFFFF)
    yield "refused-rle8.qve", poke32(base, 1107, BI_RLE8)
    yield "refused-table-into-rows.qve", poke32(base, 1087, 14 + 40 + 1020)
    yield "refused-linked-profile.qve", skin(width=2, height=2, bits=24, profile=(0x4C494E4B, b"C:\\x.icm\0"), **v5)
    yield "refused-last-row-short.qve", base[:-1]
    # Refused by the clock, converted by pack: runs, literals, ends of rows, a move.
    yield "converted-rle8.qve", compressed(8, bytes([3, 7, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 0, 2, 1, 1, 2, 9, 0, 1]))
    yield "converted-rle4.qve", compressed(4, bytes([3, 0x7A, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 2, 2, 1, 0, 1]))
    yield "converted-os2.qve", os2()


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "skinformat")
    os.makedirs(out, exist_ok=True)
    for name in os.listdir(out):
        if name.endswith(".qve"):
            os.remove(os.path.join(out, name))
    for name, data in seeds():
        assert len(data) < 4096, name
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
