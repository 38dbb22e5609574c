#include "QRCode/core/Colors.h"
#include "QRCode/core/detail/SVGText.h"
#include "QRCode/design/Design.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/render/detail/PathComposition.h"
#include "QRCode/QRCode.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/ImageEncoding.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace QRCode {

namespace {

using svg::appendNumber;
using svg::appendPathData;

struct SVGWriter {
    std::string text;
    std::vector<std::string> definitions;

    void element(std::string_view prefix, const FillStyle::SVGDefinition& fill, const gfx::Path& path,
                 bool keepsDefinition) {
        text += prefix;
        text += fill.styleAttribute();
        text += " d=\"";
        appendPathData(text, path);
        text += "\" />\n";
        if (keepsDefinition && fill.styleDefinition()) definitions.push_back(*fill.styleDefinition());
    }
};

} // namespace

std::string QRCode::svg(std::int64_t dimension, const Design& design, const LogoTemplate* logoTemplate) const {
    const Shape& shape = *design.shape();
    const Style& style = *design.style();
    const double d = static_cast<double>(dimension);
    const double n = static_cast<double>(current_.dimension());
    const double z = static_cast<double>(design.additionalQuietZonePixels());
    const double m = d / (2 * z + n);
    const double q = z * m;
    const gfx::Size inner{d - 2 * q, d - 2 * q};
    const double p = inner.width / n;
    const Shadow* shadow = style.shadow() ? &*style.shadow() : nullptr;
    const bool mirror = shape.mirrorEyePathsAroundQRCodeCenter();
    const bool extend = shape.extendOffPixelsIntoEmptyQRCodeComponents();

    auto path = [&](Components components, const Shape& s, const LogoTemplate* logo, bool ext, bool mir) {
        return rendering::composePath(current_, inner, components, s, logo, q, ext, mir);
    };

    const Shape squareShape;
    SVGWriter w;
    const std::string dText = std::to_string(dimension);
    w.text.reserve(static_cast<std::size_t>(n * n * 12) + 1024);
    w.text += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
              "version=\"1.1\" height=\"";
    w.text += dText;
    w.text += "\" width=\"";
    w.text += dText;
    w.text += "\">\n";

    if (style.background()) {
        const auto fill = style.background()->svgRepresentation("background", p, nullptr);
        w.text += "   <rect id='background-shape' ";
        w.text += fill.styleAttribute();
        w.text += " x=\"0\" y=\"0\" width=\"" + dText + "\" height=\"" + dText + "\"";
        const double r = style.backgroundFractionalCornerRadius();
        if (r > 0) {
            // Held to half the side (the widest corner a rectangle has), which
            // also keeps the whole number in range.
            const double radius = std::min(m * r, d / 2);
            const auto k = std::isfinite(radius) ? static_cast<std::int64_t>(radius) : std::int64_t(0);
            w.text += " rx=\"" + std::to_string(k) + "px\" ry=\"" + std::to_string(k) + "px\"";
        }
        w.text += " />\n";
        if (fill.styleDefinition()) w.definitions.push_back(*fill.styleDefinition());
    }

    if (!shape.negatedOnPixelsOnly()) {
        if (style.eyeBackground()) {
            const gfx::Path eb = path(Components::eyeBackground(), shape, nullptr, false, mirror);
            w.text += "   <path id='eye-background-shape' fill=\"";
            w.text += CGColorHexRGBString(*style.eyeBackground());
            w.text += "\" fill-opacity=\"";
            appendNumber(w.text, style.eyeBackground()->alpha());
            w.text += "\" d=\"";
            appendPathData(w.text, eb);
            w.text += "\" />\n";
        }
        // Eyes before pupils, in the order the bitmap and PDF paint them: the
        // later element lies on top, so with a shadow the eye's shadow falls
        // under the pupil rather than across it.
        if (const auto& eyeStyle = style.actualEyeStyle()) {
            w.element("   <path id='eye-shape' ", eyeStyle->svgRepresentation("eye-outer-fill", p, shadow),
                      path(Components::eyeOuter(), shape, nullptr, false, mirror), true);
        }
        if (const auto& pupilStyle = style.actualPupilStyle()) {
            w.element("   <path id='pupil-shape' ", pupilStyle->svgRepresentation("pupil-fill", p, shadow),
                      path(Components::eyePupil(), shape, nullptr, false, mirror), true);
        }
        if (style.offPixelsBackground()) {
            const auto solid = FillStyle::Solid::make(*style.offPixelsBackground());
            w.element("   <path id='off-pixels-background-shape' ",
                      solid->svgRepresentation("off-pixels-background-color", p, nullptr),
                      path(Components::offPixelsBackground(), shape, logoTemplate, extend, true), false);
        }
        if (shape.offPixels() && style.offPixels()) {
            w.element("   <path id='off-pixels-shape' ", style.offPixels()->svgRepresentation("off-pixels", p, nullptr),
                      path(Components::offPixels(), shape, logoTemplate, extend, true), true);
        }
        if (style.onPixelsBackground()) {
            const auto solid = FillStyle::Solid::make(*style.onPixelsBackground());
            w.element("   <path id='on-pixels-background-shape' ",
                      solid->svgRepresentation("on-pixels-background-color", p, nullptr),
                      path(Components::onPixelsBackground(), shape, logoTemplate, false, true), false);
        }
        if (style.onPixels()) {
            w.element("   <path id='on-pixels-shape' ", style.onPixels()->svgRepresentation("on-pixels", p, shadow),
                      path(Components::onPixels(), shape, logoTemplate, false, true), true);
        }
    } else {
        if (style.onPixelsBackground()) {
            const auto solid = FillStyle::Solid::make(*style.onPixelsBackground());
            w.element("   <path id='on-pixels-background-shape' ",
                      solid->svgRepresentation("on-pixels-background-color", p, nullptr),
                      path(Components::negatedOnPixels(), squareShape, logoTemplate, false, true), false);
        }
        if (style.onPixels()) {
            w.element("   <path id='on-pixels-shape' ", style.onPixels()->svgRepresentation("on-pixels", p, shadow),
                      path(Components::negatedOnPixels(), shape, logoTemplate, false, true), true);
        }
    }

    if (logoTemplate != nullptr && logoTemplate->image()) {
        std::optional<ImageReadWrite::Bytes> png;
        try {
            png = ImageReadWrite::imageData(*logoTemplate->image(), ImageExportType::png(1, false));
        } catch (const std::exception&) {
            // A logo that cannot be encoded is left out.
        }
        const double s = std::min(inner.width, inner.height);
        const gfx::Path scaled = logoTemplate->path().transformed(gfx::AffineTransform::scale(s, s));
        const gfx::Rect R =
            scaled.pathBoundingBox().insetBy(logoTemplate->inset(), logoTemplate->inset()).offsetBy(q, q);
        const bool placeable = !R.isNull() && std::isfinite(R.origin.x) && std::isfinite(R.origin.y) &&
                               std::isfinite(R.size.width) && std::isfinite(R.size.height);
        if (png && placeable) {
            // The clip lies in the document's space, like the image it clips.
            std::string clip = "   <clipPath id=\"logo-mask\">\n      <path d=\"";
            appendPathData(clip, scaled.transformed(gfx::AffineTransform::translation(q, q)));
            clip += "\" />\n   </clipPath>\n";
            w.definitions.push_back(std::move(clip));

            w.text += " <image x=\"";
            appendNumber(w.text, R.minX());
            w.text += "\" y=\"";
            appendNumber(w.text, R.minY());
            w.text += "\" width=\"";
            appendNumber(w.text, R.width());
            w.text += "\" height=\"";
            appendNumber(w.text, R.height());
            w.text +=
                "\" clip-path=\"url(#logo-mask)\"  preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,";
            w.text += foundation::base64Encode(*png, foundation::Base64Lines::lines64LF);
            w.text += "\" />";
        }
    }

    if (!w.definitions.empty()) {
        w.text += "<defs>\n";
        for (const auto& def : w.definitions) w.text += def;
        w.text += "</defs>\n";
    }
    w.text += "</svg>\n";
    return std::move(w.text);
}

std::vector<std::uint8_t> QRCode::svgData(std::int64_t dimension, const Design& design,
                                          const LogoTemplate* logoTemplate) const {
    const std::string text = svg(dimension, design, logoTemplate);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

} // namespace QRCode
