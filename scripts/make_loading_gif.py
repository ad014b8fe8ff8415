#!/usr/bin/env python3
"""Draws the red loading spinner (an animated GIF) of the time bar: twelve dots on a ring whose
colour fades from the brand red to a pale tint, turning one step per frame."""
import math
import struct
import sys

SIZE = 32
DOTS = 12
RING = 11.0
DOT = 2.6
RED = (0xE0, 0x2B, 0x2B)
WHITE = (0xFF, 0xFF, 0xFF)


def mix(a, b, t):
    return tuple(round(a[i] * t + b[i] * (1 - t)) for i in range(3))


def palette():
    colours = [WHITE]
    for level in range(1, 128):
        colours.append(mix(RED, WHITE, level / 127))
    return colours


def frame(step):
    pixels = bytearray(SIZE * SIZE)
    centre = (SIZE - 1) / 2
    for y in range(SIZE):
        for x in range(SIZE):
            best = 0.0
            for dot in range(DOTS):
                angle = 2 * math.pi * dot / DOTS - math.pi / 2
                cx = centre + RING * math.cos(angle)
                cy = centre + RING * math.sin(angle)
                # Four by four samples per pixel for smooth edges.
                hits = 0
                for sy in range(4):
                    for sx in range(4):
                        dx = x + (sx + 0.5) / 4 - 0.5 - cx
                        dy = y + (sy + 0.5) / 4 - 0.5 - cy
                        hits += dx * dx + dy * dy <= DOT * DOT
                if hits:
                    age = (step - dot) % DOTS
                    strength = 1.0 - 0.8 * age / (DOTS - 1)
                    best = max(best, strength * hits / 16)
            pixels[y * SIZE + x] = 0 if best < 0.08 else max(1, round(best * 127))
    return bytes(pixels)


def lzw(pixels, code_size=7):
    """Literal-only LZW: a clear code before the table would widen the codes."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    width = code_size + 1
    bits, nbits, out = 0, 0, bytearray()

    def put(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    for i, p in enumerate(pixels):
        if i % 120 == 0:
            put(clear)
        put(p)
    put(end)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray([code_size])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\x00")


def main(path):
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", SIZE, SIZE, 0xF6, 0, 0)  # global table of 128 colours
    for colour in palette():
        gif += bytes(colour)
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for step in range(DOTS):
        gif += b"\x21\xF9\x04" + struct.pack("<BHBB", 0x09, 8, 0, 0)  # 80 ms, index 0 clear
        gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        gif += lzw(frame(step))
    gif += b"\x3B"
    with open(path, "wb") as f:
        f.write(gif)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "loading_red.gif")
