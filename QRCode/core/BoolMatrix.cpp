#include "QRCode/core/BoolMatrix.h"

#include <stdexcept>

namespace QRCode {

namespace {

void checkDimension(std::int64_t dimension) {
    if (dimension < 0) throw std::invalid_argument("BoolMatrix: negative dimension " + std::to_string(dimension));
}

void checkCount(std::int64_t dimension, std::size_t count) {
    checkDimension(dimension);
    // Compared by division so that a huge dimension cannot overflow.
    const auto d = static_cast<std::uint64_t>(dimension);
    const bool matches = d == 0 ? count == 0 : (count % d == 0 && count / d == d);
    if (!matches) {
        throw std::invalid_argument("BoolMatrix: " + std::to_string(count) + " cells for dimension " +
                                    std::to_string(dimension));
    }
}

} // namespace

BoolMatrix::BoolMatrix(std::int64_t dimension) : content_((checkDimension(dimension), dimension), dimension, false) {}

BoolMatrix::BoolMatrix(std::int64_t dimension, const std::vector<bool>& flattened)
    : content_((checkCount(dimension, flattened.size()), dimension), dimension, flattened) {}

BoolMatrix BoolMatrix::fromRawFlattenedInt(std::int64_t dimension, std::span<const int> rawFlattenedInt) {
    checkCount(dimension, rawFlattenedInt.size());
    Array2D<bool> content(dimension, dimension, false);
    std::uint8_t* cells = content.data();
    for (std::size_t i = 0; i < rawFlattenedInt.size(); ++i) cells[i] = rawFlattenedInt[i] != 0 ? 1 : 0;
    return BoolMatrix(std::move(content));
}

BoolMatrix BoolMatrix::flipped() const { return BoolMatrix(content_.inverted()); }

BoolMatrix BoolMatrix::masked(const BoolMatrix& mask) const {
    if (mask.dimension() != dimension()) {
        throw std::invalid_argument("BoolMatrix: mask of dimension " + std::to_string(mask.dimension()) +
                                    " for a matrix of dimension " + std::to_string(dimension()));
    }
    Array2D<bool> result(dimension(), dimension(), false);
    std::uint8_t* out = result.data();
    const std::uint8_t* cells = data();
    const std::uint8_t* maskCells = mask.data();
    for (std::size_t i = 0; i < content_.count(); ++i) out[i] = maskCells[i] ? cells[i] : 0;
    return BoolMatrix(std::move(result));
}

std::string BoolMatrix::description() const {
    const std::int64_t d = dimension();
    std::string text;
    text.reserve(content_.count() + static_cast<std::size_t>(d));
    const std::uint8_t* cells = data();
    for (std::int64_t row = 0; row < d; ++row) {
        for (std::int64_t column = 0; column < d; ++column) text.push_back(cells[row * d + column] ? '#' : '.');
        text.push_back('\n');
    }
    return text;
}

} // namespace QRCode
