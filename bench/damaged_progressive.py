#!/usr/bin/env python3
"""Damages progressive photos the ways a card, a cable or a crash damages
them and counts how many the batch writes over their originals: each photo
cut after each of its scans and closed with an end marker, each scan taken
out in turn, and single bytes changed in the scan data where libjpeg itself
notices. A damaged picture must never be written.
    bench/damaged_progressive.py TESSALY_BATCH PHOTO.jpg...
Needs jpegtran and djpeg (libjpeg-turbo-progs)."""
import os, random, subprocess, sys, tempfile

def segments(data):
    """Where each scan starts and ends (header and data), and where the end
    marker is."""
    scans, i = [], 2
    while i + 4 <= len(data):
        marker = data[i + 1]
        if marker == 0xD9:
            return scans, i
        length = data[i + 2] << 8 | data[i + 3]
        if marker == 0xDA:
            start = i
            i += 2 + length
            while not (data[i] == 0xFF and data[i + 1] != 0x00 and not 0xD0 <= data[i + 1] <= 0xD7):
                i += 1
            scans.append((start, i))
        else:
            i += 2 + length
    return scans, len(data)

def libjpeg_notices(data, work):
    path = os.path.join(work, "probe.jpg")
    open(path, "wb").write(data)
    run = subprocess.run(["djpeg", "-outfile", os.devnull, path], capture_output=True)
    return run.returncode != 0 or b"Corrupt" in run.stderr or b"Premature" in run.stderr or run.stderr.strip()

def written(batch, data, work):
    folder = os.path.join(work, "album")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "p.jpg")
    open(path, "wb").write(data)
    subprocess.run([batch, "--size", "800", "--yes", "--quiet", folder], capture_output=True)
    return open(path, "rb").read() != data

def main():
    batch, photos = sys.argv[1], sys.argv[2:]
    rng = random.Random(7)
    counts = {"cut after a scan": [0, 0], "a scan taken out": [0, 0], "a byte changed": [0, 0]}
    with tempfile.TemporaryDirectory() as work:
        for photo in photos:
            data = subprocess.run(["jpegtran", "-progressive", "-copy", "none", photo],
                                  capture_output=True, check=True).stdout
            scans, end = segments(data)
            cases = []
            for start, _ in scans[1:]:
                cases.append(("cut after a scan", data[:start] + b"\xff\xd9"))
            for start, stop in scans:
                cases.append(("a scan taken out", data[:start] + data[stop:]))
            tried = 0
            while tried < 25:
                damaged = bytearray(data)
                at = rng.randrange(scans[0][0] + 20, end - 2)
                damaged[at] ^= rng.randrange(1, 256)
                if libjpeg_notices(bytes(damaged), work):
                    cases.append(("a byte changed", bytes(damaged)))
                    tried += 1
            for kind, damaged in cases:
                counts[kind][0] += 1
                if written(batch, damaged, work):
                    counts[kind][1] += 1
                    print(f"written: {photo}, {kind}", file=sys.stderr)
                    if os.environ.get("KEEP"):
                        open(os.path.join(os.environ["KEEP"], f"written{sum(c[1] for c in counts.values())}.jpg"), "wb").write(damaged)
    for kind, (tried, wrote) in counts.items():
        print(f"{kind}: {tried} tried, {wrote} written")
    return 1 if any(wrote for _, wrote in counts.values()) else 0

sys.exit(main())
