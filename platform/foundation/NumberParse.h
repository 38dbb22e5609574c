#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace foundation {

// A double only when the whole text is one floating-point literal as the C
// library reads it in the C locale: "." as decimal separator, decimal or
// hexadecimal notation, an optional sign, "inf"/"infinity"/"nan" in any case.
// Leading whitespace (space, tab, LF, VT, FF, CR) or NUL, anything left over
// after the number, and empty text give std::nullopt. A magnitude beyond the
// range of double reads as an infinity, a tiny one as zero or a subnormal.
std::optional<double> parseDouble(std::string_view text);

// A decimal integer with an optional leading "-" that fills the whole text
// and fits in 64 bits; anything else gives std::nullopt.
std::optional<std::int64_t> parseInt64(std::string_view text);

} // namespace foundation
