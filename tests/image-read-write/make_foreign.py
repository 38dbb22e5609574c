#!/usr/bin/python3
"""Writes images in many encodings with PIL, for the loader tests.

Usage: make_foreign.py FOLDER
For each variant NAME it writes FOLDER/NAME (the encoded file) and
FOLDER/NAME.raw (PIL's own decoding, straight RGBA, rows top-down; for a
file ImageMagick made from another, that one's, or where ImageMagick
changes the picture, ImageMagick's decoding), and prints the variant names,
one a line.
"""
import subprocess
import sys

from PIL import Image

folder = sys.argv[1]
width, height = 29, 19
base = Image.new("RGBA", (width, height))
for y in range(height):
    for x in range(width):
        alpha = 0 if x < 5 else (128 if y > 15 else 255)
        base.putpixel((x, y), (x * 8, y * 13, 200 - x * 3, alpha))
opaque = base.convert("RGB")
# Twenty colours, each transparent, half and fully opaque: too many for
# the 4-bit palette samples that ImageMagick packs fewer colours into (and
# that neither it nor PIL reads back as the picture it was given).
colours = [((i * 53) % 256, (i * 97 + 40) % 256, (i * 31 + 200) % 256) for i in range(20)]
fewColours = Image.new("RGBA", (width, height))
for y in range(height):
    for x in range(width):
        fewColours.putpixel((x, y), colours[(x // 3 + y // 2) % 20] + ((0, 128, 255)[(x + y) % 3],))
variants = {
    "rgba8.png": (base, {}),
    "grey.png": (opaque.convert("L"), {}),
    "greyalpha.png": (base.convert("LA"), {}),
    "fewcolours.png": (fewColours, {}),
    "palette.png": (opaque.convert("P", palette=Image.ADAPTIVE, colors=16), {}),
    "baseline.jpg": (opaque, {"quality": 95}),
    "progressive.jpg": (opaque, {"quality": 95, "progressive": True}),
    "grey.jpg": (opaque.convert("L"), {"quality": 95}),
    "cmyk.jpg": (opaque.convert("CMYK"), {"quality": 95}),
    "lzw.tiff": (base, {"compression": "tiff_lzw"}),
    "raw.tiff": (opaque, {}),
    "deflate.tiff": (base, {"compression": "tiff_adobe_deflate"}),
    "jpeg.tiff": (opaque, {"compression": "jpeg"}),
    "grey.tiff": (opaque.convert("L"), {}),
    "greyalpha.tiff": (base.convert("LA"), {}),
    "cmyk.tiff": (opaque.convert("CMYK"), {}),
    "packbits.tiff": (opaque, {"compression": "packbits"}),
    "plain.gif": (opaque.convert("P", palette=Image.ADAPTIVE, colors=64), {}),
    "interlaced.gif": (opaque.convert("P", palette=Image.ADAPTIVE, colors=64), {"interlace": True}),
}
for name, (image, options) in variants.items():
    path = f"{folder}/{name}"
    image.save(path, **options)
    decoded = Image.open(path).convert("RGBA")
    with open(path + ".raw", "wb") as out:
        out.write(decoded.tobytes())
    print(name)

# What PIL cannot write, by ImageMagick from a file above, each to read as
# that file does: interlaced PNG, and 16 bits a sample, in a PNG with its
# colour chunks or stripped of them (its samples then sRGB, as at 8 bits)
# and in TIFFs, grey with associated alpha, and CMYK with alpha or at 16
# bits.
sixteen = ["-depth", "16"]
made = {
    "rgba16.png": ("rgba8.png", ["-define", "png:bit-depth=16", *sixteen]),
    "rgba16-stripped.png": ("rgba8.png", ["-strip", "-define", "png:bit-depth=16", *sixteen]),
    "grey16-stripped.png": ("grey.png", ["-strip", "-define", "png:bit-depth=16", *sixteen]),
    "interlaced.png": ("rgba8.png", ["-interlace", "PNG"]),
    "rgba16.tiff": ("lzw.tiff", sixteen),
    "greyalpha16.tiff": ("greyalpha.tiff", sixteen),
    "greyalpha-associated.tiff": ("greyalpha.tiff", ["-define", "tiff:alpha=associated"]),
    "greyalpha16-associated.tiff": ("greyalpha.tiff", ["-define", "tiff:alpha=associated", *sixteen]),
    "cmykalpha.tiff": ("lzw.tiff", ["-colorspace", "CMYK"]),
    "cmyk16.tiff": ("raw.tiff", ["-colorspace", "CMYK", *sixteen]),
}
for name, (source, arguments) in made.items():
    path = f"{folder}/{name}"
    subprocess.run(["convert", f"{folder}/{source}", *arguments, path], check=True)
    with open(path + ".raw", "wb") as out:
        out.write(Image.open(f"{folder}/{source}").convert("RGBA").tobytes())
    print(name)

# A palette with alpha, which ImageMagick builds from a picture of its own
# choosing (it merges colours of partly transparent pixels), read as
# ImageMagick reads it.
path = f"{folder}/palettealpha.tiff"
subprocess.run(["convert", f"{folder}/fewcolours.png", "-type", "PaletteAlpha", path], check=True)
subprocess.run(["convert", path, "-depth", "8", f"rgba:{path}.raw"], check=True)
print("palettealpha.tiff")

# An animation: the first frame is the image.
frames = [opaque.convert("P", palette=Image.ADAPTIVE, colors=32), Image.new("P", (width, height))]
frames[0].save(f"{folder}/animated.gif", save_all=True, append_images=frames[1:], duration=100, loop=0)
with open(f"{folder}/animated.gif.raw", "wb") as out:
    out.write(Image.open(f"{folder}/animated.gif").convert("RGBA").tobytes())
print("animated.gif")
