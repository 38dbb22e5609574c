#pragma once

// Colours as "#RRGGBB" text, shared by the hex colour field and the presets,
// and the stored colour as the graphics library's colour.

#include "app/core/SettingsKeys.h"
#include "platform/gfx/Color.h"

#include <optional>
#include <string>
#include <string_view>

namespace Tessivo {

// The colour in sRGB as "#RRGGBB" (upper-case digits; alpha ignored). Each
// component is scaled by 255 and rounded half away from zero; components
// outside the displayable range are limited to 00...FF and a component that
// is not a number prints as 00, so the text always reads back.
std::string colorToHex(const Color& color);

// An opaque sRGB colour from six hexadecimal digits with an optional leading
// "#"; white space at either end (any of Unicode's) is ignored and case does
// not matter. The six characters are read as one signed number, so a leading
// "+" or "-" counts among them ("-00001" is white). Nothing for any other
// text.
std::optional<Color> hexToColor(std::string_view text);

// The UTF-8 text without Unicode white space and line breaks at either end
// (ASCII spaces, tabs and line breaks, U+0085, no-break, ideographic and the
// other Unicode spaces, U+2028, U+2029).
std::string_view trimmedWhitespace(std::string_view text);

// The stored colour as a drawing colour. A colour of an unknown space or with
// the wrong number of components draws as opaque black.
gfx::Color toGraphicsColor(const Color& color);

} // namespace Tessivo
