#pragma once

#include "QRCode/fills/FillStyle.h"
#include "QRCode/fills/ZelGradient.h"

namespace QRCode::FillStyle {

// A gradient along the line between two points. Points are in unit
// coordinates of the filled rectangle: (0, 0) is its minimum corner, (1, 1)
// its maximum; values outside 0...1 are allowed.
class LinearGradient : public NamedFill<LinearGradient> {
public:
    static constexpr std::string_view Name = "lineargradient";

    LinearGradient(ZelGradient gradient, gfx::Point startPoint = {0, 0}, gfx::Point endPoint = {1, 1});
    // The gradient made from the pins in sRGB; throws
    // ZelGradient::Exception(cannotCreateCoreGraphicsGradient).
    LinearGradient(std::vector<ZelGradient::Pin> pins, gfx::Point startPoint, gfx::Point endPoint);

    const ZelGradient& gradient() const { return gradient_; }
    gfx::Point startPoint() const { return startPoint_; }
    gfx::Point endPoint() const { return endPoint_; }

    std::shared_ptr<QRCodeFillStyleGenerator> copyStyle() const override;
    // "startX", "startY", "endX", "endY" and "gradient" (the RGBA gradient string).
    foundation::SettingsDict settings() const override;
    // Every key is required: a missing or mistyped one throws
    // QRCodeException(cannotCreateGenerator); the gradient string's reader
    // throws ZelGradient::Exception.
    static std::shared_ptr<LinearGradient> Create(const foundation::SettingsDict& settings);

    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const override;
    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
              const Shadow* shadow) const override;
    SVGDefinition svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                    const Shadow* shadow) const override;

private:
    ZelGradient gradient_;
    gfx::Point startPoint_;
    gfx::Point endPoint_;
};

// A gradient in circles around a centre (unit coordinates of the filled
// rectangle); the outer radius is the rectangle's width / 1.75.
class RadialGradient : public NamedFill<RadialGradient> {
public:
    static constexpr std::string_view Name = "radialgradient";

    RadialGradient(ZelGradient gradient, gfx::Point centerPoint = {0.5, 0.5});
    // The gradient made from the pins in sRGB; throws
    // ZelGradient::Exception(cannotCreateCoreGraphicsGradient).
    RadialGradient(std::vector<ZelGradient::Pin> pins, gfx::Point centerPoint);

    const ZelGradient& gradient() const { return gradient_; }
    gfx::Point centerPoint() const { return centerPoint_; }
    void setCenterPoint(gfx::Point centerPoint) { centerPoint_ = centerPoint; }

    std::shared_ptr<QRCodeFillStyleGenerator> copyStyle() const override;
    // "centerX", "centerY" and "gradient".
    foundation::SettingsDict settings() const override;
    static std::shared_ptr<RadialGradient> Create(const foundation::SettingsDict& settings);

    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const override;
    void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
              const Shadow* shadow) const override;
    SVGDefinition svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                    const Shadow* shadow) const override;

private:
    ZelGradient gradient_;
    gfx::Point centerPoint_;
};

} // namespace QRCode::FillStyle
