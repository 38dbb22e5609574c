#pragma once

#include "QRCode/fills/FillStyle.h"
#include "platform/gfx/Color.h"

namespace QRCode::FillStyle {

// A single colour.
class Solid : public NamedFill<Solid> {
public:
    static constexpr std::string_view Name = "solid";

    explicit Solid(gfx::Color color) : color_(color) {}
    // sRGB components.
    static std::shared_ptr<Solid> sRGB(double red, double green, double blue, double alpha = 1.0);
    // Generic RGB components.
    static std::shared_ptr<Solid> genericRGB(double red, double green, double blue, double alpha = 1.0);
    // Generic grey.
    static std::shared_ptr<Solid> gray(double gray, double alpha = 1.0);
    // Hex colour text of 3, 4, 6 or 8 digits in sRGB; throws
    // QRCodeException(invalidHexColorString).
    static std::shared_ptr<Solid> hexString(std::string_view hex);
    static std::shared_ptr<Solid> make(gfx::Color color) { return std::make_shared<Solid>(color); }

    const gfx::Color& color() const { return color_; }

    std::shared_ptr<QRCodeFillStyleGenerator> copyStyle() const override;
    // {"color": RGBA text in sRGB}.
    foundation::SettingsDict settings() const override;
    // Needs a text "color" (QRCodeException(cannotCreateGenerator) without
    // one); an unreadable colour text throws the colour reader's error.
    static std::shared_ptr<Solid> Create(const foundation::SettingsDict& settings);

    // Sets the fill colour and fills the rectangle; the state is not saved.
    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const override;
    // A drop shadow stays set on the context when this returns (callers
    // restore the state); an inner shadow is painted over the filled path.
    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
              const Shadow* shadow) const override;
    SVGDefinition svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                    const Shadow* shadow) const override;

private:
    gfx::Color color_;
};

} // namespace QRCode::FillStyle
