#include "tests/image-read-write/ImageTestSupport.h"

#include "image-read-write/Codecs.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <tiffio.h>

namespace imagetest {

gfx::ImagePtr gradientImage(int width, int height, bool transparency) {
    auto image = std::make_shared<gfx::Image>(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            gfx::Pixel p{std::uint8_t(x * 255 / std::max(1, width - 1)),
                         std::uint8_t(y * 255 / std::max(1, height - 1)), std::uint8_t(128 + (x - y) / 4), 255};
            if (transparency && x < width / 4)
                p.a = 0;
            else if (transparency && y >= height - 4)
                p.a = 160;
            image->setPixel(x, y, p);
        }
    }
    return image;
}

gfx::ImagePtr blockImage(int width, int height) {
    static const gfx::Pixel colours[] = {{255, 255, 255, 255}, {0, 0, 0, 255}, {200, 30, 40, 255}, {20, 90, 220, 255}};
    auto image = std::make_shared<gfx::Image>(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image->setPixel(x, y, colours[((x / 8) + (y / 8) * 3) % 4]);
    }
    return image;
}

namespace {
void accumulate(Difference& d, long long& sum, long long& count, const gfx::Pixel& a, const std::uint8_t* b) {
    const int da = std::abs(int(a.a) - int(b[3]));
    d.max = std::max(d.max, da);
    sum += da;
    ++count;
    if (a.a == 0 && b[3] == 0) return;
    const int dc[3] = {std::abs(int(a.r) - int(b[0])), std::abs(int(a.g) - int(b[1])), std::abs(int(a.b) - int(b[2]))};
    for (int c : dc) {
        d.max = std::max(d.max, c);
        sum += c;
        ++count;
    }
}
} // namespace

Difference compare(const gfx::Image& image, const std::vector<std::uint8_t>& rgba) {
    Difference d;
    EXPECT_EQ(rgba.size(), std::size_t(image.width()) * image.height() * 4);
    if (rgba.size() != std::size_t(image.width()) * image.height() * 4) return Difference{255, 255};
    long long sum = 0, count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            accumulate(d, sum, count, image.pixel(x, y), rgba.data() + (std::size_t(y) * image.width() + x) * 4);
        }
    }
    d.mean = count ? double(sum) / double(count) : 0;
    return d;
}

Difference compare(const gfx::Image& a, const gfx::Image& b) {
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    if (a.width() != b.width() || a.height() != b.height()) return Difference{255, 255};
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const gfx::Pixel p = b.pixel(x, y);
            rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
        }
    }
    return compare(a, rgba);
}

ExternalRead readWithPIL(const std::filesystem::path& file) {
    const auto raw = file.string() + ".raw";
    const auto script = testsupport::sourceDir() / "tests" / "image-read-write" / "read_image.py";
    std::string output;
    const int status = testsupport::runCommand(
        "/usr/bin/python3 '" + script.string() + "' '" + file.string() + "' '" + raw + "'", &output);
    EXPECT_EQ(status, 0) << output;
    ExternalRead result;
    if (status != 0) return result;
    result.info = nlohmann::json::parse(output);
    result.rgba = testsupport::readFile(raw);
    return result;
}

ExternalRead readWithImageMagick(const std::filesystem::path& file, int width, int height) {
    ExternalRead result;
    std::string output;
    const int status = testsupport::runCommand(
        "identify -format '{\"width\":%w,\"height\":%h}' '" + file.string() + "' 2>/dev/null", &output);
    EXPECT_EQ(status, 0) << output;
    if (status != 0) return result;
    result.info = nlohmann::json::parse(output);
    const auto raw = file.string() + ".raw";
    EXPECT_EQ(testsupport::runCommand("convert '" + file.string() + "' -depth 8 rgba:'" + raw + "' 2>/dev/null"), 0);
    result.rgba = testsupport::readFile(raw);
    EXPECT_EQ(result.rgba.size(), std::size_t(width) * height * 4);
    return result;
}

nlohmann::json readHEICExifResolution(const std::filesystem::path& file) {
    const auto script = testsupport::sourceDir() / "tests" / "image-read-write" / "read_image.py";
    std::string output;
    const int status = testsupport::runCommand(
        "/usr/bin/python3 '" + script.string() + "' --exif-resolution '" + file.string() + "'", &output);
    EXPECT_EQ(status, 0) << output;
    return status == 0 ? nlohmann::json::parse(output) : nlohmann::json::object();
}

bool heicEncodingAvailable() { return ImageReadWrite::detail::heicEncoderAvailable(); }

ImageReadWrite::Bytes writtenTIFF(const std::filesystem::path& folder, const TIFFForm& form,
                                  const std::vector<std::uint16_t>& samples) {
    EXPECT_EQ(samples.size(), std::size_t(form.width * form.height * form.samples));
    const auto path = folder / "written.tiff";
    std::string mode = "w";
    mode += form.bigEndian ? "b" : "l";
    if (form.bigTIFF) mode += "8";
    TIFF* tif = TIFFOpen(path.c_str(), mode.c_str());
    EXPECT_NE(tif, nullptr);
    if (!tif) return {};
    const bool tiled = form.tileWidth > 0;
    const int pieceWidth = tiled ? form.tileWidth : form.width;
    const int pieceHeight = tiled ? form.tileHeight : form.rowsPerStrip > 0 ? form.rowsPerStrip : form.height;
    const int planes = form.separatePlanes ? form.samples : 1;
    bool ok =
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, form.width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, form.height) &&
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, form.bits) &&
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, form.samples) &&
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, form.photometric) &&
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, form.separatePlanes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG) &&
        TIFFSetField(tif, TIFFTAG_COMPRESSION, form.compression) &&
        TIFFSetField(tif, TIFFTAG_ORIENTATION, form.orientation);
    if (!form.extraSamples.empty())
        ok = ok &&
             TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, std::uint16_t(form.extraSamples.size()), form.extraSamples.data());
    if (!form.colourMap.empty()) {
        const std::size_t n = form.colourMap.size() / 3;
        ok = ok && TIFFSetField(tif, TIFFTAG_COLORMAP, form.colourMap.data(), form.colourMap.data() + n,
                                form.colourMap.data() + 2 * n);
    }
    if (form.photometric == PHOTOMETRIC_SEPARATED) ok = ok && TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    if (tiled)
        ok = ok && TIFFSetField(tif, TIFFTAG_TILEWIDTH, form.tileWidth) &&
             TIFFSetField(tif, TIFFTAG_TILELENGTH, form.tileHeight);
    else
        ok = ok && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, pieceHeight);
    EXPECT_TRUE(ok);
    // Each piece whole, its rows padded to whole bytes, samples packed from
    // the high bit; 16-bit samples in native byte order (libtiff swaps).
    const int perPixel = form.separatePlanes ? 1 : form.samples;
    const std::size_t rowBytes = (std::size_t(pieceWidth) * std::size_t(perPixel * form.bits) + 7) / 8;
    std::vector<std::uint8_t> piece(rowBytes * std::size_t(pieceHeight));
    for (int plane = 0; plane < planes; ++plane) {
        for (int top = 0; top < form.height; top += pieceHeight) {
            for (int left = 0; left < form.width; left += pieceWidth) {
                std::fill(piece.begin(), piece.end(), 0);
                for (int y = 0; y < pieceHeight && top + y < form.height; ++y) {
                    std::uint8_t* row = piece.data() + std::size_t(y) * rowBytes;
                    for (int x = 0; x < pieceWidth && left + x < form.width; ++x) {
                        for (int s = 0; s < perPixel; ++s) {
                            const int sample = form.separatePlanes ? plane : s;
                            const std::uint16_t value =
                                samples[std::size_t(((top + y) * form.width + left + x) * form.samples + sample)];
                            const std::size_t index = std::size_t(x * perPixel + s);
                            if (form.bits == 16) {
                                std::memcpy(row + 2 * index, &value, 2);
                            } else if (form.bits == 8) {
                                row[index] = std::uint8_t(value);
                            } else {
                                const std::size_t bit = index * std::size_t(form.bits);
                                row[bit / 8] |= std::uint8_t(value << (8 - form.bits - int(bit % 8)));
                            }
                        }
                    }
                }
                const auto sample = std::uint16_t(plane);
                const tmsize_t written =
                    tiled
                        ? TIFFWriteEncodedTile(tif,
                                               TIFFComputeTile(tif, std::uint32_t(left), std::uint32_t(top), 0, sample),
                                               piece.data(), tmsize_t(piece.size()))
                        : TIFFWriteEncodedStrip(
                              tif, TIFFComputeStrip(tif, std::uint32_t(top), sample), piece.data(),
                              tmsize_t(std::min(pieceHeight, form.height - top) -
                                       (top + pieceHeight >= form.height ? form.lastStripShortBy : 0)) *
                                  tmsize_t(rowBytes));
                EXPECT_GE(written, 0);
            }
        }
    }
    TIFFClose(tif);
    return testsupport::readFile(path);
}

std::size_t find(const ImageReadWrite::Bytes& bytes, std::string_view text, std::size_t from) {
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return all.find(text, from);
}

} // namespace imagetest
