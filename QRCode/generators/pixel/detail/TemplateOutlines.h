#pragma once

#include "QRCode/generators/pixel/detail/CommonPixelGenerator.h"
#include "platform/gfx/Path.h"

#include <span>

namespace QRCode::PixelShape {

// One outline of a pixel type, in the box (0, 0)...(10, 10). Every type has
// one outline except "shiny", which has two (index 1 is drawn where row +
// column is odd), and "roundedRect", which the common generator draws itself.
struct TemplateOutline {
    PixelType type;
    int index;
    gfx::Path (*build)();
};

// Every outline the shape modules supply, one line per outline. A module
// that adds a template shape adds its builder here.
std::span<const TemplateOutline> templateOutlineTable();

// The outline `index` (0 or 1) of `type`, built once on first use and shared
// read-only afterwards; nullptr when no module supplies it.
const gfx::Path* templatePath(PixelType type, int index = 0);

} // namespace QRCode::PixelShape
