#pragma once

#include <cstdint>
#include <vector>

namespace QRCodeGenerator {

// A growable sequence of bits, first bit first.
struct BitBuffer {
    std::vector<bool> bits;

    // Appends the low `count` bits of `value`, most significant first. Bit
    // positions of 32 and above read as 0. A negative count is a caller error
    // (std::invalid_argument).
    void appendBits(std::uint32_t value, int count);
    void appendBits(const std::vector<bool>& other);

    std::size_t size() const { return bits.size(); }
    friend bool operator==(const BitBuffer&, const BitBuffer&) = default;
};

} // namespace QRCodeGenerator
