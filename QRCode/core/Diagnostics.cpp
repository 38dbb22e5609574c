#include "QRCode/core/Diagnostics.h"

#include <cstdio>
#include <string>

namespace QRCode {

void diagnostic(std::string_view line) {
    std::string text(line);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace QRCode
