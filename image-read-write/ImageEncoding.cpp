#include "image-read-write/ImageEncoding.h"

#include "image-read-write/Codecs.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/NumberText.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <cstring>

namespace ImageReadWrite {
namespace {

using detail::EncodeSettings;

[[noreturn]] void fail(ImageReadWriteError error, std::string text = {}) {
    throw ImageReadWriteException(error, std::move(text));
}

// Reads what the encoders need from the (possibly caller-amended) properties.
EncodeSettings encodeSettings(const ImageProperties& properties) {
    auto dpi = [&](const char* key) {
        const auto it = properties.find(key);
        if (it == properties.end() || !it->is_number()) fail(ImageReadWriteError::invalidDPI);
        const double value = it->get<double>();
        if (!std::isfinite(value) || value <= 0) fail(ImageReadWriteError::invalidDPI);
        return value;
    };
    EncodeSettings settings;
    settings.dpiX = dpi(ImageProperty::dpiWidth);
    settings.dpiY = dpi(ImageProperty::dpiHeight);
    const auto quality = properties.find(ImageProperty::lossyCompressionQuality);
    if (quality != properties.end() && quality->is_number()) {
        settings.quality = clampedQuality(quality->get<double>());
    }
    return settings;
}

Bytes encodeBitmap(const gfx::Image& image, std::string_view typeIdentifier, const ImageProperties& properties) {
    const EncodeSettings settings = encodeSettings(properties);
    if (typeIdentifier == ImageTypeIdentifier::png) return detail::encodePNG(image, settings);
    if (typeIdentifier == ImageTypeIdentifier::jpeg) return detail::encodeJPEG(image, settings);
    if (typeIdentifier == ImageTypeIdentifier::tiff) return detail::encodeTIFF(image, settings);
    if (typeIdentifier == ImageTypeIdentifier::heic) return detail::encodeHEIC(image, settings);
    if (typeIdentifier == ImageTypeIdentifier::gif) return detail::encodeGIF(image);
    fail(ImageReadWriteError::cannotCreateImageOfType, std::string(typeIdentifier));
}

// Base64 in lines of 64 characters, each ended by a line feed.
std::string base64Lines(const Bytes& bytes) {
    const std::string flat = foundation::base64Encode(bytes);
    std::string text;
    text.reserve(flat.size() + flat.size() / 64 + 1);
    for (std::size_t i = 0; i < flat.size(); i += 64) {
        text.append(flat, i, 64);
        text.push_back('\n');
    }
    return text;
}

cairo_status_t appendToBytes(void* closure, const unsigned char* data, unsigned int length) {
    try {
        static_cast<Bytes*>(closure)->insert(static_cast<Bytes*>(closure)->end(), data, data + length);
    } catch (...) {
        return CAIRO_STATUS_NO_MEMORY;
    }
    return CAIRO_STATUS_SUCCESS;
}

struct SurfaceHolder {
    cairo_surface_t* surface = nullptr;
    ~SurfaceHolder() {
        if (surface) cairo_surface_destroy(surface);
    }
};
struct ContextHolder {
    cairo_t* cr = nullptr;
    ~ContextHolder() {
        if (cr) cairo_destroy(cr);
    }
};

} // namespace

Bytes bitmapImageData(const gfx::Image& image, std::string_view typeIdentifier, double dpi,
                      std::optional<double> compression, bool excludeGPSData, const ImageProperties* otherProperties) {
    const ImageProperties properties =
        imageProperties(image.width(), image.height(), dpi, compression, excludeGPSData, otherProperties);
    return encodeBitmap(image, typeIdentifier, properties);
}

Bytes imageData(const gfx::Image& image, const ImageExportType& type, const ImageProperties* otherProperties) {
    using T = ImageExportType;
    const auto& value = type.value();
    switch (type.kind()) {
    case T::Kind::png: {
        const auto& v = std::get<T::PNG>(value);
        return bitmapImageData(image, ImageTypeIdentifier::png, v.scale * 72, std::nullopt, v.excludeGPSData,
                               otherProperties);
    }
    case T::Kind::jpg: {
        const auto& v = std::get<T::JPG>(value);
        return bitmapImageData(image, ImageTypeIdentifier::jpeg, v.scale * 72, v.compression, v.excludeGPSData,
                               otherProperties);
    }
    case T::Kind::tiff: {
        const auto& v = std::get<T::TIFF>(value);
        return bitmapImageData(image, ImageTypeIdentifier::tiff, v.scale * 72, v.compression, v.excludeGPSData,
                               otherProperties);
    }
    case T::Kind::heic: {
        const auto& v = std::get<T::HEIC>(value);
        return bitmapImageData(image, ImageTypeIdentifier::heic, v.scale * 72, v.compression, v.excludeGPSData,
                               otherProperties);
    }
    case T::Kind::pdf: return pdfData(image, std::get<T::PDF>(value).size);
    case T::Kind::svg: {
        const auto& v = std::get<T::SVG>(value);
        const std::string text = svgWrapper(image, v.size, v.fillStyle, *v.embeddedImageFormat);
        return Bytes(text.begin(), text.end());
    }
    case T::Kind::gif:
        return encodeBitmap(image, ImageTypeIdentifier::gif,
                            gifImageProperties(image.width(), image.height(), otherProperties));
    }
    fail(ImageReadWriteError::internalError);
}

Bytes pdfData(const gfx::Image& image, std::optional<ImageExportType::Size> pageSize) {
    const double width = pageSize ? pageSize->width : double(image.width());
    const double height = pageSize ? pageSize->height : double(image.height());
    if (!(std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0) || image.empty()) {
        fail(ImageReadWriteError::cannotCreatePDFContext);
    }
    Bytes out;
    SurfaceHolder pdf;
    pdf.surface = cairo_pdf_surface_create_for_stream(appendToBytes, &out, width, height);
    if (cairo_surface_status(pdf.surface) != CAIRO_STATUS_SUCCESS) fail(ImageReadWriteError::cannotCreatePDFContext);
    // No creation date: the same image gives the same bytes.
    cairo_pdf_surface_set_metadata(pdf.surface, CAIRO_PDF_METADATA_CREATE_DATE, "");

    // Cairo only reads from a source surface; the image stays unchanged.
    SurfaceHolder bitmap;
    bitmap.surface = cairo_image_surface_create_for_data(const_cast<std::uint8_t*>(image.data()), CAIRO_FORMAT_ARGB32,
                                                         image.width(), image.height(), image.stride());
    if (cairo_surface_status(bitmap.surface) != CAIRO_STATUS_SUCCESS) {
        fail(ImageReadWriteError::cannotCreatePDFContext);
    }
    ContextHolder context;
    context.cr = cairo_create(pdf.surface);
    if (cairo_status(context.cr) != CAIRO_STATUS_SUCCESS) fail(ImageReadWriteError::cannotCreatePDFContext);
    cairo_scale(context.cr, width / image.width(), height / image.height());
    cairo_set_source_surface(context.cr, bitmap.surface, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(context.cr), CAIRO_EXTEND_PAD);
    cairo_paint(context.cr);
    cairo_show_page(context.cr);
    const cairo_status_t drawStatus = cairo_status(context.cr);
    cairo_surface_finish(pdf.surface);
    if (drawStatus != CAIRO_STATUS_SUCCESS || cairo_surface_status(pdf.surface) != CAIRO_STATUS_SUCCESS ||
        out.empty()) {
        fail(ImageReadWriteError::cannotCreatePDFContext);
    }
    return out;
}

std::string svgWrapper(const gfx::Image& image, std::optional<ImageExportType::Size> size, SVGImageFillStyle fillStyle,
                       const ImageExportType& embeddedImageFormat) {
    const std::string mimeType = embeddedImageFormat.mimeType();
    if (mimeType != "image/jpeg" && mimeType != "image/png" && mimeType != "image/gif" && mimeType != "image/tiff") {
        fail(ImageReadWriteError::unsupportedEmbeddedImageType, mimeType);
    }
    const double w = size ? size->width : double(image.width());
    const double h = size ? size->height : double(image.height());
    // Non-finite numbers have no SVG spelling.
    if (!std::isfinite(w) || !std::isfinite(h)) fail(ImageReadWriteError::internalError);

    std::string text;
    text += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" ";
    text += " width=\"" + foundation::svgNumberText(w) + "\" height=\"" + foundation::svgNumberText(h) + "\" ";
    text += " viewBox=\"0 0 " + foundation::svgNumberText(w) + " " + foundation::svgNumberText(h) + "\" ";
    text += " >\n";

    const Bytes embedded = imageData(image, embeddedImageFormat);

    text += "<image width=\"" + foundation::shortestNumberText(w) + "\" height=\"" + foundation::shortestNumberText(h) +
            "\" ";
    text += " xlink:href=\"data:" + mimeType + ";base64," + base64Lines(embedded);
    text += "\" x=\"0\" y=\"0\" ";
    switch (fillStyle) {
    case SVGImageFillStyle::aspectFill: text += " preserveAspectRatio=\"xMidYMid slice\" "; break;
    case SVGImageFillStyle::aspectFit: text += " "; break;
    case SVGImageFillStyle::scale: text += "preserveAspectRatio=\"none\" "; break;
    }
    text += " />\n";
    text += "</svg>";
    return text;
}

ImageRepresentation::ImageRepresentation(gfx::ImagePtr owner) : owner_(std::move(owner)) {
    if (!owner_) throw std::invalid_argument("ImageRepresentation needs an image");
}

Bytes ImageRepresentation::png(DPI dpi, bool excludeGPSData) const {
    return ImageReadWrite::imageData(*owner_, ImageExportType::png(dpi.value / 72, excludeGPSData));
}
Bytes ImageRepresentation::png(Scale scale, bool excludeGPSData) const {
    return ImageReadWrite::imageData(*owner_, ImageExportType::png(scale.value, excludeGPSData));
}
Bytes ImageRepresentation::jpeg(DPI dpi, std::optional<double> compression, bool excludeGPSData) const {
    return bitmapImageData(*owner_, ImageTypeIdentifier::jpeg, dpi.value / 72 * 72, compression, excludeGPSData);
}
Bytes ImageRepresentation::jpeg(Scale scale, std::optional<double> compression, bool excludeGPSData) const {
    return bitmapImageData(*owner_, ImageTypeIdentifier::jpeg, scale.value * 72, compression, excludeGPSData);
}
Bytes ImageRepresentation::tiff(DPI dpi, std::optional<double> compression, bool excludeGPSData) const {
    return bitmapImageData(*owner_, ImageTypeIdentifier::tiff, dpi.value / 72 * 72, compression, excludeGPSData);
}
Bytes ImageRepresentation::tiff(Scale scale, std::optional<double> compression, bool excludeGPSData) const {
    return bitmapImageData(*owner_, ImageTypeIdentifier::tiff, scale.value * 72, compression, excludeGPSData);
}
Bytes ImageRepresentation::heic(DPI dpi, std::optional<double> compression, bool excludeGPSData) const {
    return bitmapImageData(*owner_, ImageTypeIdentifier::heic, dpi.value / 72 * 72, compression, excludeGPSData);
}
Bytes ImageRepresentation::heic(Scale scale, std::optional<double> compression, bool excludeGPSData) const {
    return bitmapImageData(*owner_, ImageTypeIdentifier::heic, scale.value * 72, compression, excludeGPSData);
}
Bytes ImageRepresentation::gif() const { return ImageReadWrite::imageData(*owner_, ImageExportType::gif()); }
Bytes ImageRepresentation::pdf(ImageExportType::Size size) const {
    return ImageReadWrite::imageData(*owner_, ImageExportType::pdf(size));
}
std::string ImageRepresentation::svg(std::optional<ImageExportType::Size> size, SVGImageFillStyle fillStyle,
                                     const ImageExportType& embeddedImageFormat) const {
    return svgWrapper(*owner_, size, fillStyle, embeddedImageFormat);
}
Bytes ImageRepresentation::imageData(std::string_view uniformTypeIdentifier, double scale,
                                     std::optional<double> compression, bool excludeGPSData,
                                     const ImageProperties* otherProperties) const {
    return bitmapImageData(*owner_, uniformTypeIdentifier, scale * 72, compression, excludeGPSData, otherProperties);
}

} // namespace ImageReadWrite
