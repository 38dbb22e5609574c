#include "image-read-write/TiffSamples.h"

#include "image-read-write/Codecs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace ImageReadWrite::detail {

std::uint32_t eightBitLevel(std::uint32_t sample, int bits) {
    if (bits == 8) return sample;
    if (bits == 16) return (sample * 255 + 32767) / 65535;
    return sample * 255 / ((1u << bits) - 1);
}

Placement placement(std::uint16_t orientation, int storedWidth, int storedHeight) {
    const std::int64_t w = storedWidth, h = storedHeight;
    // Orientations 5 to 8 store the shown picture's columns as rows.
    switch (orientation) {
    case ORIENTATION_TOPRIGHT: return {storedWidth, storedHeight, w - 1, -1, w};
    case ORIENTATION_BOTRIGHT: return {storedWidth, storedHeight, w * h - 1, -1, -w};
    case ORIENTATION_BOTLEFT: return {storedWidth, storedHeight, (h - 1) * w, 1, -w};
    case ORIENTATION_LEFTTOP: return {storedHeight, storedWidth, 0, h, 1};
    case ORIENTATION_RIGHTTOP: return {storedHeight, storedWidth, h - 1, h, -1};
    case ORIENTATION_RIGHTBOT: return {storedHeight, storedWidth, w * h - 1, -h, -1};
    case ORIENTATION_LEFTBOT: return {storedHeight, storedWidth, (w - 1) * h, -h, 1};
    default: return {storedWidth, storedHeight, 0, 1, w};
    }
}

gfx::ImagePtr turned(const gfx::Image& stored, std::uint16_t orientation) {
    const Placement place = placement(orientation, stored.width(), stored.height());
    auto shown = std::make_shared<gfx::Image>(place.width, place.height);
    auto* out = reinterpret_cast<std::uint32_t*>(shown->data());
    // In square blocks, so that the rows written across stay in the cache
    // when a turn makes stored rows into shown columns.
    constexpr int kBlock = 64;
    for (int top = 0; top < stored.height(); top += kBlock) {
        const int bottom = std::min(stored.height(), top + kBlock);
        for (int left = 0; left < stored.width(); left += kBlock) {
            const int right = std::min(stored.width(), left + kBlock);
            for (int r = top; r < bottom; ++r) {
                const std::uint32_t* in = stored.row(r);
                std::int64_t at = place.first + r * place.row + left * place.column;
                for (int c = left; c < right; ++c, at += place.column) out[at] = in[c];
            }
        }
    }
    return shown;
}

namespace {

struct Layout {
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK, bits = 1, samples = 1, orientation = ORIENTATION_TOPLEFT;
    bool separate = false;
    int colours = 1; // samples before the extra ones
    int alpha = -1;  // the sample that holds alpha, if one does
    bool associated = false;
};

Layout layoutOf(TIFF* tif) {
    Layout layout;
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout.photometric)) layout.photometric = 0xFFFF;
    std::uint16_t planes = PLANARCONFIG_CONTIG, extraCount = 0;
    std::uint16_t* extra = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &layout.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planes);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &layout.orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    layout.separate = planes == PLANARCONFIG_SEPARATE && layout.samples > 1;
    if (extraCount >= layout.samples) extraCount = 0;
    layout.colours = layout.samples - extraCount;
    // Only an extra sample stated as alpha is alpha: one of unspecified
    // meaning is not shown.
    if (extraCount > 0 && extra && (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA)) {
        layout.alpha = layout.colours;
        layout.associated = extra[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    return layout;
}

// Sample `index` of a row of packed samples of `bits` bits (1, 2, 4, 8 or
// 16, the last in native byte order as libtiff hands them over).
std::uint32_t sampleAt(const std::uint8_t* row, std::size_t index, int bits) {
    if (bits == 8) return row[index];
    if (bits == 16) {
        std::uint16_t value;
        std::memcpy(&value, row + 2 * index, 2);
        return value;
    }
    const std::size_t bit = index * std::size_t(bits);
    return (row[bit / 8] >> (8 - bits - int(bit % 8))) & ((1u << bits) - 1);
}

// One picture's pixels from their samples: CMYK inks, or a palette index.
class Colours {
public:
    Colours(TIFF* tif, const Layout& layout) : layout_(layout) {
        if (layout.photometric != PHOTOMETRIC_PALETTE) return;
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) failDecoding();
        const std::size_t count = std::size_t(1) << layout.bits;
        // A colour map of 16-bit entries as the format has them, or of
        // 8-bit ones as old writers stored them: taken as libtiff's RGBA
        // reader takes it for the same picture without alpha.
        const auto eightBitMap = [count](const std::uint16_t* map) {
            return std::all_of(map, map + count, [](std::uint16_t v) { return v < 256; });
        };
        const bool eightBit = eightBitMap(red) && eightBitMap(green) && eightBitMap(blue);
        const int shift = eightBit ? 0 : 8;
        palette_.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            palette_[i] = {std::uint8_t(red[i] >> shift), std::uint8_t(green[i] >> shift),
                           std::uint8_t(blue[i] >> shift)};
    }

    // The samples this conversion reads, in the order pixel() takes them.
    std::vector<int> samplesRead() const {
        std::vector<int> read;
        for (int s = 0; s < (palette_.empty() ? 4 : 1); ++s) read.push_back(s);
        if (layout_.alpha >= 0) read.push_back(layout_.alpha);
        return read;
    }

    // A premultiplied ARGB word from the samples samplesRead() names.
    std::uint32_t pixel(const std::uint32_t* samples) const {
        const int bits = layout_.bits;
        if (!palette_.empty()) {
            // A palette picture is read here only with alpha.
            const auto& colour = palette_[samples[0]];
            const auto alpha = std::uint8_t(eightBitLevel(samples[1], bits));
            if (!layout_.associated) return premultiplied(colour[0], colour[1], colour[2], alpha);
            // Colours already weighted by their alpha cannot exceed it.
            const auto weighted = [alpha](std::uint8_t c) { return std::uint32_t(std::min(c, alpha)); };
            return std::uint32_t(alpha) << 24 | weighted(colour[0]) << 16 | weighted(colour[1]) << 8 |
                   weighted(colour[2]);
        }
        std::array<std::uint32_t, 4> inks{};
        for (std::size_t i = 0; i < 4; ++i) inks[i] = eightBitLevel(samples[i], bits);
        const std::uint32_t alpha = layout_.alpha >= 0 ? eightBitLevel(samples[4], bits) : 255;
        // The same sums as libtiff's reader of 8-bit CMYK (truncated), so
        // that a picture reads alike at either depth and with or without
        // alpha. Inks weighted by their alpha give the colour weighted by
        // it directly, as exact as the samples: (a - c)(a - k) / a.
        const std::uint32_t weight = layout_.associated ? alpha : 255;
        if (weight == 0) return 0;
        const auto component = [&](std::uint32_t ink) {
            return (weight - std::min(ink, weight)) * (weight - std::min(inks[3], weight)) / weight;
        };
        const std::uint32_t r = component(inks[0]), g = component(inks[1]), b = component(inks[2]);
        if (layout_.associated) return alpha << 24 | r << 16 | g << 8 | b;
        return premultiplied(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), std::uint8_t(alpha));
    }

private:
    Layout layout_;
    std::vector<std::array<std::uint8_t, 3>> palette_;
};

} // namespace

bool readsBySamples(TIFF* tif) {
    const Layout layout = layoutOf(tif);
    std::uint16_t compression = COMPRESSION_NONE, format = SAMPLEFORMAT_UINT, inks = INKSET_CMYK;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inks);
    if (format == SAMPLEFORMAT_IEEEFP || !TIFFIsCODECConfigured(compression)) return false;
    if (layout.photometric == PHOTOMETRIC_SEPARATED) {
        // libtiff's reader has routines for 8-bit CMYK only, and ignores
        // its alpha; in planes, it takes the four inks alone.
        if (inks != INKSET_CMYK || (layout.bits != 8 && layout.bits != 16) || layout.colours < 4) return false;
        return layout.bits == 16 || layout.alpha >= 0 || (layout.separate && layout.samples != 4);
    }
    // libtiff's reader ignores a palette picture's alpha, and refuses one
    // whose index and alpha share a byte (as a picture of few colours has).
    return layout.photometric == PHOTOMETRIC_PALETTE && layout.alpha >= 0 &&
           (layout.bits == 1 || layout.bits == 2 || layout.bits == 4 || layout.bits == 8);
}

gfx::ImagePtr readBySamples(TIFF* tif, std::uint32_t width, std::uint32_t height) {
    const Layout layout = layoutOf(tif);
    const Colours colours(tif, layout);
    const std::vector<int> read = colours.samplesRead();

    // Strips are pieces as wide as the picture; tiles are pieces too.
    const bool tiled = TIFFIsTiled(tif) != 0;
    std::uint32_t pieceWidth = width, pieceHeight = height;
    if (tiled) {
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &pieceWidth) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &pieceHeight))
            failDecoding();
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &pieceHeight);
        pieceHeight = std::min(pieceHeight, height);
    }
    // A tile may pad the picture by as much as a JPEG-compressed one may, so
    // a small picture in a huge tile is not decoded and walked whole.
    if (tiled && std::uint64_t(pieceWidth) * pieceHeight > std::uint64_t(width) * height + kMostPaddingPerTile)
        failDecoding();
    const tmsize_t rowBytes = tiled ? TIFFTileRowSize(tif) : TIFFScanlineSize(tif);
    const tmsize_t pieceBytes = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
    // In planes, only those of the samples read are decoded, each into a
    // piece of its own.
    const std::size_t buffers = layout.separate ? read.size() : 1;
    if (pieceWidth == 0 || pieceHeight == 0 || rowBytes <= 0 || pieceBytes <= 0 ||
        pieceBytes > kMostTIFFBufferBytes / tmsize_t(buffers))
        failDecoding();
    std::vector<std::vector<std::uint8_t>> pieces(buffers, std::vector<std::uint8_t>(std::size_t(pieceBytes)));

    const Placement place = placement(layout.orientation, int(width), int(height));
    auto image = std::make_shared<gfx::Image>(place.width, place.height);
    auto* out = reinterpret_cast<std::uint32_t*>(image->data());
    std::vector<std::uint32_t> samples(read.size());
    for (std::uint32_t top = 0; top < height; top += pieceHeight) {
        for (std::uint32_t left = 0; left < width; left += pieceWidth) {
            for (std::size_t i = 0; i < buffers; ++i) {
                auto& piece = pieces[i];
                // A piece whose data ends early reads as zeros past its end.
                std::fill(piece.begin(), piece.end(), 0);
                const auto plane = std::uint16_t(layout.separate ? read[i] : 0);
                const tmsize_t got =
                    tiled
                        ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, left, top, 0, plane), piece.data(), pieceBytes)
                        : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, plane), piece.data(), pieceBytes);
                if (got < 0) failDecoding();
            }
            const std::uint32_t rows = std::min(pieceHeight, height - top);
            const std::uint32_t columns = std::min(pieceWidth, width - left);
            for (std::uint32_t y = 0; y < rows; ++y) {
                const std::size_t rowStart = std::size_t(y) * std::size_t(rowBytes);
                std::int64_t at = place.first + std::int64_t(top + y) * place.row + std::int64_t(left) * place.column;
                for (std::uint32_t x = 0; x < columns; ++x, at += place.column) {
                    for (std::size_t i = 0; i < read.size(); ++i) {
                        samples[i] = layout.separate ? sampleAt(pieces[i].data() + rowStart, x, layout.bits)
                                                     : sampleAt(pieces[0].data() + rowStart,
                                                                std::size_t(x) * layout.samples + std::size_t(read[i]),
                                                                layout.bits);
                    }
                    out[at] = colours.pixel(samples.data());
                }
            }
        }
    }
    return image;
}

} // namespace ImageReadWrite::detail
