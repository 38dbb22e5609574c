#include "QRCode/fills/ImageFill.h"

#include "QRCode/fills/detail/FillShadows.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/core/detail/SVGText.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"
#include "platform/foundation/Base64.h"

namespace QRCode::FillStyle {

std::shared_ptr<QRCodeFillStyleGenerator> Image::copyStyle() const {
    return std::make_shared<Image>(image_ ? std::make_shared<const gfx::Image>(*image_) : nullptr);
}

foundation::SettingsDict Image::settings() const {
    if (!image_) throw QRCodeException(QRCodeError::cannotGenerateImageBase64);
    const ImageReadWrite::Bytes png = ImageReadWrite::ImageRepresentation(image_).png(ImageReadWrite::Scale{1});
    foundation::SettingsDict dict = foundation::SettingsDict::object();
    dict["imagePNGbase64"] = foundation::base64Encode(png, foundation::Base64Lines::single);
    return dict;
}

std::shared_ptr<Image> Image::Create(const foundation::SettingsDict& settings) {
    const auto text = foundation::settingString(settings, "imagePNGbase64");
    if (!text) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    const auto bytes = foundation::base64Decode(*text);
    if (!bytes) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    try {
        // The loader refuses images above the cap for embedded images, from
        // their header, so a stored value cannot turn into a huge allocation.
        return std::make_shared<Image>(ImageReadWrite::load(*bytes, ImageReadWrite::kMaxEmbeddedImagePixels));
    } catch (const ImageReadWriteException&) {
        throw QRCodeException(QRCodeError::cannotCreateGenerator);
    } catch (const std::length_error&) {
        throw QRCodeException(QRCodeError::cannotCreateGenerator);
    } catch (const std::bad_alloc&) {
        throw QRCodeException(QRCodeError::cannotCreateGenerator);
    }
}

void Image::drawUpright(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const {
    // Mirror top to bottom within the rectangle, so that the image shows
    // upright in the renderer's y-down contexts.
    ctx.saveGState();
    ctx.scaleBy(1, -1);
    ctx.translateBy(0, -rect.height());
    ctx.translateBy(0, -2 * rect.minY());
    ctx.drawImage(image_, rect);
    ctx.restoreGState();
}

void Image::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const {
    if (!image_) return;
    drawUpright(ctx, rect);
}

void Image::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
                 const Shadow* shadow) const {
    if (!image_) return;
    ctx.saveGState();
    ctx.clip(path, gfx::FillRule::nonZero);
    drawUpright(ctx, rect);
    ctx.restoreGState();
    if (shadow) detail::drawClippedFillShadow(ctx, rect, path, *shadow, expectedPixelSize);
}

SVGDefinition Image::svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                       const Shadow* shadow) const {
    if (!image_) throw QRCodeException(QRCodeError::cannotGenerateImage);
    ImageReadWrite::Bytes jpeg;
    try {
        jpeg = ImageReadWrite::ImageRepresentation(image_).jpeg(ImageReadWrite::Scale{1});
    } catch (const ImageReadWriteException&) {
        throw QRCodeException(QRCodeError::cannotGenerateImage);
    }
    const std::string base64 = foundation::base64Encode(jpeg, foundation::Base64Lines::lines64LF);
    const std::string w = std::to_string(image_->width()), h = std::to_string(image_->height());

    std::string definition;
    definition.append("<pattern id=\"").append(styleIdentifier).append("\"  x=\"0\" y=\"0\" width=\"1\" height=\"1\"");
    definition.append("  viewBox=\"0 0 ").append(w).append(" ").append(h).append("\"");
    definition.append("  preserveAspectRatio=\"xMidYMid slice\">\n");
    definition.append("<image width=\"").append(w).append("\" height=\"").append(h).append("\"");
    definition.append("  xlink:href=\"data:image/jpeg;base64,").append(base64).append("\" x=\"0\" y=\"0\" />");
    definition.append("</pattern>");

    std::string attribute = "fill=\"url(#";
    attribute.append(styleIdentifier).append(")\" fill-opacity=\"1\" ");
    if (shadow) {
        const std::string filterId = svg::shadowFilterId(styleIdentifier);
        definition += shadow->svgFilter(filterId, expectedPixelSize);
        svg::appendFilterStyle(attribute, filterId);
    }
    return SVGDefinition(std::move(attribute), std::move(definition));
}

} // namespace QRCode::FillStyle
