#!/usr/bin/env python3
"""Writes the EXIF fuzzer's seeds: the heads of JPEG files as cameras write
them (IFD0 with the usual tags, an Exif sub-directory with its Interop
directory, IFD1 with a thumbnail, an ICC profile in APP2 chunks, then the
tables and the scan header), so that the fuzzer starts inside real EXIF
and profile structures.
    fuzz/make_seeds.py [folder]   (default: fuzz/seeds)"""
import os
import struct
import sys

ASCII, SHORT, LONG, RATIONAL, UNDEFINED = 2, 3, 4, 5, 7
SIZES = {ASCII: 1, SHORT: 2, LONG: 4, RATIONAL: 8, UNDEFINED: 1}


def ifd(order, start, entries, next_offset=0, links=None):
    """One directory at offset start; values that do not fit in four bytes
    follow it. links maps a tag to the directory that the caller places at
    the returned end (its offset is patched in)."""
    data = struct.pack(order + "H", len(entries))
    values = b""
    value_start = start + 2 + 12 * len(entries) + 4
    for tag, kind, value in entries:
        if kind == ASCII:
            raw, count = value.encode() + b"\0", len(value) + 1
        elif kind == UNDEFINED:
            raw, count = value, len(value)
        elif kind == RATIONAL:
            raw, count = struct.pack(order + "II", *value), 1
        else:
            raw, count = struct.pack(order + ("H" if kind == SHORT else "I"), value), 1
        if len(raw) <= 4:
            field = raw.ljust(4, b"\0")
        else:
            field = struct.pack(order + "I", value_start + len(values))
            values += raw + (b"\0" if len(raw) % 2 else b"")
        data += struct.pack(order + "HHI", tag, kind, count) + field
    data += struct.pack(order + "I", next_offset)
    return data + values


def tiff(order, orientation, make, model):
    mark = b"II*\0" if order == "<" else b"MM\0*"
    thumbnail = bytes([0xFF, 0xD8, 0xFF, 0xD9])
    # Laid out back to front so that every offset is known when it is written.
    def build(exif_at, interop_at, ifd1_at, thumb_at):
        ifd0 = ifd(order, 8, [
            (0x010F, ASCII, make), (0x0110, ASCII, model), (0x0112, SHORT, orientation),
            (0x011A, RATIONAL, (72, 1)), (0x011B, RATIONAL, (72, 1)), (0x0128, SHORT, 2),
            (0x0131, ASCII, "Firmware 1.0.2"), (0x0132, ASCII, "2026:06:14 17:03:22"),
            (0x8769, LONG, exif_at)], ifd1_at)
        exif = ifd(order, exif_at, [
            (0x829A, RATIONAL, (1, 250)), (0x829D, RATIONAL, (56, 10)), (0x8827, SHORT, 400),
            (0x9000, UNDEFINED, b"0231"), (0x9003, ASCII, "2026:06:14 17:03:22"),
            (0x920A, RATIONAL, (350, 10)), (0x927C, UNDEFINED, b"MakerNote\0" + bytes(range(40))),
            (0xA002, LONG, 6000), (0xA003, LONG, 4000), (0xA005, LONG, interop_at)])
        interop = ifd(order, interop_at, [(0x0001, ASCII, "R98"), (0x0002, UNDEFINED, b"0100")])
        ifd1 = ifd(order, ifd1_at, [
            (0x0103, SHORT, 6), (0x0201, LONG, thumb_at), (0x0202, LONG, len(thumbnail))])
        return [ifd0, exif, interop, ifd1]
    parts = build(0, 0, 0, 0)
    for _ in range(2):  # sizes do not depend on the offsets: two rounds settle them
        at = [8]
        for part in parts:
            at.append(at[-1] + len(part))
        parts = build(at[1], at[2], at[3], at[4])
    return mark + struct.pack(order + "I", 8) + b"".join(parts) + thumbnail


def segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def icc_chunks(pieces):
    """A made-up profile (its header's length field is right) in APP2 chunks."""
    body = b"lcms\x02\x10\0\0mntrRGB XYZ " + bytes(range(256)) * 2
    profile = struct.pack(">I", 4 + len(body)) + body
    step = -(-len(profile) // pieces)
    return b"".join(segment(0xE2, b"ICC_PROFILE\0" + bytes([i + 1, pieces]) + profile[i * step:(i + 1) * step])
                    for i in range(pieces))


def head(order, orientation, make, model, jfif, icc_pieces=0):
    out = b"\xFF\xD8"
    if jfif:
        out += segment(0xE0, b"JFIF\0\x01\x01\x01\0\x48\0\x48\0\0")
    out += segment(0xE1, b"Exif\0\0" + tiff(order, orientation, make, model))
    if icc_pieces:
        out += icc_chunks(icc_pieces)
    out += segment(0xDB, b"\0" + bytes(range(1, 65)))
    out += segment(0xC0, b"\x08" + struct.pack(">HH", 4000, 6000) + b"\x03\x01\x22\0\x02\x11\x01\x03\x11\x01")
    out += segment(0xC4, b"\0" + bytes([0, 1, 5, 1, 1, 1, 1, 1, 1] + [0] * 7) + bytes(range(12)))
    out += segment(0xDA, b"\x03\x01\0\x02\x11\x03\x11\0\x3F\0")
    return out + bytes(64) + b"\xFF\xD9"


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "seeds")
    os.makedirs(folder, exist_ok=True)
    seeds = {
        "camera-le-orientation6.jpg": head("<", 6, "Canon", "EOS 80D", False),
        "camera-be-orientation8.jpg": head(">", 8, "NIKON CORPORATION", "NIKON D750", False),
        "camera-jfif-orientation3.jpg": head("<", 3, "SONY", "ILCE-7M3", True),
        "camera-be-orientation1.jpg": head(">", 1, "FUJIFILM", "X-T4", True),
        "camera-icc-two-chunks.jpg": head("<", 6, "Apple", "iPhone 15", False, 2),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
