#!/usr/bin/env python3
"""Writes the fuzz inputs that are too big to keep in the repository: every
input that once crashed the library or cost it minutes and gigabytes, made
again from a few lines each. Usage: make_inputs.py OUTPUT_FOLDER"""
import base64
import json
import os
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def bilevel_png(width, height, with_pixels=True):
    """A black one-bit PNG; without pixels its data is a few bytes only."""
    header = struct.pack(">IIBBBBB", width, height, 1, 0, 0, 0, 0)
    raw = bytes(height * (1 + (width + 7) // 8)) if with_pixels else bytes(16)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def rgba_png(width, height, pixel):
    """An 8-bit RGBA PNG whose pixel (x, y) is pixel(x, y), four numbers."""
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    raw = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def round_picture():
    """An 8 x 8 disc on transparent corners, its edge at alphas either side
    of the least that hides a module (2)."""
    def pixel(x, y):
        d = (x - 3.5) ** 2 + (y - 3.5) ** 2
        return (200, 30, 60, 255 if d < 9 else 2 if d < 12 else 1 if d < 16 else 0)
    return rgba_png(8, 8, pixel)


def band_mask():
    """A 12 x 5 mask picture, another size and shape than the logos: opaque
    on a diagonal band, half opaque beside it, transparent elsewhere."""
    def pixel(x, y):
        off = abs(x - 2 * y - 1)
        return (0, 0, 0, 255 if off < 2 else 128 if off < 4 else 0)
    return rgba_png(12, 5, pixel)


def nested(depth, inner="1"):
    return "[" * depth + inner + "]" * depth


def document(design=None, logo=None, text="https://example.com"):
    doc = {"text": text}
    if design is not None:
        doc["design"] = design
    if logo is not None:
        doc["logoTemplate"] = logo
    return json.dumps(doc)


def shadow(blur, dx=0.3, dy=-0.3):
    return {"style": {"shadow": {"offset-width": dx, "offset-height": dy, "blur": blur, "type": 0,
                                 "color": "0.0,0.0,0.0,0.8"}}}


def image_fill(png):
    return {"style": {"onPixels": {"type": "image", "settings": {"imagePNGbase64": base64.b64encode(png).decode()}}}}


def logo(png, by_transparency=False, mask=None):
    """A logo over a triangle, its path in the stored form: elements of a
    type (0 move, 1 line, 2 quadratic, 3 cubic, 4 close) and their points.
    The triangle hides the modules, or with `by_transparency` the logo's
    own picture does (or `mask`, a picture of its own) laid over the
    triangle's bounding box, wherever it is not transparent."""
    elements = [{"type": 0, "points": [[0.4, 0.4]]}, {"type": 1, "points": [[0.6, 0.4]]},
                {"type": 1, "points": [[0.6, 0.6]]}, {"type": 4}]
    path = base64.b64encode(json.dumps(elements, separators=(",", ":")).encode()).decode()
    result = {"image": base64.b64encode(png).decode(), "relativeMaskPath": path}
    if by_transparency:
        result["maskUsingImageTransparency"] = True
    if mask is not None:
        result["maskImage"] = base64.b64encode(mask).decode()
    return result


def bplist(objects, top=0, offset_size=1, ref_size=1, count=None):
    """A binary property list laid out by hand from its objects' bytes."""
    out, offsets = bytearray(b"bplist00"), []
    for obj in objects:
        offsets.append(len(out))
        out += obj
    table = len(out)
    for offset in offsets:
        out += offset.to_bytes(offset_size, "big")
    out += bytes(6) + bytes([offset_size, ref_size])
    out += struct.pack(">QQQ", len(objects) if count is None else count, top, table)
    return bytes(out)


def chain(arrays):
    """Arrays each holding the next, two-byte references."""
    objects = [b"\xa1" + (i + 1).to_bytes(2, "big") for i in range(arrays - 1)] + [b"\xa0"]
    return bplist(objects, offset_size=4, ref_size=2)


def one_data_everywhere(entries, size):
    """An array whose offset table gives every element the offset of one
    data object of `size` bytes."""
    data = b"\x4f\x12" + size.to_bytes(4, "big") + bytes(size)
    top = b"\xaf\x12" + (entries - 1).to_bytes(4, "big") + b"".join(i.to_bytes(4, "big") for i in range(1, entries))
    out = bytearray(b"bplist00") + top
    data_at = len(out)
    out += data
    table = len(out)
    out += (8).to_bytes(4, "big") + data_at.to_bytes(4, "big") * (entries - 1)
    out += bytes(6) + bytes([4, 4]) + struct.pack(">QQQ", entries, 0, table)
    return bytes(out)


def one_key_everywhere(dictionaries, key_size):
    """An array of one-entry dictionaries that all use one long key."""
    objects = [b"\xaf\x12" + dictionaries.to_bytes(4, "big")
               + b"".join((3 + i).to_bytes(4, "big") for i in range(dictionaries)),
               b"\x5f\x12" + key_size.to_bytes(4, "big") + b"k" * key_size, b"\x09"]
    objects += [b"\xd1" + (1).to_bytes(4, "big") + (2).to_bytes(4, "big")] * dictionaries
    return bplist(objects, offset_size=4, ref_size=4)


def overlapping_arrays(arrays, claimed):
    """Arrays laid over one another four bytes apart, each claiming `claimed`
    references: the following arrays' headers (as references 0xAF11 and
    `claimed`) and the zeros after them, all naming one Boolean. A top array
    holds every array; no two share an offset."""
    header = b"\xaf\x11" + claimed.to_bytes(2, "big")
    count = max(0xAF11, claimed) + 2
    offsets = [8] * count
    out = bytearray(b"bplist00\x09")
    for k in range(arrays):
        offsets[1 + k] = len(out)
        out += header
    out += bytes(2 * claimed)
    offsets[-1] = len(out)
    out += b"\xaf\x11" + arrays.to_bytes(2, "big") + b"".join((1 + k).to_bytes(2, "big") for k in range(arrays))
    table = len(out)
    out += b"".join(offset.to_bytes(3, "big") for offset in offsets)
    out += bytes(6) + bytes([3, 2]) + struct.pack(">QQQ", count, count - 1, table)
    return bytes(out)


def diamond(levels):
    """Arrays each holding the next twice, written twice over: reading them
    shares every level, comparing them must too."""
    objects = [b"\xa2" + (1).to_bytes(2, "big") + (levels + 1).to_bytes(2, "big")]
    for first in (1, levels + 1):
        objects += [b"\xa2" + (first + i + 1).to_bytes(2, "big") * 2 for i in range(levels - 1)] + [b"\xa0"]
    return bplist(objects, offset_size=2, ref_size=2)


def gradient_pins(count):
    """A linear gradient fill of `count` pins, most of them in runs at one position."""
    pins = "|".join("%r:%d,%d,1,1" % (round(i / count, 3), i % 2, i % 3 == 0) for i in range(count))
    return {"style": {"onPixels": {"type": "lineargradient", "settings": {
        "startX": 0, "startY": 0, "endX": 1, "endY": 1, "gradient": pins}}}}


def spiral_logo(png, curves):
    """A logo whose mask path is a spiral of `curves` half-turn cubics, each
    across the whole logo."""
    k = 4 / 3  # a half circle's control points stand out 4/3 of its radius
    elements = [{"type": 0, "points": [[0.5, 0.5]]}]
    for i in range(curves):
        r = 0.4 * (i + 1) / curves
        side = 1 if i % 2 == 0 else -1
        elements.append({"type": 3, "points": [[0.5 + side * r, 0.5 + side * k * r],
                                               [0.5 - side * r, 0.5 + side * k * r], [0.5 - side * r, 0.5]]})
    elements.append({"type": 4})
    path = base64.b64encode(json.dumps(elements, separators=(",", ":")).encode()).decode()
    return {"image": base64.b64encode(png).decode(), "relativeMaskPath": path}


def far_curves_logo(png, curves):
    """A logo whose mask path is `curves` cubics from the logo's middle out
    and back, their control points 1e3 to 1e6 logo sides away."""
    import math
    import random
    rng = random.Random(2024)

    def far():
        distance, angle = 10 ** rng.uniform(3, 6), rng.uniform(0, 2 * math.pi)
        return [0.5 + distance * math.cos(angle), 0.5 + distance * math.sin(angle)]
    elements = [{"type": 0, "points": [[0.5, 0.5]]}]
    for _ in range(curves):
        elements.append({"type": 3, "points": [far(), far(), [rng.uniform(0.35, 0.65), rng.uniform(0.35, 0.65)]]})
    elements.append({"type": 4})
    path = base64.b64encode(json.dumps(elements, separators=(",", ":")).encode()).decode()
    return {"image": base64.b64encode(png).decode(), "relativeMaskPath": path}


def main():
    out = sys.argv[1]
    bomb = bilevel_png(16384, 16384, with_pixels=False)  # 68 bytes
    big = bilevel_png(8192, 8192)  # about 8 KB, 64 million pixels
    largest = bilevel_png(4096, 4096)  # as large as a document's pictures may be
    deep_fill = ('{"text": "deep", "design": {"style": {"onPixels": {"type": "solid", "settings": {"x": '
                 + nested(50000) + "}}}}}")
    inputs = {
        "document": {
            "deep-fill-settings.json": deep_fill,
            "deep-design.json": '{"text": "deep", "design": ' + nested(30000, "{}") + "}",
            "huge-blur.json": document(shadow(1e9)),
            "huge-shadow-offset.json": document(shadow(4, 1e300, -1e300)),
            "png-bomb-logo.json": document(logo=logo(bomb)),
            "big-logo.json": document(logo=logo(big)),
            # The two ways a picture hides the modules, as the seeds hold
            # them; then with the largest picture a document may carry, and
            # with a mask picture refused, which leaves the logo's own.
            "logo-masked-by-its-transparency.json": document(logo=logo(round_picture(), by_transparency=True)),
            "logo-with-a-mask-picture.json": document(logo=logo(round_picture(), True, band_mask())),
            "largest-logo-masked-by-its-transparency.json": document(logo=logo(largest, by_transparency=True)),
            "largest-mask-picture.json": document(logo=logo(round_picture(), True, largest)),
            "png-bomb-mask-picture.json": document(logo=logo(round_picture(), True, bomb)),
            "png-bomb-fill.json": document(image_fill(bomb)),
            "message-of-megabytes.json": document(text="m" * (4 << 20)),
            "gradient-of-100000-pins.json": document(gradient_pins(100000)),
            "mask-of-40000-curves.json": document(logo=spiral_logo(bilevel_png(8, 8), 40000)),
            "mask-of-50000-far-curves.json": document(logo=far_curves_logo(bilevel_png(8, 8), 50000)),
        },
        "settings": {
            "deep-array.json": '{"a": ' + nested(30000) + "}",
            "deep-dictionary.json": '{"a": ' + '{"k": ' * 30000 + "1" + "}" * 30000 + "}",
            "deep-string-value.json": json.dumps({"codable": nested(30000)}),
            "bplist-billion-count": b"bplist00\xaf\x12\x3b\x9a\xca\x00" + bytes(16),
            "bplist-deep-chain": chain(20000),
            "bplist-self-reference": bplist([b"\xa1\x00"]),
            # 60 arrays each holding the next one twice: 2^60 elements unshared.
            "bplist-shared-doubling": bplist([b"\xa2" + bytes([i + 1, i + 1]) for i in range(60)] + [b"\x09"]),
            # 60,000 references to one 64 KB data object: 3.9 GB copied apart.
            "bplist-one-data-everywhere": one_data_everywhere(60000, 65536),
            # 4,000 dictionaries sharing one 1 MB key: 4 GB of key copies.
            "bplist-one-key-everywhere": one_key_everywhere(4000, 1 << 20),
            # 3,000 arrays laid over one another: 180 million elements,
            # 2.8 GB of them, from 318 KB.
            "bplist-overlapping-arrays": overlapping_arrays(3000, 60000),
            # Two diamonds of 500 levels in one array, equal only when the
            # comparison walks each pair of levels once.
            "bplist-diamonds": diamond(500),
        },
        "image": {
            "png-bomb-16384.png": bomb,
            "png-8192.png": big,
        },
        "encoder": {
            "too-long-binary": b"\x03" + bytes(4000),
            "too-long-text": b"\x07" + b"A" * 8000,
            "digits-of-megabytes": b"\x04" + b"7" * (16 << 20),
            "bytes-of-megabytes": b"\x00" + bytes(16 << 20),
        },
    }
    for target, files in inputs.items():
        folder = os.path.join(out, target)
        os.makedirs(folder, exist_ok=True)
        for name, content in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(content if isinstance(content, bytes) else content.encode())


if __name__ == "__main__":
    main()
