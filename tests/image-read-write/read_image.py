#!/usr/bin/python3
"""Reads an image with PIL, an independent decoder, for the tests.

Usage: read_image.py IMAGE RAW_OUT
       read_image.py --exif-resolution HEIC_FILE
Prints one JSON line with size, DPI, mode, compression and palette size, and
writes the pixels as straight RGBA bytes, rows top-down, to RAW_OUT.
"""
import json
import sys

from PIL import Image

if sys.argv[1] == "--exif-resolution":
    # PIL has no HEIF reader here: find the Exif block that the HEIF file
    # stores (a TIFF structure) and let PIL's Exif parser read it.
    data = open(sys.argv[2], "rb").read()
    start = data.find(b"II*\x00")
    if start < 0:
        start = data.find(b"MM\x00*")
    exif = Image.Exif()
    exif.load(b"Exif\x00\x00" + data[start:])
    print(json.dumps({"dpiX": float(exif.get(282, 0)), "dpiY": float(exif.get(283, 0)),
                      "unit": exif.get(296)}))
    sys.exit(0)

image = Image.open(sys.argv[1])
info = {
    "format": image.format,
    "width": image.width,
    "height": image.height,
    "mode": image.mode,
    "dpi": [float(v) for v in image.info["dpi"]] if "dpi" in image.info else None,
    "compression": image.info.get("compression"),
    "paletteColours": len(image.getpalette()) // 3 if image.mode == "P" else None,
}
with open(sys.argv[2], "wb") as out:
    out.write(image.convert("RGBA").tobytes())
print(json.dumps(info))
