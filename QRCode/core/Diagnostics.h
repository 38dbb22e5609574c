#pragma once

#include <string_view>

namespace QRCode {

// Writes one diagnostic that is not an error: `line` and a newline on
// standard output, in one write, flushed at once.
void diagnostic(std::string_view line);

} // namespace QRCode
