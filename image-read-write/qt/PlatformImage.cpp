#include "image-read-write/qt/PlatformImage.h"

#include "image-read-write/ImageLoading.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

namespace ImageReadWrite {
namespace {

gfx::ImagePtr requireBitmap(const QImage& image) {
    gfx::ImagePtr bitmap = cgImage(image);
    if (!bitmap) throw ImageReadWriteException(ImageReadWriteError::cannotCreateCGImage);
    return bitmap;
}

QImage withRatio(const gfx::Image& image, double ratio) {
    QImage result = toQImage(image);
    result.setDevicePixelRatio(ratio);
    return result;
}

} // namespace

double devicePixelRatio(Scale scale) {
    if (!std::isfinite(scale.value) || !(scale.value > 0)) {
        throw ImageReadWriteException(ImageReadWriteError::invalidDPI);
    }
    return scale.value;
}

// An infinite, NaN or non-positive DPI stays one after the division, and a
// DPI so small that the division gives zero is refused as well.
double devicePixelRatio(DPI dpi) { return devicePixelRatio(Scale{dpi.value / 72}); }

QImage toQImage(const gfx::Image& image) {
    if (image.empty()) return {};
    QImage result(image.width(), image.height(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) return {};
    const auto rowBytes = std::size_t(image.stride());
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(result.scanLine(y), image.row(y), rowBytes);
    }
    return result;
}

gfx::ImagePtr cgImage(const QImage& image) {
    if (image.isNull()) return nullptr;
    if (std::int64_t(image.width()) * image.height() > gfx::Image::kMaxPixels) return nullptr;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (argb.isNull()) return nullptr;
    auto bitmap = std::make_shared<gfx::Image>(argb.width(), argb.height());
    const auto rowBytes = std::size_t(bitmap->stride());
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(bitmap->row(y), argb.constScanLine(y), rowBytes);
    }
    return bitmap;
}

QImage platformImage(const gfx::Image& image, Scale scale) { return withRatio(image, devicePixelRatio(scale)); }

QImage platformImage(const gfx::Image& image, DPI dpi) { return withRatio(image, devicePixelRatio(dpi)); }

QImage platformImage(const ImageRepresentation& representation, Scale scale) {
    return platformImage(*representation.owner(), scale);
}

QImage platformImage(const ImageRepresentation& representation, DPI dpi) {
    return platformImage(*representation.owner(), dpi);
}

LabelledImage swiftUIImage(const ImageRepresentation& representation, Scale scale, QString label) {
    return {platformImage(representation, scale), std::move(label)};
}

Bytes imageData(const QImage& image, const ImageExportType& type) { return imageData(*requireBitmap(image), type); }

Bytes PlatformImageRepresentation::png(DPI dpi, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::png(dpi.value / 72, excludeGPSData));
}
Bytes PlatformImageRepresentation::png(Scale scale, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::png(scale.value, excludeGPSData));
}
Bytes PlatformImageRepresentation::jpeg(DPI dpi, std::optional<double> compression, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::jpg(dpi.value / 72, compression, excludeGPSData));
}
Bytes PlatformImageRepresentation::jpeg(Scale scale, std::optional<double> compression, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::jpg(scale.value, compression, excludeGPSData));
}
Bytes PlatformImageRepresentation::tiff(DPI dpi, std::optional<double> compression, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::tiff(dpi.value / 72, compression, excludeGPSData));
}
Bytes PlatformImageRepresentation::tiff(Scale scale, std::optional<double> compression, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::tiff(scale.value, compression, excludeGPSData));
}
Bytes PlatformImageRepresentation::heic(DPI dpi, std::optional<double> compression, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::heic(dpi.value / 72, compression, excludeGPSData));
}
Bytes PlatformImageRepresentation::heic(Scale scale, std::optional<double> compression, bool excludeGPSData) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::heic(scale.value, compression, excludeGPSData));
}
Bytes PlatformImageRepresentation::gif() const { return ImageReadWrite::imageData(owner_, ImageExportType::gif()); }
Bytes PlatformImageRepresentation::pdf(ImageExportType::Size size) const {
    return ImageReadWrite::imageData(owner_, ImageExportType::pdf(size));
}
std::string PlatformImageRepresentation::svg(std::optional<ImageExportType::Size> size, SVGImageFillStyle fillStyle,
                                             const ImageExportType& embeddedImageFormat) const {
    const Bytes text = ImageReadWrite::imageData(owner_, ImageExportType::svg(size, fillStyle, embeddedImageFormat));
    return std::string(text.begin(), text.end());
}
Bytes PlatformImageRepresentation::imageData(std::string_view uniformTypeIdentifier, double scale,
                                             std::optional<double> compression, bool excludeGPSData,
                                             const ImageProperties* otherProperties) const {
    return bitmapImageData(*requireBitmap(owner_), uniformTypeIdentifier, scale * 72, compression, excludeGPSData,
                           otherProperties);
}

Bytes tiffRepresentation(const QImage& image) {
    return bitmapImageData(*requireBitmap(image), ImageTypeIdentifier::tiff, 72 * image.devicePixelRatio(), std::nullopt, false);
}

QImage loadPlatformImage(std::span<const std::uint8_t> data) { return toQImage(*load(data)); }

QImage loadPlatformImageFile(const std::filesystem::path& path) { return toQImage(*loadFile(path)); }

} // namespace ImageReadWrite
