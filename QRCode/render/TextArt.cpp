#include "QRCode/QRCode.h"

namespace QRCode {

namespace {
constexpr std::string_view kFullBlock = "\u2588";
constexpr std::string_view kUpperHalf = "\u2580";
constexpr std::string_view kLowerHalf = "\u2584";
} // namespace

std::string asciiRepresentation(const BoolMatrix& matrix) {
    const std::int64_t n = matrix.dimension();
    std::string result;
    if (n <= 0) return result;
    result.reserve(static_cast<std::size_t>(n * (n * 6 + 1)));
    const std::uint8_t* cells = matrix.data();
    for (std::int64_t r = 0; r < n; ++r) {
        for (std::int64_t c = 0; c < n; ++c) {
            if (cells[r * n + c] != 0) {
                result += kFullBlock;
                result += kFullBlock;
            } else {
                result += "  ";
            }
        }
        result += '\n';
    }
    return result;
}

std::string smallAsciiRepresentation(const BoolMatrix& matrix) {
    const std::int64_t n = matrix.dimension();
    std::string result;
    if (n < 1) return result;
    const std::uint8_t* cells = matrix.data();
    for (std::int64_t r = 0; r < n; r += 2) {
        for (std::int64_t c = 0; c < n; ++c) {
            const bool top = cells[r * n + c] != 0;
            const bool bottom = r + 1 < n && cells[(r + 1) * n + c] != 0;
            if (top && bottom)
                result += kFullBlock;
            else if (top)
                result += kUpperHalf;
            else if (bottom)
                result += kLowerHalf;
            else
                result += ' ';
        }
        result += '\n';
    }
    return result;
}

} // namespace QRCode
