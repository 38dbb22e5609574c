#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace QRCode {

// A row-major grid of rows x columns cells: the cell (row, column) is element
// row * columns + column. Always holds exactly rows * columns cells. Booleans
// are stored one byte each (not packed into bits) so that cells are
// contiguous and cheap to read.
template <typename T> class Array2D {
public:
    using value_type = T;
    using storage_type = std::conditional_t<std::is_same_v<T, bool>, std::uint8_t, T>;

    Array2D() = default;

    // rows x columns cells, each `initialValue`. Negative sizes or a cell
    // count that does not fit throw std::invalid_argument.
    Array2D(std::int64_t rows, std::int64_t columns, const T& initialValue) : rows_(rows), columns_(columns) {
        cells_.assign(checkedCount(rows, columns), static_cast<storage_type>(initialValue));
    }

    // A grid over the given row-major elements; their count must equal
    // rows * columns, otherwise std::invalid_argument.
    Array2D(std::int64_t rows, std::int64_t columns, const std::vector<T>& flattened) : rows_(rows), columns_(columns) {
        const std::size_t count = checkedCount(rows, columns);
        if (flattened.size() != count) {
            throw std::invalid_argument("Array2D: " + std::to_string(flattened.size()) + " elements for " +
                                        std::to_string(rows) + " x " + std::to_string(columns) + " cells");
        }
        cells_.assign(flattened.begin(), flattened.end());
    }

    std::int64_t rows() const noexcept { return rows_; }
    std::int64_t columns() const noexcept { return columns_; }
    std::size_t count() const noexcept { return cells_.size(); }

    bool contains(std::int64_t row, std::int64_t column) const noexcept {
        return row >= 0 && row < rows_ && column >= 0 && column < columns_;
    }

    // Cell access; a row or column outside the grid throws std::out_of_range.
    T operator()(std::int64_t row, std::int64_t column) const { return static_cast<T>(cells_[index(row, column)]); }
    T at(std::int64_t row, std::int64_t column) const { return (*this)(row, column); }
    void set(std::int64_t row, std::int64_t column, const T& value) {
        cells_[index(row, column)] = static_cast<storage_type>(value);
    }

    // The cells, row-major.
    std::vector<T> flattened() const { return std::vector<T>(cells_.begin(), cells_.end()); }
    const storage_type* data() const noexcept { return cells_.data(); }
    storage_type* data() noexcept { return cells_.data(); }

    // For a grid of Booleans: a copy with every cell negated.
    Array2D inverted() const requires std::is_same_v<T, bool> {
        Array2D result = *this;
        for (auto& cell : result.cells_) cell = cell ? 0 : 1;
        return result;
    }

    friend bool operator==(const Array2D&, const Array2D&) = default;

private:
    static std::size_t checkedCount(std::int64_t rows, std::int64_t columns) {
        if (rows < 0 || columns < 0) throw std::invalid_argument("Array2D: negative size");
        std::int64_t count = 0;
        if (__builtin_mul_overflow(rows, columns, &count) ||
            static_cast<std::uint64_t>(count) > SIZE_MAX / sizeof(storage_type)) {
            throw std::invalid_argument("Array2D: cell count too large");
        }
        return static_cast<std::size_t>(count);
    }

    std::size_t index(std::int64_t row, std::int64_t column) const {
        if (!contains(row, column)) {
            throw std::out_of_range("Array2D: cell (" + std::to_string(row) + ", " + std::to_string(column) +
                                    ") outside " + std::to_string(rows_) + " x " + std::to_string(columns_));
        }
        return static_cast<std::size_t>(row * columns_ + column);
    }

    std::int64_t rows_ = 0;
    std::int64_t columns_ = 0;
    std::vector<storage_type> cells_;
};

} // namespace QRCode
