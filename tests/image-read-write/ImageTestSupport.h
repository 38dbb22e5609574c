#pragma once

#include "image-read-write/ImageEncoding.h"
#include "platform/gfx/Image.h"

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

} // namespace imagetest
