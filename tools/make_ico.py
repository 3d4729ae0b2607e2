#!/usr/bin/env python3
"""Build tool: joins PNG images into one Windows icon file (.ico), each image
stored as PNG (which Windows Vista and later read in icons).
Usage: make_ico.py OUTPUT.ico IMAGE.png..."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("make_ico: not a PNG image")
    return struct.unpack(">II", data[16:24])


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    images = []
    for name in argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        width, height = png_size(data)
        images.append((width, height, data))
    images.sort(key=lambda image: image[0])
    offset = 6 + 16 * len(images)
    head = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    for width, height, data in images:
        # 256 is written as 0.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(argv[1], "wb") as out:
        out.write(head + entries + b"".join(data for _, _, data in images))


if __name__ == "__main__":
    main(sys.argv)
