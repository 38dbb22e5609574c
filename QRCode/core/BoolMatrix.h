#pragma once

#include "QRCode/core/detail/Array2D.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace QRCode {

// The square module matrix of a symbol, addressed [row, column] with (0, 0)
// at the top-left. true is a dark ("on") module, false a light one. A value
// type: copies are independent.
class BoolMatrix {
public:
    // The eight neighbours of a cell; a neighbour outside the matrix is false.
    struct NeighbourInfo {
        bool left = false;
        bool top = false;
        bool right = false;
        bool bottom = false;
        bool topLeft = false;
        bool topRight = false;
        bool bottomLeft = false;
        bool bottomRight = false;
        friend bool operator==(const NeighbourInfo&, const NeighbourInfo&) = default;
    };

    // An empty matrix of dimension 0.
    BoolMatrix() = default;
    // dimension x dimension cells, all off. A negative dimension throws
    // std::invalid_argument.
    explicit BoolMatrix(std::int64_t dimension);
    // Row-major cells; the count must be dimension squared, otherwise
    // std::invalid_argument.
    BoolMatrix(std::int64_t dimension, const std::vector<bool>& flattened);
    // Row-major integers, non-zero for on; the count must be dimension
    // squared, otherwise std::invalid_argument.
    static BoolMatrix fromRawFlattenedInt(std::int64_t dimension, std::span<const int> rawFlattenedInt);

    BoolMatrix copyMatrix() const { return *this; }

    std::int64_t dimension() const noexcept { return content_.rows(); }
    std::vector<bool> flattened() const { return content_.flattened(); }

    // A matrix of the same dimension with every cell negated (not mirrored).
    BoolMatrix flipped() const;
    BoolMatrix inverted() const { return flipped(); }

    // Cell access; outside the matrix throws std::out_of_range.
    bool operator()(std::int64_t row, std::int64_t column) const { return content_(row, column); }
    bool at(std::int64_t row, std::int64_t column) const { return content_(row, column); }
    void set(std::int64_t row, std::int64_t column, bool value) { content_.set(row, column, value); }

    // Keeps the receiver's cell where the mask's cell is on; off elsewhere.
    // A mask of another dimension throws std::invalid_argument.
    BoolMatrix masked(const BoolMatrix& mask) const;

    // One line per row, top first: "#" for on, "." for off, each line ended
    // by "\n". Empty for a matrix of dimension 0.
    std::string description() const;

    // The neighbours of (row, column). Every neighbour outside the matrix
    // is false, also for a cell that itself lies outside.
    NeighbourInfo neighbourInfo(std::int64_t row, std::int64_t column) const noexcept {
        const std::int64_t d = content_.rows();
        // Far outside, every neighbour is outside too; this also keeps the
        // +-1 below from overflowing.
        if (row < -1 || row > d || column < -1 || column > d) return NeighbourInfo{};
        return NeighbourInfo{
            cellOrOff(row, column - 1),     cellOrOff(row - 1, column),     cellOrOff(row, column + 1),
            cellOrOff(row + 1, column),     cellOrOff(row - 1, column - 1), cellOrOff(row - 1, column + 1),
            cellOrOff(row + 1, column - 1), cellOrOff(row + 1, column + 1),
        };
    }

    // The cells, row-major, one byte each (0 or 1).
    const std::uint8_t* data() const noexcept { return content_.data(); }
    const Array2D<bool>& content() const noexcept { return content_; }

    friend bool operator==(const BoolMatrix&, const BoolMatrix&) = default;

private:
    explicit BoolMatrix(Array2D<bool> content) : content_(std::move(content)) {}

    bool cellOrOff(std::int64_t row, std::int64_t column) const noexcept {
        const std::int64_t d = content_.rows();
        if (row < 0 || row >= d || column < 0 || column >= d) return false;
        return content_.data()[row * d + column] != 0;
    }

    Array2D<bool> content_;
};

} // namespace QRCode
