#include "platform/foundation/Base64.h"

#include <array>

namespace foundation {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& v : table) v = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}
constexpr auto kDecode = makeDecodeTable();

} // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes, Base64Lines lines) {
    std::string out;
    const std::size_t encodedLength = (bytes.size() + 2) / 3 * 4;
    out.reserve(encodedLength + encodedLength / 64);
    std::size_t lineLength = 0;
    auto put = [&](char c) {
        if (lines == Base64Lines::lines64LF && lineLength == 64) {
            out.push_back('\n');
            lineLength = 0;
        }
        out.push_back(c);
        ++lineLength;
    };
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = (std::uint32_t(bytes[i]) << 16) | (std::uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put(kAlphabet[(v >> 6) & 63]);
        put(kAlphabet[v & 63]);
    }
    const std::size_t rest = bytes.size() - i;
    if (rest == 1) {
        const std::uint32_t v = std::uint32_t(bytes[i]) << 16;
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put('=');
        put('=');
    } else if (rest == 2) {
        const std::uint32_t v = (std::uint32_t(bytes[i]) << 16) | (std::uint32_t(bytes[i + 1]) << 8);
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put(kAlphabet[(v >> 6) & 63]);
        put('=');
    }
    return out;
}

std::string base64Encode(std::string_view bytes, Base64Lines lines) {
    return base64Encode(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), lines);
}

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int padding = 0;
        if (last) {
            if (text[i + 3] == '=') padding = (text[i + 2] == '=') ? 2 : 1;
        }
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            int d;
            if (k >= 4 - padding) {
                d = 0; // padding position, already checked to be "="
            } else {
                d = kDecode[static_cast<unsigned char>(c)];
                if (d < 0) return std::nullopt; // includes "=" in the middle
            }
            v = (v << 6) | static_cast<std::uint32_t>(d);
        }
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        // Bits that the padding discards are ignored rather than refused,
        // as other encoders do not always leave them zero.
        if (padding < 2) out.push_back(static_cast<std::uint8_t>(v >> 8));
        if (padding < 1) out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

} // namespace foundation
