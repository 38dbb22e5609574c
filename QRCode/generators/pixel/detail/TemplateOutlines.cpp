#include "QRCode/generators/pixel/detail/TemplateOutlines.h"

#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pixel/TemplateShapes.h"

#include <array>
#include <optional>

namespace QRCode::PixelShape {

std::span<const TemplateOutline> templateOutlineTable() {
    static constexpr TemplateOutline table[] = {
        {PixelType::square, 0, &squareTemplate},
        {PixelType::circle, 0, &circleTemplate},
        {PixelType::crt, 0, &crtTemplate},
        {PixelType::squircle, 0, &squircleTemplate},
        {PixelType::sharp, 0, &sharpTemplate},
        {PixelType::star, 0, &starTemplate},
        {PixelType::heart, 0, &heartTemplate},
        {PixelType::flower, 0, &flowerTemplate},
        {PixelType::shiny, 0, &shinyTemplate},
        {PixelType::shiny, 1, &shinyOddTemplate},
        {PixelType::arrow, 0, &arrowTemplate},
        {PixelType::wave, 0, &waveTemplate},
        {PixelType::spikyCircle, 0, &spikyCircleTemplate},
        {PixelType::gear, 0, &gearTemplate},
        {PixelType::stitch, 0, &stitchTemplate},
        {PixelType::hexagon, 0, &hexagonTemplate},
        {PixelType::hexa, 0, &hexaTemplate},
        {PixelType::wex, 0, &wexTemplate},
        {PixelType::diamond, 0, &diamondTemplate},
        {PixelType::koala, 0, &koalaTemplate},
        {PixelType::diagonal, 0, &diagonalTemplate},
        {PixelType::flame, 0, &flameTemplate},
        {PixelType::roundedTriangle, 0, &roundedTriangleTemplate},
        {PixelType::leaf, 0, &leafTemplate},
    };
    return table;
}

const gfx::Path* templatePath(PixelType type, int index) {
    using Outlines = std::array<std::array<std::optional<gfx::Path>, 2>, CommonPixelGenerator::pixelTypeCount>;
    static const Outlines outlines = [] {
        Outlines built;
        for (const auto& entry : templateOutlineTable()) {
            const auto t = static_cast<std::size_t>(entry.type);
            if (t < built.size() && (entry.index == 0 || entry.index == 1)) built[t][entry.index] = entry.build();
        }
        return built;
    }();
    const auto t = static_cast<std::size_t>(type);
    if (t >= outlines.size() || index < 0 || index > 1) return nullptr;
    const auto& outline = outlines[t][static_cast<std::size_t>(index)];
    return outline ? &*outline : nullptr;
}

} // namespace QRCode::PixelShape
