#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

namespace QRCode::PixelShape {

// Every on-module a round dot of diameter 9, joined by a narrow neck to its
// on neighbours along the rows: runs become chains of drops. No settings.
class DripHorizontal final : public neighbours::ShapeWithoutSettings<DripHorizontal> {
public:
    static constexpr std::string_view Name = "dripHorizontal";
    static constexpr std::string_view Title = "Drip Horizontal";
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
};

// As DripHorizontal, joined along the columns instead.
class DripVertical final : public neighbours::ShapeWithoutSettings<DripVertical> {
public:
    static constexpr std::string_view Name = "dripVertical";
    static constexpr std::string_view Title = "Drip Vertical";
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
};

} // namespace QRCode::PixelShape
