#pragma once

#include "image-read-write/ImageExportType.h"
#include "image-read-write/ImageProperties.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ImageReadWrite {

using Bytes = std::vector<std::uint8_t>;

// Encodes the image in the format of `type`. `otherProperties` (a JSON
// object) are added to the encoder's properties, replacing computed entries
// of the same name. Throws ImageReadWriteException.
Bytes imageData(const gfx::Image& image, const ImageExportType& type, const ImageProperties* otherProperties = nullptr);

// Encodes a bitmap format named by its type identifier (ImageTypeIdentifier:
// png, jpeg, tiff, heic, gif) at `dpi`. Throws invalidDPI for a DPI that is
// not finite and above zero, cannotCreateImageOfType(identifier) for an
// unknown identifier or a failed encoding.
Bytes bitmapImageData(const gfx::Image& image, std::string_view typeIdentifier, double dpi,
                      std::optional<double> compression, bool excludeGPSData,
                      const ImageProperties* otherProperties = nullptr);

// A one-page PDF (size in points, the image stretched over the page).
Bytes pdfData(const gfx::Image& image, std::optional<ImageExportType::Size> pageSize);

// The SVG text that wraps the image, base64-encoded in `embeddedImageFormat`.
std::string svgWrapper(const gfx::Image& image, std::optional<ImageExportType::Size> size, SVGImageFillStyle fillStyle,
                       const ImageExportType& embeddedImageFormat);

// Argument tags for the conveniences below: a resolution in dots per inch,
// or a multiple of 72 dots per inch.
struct DPI {
    double value;
};
struct Scale {
    double value;
};

// One image and a convenience per format.
class ImageRepresentation {
public:
    explicit ImageRepresentation(gfx::ImagePtr owner);
    const gfx::ImagePtr& owner() const { return owner_; }

    Bytes png(DPI dpi, bool excludeGPSData = false) const;
    Bytes png(Scale scale, bool excludeGPSData = false) const;
    Bytes jpeg(DPI dpi, std::optional<double> compression = std::nullopt, bool excludeGPSData = false) const;
    Bytes jpeg(Scale scale, std::optional<double> compression = std::nullopt, bool excludeGPSData = false) const;
    Bytes tiff(DPI dpi, std::optional<double> compression = std::nullopt, bool excludeGPSData = false) const;
    Bytes tiff(Scale scale, std::optional<double> compression = std::nullopt, bool excludeGPSData = false) const;
    Bytes heic(DPI dpi, std::optional<double> compression = std::nullopt, bool excludeGPSData = false) const;
    Bytes heic(Scale scale, std::optional<double> compression = std::nullopt, bool excludeGPSData = false) const;
    Bytes gif() const;
    Bytes pdf(ImageExportType::Size size) const;
    std::string svg(std::optional<ImageExportType::Size> size, SVGImageFillStyle fillStyle,
                    const ImageExportType& embeddedImageFormat) const;
    Bytes imageData(std::string_view uniformTypeIdentifier, double scale, std::optional<double> compression,
                    bool excludeGPSData, const ImageProperties* otherProperties = nullptr) const;

private:
    gfx::ImagePtr owner_;
};

} // namespace ImageReadWrite
