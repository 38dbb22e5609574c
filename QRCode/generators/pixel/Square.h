#pragma once

#include "QRCode/generators/pixel/detail/TemplateShape.h"

namespace QRCode::PixelShape {

// The default on-pixel shape: every module a square filling its cell, with
// the optional per-module inset and rotation of the template shapes.
class Square final : public TemplateShape<Square> {
public:
    static constexpr std::string_view Name = "square";
    static constexpr std::string_view Title = "Square";
    static constexpr PixelType pixelType = PixelType::square;

    using TemplateShape::TemplateShape;
};

// The outline of "square": the rectangle (0, 0, 10, 10).
gfx::Path squareTemplate();

} // namespace QRCode::PixelShape
