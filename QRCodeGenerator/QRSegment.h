#pragma once

#include "QRCodeGenerator/QRTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace QRCodeGenerator {

// One run of data in a single mode: the mode, the character count and the
// data bits (without mode indicator and count field).
struct QRSegment {
    enum class Mode { numeric, alphanumeric, byte, kanji, eci };

    Mode mode = Mode::byte;
    unsigned numChars = 0;
    std::vector<bool> data;

    // The 4-bit mode indicator.
    static unsigned modeBits(Mode mode);
    // Width of the character-count field of `mode` in a symbol of `version`.
    static int numCharCountBits(Mode mode, QRCodeVersion version);

    // The 45 characters of the alphanumeric mode, in index order.
    static constexpr std::string_view kAlphanumericCharset = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

    static QRSegment makeBytes(std::span<const std::uint8_t> bytes);
    // Decimal digits only; anything else is a caller error (std::invalid_argument).
    static QRSegment makeNumeric(std::string_view digits);
    // Characters of the alphanumeric set only; anything else is a caller error
    // (std::invalid_argument).
    static QRSegment makeAlphanumeric(std::string_view text);
    // An ECI designator; values of 1,000,000 and more are a caller error
    // (std::invalid_argument).
    static QRSegment makeEci(std::uint32_t assignValue);

    static bool isNumeric(std::string_view text);
    static bool isAlphanumeric(std::string_view text);

    // The mode makeSegments encodes non-empty text in: numeric if all are
    // digits, alphanumeric if all belong to that set, otherwise byte.
    static Mode textMode(std::string_view text);
    // Splits UTF-8 text into segments: none for the empty text, otherwise one
    // segment of the text's mode (textMode), a byte segment holding the
    // text's bytes.
    static std::vector<QRSegment> makeSegments(std::string_view text);

    // Bits the segments occupy in a symbol of `version`, or no value when a
    // character count does not fit its count field.
    static std::optional<std::size_t> getTotalBits(const std::vector<QRSegment>& segments, QRCodeVersion version);

    friend bool operator==(const QRSegment&, const QRSegment&) = default;
};

} // namespace QRCodeGenerator

template <> struct std::hash<QRCodeGenerator::QRSegment> {
    std::size_t operator()(const QRCodeGenerator::QRSegment& s) const noexcept {
        std::size_t h = std::hash<int>{}(static_cast<int>(s.mode));
        h = h * 31 + std::hash<unsigned>{}(s.numChars);
        return h * 31 + std::hash<std::vector<bool>>{}(s.data);
    }
};
