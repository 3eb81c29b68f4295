#!/usr/bin/env python3
"""Writes the programs' icon: a blue installer box on a transparent ground, 16x16 and 32x32,
32 bits per pixel with an AND mask. Usage: make_icon.py OUTPUT.ico"""
import struct
import sys


def pixel(x, y, size):
    """BGRA colour of one pixel, with y counted from the top."""
    edge = size // 8
    inside = edge <= x < size - edge and edge <= y < size - edge
    if not inside:
        return (0, 0, 0, 0)
    border = x in (edge, size - edge - 1) or y in (edge, size - edge - 1)
    if border:
        return (64, 32, 0, 255)
    lid = y < size // 3
    if lid:
        return (255, 200, 120, 255)
    shade = 160 + (95 * (size - y)) // size
    return (shade, 110, 30, 255)


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b''.join(bytes(pixel(x, y, size)) for x in range(size)))
    mask_stride = ((size + 31) // 32) * 4
    mask = []
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y, size)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(row))
    return header + b''.join(rows) + b''.join(mask)


def main():
    sizes = (16, 32)
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
