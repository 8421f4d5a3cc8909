"""Writes the seed corpus: one well-formed input per reader (selector byte first)."""
import os
import struct
import sys

DEFAULTS = [0, 0, 110, 0, 295, 2, 0, 11.7, 2, 0, 9.3, 0, 0, 1855, 2, 0, 1, 1, 1, 1, 1, 0]


def state(values=DEFAULTS, width=790, height=213, scale=1.0):
    return struct.pack("<iif", width, height, scale) + struct.pack("<22d", *values)


def preset_list(st):
    name = b"user preset 1"
    return struct.pack("<i", len(name)) + name + b"\x01" + struct.pack("<i", len(st)) + st


def payload(body):
    return b"tffp" + struct.pack("<i", 65536) + body


def program(body):
    name = b"Warm".ljust(28, b"\0")
    chunk = payload(body)
    head = b"CcnK" + struct.pack(">I", 60 + len(chunk)) + b"FPCh" + struct.pack(">iIii", 1, 0x544C5631, 40000, 22)
    return head + name + struct.pack(">i", len(chunk)) + chunk


def bank(body):
    chunk = payload(body)
    head = b"CcnK" + struct.pack(">I", 160 + len(chunk)) + b"FBCh" + struct.pack(">iIiii", 2, 0x544C5631, 40000, 1, 0)
    return head + b"\0" * 124 + struct.pack(">i", len(chunk)) + chunk


def main(out):
    os.makedirs(out, exist_ok=True)
    st = state()
    boosted = state([6 if i in (1, 3, 6, 9, 12) else v for i, v in enumerate(DEFAULTS)])
    seeds = {
        "state-defaults": b"\x00" + st,
        "state-boosted": b"\x00" + boosted,
        "presets": b"\x01" + preset_list(st),
        "program-chunk": b"\x02" + program(st),
        "bank-chunk": b"\x03" + bank(preset_list(boosted)),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
