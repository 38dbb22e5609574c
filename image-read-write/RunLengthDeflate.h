#pragma once

// A zlib stream (deflate with dynamic Huffman codes) whose only matches
// repeat the byte before: the run-length strategy that suits filtered
// scanlines of codes, without the general matcher's window copies and hash
// upkeep, which cost more than the runs themselves on a bitmap that is
// mostly rows of zeros. Internal to the module.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace ImageReadWrite::detail {

class RunLengthDeflate {
public:
    // Compressed bytes are appended to `out` as they are made.
    explicit RunLengthDeflate(std::vector<std::uint8_t>& out);
    // One piece of a stream whose pieces are compressed apart (on several
    // threads) and joined by joinPieces: no header, and ended by
    // finishPiece instead of finish.
    struct Piece {};
    RunLengthDeflate(std::vector<std::uint8_t>& out, Piece);

    void write(const std::uint8_t* data, std::size_t size);
    // The same as writing `count` copies of `byte`, at a cost that does not
    // grow with the count.
    void writeRun(std::uint8_t byte, std::size_t count);
    // Ends the stream (last block, checksum); nothing may be written after.
    void finish();
    // Ends a piece: its last block (not the stream's) and an empty stored
    // block after it, which leaves the piece on a byte boundary so that
    // pieces join as they are. Nothing may be written after.
    void finishPiece();
    // The Adler-32 checksum of what was written.
    std::uint32_t adler() const { return adler_; }
    // The zlib stream of pieces (in order) that held `sizes` bytes with the
    // checksums `adlers` before compression.
    static std::vector<std::uint8_t> joinPieces(const std::vector<std::vector<std::uint8_t>>& pieces,
                                                const std::vector<std::uint32_t>& adlers,
                                                const std::vector<std::size_t>& sizes);

private:
    static constexpr int kLitLenSymbols = 286;
    static constexpr std::size_t kBlockTokens = std::size_t(1) << 16;
    // A block takes at most 31 bits a token (15 for the length, 5 extra, 1
    // for the distance) besides its header, which is under 600 bytes; the
    // bit writer stores eight bytes past where it stands.
    static constexpr std::size_t kMaxBlockBytes = 4 * kBlockTokens + 1024 + 8;

    void literal(std::uint8_t byte);
    void step(std::uint8_t byte);
    void tokenise16(const std::uint8_t* bytes, unsigned same);
    void endRun();
    void match(unsigned length);
    void flushBlock(bool last);

    std::vector<std::uint8_t>& out_;
    std::unique_ptr<std::uint8_t[]> blockBytes_; // one block's bits, before they join out_
    // Literals are the byte, matches 256 + length - 3; every match has distance 1.
    std::vector<std::uint16_t> tokens_ = std::vector<std::uint16_t>(kBlockTokens);
    std::size_t tokenCount_ = 0;
    std::array<std::uint32_t, kLitLenSymbols> freq_{};
    int previous_ = -1;   // the last byte written, -1 before the first
    std::size_t run_ = 0; // bytes equal to previous_ not yet tokenised
    std::uint32_t adler_ = 1;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
};

} // namespace ImageReadWrite::detail
