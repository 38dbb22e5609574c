#pragma once

#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace ImageReadWrite {

// Decodes PNG, JPEG, TIFF, GIF (first frame) or HEIF/HEIC bytes; the format
// is told by the first bytes. Throws unableToDecodeImage for anything else,
// for malformed data and for images above gfx::Image::kMaxPixels.
gfx::ImagePtr load(std::span<const std::uint8_t> data);

// Decodes the file at `path`. Throws unableToDecodeImage when the file
// cannot be read or holds no readable image.
gfx::ImagePtr loadFile(const std::filesystem::path& path);

// The application's image called `name`: a file of that name, with or
// without one of the extensions png, jpg, jpeg, tiff, tif, gif, heic, in one
// of namedImageDirectories(). Throws cannotLoadImageNamed(name).
gfx::ImagePtr loadNamed(std::string_view name);

// Where named images are looked up, in order: the folders listed in
// TESSIVO_IMAGE_PATH (separated by ':'), then <executable folder>/images and
// <executable folder>/../share/tessivo/images.
std::vector<std::filesystem::path> namedImageDirectories();

} // namespace ImageReadWrite
