#!/usr/bin/env python3
"""compare-renders.py A.wav B.wav [TOLERANCE]: compares two 32-bit float WAV renders sample by sample.

Prints the largest absolute difference; exits 1 when the files differ in rate, channels or length, or
when a difference exceeds TOLERANCE (default 1e-6). Standard library only."""
import struct
import sys


def read_float_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a RIFF/WAVE file")
    fmt = samples = None
    pos = 12
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = body
        elif cid == b"data":
            samples = body
        pos += 8 + size + (size & 1)
    if fmt is None or samples is None:
        sys.exit(f"{path}: no fmt or data chunk")
    tag, channels, rate = struct.unpack_from("<HHI", fmt, 0)
    bits = struct.unpack_from("<H", fmt, 14)[0]
    if tag == 0xFFFE:
        tag = struct.unpack_from("<H", fmt, 24)[0]
    if tag != 3 or bits != 32:
        sys.exit(f"{path}: not 32-bit float (format {tag}, {bits} bits)")
    count = len(samples) // 4
    return rate, channels, struct.unpack(f"<{count}f", samples[:count * 4])


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    tolerance = float(sys.argv[3]) if len(sys.argv) == 4 else 1e-6
    (rate_a, ch_a, a), (rate_b, ch_b, b) = (read_float_wav(p) for p in sys.argv[1:3])
    if (rate_a, ch_a, len(a)) != (rate_b, ch_b, len(b)):
        print(f"layouts differ: {rate_a} Hz x {ch_a} x {len(a)} against {rate_b} Hz x {ch_b} x {len(b)}")
        return 1
    worst, at = 0.0, 0
    for i, (x, y) in enumerate(zip(a, b)):
        d = abs(x - y)
        if d > worst or d != d:
            worst, at = d, i
    differing = sum(1 for x, y in zip(a, b) if x != y)
    print(f"largest difference {worst:.3e} (frame {at // ch_a}, channel {at % ch_a}); "
          f"{differing} of {len(a)} samples differ at all; tolerance {tolerance:g}")
    return 0 if worst <= tolerance else 1


if __name__ == "__main__":
    sys.exit(main())
