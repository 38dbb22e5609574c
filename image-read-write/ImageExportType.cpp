#include "image-read-write/ImageExportType.h"

#include <stdexcept>

ImageExportType::ImageExportType(Value value) : value_(std::move(value)) {
    if (auto* svg = std::get_if<SVG>(&value_); svg && !svg->embeddedImageFormat) {
        throw std::invalid_argument("an SVG export type needs an embedded image format");
    }
}

ImageExportType ImageExportType::png(double scale, bool excludeGPSData) {
    return ImageExportType(PNG{scale, excludeGPSData});
}
ImageExportType ImageExportType::jpg(double scale, std::optional<double> compression, bool excludeGPSData) {
    return ImageExportType(JPG{scale, compression, excludeGPSData});
}
ImageExportType ImageExportType::tiff(double scale, std::optional<double> compression, bool excludeGPSData) {
    return ImageExportType(TIFF{scale, compression, excludeGPSData});
}
ImageExportType ImageExportType::pdf(Size size) { return ImageExportType(PDF{size}); }
ImageExportType ImageExportType::heic(double scale, std::optional<double> compression, bool excludeGPSData) {
    return ImageExportType(HEIC{scale, compression, excludeGPSData});
}
ImageExportType ImageExportType::svg(std::optional<Size> size, SVGImageFillStyle fillStyle,
                                     const ImageExportType& embeddedImageFormat) {
    return ImageExportType(SVG{size, fillStyle, std::make_shared<const ImageExportType>(embeddedImageFormat)});
}
ImageExportType ImageExportType::gif() { return ImageExportType(GIF{}); }

const char* ImageExportType::mimeType() const {
    switch (kind()) {
    case Kind::png: return "image/png";
    case Kind::jpg: return "image/jpeg";
    case Kind::tiff: return "image/tiff";
    case Kind::pdf: return "application/pdf";
    case Kind::heic: return "image/heic";
    case Kind::svg: return "image/svg+xml";
    case Kind::gif: return "image/gif";
    }
    return "";
}

const char* ImageExportType::fileExtension() const {
    switch (kind()) {
    case Kind::png: return "png";
    case Kind::jpg: return "jpg";
    case Kind::tiff: return "tiff";
    case Kind::pdf: return "pdf";
    case Kind::heic: return "heic";
    case Kind::svg: return "svg";
    case Kind::gif: return "gif";
    }
    return "";
}

const char* ImageExportType::typeIdentifier() const {
    switch (kind()) {
    case Kind::png: return ImageTypeIdentifier::png;
    case Kind::jpg: return ImageTypeIdentifier::jpeg;
    case Kind::tiff: return ImageTypeIdentifier::tiff;
    case Kind::pdf: return ImageTypeIdentifier::pdf;
    case Kind::heic: return ImageTypeIdentifier::heic;
    case Kind::svg: return ImageTypeIdentifier::svg;
    case Kind::gif: return ImageTypeIdentifier::gif;
    }
    return "";
}
