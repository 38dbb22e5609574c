#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

namespace QRCode::PixelShape {

// Reads the matrix as nested square rings and joins the on-modules of each
// ring into tubes 8 units thick that run along it, bent round its corners
// and rounded at their ends; neighbours across rings are never joined. No
// settings; eyes and pupils do not draw with it.
class Vortex final : public neighbours::ShapeWithoutSettings<Vortex> {
public:
    static constexpr bool canGenerateEyeAndPupil = false;

public:
    static constexpr std::string_view Name = "vortex";
    static constexpr std::string_view Title = "Vortex";
    // Empty below a dimension of 2.
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
    // Each module's tile lies in its cell, meeting its neighbours only along
    // the cells' sides; modules come ring by ring, as in the path.
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override;
    bool outlinesByModule() const override { return true; }
    bool outlinesStayInModules() const override { return true; }
};

} // namespace QRCode::PixelShape
