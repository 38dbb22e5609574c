#pragma once

#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace ImageReadWrite {

// The largest image a document carries (a logo, an image fill): 4096 x 4096
// pixels, four times the sides of the largest code a screen shows, 64 MB
// decoded. Each side is held to 4096, not only the pixel count.
inline constexpr std::int64_t kMaxEmbeddedImageSide = 4096;
inline constexpr std::int64_t kMaxEmbeddedImagePixels = kMaxEmbeddedImageSide * kMaxEmbeddedImageSide;

// Decodes PNG, JPEG, TIFF, GIF (first frame) or HEIF/HEIC bytes; the format
// is told by the first bytes. Throws unableToDecodeImage for anything else,
// for malformed data and for images outside the square of maxPixels pixels
// (at most gfx::Image::kMaxPixels, 16384 x 16384): a side longer than the
// square's is refused even when the pixel count is below maxPixels. The size is checked from the header, before any
// pixel memory is taken; a PNG whose data is too short for the size it
// claims is refused the same way.
gfx::ImagePtr load(std::span<const std::uint8_t> data, std::int64_t maxPixels = gfx::Image::kMaxPixels);

// Decodes the file at `path`. Throws unableToDecodeImage when the file
// cannot be read or holds no readable image (above maxPixels, too).
gfx::ImagePtr loadFile(const std::filesystem::path& path, std::int64_t maxPixels = gfx::Image::kMaxPixels);

// The application's image called `name`: a file of that name, with or
// without one of the extensions png, jpg, jpeg, tiff, tif, gif, heic, in one
// of namedImageDirectories(). Throws cannotLoadImageNamed(name).
gfx::ImagePtr loadNamed(std::string_view name);

// Where named images are looked up, in order: the folders listed in
// TESSIVO_IMAGE_PATH (separated by ':'), then <executable folder>/images and
// <executable folder>/../share/tessivo/images.
std::vector<std::filesystem::path> namedImageDirectories();

} // namespace ImageReadWrite
