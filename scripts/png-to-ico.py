#!/usr/bin/env python3
"""Writes a Windows icon file from PNG pictures of its sizes, each kept as
PNG inside (as Windows Vista and later read them).

    png-to-ico.py OUT.ico 16x16.png 32x32.png ...
"""
import struct
import sys


def size_of(png):
    if png[:8] != b"\x89PNG\r\n\x1a\n" or png[12:16] != b"IHDR":
        sys.exit("not a PNG picture")
    return struct.unpack(">II", png[16:24])


def main():
    out, names = sys.argv[1], sys.argv[2:]
    pictures = [open(name, "rb").read() for name in names]
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries, data = b"", b""
    for png in pictures:
        width, height = size_of(png)
        # 256 is written as 0: the field is one byte.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), offset)
        data += png
        offset += len(png)
    with open(out, "wb") as ico:
        ico.write(header + entries + data)


main()
