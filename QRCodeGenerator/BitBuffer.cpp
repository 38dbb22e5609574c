#include "QRCodeGenerator/BitBuffer.h"

#include <stdexcept>

namespace QRCodeGenerator {

void BitBuffer::appendBits(std::uint32_t value, int count) {
    if (count < 0) throw std::invalid_argument("Negative bit count");
    for (int i = count - 1; i >= 0; --i) bits.push_back(i < 32 && ((value >> i) & 1U) != 0);
}

void BitBuffer::appendBits(const std::vector<bool>& other) { bits.insert(bits.end(), other.begin(), other.end()); }

} // namespace QRCodeGenerator
