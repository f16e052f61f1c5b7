#!/usr/bin/env python3
"""Wraps a 24-bit BMP picture into a one-image ICO file, for the intro's icon resource.

usage: bmp_to_ico.py INPUT.bmp OUTPUT.ico
An icon image is the bitmap's info header with the height doubled (colour rows, then the mask
rows), the colour rows as the BMP holds them (bottom-up), and a 1-bit mask of zeros (opaque).
"""
import struct
import sys


def main():
    source, target = sys.argv[1], sys.argv[2]
    data = open(source, 'rb').read()
    if data[:2] != b'BM':
        sys.exit(f'{source}: not a BMP file')
    pixels_at = struct.unpack_from('<I', data, 10)[0]
    header_size, width, height, planes, bits = struct.unpack_from('<IiiHH', data, 14)
    if bits != 24 or height <= 0 or not 0 < width <= 256 or height > 256:
        sys.exit(f'{source}: want a bottom-up 24-bit picture of at most 256 x 256')
    row = (width * 3 + 3) // 4 * 4
    colour = data[pixels_at:pixels_at + row * height]
    mask = bytes((width + 31) // 32 * 4 * height)
    info = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, 24, 0, len(colour) + len(mask),
                       0, 0, 0, 0)
    image = info + colour + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 24, len(image), 6 + 16)
    with open(target, 'wb') as f:
        f.write(directory + entry + image)


if __name__ == '__main__':
    main()
