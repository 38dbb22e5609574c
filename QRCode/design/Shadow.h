#pragma once

#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

#include <optional>
#include <string>
#include <string_view>

namespace QRCode {

enum class ShadowType : int { dropShadow = 0, innerShadow = 1 };

// One shadow cast by the drawn parts of a code: a drop shadow outside the
// shapes or an inner shadow inside them. The offset is in design units (one
// module is 1); the renderer multiplies it by the size of a module. The blur
// is used as it stands.
class Shadow {
public:
    // A drop shadow, offset (0.2, -0.2), blur 4, black at alpha 0.8.
    Shadow();
    Shadow(ShadowType type, double dx, double dy, double blur, gfx::Color color);
    Shadow(ShadowType type, gfx::Size offset, double blur, gfx::Color color);

    gfx::Size offset;
    double blur = 4.0;
    gfx::Color color;
    ShadowType type = ShadowType::dropShadow;

    Shadow copyShadow() const { return *this; }

    // "offset-width", "offset-height", "blur", "type" (0 or 1) and "color"
    // (RGBA text in sRGB).
    foundation::SettingsDict settings() const;
    // A shadow only when all five keys are present and valid; otherwise none.
    static std::optional<Shadow> Create(const foundation::SettingsDict* settings);
    static std::optional<Shadow> Create(const foundation::SettingsDict& settings) { return Create(&settings); }

    // SVG filter elements for the filter `id`; `pixelSize` (the size of one
    // module in SVG units) scales the offset, not the blur.
    std::string svgDropShadowFilter(std::string_view id, double pixelSize) const;
    std::string svgInnerShadowFilter(std::string_view id, double pixelSize) const;
    // The filter that matches `type`.
    std::string svgFilter(std::string_view id, double pixelSize) const;
};

} // namespace QRCode
