#pragma once

// The platform image of this system is Qt's QImage: a bitmap with a device
// pixel ratio, so that its size in points is its pixel size divided by the
// ratio (a ratio of dpi / 72 gives a point size of pixels x 72 / dpi). These
// operations move images between the module's bitmaps (gfx::Image) and
// platform images and encode and load platform images through the module's
// own codecs, with their size limits and errors.

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageExportType.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace ImageReadWrite {

// A platform image with the text that names it to assistive technology (the
// declarative toolkit's labelled image): show `image` and give its widget
// `label` as accessible name.
struct LabelledImage {
    QImage image;
    QString label;
};

// A deep copy of the bitmap with device pixel ratio 1; both sides keep
// premultiplied native-endian ARGB32, so rows are copied as they are. An
// empty bitmap gives a null QImage.
QImage toQImage(const gfx::Image& image);

// The bitmap of a platform image (cgImage()): its pixels converted to
// premultiplied ARGB32, as the codecs read them. Null when the platform image
// is null or larger than a bitmap may be (gfx::Image::kMaxPixels); never
// throws for that.
gfx::ImagePtr cgImage(const QImage& image);

// The device pixel ratio of a scale, or of a DPI (dpi / 72). A scale or DPI
// that is not finite and above zero gives no point size and throws
// invalidDPI.
double devicePixelRatio(Scale scale);
double devicePixelRatio(DPI dpi);

// The bitmap wrapped as a platform image whose point size is the pixel size
// divided by the scale (platformImage(scale:)), or by dpi / 72
// (platformImage(dpi:)); a bad scale or DPI throws as devicePixelRatio.
QImage platformImage(const gfx::Image& image, Scale scale);
QImage platformImage(const gfx::Image& image, DPI dpi);
QImage platformImage(const ImageRepresentation& representation, Scale scale);
QImage platformImage(const ImageRepresentation& representation, DPI dpi);
// The bitmap at that scale with a label (swiftUIImage(scale:label:)).
LabelledImage swiftUIImage(const ImageRepresentation& representation, Scale scale, QString label);

// The platform image encoded in the format of `type` (imageData(for:)): its
// bitmap goes through the same encoders as ImageReadWrite::imageData, so both
// give the same bytes. A platform image without a bitmap throws
// cannotCreateCGImage; the encoders' errors pass on.
Bytes imageData(const QImage& image, const ImageExportType& type);
// One platform image and a convenience per format: the platform image's
// counterpart of ImageRepresentation, with the same operations and
// arguments. Each encodes through imageData(const QImage&, type) with the
// matching export type (the type-identifier form takes the bitmap the same
// way and encodes it with the extra properties), so it gives the bytes the
// bitmap side gives for the same pixels. The image's own device pixel ratio
// plays no part: the arguments decide the file's resolution. A platform image
// without a bitmap (a null one, say) throws cannotCreateCGImage; the
// encoders' errors pass on (invalidDPI for a DPI or scale that is not finite
// and above zero).
class PlatformImageRepresentation {
public:
    explicit PlatformImageRepresentation(QImage owner) : owner_(std::move(owner)) {}
    const QImage& owner() const { return owner_; }

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
    QImage owner_;
};

// The platform image as lossless TIFF at its own resolution (72 x its
// device pixel ratio dots per inch), the form a TIFF pasteboard entry takes.
Bytes tiffRepresentation(const QImage& image);

// A platform image decoded from PNG, JPEG, TIFF, GIF or HEIF bytes, or from
// the file at `path`, by the module's decoders (with their size limit). The
// files' resolution is not read: the image's point size is its pixel size.
// Throws unableToDecodeImage as ImageReadWrite::load and loadFile do.
QImage loadPlatformImage(std::span<const std::uint8_t> data);
QImage loadPlatformImageFile(const std::filesystem::path& path);

} // namespace ImageReadWrite
