#!/usr/bin/env python3
"""Makes the test images of the firmware page: Flash API kernels and applications in the C2000 boot
table layout (16-bit words, low byte first), and logo files. The contents are made-up data; only the
layout matters to the simulated bootloader. Run it in this folder to rebuild the files."""
import random

def word(w):
    return bytes([w & 0xFF, (w >> 8) & 0xFF])

def long(v):  # most significant word first
    return word(v >> 16) + word(v & 0xFFFF)

def boot_table(entry, blocks):
    out = word(0x08AA) + word(0) * 8 + long(entry)
    for address, words in blocks:
        out += word(len(words)) + long(address)
        for w in words:
            out += word(w)
    return out + word(0)

def no_long_lf_runs(data):
    return b"\n" * 16 not in data

rng = random.Random(2026)
kernel = boot_table(0x008000, [(0x008000, [rng.randrange(0x10000) for _ in range(480)])])
assert no_long_lf_runs(kernel)
for name in ["Flash28035_All_API.bin", "Flash28035_API.bin", "Flash2812_API.bin", "Flash28232_API.bin",
             "Flash28335_API.bin", "Flash28062_API.bin"]:
    open(name, "wb").write(kernel)

# An application of 3 blocks with plenty of 6x/7x bytes, so the nibble swap matters.
app_blocks = [(0x3E8000 + 0x1000 * k, [0x6700 + ((i * 37 + k) & 0xFF) for i in range(1300)]) for k in range(3)]
open("test-application.bin", "wb").write(boot_table(0x3E8000, app_blocks))
open("not-a-boot-table.bin", "wb").write(bytes(rng.randrange(256) for _ in range(3000)))

def logo(n):
    lines = ["/* test logo, %d bytes */" % n, "const unsigned char logo[] = {"]
    data = [rng.randrange(256) for _ in range(n)]
    for i in range(0, n, 16):
        lines.append("    " + ", ".join("0x%02X" % b for b in data[i:i + 16]) + ",")
    lines.append("};")
    return "\n".join(lines).replace("0X", "0x") + "\n"

open("test-logo.logo", "w").write(logo(1000))
open("too-big.logo", "w").write(logo(9596))
