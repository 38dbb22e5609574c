#pragma once

// Internal to the module: the per-format encoders and decoders over the C
// codec libraries. Encoders throw ImageReadWriteException(cannotCreateImageOfType)
// on any failure; decoders throw ImageReadWriteException(unableToDecodeImage).

#include "platform/gfx/Image.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ImageReadWrite::detail {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

struct EncodeSettings {
    double dpiX = 72;
    double dpiY = 72;
    std::optional<double> quality; // already clamped to 0...1
};

Bytes encodePNG(const gfx::Image& image, const EncodeSettings& settings);
Bytes encodeJPEG(const gfx::Image& image, const EncodeSettings& settings);
Bytes encodeTIFF(const gfx::Image& image, const EncodeSettings& settings);
Bytes encodeHEIC(const gfx::Image& image, const EncodeSettings& settings);
// HEIC as a grid of pictures of tileSide x tileSide pixels (a multiple of
// 64, which libheif codes without a cropping wrapper of its own), coded one
// at a time; what encodeHEIC writes for images larger than one HEVC picture
// may be.
Bytes encodeHEICGrid(const gfx::Image& image, const EncodeSettings& settings, int tileSide);
Bytes encodeGIF(const gfx::Image& image);

// Whether libheif offers an HEVC encoder in this installation.
bool heicEncoderAvailable();

gfx::ImagePtr decodePNG(ByteView data, std::int64_t maxPixels);
gfx::ImagePtr decodeJPEG(ByteView data, std::int64_t maxPixels);
gfx::ImagePtr decodeTIFF(ByteView data, std::int64_t maxPixels);
gfx::ImagePtr decodeHEIF(ByteView data, std::int64_t maxPixels);
gfx::ImagePtr decodeGIF(ByteView data, std::int64_t maxPixels);

// How much of a tile's padding (its pixels beyond the picture it helps
// cover) a decoder may walk without that counting against the file: a
// 1024 x 1024 tile's worth. Ordinary tiles are 256 or 512 on a side; only
// a small picture in a huge tile needs more.
constexpr std::uint64_t kMostPaddingPerTile = std::uint64_t(1) << 20;

// Throws unableToDecodeImage unless width x height is a size an image may
// have and fits the square of maxPixels pixels (itself at most
// gfx::Image::kMaxPixels): neither side above the square's side.
void checkDecodedSize(std::int64_t width, std::int64_t height, std::int64_t maxPixels);
// Throws cannotCreateImageOfType(typeIdentifier) for an image without pixels.
void checkEncodable(const gfx::Image& image, const char* typeIdentifier);

[[noreturn]] void failEncoding(const char* typeIdentifier);
[[noreturn]] void failDecoding();

// Straight (unpremultiplied) components of one ARGB32 premultiplied word.
inline void unpremultiply(std::uint32_t v, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b, std::uint8_t& a) {
    a = std::uint8_t(v >> 24);
    r = std::uint8_t(v >> 16);
    g = std::uint8_t(v >> 8);
    b = std::uint8_t(v);
    if (a == 255) return;
    if (a == 0) {
        r = g = b = 0;
        return;
    }
    auto un = [a](unsigned c) {
        unsigned x = (c * 255 + a / 2) / a;
        return std::uint8_t(x > 255 ? 255 : x);
    };
    r = un(r);
    g = un(g);
    b = un(b);
}

// One ARGB32 premultiplied word from straight components.
inline std::uint32_t premultiplied(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    if (a == 255) return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
    auto pre = [a](unsigned c) { return std::uint32_t((c * a + 127) / 255); };
    return (std::uint32_t(a) << 24) | (pre(r) << 16) | (pre(g) << 8) | pre(b);
}

bool isOpaque(const gfx::Image& image);

// Appends the low `bytes` bytes of v (at most 8), most significant first,
// as container formats store their numbers.
inline void appendBigEndian(Bytes& out, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(std::uint8_t(v >> (8 * i)));
}

// Writes one row of straight RGB (3 bytes per pixel) or RGBA (4) into `out`.
// Encoders convert row by row as they write: a whole converted copy of a
// 16384-pixel-square picture would cost another 768 MiB or 1 GiB.
void straightRow(const std::uint32_t* row, int width, bool withAlpha, std::uint8_t* out);

} // namespace ImageReadWrite::detail
