#!/usr/bin/env python3
"""Writes the seed corpus of the G.711.0 decoder fuzz target: one small valid
frame per coding tool, frame length and law (and frames of the tools the
decoder reports as unsupported). Each seed is the selector octet (bit 0 the
law) followed by the frame."""
import os
import random

random.seed(7110)
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")


class Bits:
    def __init__(self):
        self.bits = []

    def put(self, value, count):
        for i in range(count - 1, -1, -1):
            self.bits.append((value >> i) & 1)

    def unary(self, count):
        self.bits.extend([0] * count + [1])

    def rice(self, value, param):
        self.unary(value >> param)
        self.put(value & ((1 << param) - 1), param)

    def octets(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, padded[i:i + 8])), 2) for i in range(0, len(padded), 8))


def prefix(b, n):
    if n <= 160:
        b.put({40: 1, 80: 2, 160: 3}[n], 2)
    else:
        b.put({240: 2, 320: 3}[n], 4)


def simple(n, kind, extra=None):
    b = Bits()
    prefix(b, n)
    if n <= 160:
        b.put(0, 3)
        b.put(kind, 3)
    elif kind < 4:
        b.put(0, 2)
        b.put(kind, 2)
    else:
        b.put(0x4, 4)
    if extra:
        extra(b)
    return b.octets()


def rice_zero(n, law, minus_more, param):
    pz, mz = (0xFF, 0x7F) if law else (0xD5, 0x55)
    b = Bits()
    prefix(b, n)
    if n <= 160:
        b.put(0, 1)
        b.put(3 if minus_more else 2, 2)
    else:
        b.put(1, 1)
        b.put(0, 1)
        b.put(int(minus_more), 1)
    b.put(param, 2)  # parameters 1 and 2 need no extension
    run = 0
    for i in range(n):
        if random.random() < 0.2:
            b.rice(run, param)
            run = 0
        else:
            run += 1
    if run:
        b.rice(run, param)
    return b.octets()


def write(name, law, frame):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(bytes([law]) + frame)


def main():
    os.makedirs(OUT, exist_ok=True)
    for law in (0, 1):
        tag = "mu" if law else "a"
        for n in (40, 80, 160, 240, 320):
            write(f"{tag}_{n}_uncompressed", law, simple(n, 0, lambda b: [b.put(random.randrange(256), 8) for _ in range(n)]))
            write(f"{tag}_{n}_plus_zero", law, simple(n, 1))
            write(f"{tag}_{n}_minus_zero", law, simple(n, 2))
            write(f"{tag}_{n}_constant", law, simple(n, 3, lambda b: b.put(0x9C, 8)))
            write(f"{tag}_{n}_zero_bits", law, simple(n, 4, lambda b: [b.put(random.randrange(2), 1) for _ in range(n)]))
            write(f"{tag}_{n}_rice_zero", law, rice_zero(n, law, n % 80 == 0, 1 + n % 2))
            # Linear prediction header (unsupported tool) with some payload.
            b = Bits()
            prefix(b, n)
            b.put(1, 1)
            if n > 160:
                b.put(1, 1)
            write(f"{tag}_{n}_predicted", law, b.octets() + bytes(random.randrange(256) for _ in range(n // 2)))
            # Value-location, bitmap coded ranks 0 and 1.
            b = Bits()
            prefix(b, n)
            if n <= 160:
                b.put(0, 3)
                b.put(6, 3)
            else:
                b.put(0x5, 4)
            b.put(3, 2)
            b.put(1, 1)
            b.put(0, 3)
            b.put(random.getrandbits(n), n)
            write(f"{tag}_{n}_value_location", law, b.octets())
        # Fractional-bit frames of 2 and 4 levels, and one of 3 levels.
        for t, n, bits in ((2, 40, 1), (3, 40, 2), (15, 80, 2), (20, 160, 1), (29, 320, 2), (6, 40, 2)):
            write(f"{tag}_fractional_type{t}", law, bytes([t]) + bytes(random.randrange(256) for _ in range(n * bits // 8)))
        # Min/max level frames: explicit anchor, full width, tabled anchor.
        write(f"{tag}_minmax_explicit", law, bytes([0x45, (3 << 5) | 31, 100]) + bytes(random.randrange(256) for _ in range(15)))
        write(f"{tag}_minmax_full", law, bytes([0x45, 30]) + bytes(random.randrange(256) for _ in range(40)))
        write(f"{tag}_minmax_table", law, bytes([0x45, (2 << 5) | 4]) + bytes(10))
        # No-compression frame: small ranks, residuals with Rice parameter 5.
        b = Bits()
        prefix(b, 40)
        b.put(0, 1)
        b.put(1, 2)
        mags = [random.randrange(8) for _ in range(40)]
        for m in mags[:4]:
            b.put(m, 7)
            b.put(random.randrange(2), 1)
        for i in range(4, 40):
            r = ((mags[i - 1] + mags[i - 2] + mags[i - 3] + mags[i - 4]) >> 2) - mags[i]
            b.rice(2 * r if r >= 0 else -2 * r - 1, 5)
        for _ in range(36):
            b.put(random.randrange(2), 1)
        write(f"{tag}_no_compression", law, b.octets())
        write(f"{tag}_empty_frame", law, bytes([0]))


if __name__ == "__main__":
    main()
