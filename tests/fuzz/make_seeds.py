#!/usr/bin/env python3
"""Writes a small seed corpus for the key store, archive, image and font fuzz targets into
<dir>/<target>/."""
import os
import struct
import sys
import zlib

KEYSTORE = [
    b'{"width": 1280, "height": 720, "title": "Words", "windowMode": "w"}',
    b'{"lang": [{"long": "english", "native": "English", "save": "progress_en.dat"}]}',
    b"{a: 1, 'b': 2, \"c\": [1, 2, {}], w: 12 }",
    b'{"levels": [["ab", "ba"], ["cab"]], "descr": {"ab": "x\\"y"}, "k": 1, "k": 2}',
    b'["one", "two", k: v, [[[]]], {"s": {"t": {}}}]',
    b'{"stat": {"pressCount": " -7"}, "sounds": {"wordOk": "ok.ogg"}}',
]


def cpio(members, big):
    order = ">" if big else "<"
    out = b""
    for name, data in members:
        name = name.encode() + b"\0"
        out += struct.pack(order + "13H", 0o70707, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           len(name), len(data) >> 16, len(data) & 0xFFFF)
        out += name + (b"\0" if len(name) % 2 else b"")
        out += data + (b"\0" if len(data) % 2 else b"")
    return out


def archive_seed(name, archive):
    return bytes([len(name)]) + name.encode() + archive


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes([y * 60, 90, 128, 255]) * width for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + \
        chunk(b"IEND", b"")


def font():
    """A TrueType font of three glyphs: 'A' a square, 'B' a curved contour, 'C' 'A' made composite."""
    def h(*values):
        return struct.pack(">%dh" % len(values), *values)
    square = h(1, 0, 0, 500, 500, 3, 0) + b"\x01" * 4 + h(0, 500, 0, -500, 0, 0, 500, 0)
    # On, off, on, off: two quadratic arcs.
    curve = h(1, 0, 0, 400, 400, 3, 0) + bytes([1, 0, 1, 0]) + h(0, 200, 200, -200, 0, 400, -400, 200)
    composite = h(-1, 0, 0, 500, 500, 0x0002, 1) + bytes([10, 10])
    glyphs = [b"", square, curve, composite]
    glyf, loca = b"", struct.pack(">I", 0)
    for glyph in glyphs:
        glyf += glyph + b"\0" * (len(glyph) % 2)
        loca += struct.pack(">I", len(glyf))
    count = len(glyphs)
    head = bytearray(54)
    head[18:20] = h(1000)
    head[50:52] = h(1)
    hhea = bytearray(36)
    hhea[4:8] = h(800, -200)
    hhea[34:36] = h(count)
    segment = h(4, 32, 0, 4, 4, 1, 0, ord("C"), -1, 0, ord("A"), -1, 1 - ord("A"), 1, 0, 0)
    tables = {
        b"cmap": h(0, 1, 3, 1) + struct.pack(">I", 12) + segment,
        b"glyf": glyf, b"head": bytes(head), b"hhea": bytes(hhea),
        b"hmtx": h(600, 0) * count, b"loca": loca, b"maxp": struct.pack(">IH", 0x5000, count),
    }
    directory = struct.pack(">IHHHH", 0x00010000, len(tables), 0, 0, 0)
    body = b""
    offset = 12 + 16 * len(tables)
    for tag, table in sorted(tables.items()):
        directory += tag + struct.pack(">III", 0, offset + len(body), len(table))
        body += table + b"\0" * (-len(table) % 4)
    return directory + body


def main(out):
    members = [("a.png", b"first"), ("ab.png", b"second!"), ("TRAILER!!!", b"")]
    archive_seeds = [
        archive_seed("a.png", cpio(members, False)),
        archive_seed("ab.png", cpio(members, True)),
        archive_seed("ab.png", zlib.compress(cpio(members, False))),
        archive_seed("x", b"\x71\xc7" + b"\0" * 30),
    ]
    keystore_seeds = KEYSTORE + [zlib.compress(KEYSTORE[0])]
    for target, seeds in (("fuzz_keystore", keystore_seeds), ("fuzz_archive", archive_seeds),
                          ("fuzz_image", [png(4, 4)]), ("fuzz_font", [font()])):
        os.makedirs(os.path.join(out, target), exist_ok=True)
        for i, seed in enumerate(seeds):
            with open(os.path.join(out, target, "seed%d" % i), "wb") as f:
                f.write(seed)


if __name__ == "__main__":
    main(sys.argv[1])
