#pragma once

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace imagetest {

// Smooth colour gradients; with `transparency` the left quarter is fully
// transparent and the bottom rows half transparent.
gfx::ImagePtr gradientImage(int width, int height, bool transparency);
// A few flat colours in blocks (exactly representable in a small palette).
gfx::ImagePtr blockImage(int width, int height);

struct Difference {
    double mean = 0;
    int max = 0;
};
// Straight-RGBA difference between an image and straight RGBA bytes; the
// colour of fully transparent pixels is not compared.
Difference compare(const gfx::Image& image, const std::vector<std::uint8_t>& rgba);
Difference compare(const gfx::Image& a, const gfx::Image& b);

// What an independent reader found in a file.
struct ExternalRead {
    nlohmann::json info;
    std::vector<std::uint8_t> rgba;
};
// Reads with PIL (python3); for HEIC, with ImageMagick.
ExternalRead readWithPIL(const std::filesystem::path& file);
ExternalRead readWithImageMagick(const std::filesystem::path& file, int width, int height);

// {"dpiX", "dpiY", "unit"} of the Exif block in a HEIC file, read by PIL.
nlohmann::json readHEICExifResolution(const std::filesystem::path& file);

bool heicEncodingAvailable();

// A TIFF as libtiff writes it, of one picture whose samples are given pixel
// by pixel in stored order (rows top-down as stored, each pixel's samples
// together), each within `bits` bits (1 to 16). Strips of `rowsPerStrip`
// rows (0: one strip), or tiles when tileWidth is set; planes separate or
// not; the picture's own fields as given. The last strip of each plane may
// leave out its last rows, as a codec whose data can end early would.
struct TIFFForm {
    int width = 0, height = 0, bits = 8, samples = 1;
    std::uint16_t photometric = 1; // min-is-black
    std::vector<std::uint16_t> extraSamples{};
    std::uint16_t compression = 1; // none
    std::uint16_t orientation = 1;
    bool separatePlanes = false;
    int rowsPerStrip = 0, tileWidth = 0, tileHeight = 0;
    bool bigTIFF = false, bigEndian = false;
    int lastStripShortBy = 0;               // rows
    std::vector<std::uint16_t> colourMap{}; // red, green, blue; 2^bits entries each
};
ImageReadWrite::Bytes writtenTIFF(const std::filesystem::path& folder, const TIFFForm& form,
                                  const std::vector<std::uint16_t>& samples);

// Where `text` first occurs in `bytes` at or after `from`, or npos.
std::size_t find(const ImageReadWrite::Bytes& bytes, std::string_view text, std::size_t from = 0);

// The error code and text `f` throws; fails the test when it throws none.
struct Thrown {
    ImageReadWriteError code = ImageReadWriteError::internalError;
    std::string text;
};
template <typename F> Thrown thrown(F&& f) {
    try {
        f();
    } catch (const ImageReadWriteException& e) {
        return {e.code(), e.text()};
    }
    ADD_FAILURE() << "no error thrown";
    return {};
}

} // namespace imagetest
