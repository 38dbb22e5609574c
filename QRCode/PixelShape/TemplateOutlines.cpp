#include "QRCode/PixelShape/TemplateOutlines.h"

#include "QRCode/PixelShape/Square.h"

#include <array>
#include <optional>

namespace QRCode::PixelShape {

std::span<const TemplateOutline> templateOutlineTable()
{
    static constexpr TemplateOutline table[] = {
        {PixelType::square, 0, &squareTemplate},
    };
    return table;
}

const gfx::Path* templatePath(PixelType type, int index)
{
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
