// The PNG writer's deflate stream, read back by zlib: runs at and around
// the match-length limits, runs split across writes or handed over as runs,
// several blocks, and symbol frequencies skewed enough to need the 15-bit
// code length limit.

#include "image-read-write/RunLengthDeflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

using ImageReadWrite::detail::RunLengthDeflate;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes compress(const Bytes& data, std::size_t pieceSize) {
    Bytes out;
    RunLengthDeflate deflate(out);
    for (std::size_t at = 0; at < data.size(); at += pieceSize) {
        deflate.write(data.data() + at, std::min(pieceSize, data.size() - at));
    }
    deflate.finish();
    return out;
}

// Inflated by zlib, which also checks the header and the Adler-32 checksum.
Bytes inflated(const Bytes& compressed, std::size_t expectedSize) {
    Bytes out(expectedSize + 1);
    uLongf size = uLongf(out.size());
    const int status = uncompress(out.data(), &size, compressed.data(), uLong(compressed.size()));
    EXPECT_EQ(status, Z_OK);
    out.resize(status == Z_OK ? size : 0);
    return out;
}

} // namespace

TEST(RunLengthDeflate, ZlibReadsBackWhatWasWritten) {
    std::uint32_t seed = 12345;
    auto random = [&] { return seed = seed * 1664525u + 1013904223u; };
    struct Case {
        std::string name;
        Bytes data;
    };
    std::vector<Case> cases = {{"empty", {}}, {"one byte", {7}}};
    // Runs of the previous byte just below, at and just above the longest
    // match (258), and long enough to need many matches.
    for (std::size_t run : {1, 2, 3, 4, 257, 258, 259, 260, 261, 262, 516, 517, 518, 100000}) {
        Bytes data = {9, 1};
        data.insert(data.end(), run, 1);
        data.push_back(9);
        cases.push_back({"run of " + std::to_string(run), data});
    }
    // Noise: a literal per byte, so several blocks, each with every byte value.
    Bytes noise(200000);
    for (auto& b : noise) b = std::uint8_t(random() >> 24);
    cases.push_back({"noise", noise});
    // Byte i occurs fib(i) times: an unlimited Huffman code would need
    // codes of 25 bits.
    Bytes skewed;
    std::size_t a = 1, b = 1;
    for (int value = 0; value < 25; ++value) {
        for (std::size_t i = 0; i < a; ++i) skewed.push_back(std::uint8_t(value * 7));
        std::swap(a, b);
        b += a;
    }
    for (std::size_t i = skewed.size() - 1; i > 0; --i) std::swap(skewed[i], skewed[random() % (i + 1)]);
    cases.push_back({"Fibonacci frequencies", skewed});
    // Scanline-like: filter bytes and long runs of zeros between short edges.
    Bytes rows;
    for (int y = 0; y < 3000; ++y) {
        rows.push_back(std::uint8_t(y % 3 == 0 ? 0 : 2));
        for (int x = 0; x < 700; ++x) rows.push_back(y % 3 == 0 && x % 90 < 40 ? std::uint8_t(x % 90 ? 255 : 131) : 0);
    }
    cases.push_back({"rows", rows});
    // A shadow's filtered rows: short runs and literals at random, now and
    // then a run past the longest match, over several blocks.
    Bytes mixed;
    while (mixed.size() < 400000) {
        const std::uint32_t r = random();
        const std::size_t length = (r >> 8) % 97 == 0 ? 250 + (r >> 16) % 300 : 1 + (r >> 16) % 6;
        mixed.insert(mixed.end(), length, std::uint8_t(r >> 24) % 5);
    }
    cases.push_back({"short runs and literals", mixed});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t piece : {std::size_t(1), std::size_t(1000), c.data.size() + 1}) {
            SCOPED_TRACE("written in pieces of " + std::to_string(piece));
            const Bytes compressed = compress(c.data, piece);
            EXPECT_EQ(inflated(compressed, c.data.size()), c.data);
            if (piece == 1000) {
                EXPECT_EQ(compressed, compress(c.data, 1)) << "depends on how writes are split";
            }
        }
    }
    // Runs handed over as runs make the same stream as their bytes, with
    // the same checksum, also past the checksum's modulus (65521).
    Bytes expanded;
    Bytes viaRuns;
    {
        RunLengthDeflate deflate(viaRuns);
        const std::vector<std::pair<int, std::size_t>> runs = {{2, 1},        {0, 1024}, {2, 1}, {0, 1024}, {0, 70000},
                                                               {255, 131073}, {7, 2},    {7, 0}, {9, 1}};
        for (auto [byte, count] : runs) {
            expanded.insert(expanded.end(), count, std::uint8_t(byte));
            deflate.writeRun(std::uint8_t(byte), count);
            const Bytes few = {5, 6, 6};
            deflate.write(few.data(), few.size());
            expanded.insert(expanded.end(), few.begin(), few.end());
        }
        deflate.finish();
    }
    EXPECT_EQ(viaRuns, compress(expanded, 1000));
    EXPECT_EQ(inflated(viaRuns, expanded.size()), expanded);

    // Long runs cost about two bits per 258 bytes.
    EXPECT_LT(compress(Bytes(1 << 20, 0), 4096).size(), 1100u);
}

// Pieces compressed apart (as threads compress bands of rows) and joined
// make one stream that zlib reads back, checksum included: pieces empty,
// of one byte, cut inside runs and across block limits.
TEST(RunLengthDeflate, PiecesCompressedApartJoinIntoOneStream) {
    std::uint32_t seed = 777;
    auto random = [&] { return seed = seed * 1664525u + 1013904223u; };
    Bytes data;
    while (data.size() < 300000) {
        const std::uint32_t r = random();
        const std::size_t length = (r >> 8) % 13 == 0 ? 200 + (r >> 16) % 700 : 1 + (r >> 16) % 5;
        data.insert(data.end(), length, std::uint8_t(r >> 24) % 7);
    }
    for (const std::vector<std::size_t>& cuts : {std::vector<std::size_t>{},
                                                 {0},
                                                 {1},
                                                 {1000, 1000, 1001},
                                                 {150000},
                                                 {70000, 140000, 210000, 280000},
                                                 {data.size()},
                                                 {5, 131072, 131073, 299999}}) {
        SCOPED_TRACE(::testing::Message() << cuts.size() << " cuts");
        std::vector<Bytes> pieces;
        std::vector<std::uint32_t> adlers;
        std::vector<std::size_t> sizes;
        std::size_t at = 0;
        for (std::size_t i = 0; i <= cuts.size(); ++i) {
            const std::size_t end = i < cuts.size() ? cuts[i] : data.size();
            Bytes piece;
            RunLengthDeflate deflate(piece, RunLengthDeflate::Piece{});
            deflate.write(data.data() + at, end - at);
            deflate.finishPiece();
            pieces.push_back(std::move(piece));
            adlers.push_back(deflate.adler());
            sizes.push_back(end - at);
            at = end;
        }
        const Bytes joined = RunLengthDeflate::joinPieces(pieces, adlers, sizes);
        EXPECT_EQ(inflated(joined, data.size()), data);
        // A piece costs its own code tables, not more.
        EXPECT_LT(joined.size(), compress(data, data.size()).size() + 200 * (cuts.size() + 1));
    }
}
