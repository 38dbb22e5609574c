#pragma once

#include "platform/gfx/Geometry.h"

#include <memory>
#include <optional>
#include <variant>

// How the embedded bitmap fills an SVG wrapper.
enum class SVGImageFillStyle { aspectFill, aspectFit, scale };

// Type identifiers of the formats, as used in encoder errors and by callers
// that name a format as text.
namespace ImageTypeIdentifier {
inline constexpr const char* png = "public.png";
inline constexpr const char* jpeg = "public.jpeg";
inline constexpr const char* tiff = "public.tiff";
inline constexpr const char* heic = "public.heic";
inline constexpr const char* gif = "com.compuserve.gif";
inline constexpr const char* pdf = "com.adobe.pdf";
inline constexpr const char* svg = "public.svg-image";
} // namespace ImageTypeIdentifier

// An image format the module can write, with its options.
//
// `scale` is a multiple of 72 dots per inch (the DPI written into the file is
// scale x 72). `compression` is the lossy quality, clamped to 0...1 when the
// file is written; absent lets the encoder choose. `excludeGPSData` asks that
// no location metadata be written (the encoders never write any).
class ImageExportType {
public:
    using Size = gfx::Size; // points (PDF page) or SVG user units

    struct PNG {
        double scale = 1;
        bool excludeGPSData = false;
    };
    struct JPG {
        double scale = 1;
        std::optional<double> compression;
        bool excludeGPSData = false;
    };
    struct TIFF {
        double scale = 1;
        std::optional<double> compression;
        bool excludeGPSData = false;
    };
    struct PDF {
        Size size;
    };
    struct HEIC {
        double scale = 1;
        std::optional<double> compression;
        bool excludeGPSData = false;
    };
    struct SVG {
        std::optional<Size> size;
        SVGImageFillStyle fillStyle = SVGImageFillStyle::aspectFit;
        std::shared_ptr<const ImageExportType> embeddedImageFormat; // never null
    };
    struct GIF {};

    // In declaration order of the cases.
    enum class Kind { png, jpg, tiff, pdf, heic, svg, gif };
    using Value = std::variant<PNG, JPG, TIFF, PDF, HEIC, SVG, GIF>;

    static ImageExportType png(double scale = 1, bool excludeGPSData = false);
    static ImageExportType jpg(double scale = 1, std::optional<double> compression = std::nullopt,
                               bool excludeGPSData = false);
    static ImageExportType tiff(double scale = 1, std::optional<double> compression = std::nullopt,
                                bool excludeGPSData = false);
    static ImageExportType pdf(Size size);
    static ImageExportType heic(double scale = 1, std::optional<double> compression = std::nullopt,
                                bool excludeGPSData = false);
    static ImageExportType svg(std::optional<Size> size, SVGImageFillStyle fillStyle,
                               const ImageExportType& embeddedImageFormat);
    static ImageExportType gif();

    explicit ImageExportType(Value value);

    Kind kind() const { return Kind(value_.index()); }
    const Value& value() const { return value_; }

    // "image/png", "image/jpeg", "image/tiff", "application/pdf", "image/heic",
    // "image/svg+xml", "image/gif".
    const char* mimeType() const;
    // "png", "jpg", "tiff", "pdf", "heic", "svg", "gif".
    const char* fileExtension() const;
    // One of the ImageTypeIdentifier constants.
    const char* typeIdentifier() const;

private:
    Value value_;
};
