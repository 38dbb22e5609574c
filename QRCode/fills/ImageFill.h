#pragma once

#include "QRCode/fills/FillStyle.h"
#include "platform/gfx/Image.h"

namespace QRCode::FillStyle {

// A bitmap stretched over the filled rectangle, upright in the renderer's
// y-down contexts. Without an image it paints nothing.
class Image : public NamedFill<Image> {
public:
    static constexpr std::string_view Name = "image";

    explicit Image(gfx::ImagePtr image) : image_(std::move(image)) {}

    const gfx::ImagePtr& image() const { return image_; }
    void setImage(gfx::ImagePtr image) { image_ = std::move(image); }

    std::shared_ptr<QRCodeFillStyleGenerator> copyStyle() const override;
    // {"imagePNGbase64": PNG at 72 dpi in base64 on one line}. No image:
    // QRCodeException(cannotGenerateImageBase64); an encoding failure passes
    // the image module's exception on.
    foundation::SettingsDict settings() const override;
    // Every failure (missing or mistyped key, text that is not strict
    // base64, unreadable or oversized image data) throws
    // QRCodeException(cannotCreateGenerator).
    static std::shared_ptr<Image> Create(const foundation::SettingsDict& settings);

    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const override;
    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
              const Shadow* shadow) const override;
    // A pattern holding the image as JPEG. No image, or no JPEG:
    // QRCodeException(cannotGenerateImage).
    SVGDefinition svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                    const Shadow* shadow) const override;

private:
    void drawUpright(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const;

    gfx::ImagePtr image_;
};

} // namespace QRCode::FillStyle
