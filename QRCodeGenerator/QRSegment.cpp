#include "QRCodeGenerator/QRSegment.h"

#include "QRCodeGenerator/BitBuffer.h"

#include <array>
#include <stdexcept>

namespace QRCodeGenerator {

unsigned QRSegment::modeBits(Mode mode) {
    switch (mode) {
    case Mode::numeric: return 0x1;
    case Mode::alphanumeric: return 0x2;
    case Mode::byte: return 0x4;
    case Mode::kanji: return 0x8;
    case Mode::eci: return 0x7;
    }
    return 0;
}

int QRSegment::numCharCountBits(Mode mode, QRCodeVersion version) {
    static constexpr int widths[5][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}, {0, 0, 0}};
    const int band = (version + 7) / 17;
    return widths[static_cast<int>(mode)][band];
}

QRSegment QRSegment::makeBytes(std::span<const std::uint8_t> bytes) {
    BitBuffer bb;
    bb.bits.reserve(bytes.size() * 8);
    for (std::uint8_t b : bytes) bb.appendBits(b, 8);
    return {Mode::byte, static_cast<unsigned>(bytes.size()), std::move(bb.bits)};
}

bool QRSegment::isNumeric(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool QRSegment::isAlphanumeric(std::string_view text) {
    // A table rather than a search of the charset per character: this scan
    // decides the mode of every text, however long.
    static constexpr auto member = [] {
        std::array<bool, 256> table{};
        for (char c : kAlphanumericCharset) table[static_cast<unsigned char>(c)] = true;
        return table;
    }();
    for (char c : text)
        if (!member[static_cast<unsigned char>(c)]) return false;
    return true;
}

QRSegment QRSegment::makeNumeric(std::string_view digits) {
    if (!isNumeric(digits)) throw std::invalid_argument("String contains non-numeric characters");
    BitBuffer bb;
    unsigned accum = 0;
    int count = 0;
    for (char c : digits) {
        accum = accum * 10 + static_cast<unsigned>(c - '0');
        if (++count == 3) {
            bb.appendBits(accum, 10);
            accum = 0;
            count = 0;
        }
    }
    if (count > 0) // one digit takes 4 bits, two take 7
        bb.appendBits(accum, count * 3 + 1);
    return {Mode::numeric, static_cast<unsigned>(digits.size()), std::move(bb.bits)};
}

QRSegment QRSegment::makeAlphanumeric(std::string_view text) {
    BitBuffer bb;
    unsigned accum = 0;
    int count = 0;
    for (char c : text) {
        const auto index = kAlphanumericCharset.find(c);
        if (index == std::string_view::npos)
            throw std::invalid_argument("String contains unencodable characters in alphanumeric mode");
        accum = accum * 45 + static_cast<unsigned>(index);
        if (++count == 2) {
            bb.appendBits(accum, 11);
            accum = 0;
            count = 0;
        }
    }
    if (count > 0) bb.appendBits(accum, 6);
    return {Mode::alphanumeric, static_cast<unsigned>(text.size()), std::move(bb.bits)};
}

QRSegment QRSegment::makeEci(std::uint32_t assignValue) {
    BitBuffer bb;
    if (assignValue < (1U << 7)) {
        bb.appendBits(assignValue, 8);
    } else if (assignValue < (1U << 14)) {
        bb.appendBits(2, 2);
        bb.appendBits(assignValue, 14);
    } else if (assignValue < 1000000U) {
        bb.appendBits(6, 3);
        bb.appendBits(assignValue, 21);
    } else {
        throw std::invalid_argument("ECI assignment value out of range");
    }
    return {Mode::eci, 0, std::move(bb.bits)};
}

QRSegment::Mode QRSegment::textMode(std::string_view text) {
    // Working on bytes gives the same answer as working on user-perceived
    // characters: a character is a digit or in the alphanumeric set only when
    // it is a single ASCII byte, and any other character brings non-ASCII
    // bytes with it.
    if (isNumeric(text)) return Mode::numeric;
    if (isAlphanumeric(text)) return Mode::alphanumeric;
    return Mode::byte;
}

std::vector<QRSegment> QRSegment::makeSegments(std::string_view text) {
    if (text.empty()) return {};
    switch (textMode(text)) {
    case Mode::numeric: return {makeNumeric(text)};
    case Mode::alphanumeric: return {makeAlphanumeric(text)};
    default: return {makeBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()})};
    }
}

std::optional<std::size_t> QRSegment::getTotalBits(const std::vector<QRSegment>& segments, QRCodeVersion version) {
    std::size_t result = 0;
    for (const QRSegment& seg : segments) {
        const int width = numCharCountBits(seg.mode, version);
        if (width > 63 || static_cast<std::uint64_t>(seg.numChars) >= (std::uint64_t(1) << width)) return std::nullopt;
        result += 4 + static_cast<std::size_t>(width) + seg.data.size();
    }
    return result;
}

} // namespace QRCodeGenerator
