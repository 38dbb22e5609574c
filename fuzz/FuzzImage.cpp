// Image bytes as a logo or an image fill brings them: decoded under the cap
// for embedded images, then written back as PNG.
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto image =
            ImageReadWrite::load(std::span<const std::uint8_t>(data, size), ImageReadWrite::kMaxEmbeddedImagePixels);
        if (image->width() * std::int64_t(image->height()) <= 256 * 256)
            (void)ImageReadWrite::imageData(*image, ImageExportType::png());
    } catch (const ImageReadWriteException&) {
    }
    return 0;
}
