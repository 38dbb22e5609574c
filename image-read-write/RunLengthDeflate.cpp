#include "image-read-write/RunLengthDeflate.h"

#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace ImageReadWrite::detail {
namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kEndOfBlock = 256;

struct LengthCode {
    std::uint16_t symbol;
    std::uint8_t extraBits;
    std::uint8_t extra;
};

// The length symbol, with its extra bits, of every match length 3...258.
constexpr std::array<LengthCode, 256> kLengthCodes = [] {
    constexpr std::array<int, 29> base = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr std::array<int, 29> extraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                               2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    std::array<LengthCode, 256> table{};
    int code = 0;
    for (int length = 3; length <= 258; ++length) {
        while (code + 1 < 29 && base[code + 1] <= length) ++code;
        table[length - 3] =
            LengthCode{std::uint16_t(257 + code), std::uint8_t(extraBits[code]), std::uint8_t(length - base[code])};
    }
    return table;
}();

// Optimal code lengths of at most maxBits bits (package-merge). At least two
// symbols get a code, so the code is complete as inflaters expect.
void codeLengths(const std::uint32_t* freq, int n, int maxBits, std::uint8_t* lengths) {
    std::fill(lengths, lengths + n, std::uint8_t(0));
    std::vector<int> leaves;
    for (int i = 0; i < n; ++i) {
        if (freq[i] != 0) leaves.push_back(i);
    }
    for (int i = 0; leaves.size() < 2; ++i) {
        if (freq[i] == 0) leaves.push_back(i);
    }
    std::stable_sort(leaves.begin(), leaves.end(), [freq](int a, int b) { return freq[a] < freq[b]; });

    struct Node {
        std::uint64_t weight;
        int symbol; // -1 for a package
        int left, right;
    };
    std::vector<Node> nodes;
    nodes.reserve(leaves.size() * std::size_t(maxBits + 1));
    for (int s : leaves) nodes.push_back(Node{std::max<std::uint64_t>(freq[s], 1), s, -1, -1});
    const std::size_t leafCount = leaves.size();
    std::vector<int> list(leafCount);
    for (std::size_t i = 0; i < leafCount; ++i) list[i] = int(i);
    std::vector<int> next;
    // Leaves and packages are merged by weight, a leaf first on a tie; an
    // infinite weight past the end of each stands for none left, so the
    // merge needs no branches (their outcome follows the data).
    constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
    std::vector<std::uint64_t> leafWeight(leafCount + 1, kNone), packageWeight;
    for (std::size_t i = 0; i < leafCount; ++i) leafWeight[i] = nodes[i].weight;
    for (int level = 1; level < maxBits; ++level) {
        const std::size_t packages = list.size() / 2, firstPackage = nodes.size();
        packageWeight.assign(packages + 1, kNone);
        for (std::size_t j = 0; j < packages; ++j) {
            const int left = list[2 * j], right = list[2 * j + 1];
            packageWeight[j] = nodes[std::size_t(left)].weight + nodes[std::size_t(right)].weight;
            nodes.push_back(Node{packageWeight[j], -1, left, right});
        }
        next.resize(leafCount + packages);
        std::size_t leaf = 0, package = 0;
        for (std::size_t k = 0; k < next.size(); ++k) {
            const bool takePackage = packageWeight[package] < leafWeight[leaf];
            next[k] = takePackage ? int(firstPackage + package) : int(leaf);
            package += takePackage ? 1 : 0;
            leaf += takePackage ? 0 : 1;
        }
        list.swap(next);
    }
    // Each symbol's code length is how often it occurs among the first
    // 2n - 2 items of the last list.
    std::vector<int> stack(list.begin(), list.begin() + std::ptrdiff_t(2 * leafCount - 2));
    while (!stack.empty()) {
        const Node& node = nodes[std::size_t(stack.back())];
        stack.pop_back();
        if (node.symbol >= 0) {
            ++lengths[node.symbol];
        } else {
            stack.push_back(node.left);
            stack.push_back(node.right);
        }
    }
}

// Canonical codes, bit-reversed because deflate sends Huffman codes from
// their most significant bit while the bit writer fills from the least.
void canonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
    std::array<int, kMaxCodeBits + 1> count{};
    for (int i = 0; i < n; ++i) ++count[lengths[i]];
    count[0] = 0;
    std::array<unsigned, kMaxCodeBits + 1> nextCode{};
    unsigned code = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        code = (code + unsigned(count[bits - 1])) << 1;
        nextCode[bits] = code;
    }
    for (int i = 0; i < n; ++i) {
        const int len = lengths[i];
        if (len == 0) continue;
        unsigned c = nextCode[len]++, reversed = 0;
        for (int b = 0; b < len; ++b, c >>= 1) reversed = (reversed << 1) | (c & 1);
        codes[i] = std::uint16_t(reversed);
    }
}

constexpr std::uint32_t kAdlerModulus = 65521;
// Bytes that can be summed before the sums must be reduced: the largest n
// with 255 n (n + 1) / 2 + (n + 1) (kAdlerModulus - 1) below 2^32, as zlib has it.
constexpr std::size_t kAdlerBlock = 5552;

// Adler-32 (RFC 1950). Sixteen bytes at a time where SSE2 is there: the
// byte sum and the sum weighted by distance from the block's end, which is
// what the second running sum adds up to.
std::uint32_t adler32Update(std::uint32_t adler, const std::uint8_t* p, std::size_t n) {
    std::uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    while (n > 0) {
        std::size_t block = std::min(n, kAdlerBlock);
        n -= block;
#if defined(__SSE2__)
        const std::size_t vectors = block / 16;
        if (vectors > 0) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
            const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
            __m128i sum = zero, previousSums = zero, weighted = zero;
            for (std::size_t i = 0; i < vectors; ++i, p += 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                previousSums = _mm_add_epi32(previousSums, sum);
                sum = _mm_add_epi32(sum, _mm_sad_epu8(bytes, zero));
                weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), weightsLow));
                weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(bytes, zero), weightsHigh));
            }
            auto total = [](__m128i v) {
                alignas(16) std::uint32_t lanes[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(lanes), v);
                return std::uint64_t(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
            };
            const std::uint64_t bytesSum = total(sum);
            const std::uint64_t newS2 =
                s2 + std::uint64_t(vectors) * 16 * s1 + 16 * total(previousSums) + total(weighted);
            s1 = std::uint32_t((s1 + bytesSum) % kAdlerModulus);
            s2 = std::uint32_t(newS2 % kAdlerModulus);
            block -= vectors * 16;
        }
#endif
        for (; block > 0; --block) {
            s1 += *p++;
            s2 += s1;
        }
        s1 %= kAdlerModulus;
        s2 %= kAdlerModulus;
    }
    return (s2 << 16) | s1;
}

// Writes bits from the least significant into room reserved beforehand
// (with eight bytes to spare): every put stores eight bytes and moves on by
// the whole bytes it completed, which keeps fewer than eight bits pending.
struct BitWriter {
    std::uint8_t* at;
    std::uint64_t bits;
    int count;

    // n is at most 56.
    void put(std::uint64_t value, int n) {
        bits |= value << count;
        count += n;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(at, &bits, 8);
        } else {
            for (int i = 0; i < 8; ++i) at[i] = std::uint8_t(bits >> (8 * i));
        }
        // At most 63 bits are pending: whole is at most 7.
        const int whole = count >> 3;
        at += whole;
        bits >>= 8 * whole;
        count &= 7;
    }
};

} // namespace

namespace {

// Deflate, 32 KiB window, no preset dictionary; the check bits make the
// pair a multiple of 31.
constexpr std::uint8_t kZlibHeader[2] = {0x78, 0x01};

void appendAdler(std::vector<std::uint8_t>& out, std::uint32_t adler) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(adler >> shift));
}

} // namespace

RunLengthDeflate::RunLengthDeflate(std::vector<std::uint8_t>& out) : out_(out) {
    out_.insert(out_.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
}

RunLengthDeflate::RunLengthDeflate(std::vector<std::uint8_t>& out, Piece) : out_(out) {}

// The token emitters are small and run once a byte or so: defined ahead of
// their callers so that they are inlined. A block ends at exactly
// kBlockTokens tokens, whatever way they come.
inline void RunLengthDeflate::literal(std::uint8_t byte) {
    tokens_[tokenCount_] = byte;
    ++freq_[byte];
    if (++tokenCount_ == kBlockTokens) flushBlock(false);
}

inline void RunLengthDeflate::match(unsigned length) {
    tokens_[tokenCount_] = std::uint16_t(256 + length - 3);
    ++freq_[kLengthCodes[length - 3].symbol];
    if (++tokenCount_ == kBlockTokens) flushBlock(false);
}

inline void RunLengthDeflate::endRun() {
    std::size_t r = run_;
    run_ = 0;
    // Matches of at most 258, none shorter than 3 except a tail of literals.
    while (r > 258) {
        const std::size_t take = r - 258 < 3 ? r - 3 : 258;
        match(unsigned(take));
        r -= take;
    }
    if (r >= 3) {
        match(unsigned(r));
    } else {
        while (r-- > 0) literal(std::uint8_t(previous_));
    }
}

inline void RunLengthDeflate::step(std::uint8_t byte) {
    if (int(byte) != previous_) {
        if (run_ != 0) endRun();
        previous_ = byte;
        literal(byte);
    } else {
        ++run_;
    }
}

#if defined(__SSE2__)
// Sixteen bytes whose equalities to the byte before them are the bits of
// `same`, with room for their tokens in the block. Which tokens a run
// before a literal makes (none, one or two literals, or one match) depends
// on the data alone, so they are chosen without branches: the filtered rows
// of a smooth picture alternate short runs and literals at random, which
// the branches of step() guess wrong about half the time.
inline void RunLengthDeflate::tokenise16(const std::uint8_t* bytes, unsigned same) {
    unsigned differ = ~same & 0xFFFFu;
    // A run before the first literal began run_ bytes before the block.
    std::ptrdiff_t lastLiteral = -1 - std::ptrdiff_t(run_);
    std::size_t n = tokenCount_;
    std::uint16_t* const tokens = tokens_.data();
    while (differ != 0) {
        const int k = std::countr_zero(differ);
        differ &= differ - 1;
        const std::size_t run = std::size_t(k - lastLiteral - 1);
        lastLiteral = k;
        const unsigned before = bytes[k - 1], byte = bytes[k];
        if (run > 258) [[unlikely]] {
            // A long run (several matches) ends here: the rest of the block
            // goes byte by byte.
            tokenCount_ = n;
            run_ = run;
            previous_ = int(before);
            for (int rest = k; rest < 16; ++rest) step(bytes[rest]);
            return;
        }
        const bool isMatch = run >= 3;
        const LengthCode& code = kLengthCodes[isMatch ? run - 3 : 0];
        tokens[n] = isMatch ? std::uint16_t(256 + run - 3) : std::uint16_t(before);
        tokens[n + 1] = std::uint16_t(before);
        freq_[isMatch ? code.symbol : before] += isMatch ? 1u : unsigned(run);
        n += isMatch ? 1 : run;
        tokens[n++] = std::uint16_t(byte);
        ++freq_[byte];
    }
    tokenCount_ = n;
    run_ = std::size_t(15 - lastLiteral);
    previous_ = bytes[15];
    if (tokenCount_ == kBlockTokens) flushBlock(false);
}
#endif

void RunLengthDeflate::write(const std::uint8_t* data, std::size_t size) {
    adler_ = adler32Update(adler_, data, size);
    std::size_t i = 0;
#if defined(__SSE2__)
    if (size > 16) {
        step(data[0]);
        for (i = 1; i + 16 <= size; i += 16) {
            const unsigned same = unsigned(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)),
                                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i - 1)))));
            if (same == 0xFFFF) {
                run_ += 16;
                continue;
            }
            // Sixteen literals and a run's two make at most 48 tokens; a
            // block that could fill up on the way is tokenised byte by byte,
            // so that it ends at exactly kBlockTokens.
            if (kBlockTokens - tokenCount_ < 48) {
                for (std::size_t k = 0; k < 16; ++k) step(data[i + k]);
                continue;
            }
            tokenise16(data + i, same);
        }
    }
#endif
    for (; i < size; ++i) step(data[i]);
}

void RunLengthDeflate::writeRun(std::uint8_t byte, std::size_t count) {
    if (count == 0) return;
    // Each copy adds the byte to the first sum and the new first sum to the second.
    const std::uint64_t s1 = adler_ & 0xFFFF, s2 = adler_ >> 16, m = kAdlerModulus, n = count;
    // n (n + 1) / 2 modulo m, from the factors modulo 2m so that nothing overflows.
    const std::uint64_t triangle = (n % (2 * m)) * ((n + 1) % (2 * m)) / 2 % m;
    const std::uint64_t newS1 = (s1 + n % m * byte) % m;
    const std::uint64_t newS2 = (s2 + n % m * s1 + triangle * byte) % m;
    adler_ = std::uint32_t((newS2 << 16) | newS1);
    if (int(byte) != previous_) {
        endRun();
        previous_ = byte;
        literal(byte);
        --count;
    }
    run_ += count;
}

void RunLengthDeflate::flushBlock(bool last) {
    freq_[kEndOfBlock] = 1;
    std::array<std::uint8_t, kLitLenSymbols> litLen{};
    std::array<std::uint16_t, kLitLenSymbols> litCode{};
    codeLengths(freq_.data(), kLitLenSymbols, kMaxCodeBits, litLen.data());
    canonicalCodes(litLen.data(), kLitLenSymbols, litCode.data());
    int hlit = kLitLenSymbols;
    while (hlit > 257 && litLen[std::size_t(hlit - 1)] == 0) --hlit;
    // Two distance codes of one bit each (a complete code); only the first,
    // distance 1, is ever sent.
    constexpr int hdist = 2;

    // The code lengths of both alphabets, run-length coded with symbols
    // 16 (repeat the last 3-6 times), 17 (3-10 zeros) and 18 (11-138 zeros).
    std::vector<std::uint8_t> all(litLen.begin(), litLen.begin() + hlit);
    all.push_back(1);
    all.push_back(1);
    std::vector<std::pair<std::uint8_t, std::uint8_t>> clSymbols; // symbol, extra
    std::array<std::uint32_t, 19> clFreq{};
    auto emit = [&](int symbol, int extra) {
        clSymbols.emplace_back(std::uint8_t(symbol), std::uint8_t(extra));
        ++clFreq[std::size_t(symbol)];
    };
    for (std::size_t i = 0; i < all.size();) {
        const std::uint8_t v = all[i];
        std::size_t run = 1;
        while (i + run < all.size() && all[i + run] == v) ++run;
        i += run;
        if (v == 0) {
            while (run >= 11) {
                const std::size_t r = std::min<std::size_t>(run, 138);
                emit(18, int(r - 11));
                run -= r;
            }
            if (run >= 3) {
                emit(17, int(run - 3));
                run = 0;
            }
        } else {
            emit(v, 0);
            --run;
            while (run >= 3) {
                const std::size_t r = std::min<std::size_t>(run, 6);
                emit(16, int(r - 3));
                run -= r;
            }
        }
        while (run-- > 0) emit(v, 0);
    }
    std::array<std::uint8_t, 19> clLen{};
    std::array<std::uint16_t, 19> clCode{};
    codeLengths(clFreq.data(), 19, kMaxCodeLengthBits, clLen.data());
    canonicalCodes(clLen.data(), 19, clCode.data());
    static constexpr std::array<std::uint8_t, 19> order = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
    int hclen = 19;
    while (hclen > 4 && clLen[order[std::size_t(hclen - 1)]] == 0) --hclen;

    if (!blockBytes_) blockBytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(kMaxBlockBytes);
    BitWriter out{blockBytes_.get(), bits_, bitCount_};
    out.put(last ? 1 : 0, 1);
    out.put(2, 2); // dynamic Huffman codes
    out.put(std::uint32_t(hlit - 257), 5);
    out.put(hdist - 1, 5);
    out.put(std::uint32_t(hclen - 4), 4);
    for (int i = 0; i < hclen; ++i) out.put(clLen[order[std::size_t(i)]], 3);
    for (const auto& [symbol, extra] : clSymbols) {
        out.put(clCode[symbol], clLen[symbol]);
        if (symbol == 16) out.put(extra, 2);
        if (symbol == 17) out.put(extra, 3);
        if (symbol == 18) out.put(extra, 7);
    }
    // Every token as one string of at most 21 bits: a literal's code, or a
    // length's code, its extra bits and the distance code (a 0 bit).
    std::array<std::uint32_t, 512> tokenBits;
    std::array<std::uint8_t, 512> tokenBitCount;
    for (int t = 0; t < 256; ++t) {
        tokenBits[std::size_t(t)] = litCode[std::size_t(t)];
        tokenBitCount[std::size_t(t)] = litLen[std::size_t(t)];
        const LengthCode& lc = kLengthCodes[std::size_t(t)];
        const int codeBits = litLen[lc.symbol];
        tokenBits[std::size_t(256 + t)] = litCode[lc.symbol] | std::uint32_t(lc.extra) << codeBits;
        tokenBitCount[std::size_t(256 + t)] = std::uint8_t(codeBits + lc.extraBits + 1);
    }
    // Two tokens a put (at most 42 bits): each put waits for the one before.
    std::size_t i = 0;
    for (; i + 2 <= tokenCount_; i += 2) {
        const std::uint16_t first = tokens_[i], second = tokens_[i + 1];
        const int firstBits = tokenBitCount[first];
        out.put(tokenBits[first] | std::uint64_t(tokenBits[second]) << firstBits, firstBits + tokenBitCount[second]);
    }
    if (i < tokenCount_) out.put(tokenBits[tokens_[i]], tokenBitCount[tokens_[i]]);
    out.put(litCode[kEndOfBlock], litLen[kEndOfBlock]);
    out_.insert(out_.end(), blockBytes_.get(), out.at);
    bits_ = out.bits;
    bitCount_ = out.count;
    tokenCount_ = 0;
    freq_.fill(0);
}

void RunLengthDeflate::finish() {
    endRun();
    flushBlock(true);
    while (bitCount_ > 0) {
        out_.push_back(std::uint8_t(bits_));
        bits_ >>= 8;
        bitCount_ -= 8;
    }
    bitCount_ = 0;
    bits_ = 0;
    appendAdler(out_, adler_);
}

void RunLengthDeflate::finishPiece() {
    endRun();
    if (tokenCount_ > 0) flushBlock(false);
    // A stored block (not the last) of no bytes: three header bits, the rest
    // of the byte, and its length and the length's complement.
    std::uint8_t header[16];
    BitWriter out{header, bits_, bitCount_};
    out.put(0, 3);
    out_.insert(out_.end(), header, out.at);
    if (out.count > 0) out_.push_back(std::uint8_t(out.bits));
    out_.insert(out_.end(), {0x00, 0x00, 0xFF, 0xFF});
    bits_ = 0;
    bitCount_ = 0;
}

std::vector<std::uint8_t> RunLengthDeflate::joinPieces(const std::vector<std::vector<std::uint8_t>>& pieces,
                                                       const std::vector<std::uint32_t>& adlers,
                                                       const std::vector<std::size_t>& sizes) {
    std::size_t total = 2 + 2 + 4;
    for (const auto& piece : pieces) total += piece.size();
    std::vector<std::uint8_t> out;
    out.reserve(total);
    out.insert(out.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    std::uint32_t adler = 1;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        out.insert(out.end(), pieces[i].begin(), pieces[i].end());
        adler = std::uint32_t(adler32_combine(adler, adlers[i], z_off_t(sizes[i])));
    }
    // The last block: fixed codes, nothing but its end (ten bits).
    out.insert(out.end(), {0x03, 0x00});
    appendAdler(out, adler);
    return out;
}

} // namespace ImageReadWrite::detail
