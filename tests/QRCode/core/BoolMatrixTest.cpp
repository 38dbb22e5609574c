#include "QRCode/core/BoolMatrix.h"

#include <gtest/gtest.h>

using QRCode::Array2D;
using QRCode::BoolMatrix;

namespace {

// 3 x 3:  # . #
//         . # .
//         # # .
BoolMatrix sample() {
    const std::vector<int> cells{1, 0, 1, 0, 1, 0, 1, 1, 0};
    return BoolMatrix::fromRawFlattenedInt(3, cells);
}

} // namespace

TEST(BoolMatrix, ConstructionAndTextForm) {
    EXPECT_EQ(BoolMatrix().dimension(), 0);
    EXPECT_EQ(BoolMatrix().description(), "");
    EXPECT_EQ(BoolMatrix(2).description(), "..\n..\n");
    const BoolMatrix m = sample();
    EXPECT_EQ(m.dimension(), 3);
    EXPECT_EQ(m.description(), "#.#\n.#.\n##.\n");
    EXPECT_TRUE(m(2, 0));
    EXPECT_FALSE(m(2, 2));
    const std::vector<int> raw{5, 0, -1, 0};
    EXPECT_EQ(BoolMatrix::fromRawFlattenedInt(2, raw).flattened(), (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(BoolMatrix(3, m.flattened()), m);
    // One byte per cell, row-major.
    EXPECT_EQ(m.data()[1 * 3 + 1], 1);
    EXPECT_EQ(m.data()[2 * 3 + 2], 0);
}

TEST(BoolMatrix, RefusesCellCountsThatDisagreeWithTheDimension) {
    EXPECT_THROW(BoolMatrix(2, std::vector<bool>(3, true)), std::invalid_argument);
    EXPECT_THROW(BoolMatrix(2, std::vector<bool>(5, true)), std::invalid_argument);
    const std::vector<int> eight(8, 1);
    EXPECT_THROW(BoolMatrix::fromRawFlattenedInt(3, eight), std::invalid_argument);
    EXPECT_THROW(BoolMatrix::fromRawFlattenedInt(0, eight), std::invalid_argument);
    EXPECT_THROW(BoolMatrix(-1), std::invalid_argument);
    // A dimension whose square overflows 64 bits cannot match any list.
    EXPECT_THROW(BoolMatrix(std::int64_t(1) << 32, std::vector<bool>{}), std::invalid_argument);
    EXPECT_EQ(BoolMatrix(0, std::vector<bool>{}).dimension(), 0);
}

TEST(BoolMatrix, CellAccessOutsideThrows) {
    BoolMatrix m(3);
    EXPECT_THROW(m(3, 0), std::out_of_range);
    EXPECT_THROW(m(0, -1), std::out_of_range);
    EXPECT_THROW(m.set(-1, 0, true), std::out_of_range);
    EXPECT_THROW(m.set(0, 3, true), std::out_of_range);
    // A column past the end must not wrap into the next row.
    m.set(1, 0, true);
    EXPECT_THROW(m(0, 3), std::out_of_range);
    EXPECT_THROW(BoolMatrix()(0, 0), std::out_of_range);
}

TEST(BoolMatrix, CopiesAreIndependent) {
    BoolMatrix m = sample();
    const BoolMatrix copy = m.copyMatrix(), assigned = m;
    m.set(0, 1, true);
    EXPECT_FALSE(copy(0, 1) || assigned(0, 1));
}

TEST(BoolMatrix, NeighboursReadTheRightCellsAndAreOffOutside) {
    const BoolMatrix m = sample(); // #.# / .#. / ##.
    EXPECT_EQ(m.neighbourInfo(1, 1), (BoolMatrix::NeighbourInfo{false, false, false, true, true, true, true, false}));
    EXPECT_EQ(m.neighbourInfo(0, 1), (BoolMatrix::NeighbourInfo{true, false, true, true, false, false, false, false}));

    const BoolMatrix full = BoolMatrix(3).flipped(); // all on
    const BoolMatrix::NeighbourInfo none{};
    EXPECT_EQ(full.neighbourInfo(1, 1), (BoolMatrix::NeighbourInfo{true, true, true, true, true, true, true, true}));
    EXPECT_EQ(full.neighbourInfo(0, 0),
              (BoolMatrix::NeighbourInfo{false, false, true, true, false, false, false, true}));
    EXPECT_EQ(full.neighbourInfo(2, 2),
              (BoolMatrix::NeighbourInfo{true, true, false, false, true, false, false, false}));
    // At the right edge nothing wraps into the next row.
    EXPECT_EQ(full.neighbourInfo(1, 2), (BoolMatrix::NeighbourInfo{true, true, false, true, true, false, true, false}));
    EXPECT_EQ(full.neighbourInfo(2, 1), (BoolMatrix::NeighbourInfo{true, true, true, false, true, true, false, false}));

    // Cells outside the matrix: whatever lies inside is still read, the
    // rest is off; never an out-of-range read, even at the integer limits.
    EXPECT_TRUE(full.neighbourInfo(-1, 1).bottom);
    EXPECT_FALSE(full.neighbourInfo(-1, 1).top);
    EXPECT_TRUE(full.neighbourInfo(3, 3).topLeft);
    EXPECT_EQ(full.neighbourInfo(10, 10), none);
    EXPECT_EQ(full.neighbourInfo(INT64_MIN, INT64_MAX), none);
    EXPECT_EQ(full.neighbourInfo(INT64_MAX, 0), none);
    EXPECT_EQ(BoolMatrix().neighbourInfo(0, 0), none);
    EXPECT_EQ(BoolMatrix(1).flipped().neighbourInfo(0, 0), none);
}

TEST(BoolMatrix, InversionNegatesWithoutMirroring) {
    const BoolMatrix m = sample();
    EXPECT_EQ(m.flipped().description(), ".#.\n#.#\n..#\n");
    EXPECT_EQ(m.inverted(), m.flipped());
    EXPECT_EQ(m.flipped().flipped(), m);
    EXPECT_EQ(m.description(), "#.#\n.#.\n##.\n"); // receiver unchanged
}

TEST(BoolMatrix, MaskingKeepsCellsOnlyWhereTheMaskIsOn) {
    const BoolMatrix m = sample();
    const std::vector<int> maskCells{1, 1, 0, 0, 1, 1, 0, 1, 1};
    const BoolMatrix mask = BoolMatrix::fromRawFlattenedInt(3, maskCells);
    EXPECT_EQ(m.masked(mask).description(), "#..\n.#.\n.#.\n");
    EXPECT_EQ(m.masked(BoolMatrix(3)), BoolMatrix(3));
    EXPECT_EQ(m.masked(BoolMatrix(3).flipped()), m);
    EXPECT_THROW(m.masked(BoolMatrix(4)), std::invalid_argument);
}

TEST(Array2D, RowMajorGridOfAnyType) {
    Array2D<int> grid(2, 3, std::vector<int>{1, 2, 3, 4, 5, 6});
    EXPECT_EQ(grid(1, 0), 4);
    grid.set(0, 2, 9);
    EXPECT_EQ(grid.flattened(), (std::vector<int>{1, 2, 9, 4, 5, 6}));
    EXPECT_THROW(grid(2, 0), std::out_of_range);
    EXPECT_THROW(grid(0, 3), std::out_of_range);
    EXPECT_THROW(Array2D<int>(2, 3, std::vector<int>(5)), std::invalid_argument);
    EXPECT_THROW(Array2D<int>(INT64_MAX, 2, 0), std::invalid_argument);
    EXPECT_THROW(Array2D<int>(-1, 2, 0), std::invalid_argument);

    const Array2D<bool> bits(1, 2, std::vector<bool>{true, false});
    EXPECT_EQ(bits.inverted().flattened(), (std::vector<bool>{false, true}));
    EXPECT_EQ(bits.inverted().rows(), 1);
    EXPECT_EQ(bits.inverted().columns(), 2);
}
