#include "QRCodeGenerator/QRCode.h"

#include "QRCodeGenerator/BitBuffer.h"
#include "QRCodeGenerator/detail/Construction.h"

#include <array>
#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace QRCodeGenerator {

using namespace detail;

namespace {

// Error-correction codewords per block and number of blocks, by level
// (low, medium, quartile, high) and version; index 0 is never read.
constexpr std::array<std::array<std::int8_t, 41>, 4> kEccCodewordsPerBlock = {{
    {-1, 7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {-1, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
}};

constexpr std::array<std::array<std::int8_t, 41>, 4> kNumErrorCorrectionBlocks = {{
    {-1, 1, 1, 1,  1,  1,  2,  2,  2,  2,  4,  4,  4,  4,  4,  6,  6,  6,  6,  7, 8,
     8,  9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {-1, 1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,  9,  10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {-1, 1,  1,  2,  2,  4,  4,  6,  6,  8,  8,  8,  10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {-1, 1,  1,  2,  4,  4,  4,  5,  6,  8,  8,  11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
}};

int eccIndex(QRCodeECC ecl) {
    const int index = static_cast<int>(ecl);
    if (index < 0 || index > 3) throw std::invalid_argument("Invalid error correction level");
    return index;
}

// Two bits of the level in the format information.
unsigned formatLevelBits(QRCodeECC ecl) {
    switch (ecl) {
    case QRCodeECC::low: return 1;
    case QRCodeECC::medium: return 0;
    case QRCodeECC::quartile: return 3;
    case QRCodeECC::high: return 2;
    }
    return 0;
}

// Log and antilog tables of GF(2^8) with generator 2 over 0x11D, so that the
// remainder computation multiplies by lookup.
struct GaloisTables {
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};
    constexpr GaloisTables() {
        unsigned x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = static_cast<std::uint8_t>(x);
            log[x] = i;
            x <<= 1;
            if (x & 0x100) x ^= 0x11D;
        }
        for (int i = 255; i < 512; ++i) exp[i] = exp[i - 255];
    }
};
constexpr GaloisTables kGalois;

// The last seven finished run lengths of a line, newest first, held in
// separate variables so that a push stays in registers.
struct RunHistory {
    int h0 = 0, h1 = 0, h2 = 0, h3 = 0, h4 = 0, h5 = 0, h6 = 0;

    // One finished run goes to the front; the light area beyond the edge
    // counts as part of a line's first run.
    void push(int runLength, int size) {
        if (h0 == 0) runLength += size;
        h6 = h5;
        h5 = h4;
        h4 = h3;
        h3 = h2;
        h2 = h1;
        h1 = h0;
        h0 = runLength;
    }

    // Dark, light, dark, light, dark runs in the ratio 1:1:3:1:1 with at
    // least four modules of light on one side and one on the other.
    int countPatterns() const {
        const int n = h1;
        if (n <= 0 || h3 != n * 3 || h2 != n || h4 != n || h5 != n) return 0;
        return (h0 >= n * 4 && h6 >= n ? 1 : 0) + (h6 >= n * 4 && h0 >= n ? 1 : 0);
    }
};

// Lines of modules packed 64 to a word, bit i of word i / 64 for module i.
constexpr int kMaxWords = 3; // 177 modules

inline bool bitAt(const std::uint64_t* bits, int i) { return ((bits[i >> 6] >> (i & 63)) & 1U) != 0; }

// Run and finder-like penalties of one packed line of n modules, taken run by
// run from the positions where a module differs from the next one. This gives
// the same result as walking the line module by module with a run that
// starts light and empty before the first module.
int linePenalty(const std::uint64_t* bits, int n) {
    int result = 0;
    RunHistory history;
    if (bitAt(bits, 0)) history.push(0, n); // the empty light run before a dark first module

    auto finishRun = [&](int length, bool dark) {
        if (length >= 5) result += detail::kPenaltyN1 + (length - 5);
        history.push(length, n);
        if (!dark) result += history.countPatterns() * detail::kPenaltyN3;
    };

    const int words = (n + 63) / 64;
    int previousEnd = -1; // last module of the previous run
    for (int w = 0; w < words; ++w) {
        const std::uint64_t next = w + 1 < words ? bits[w + 1] : 0;
        std::uint64_t changes = bits[w] ^ ((bits[w] >> 1) | (next << 63));
        // Only positions 0 .. n-2 can end a run before the line does.
        const int limit = n - 1 - w * 64;
        if (limit < 64) changes &= limit <= 0 ? 0 : (std::uint64_t(1) << limit) - 1;
        while (changes != 0) {
            const int i = w * 64 + __builtin_ctzll(changes);
            changes &= changes - 1;
            finishRun(i - previousEnd, bitAt(bits, i));
            previousEnd = i;
        }
    }
    const int length = n - 1 - previousEnd;
    if (length >= 5) result += detail::kPenaltyN1 + (length - 5);
    if (bitAt(bits, n - 1)) {
        history.push(length, n);
        history.push(n, n);
    } else {
        history.push(length + n, n);
    }
    result += history.countPatterns() * detail::kPenaltyN3;
    return result;
}

// The eight mask patterns over the largest symbol, row-major with rows of
// kMaxSize cells; a pattern depends only on the coordinates, so smaller
// symbols read the top-left part. Built once on first use.
constexpr int kMaxSize = 177;

const std::vector<std::uint8_t>& maskPatterns() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(static_cast<std::size_t>(8) * kMaxSize * kMaxSize);
        std::size_t i = 0;
        for (int m = 0; m < 8; ++m) {
            for (int y = 0; y < kMaxSize; ++y) {
                for (int x = 0; x < kMaxSize; ++x) {
                    bool invert = false;
                    switch (m) {
                    case 0: invert = (x + y) % 2 == 0; break;
                    case 1: invert = y % 2 == 0; break;
                    case 2: invert = x % 3 == 0; break;
                    case 3: invert = (x + y) % 3 == 0; break;
                    case 4: invert = (x / 3 + y / 2) % 2 == 0; break;
                    case 5: invert = x * y % 2 + x * y % 3 == 0; break;
                    case 6: invert = (x * y % 2 + x * y % 3) % 2 == 0; break;
                    default: invert = ((x + y) % 2 + x * y % 3) % 2 == 0; break;
                    }
                    t[i++] = invert ? 1 : 0;
                }
            }
        }
        return t;
    }();
    return table;
}

} // namespace

namespace {

// The data bits of `chars` characters in `mode`, as the segment makers pack
// them: three digits in 10 bits, two alphanumerics in 11, a byte in 8.
std::size_t dataBits(QRSegment::Mode mode, std::size_t chars) {
    switch (mode) {
    case QRSegment::Mode::numeric: return chars / 3 * 10 + (chars % 3 == 0 ? 0 : chars % 3 * 3 + 1);
    case QRSegment::Mode::alphanumeric: return chars / 2 * 11 + chars % 2 * 6;
    default: return chars * 8;
    }
}

// Refuses a single segment that the largest symbol cannot hold, with the
// error the version search would end in, before any bit of it is built: the
// cost of refusing a huge message does not grow with the message.
void requireFitsLargestVersion(QRSegment::Mode mode, std::size_t chars, QRCodeECC ecl) {
    const int countBits = QRSegment::numCharCountBits(mode, kMaxVersion);
    if (chars >= (std::size_t(1) << countBits)) throw QRCodeError(QRCodeError::Code::dataTooLong, "Segment too long");
    const std::size_t used = 4 + static_cast<std::size_t>(countBits) + dataBits(mode, chars);
    const std::size_t capacityBits = static_cast<std::size_t>(QRCode::getNumDataCodewords(kMaxVersion, ecl)) * 8;
    if (used > capacityBits)
        throw QRCodeError(QRCodeError::Code::dataTooLong, "Data length = " + std::to_string(used) +
                                                              " bits, Max capacity = " + std::to_string(capacityBits) +
                                                              " bits");
}

} // namespace

QRCode QRCode::encode(std::string_view text, QRCodeECC ecl) {
    if (!text.empty()) requireFitsLargestVersion(QRSegment::textMode(text), text.size(), ecl);
    return encode(QRSegment::makeSegments(text), ecl);
}

QRCode QRCode::encodeBinary(std::span<const std::uint8_t> data, QRCodeECC ecl) {
    requireFitsLargestVersion(QRSegment::Mode::byte, data.size(), ecl);
    return encode(std::vector<QRSegment>{QRSegment::makeBytes(data)}, ecl);
}

QRCode QRCode::encode(const std::vector<QRSegment>& segments, QRCodeECC ecl, QRCodeVersion minVersion,
                      QRCodeVersion maxVersion, std::optional<QRCodeMask> mask, bool boostEcl) {
    if (minVersion < kMinVersion || maxVersion > kMaxVersion || minVersion > maxVersion)
        throw std::invalid_argument("Invalid version range");
    if (mask && *mask > 7) throw std::logic_error("Unreachable");

    QRCodeVersion version = minVersion;
    std::size_t dataUsedBits = 0;
    for (;; ++version) {
        const std::size_t capacityBits = static_cast<std::size_t>(getNumDataCodewords(version, ecl)) * 8;
        const auto used = QRSegment::getTotalBits(segments, version);
        if (used && *used <= capacityBits) {
            dataUsedBits = *used;
            break;
        }
        if (version >= maxVersion) {
            if (!used) throw QRCodeError(QRCodeError::Code::dataTooLong, "Segment too long");
            throw QRCodeError(QRCodeError::Code::dataTooLong,
                              "Data length = " + std::to_string(*used) +
                                  " bits, Max capacity = " + std::to_string(capacityBits) + " bits");
        }
    }

    if (boostEcl) {
        for (QRCodeECC level : {QRCodeECC::medium, QRCodeECC::quartile, QRCodeECC::high})
            if (dataUsedBits <= static_cast<std::size_t>(getNumDataCodewords(version, level)) * 8) ecl = level;
        // Capacity shrinks as the level rises, so the last level that fits is
        // the highest one and never below the requested level.
    }

    const std::size_t capacityBits = static_cast<std::size_t>(getNumDataCodewords(version, ecl)) * 8;
    BitBuffer bb;
    bb.bits.reserve(capacityBits);
    for (const QRSegment& seg : segments) {
        bb.appendBits(QRSegment::modeBits(seg.mode), 4);
        bb.appendBits(seg.numChars, QRSegment::numCharCountBits(seg.mode, version));
        bb.appendBits(seg.data);
    }
    bb.appendBits(0, static_cast<int>(std::min<std::size_t>(4, capacityBits - bb.size())));
    bb.appendBits(0, static_cast<int>((8 - bb.size() % 8) % 8));
    for (std::uint32_t pad = 0xEC; bb.size() < capacityBits; pad ^= 0xEC ^ 0x11) bb.appendBits(pad, 8);
    assert(bb.size() == capacityBits && "terminator and padding fill the data capacity exactly");

    std::vector<std::uint8_t> dataCodewords(bb.size() / 8, 0);
    for (std::size_t i = 0; i < bb.size(); ++i)
        if (bb.bits[i]) dataCodewords[i >> 3] |= static_cast<std::uint8_t>(1U << (7 - (i & 7)));

    return QRCode(version, ecl, dataCodewords, mask);
}

QRCode::QRCode(QRCodeVersion version, QRCodeECC errorCorrectionLevel, std::span<const std::uint8_t> dataCodewords,
               std::optional<QRCodeMask> mask)
    : version_(version), size_(version * 4 + 17), errorCorrectionLevel_(errorCorrectionLevel) {
    if (version < kMinVersion || version > kMaxVersion) throw std::invalid_argument("Version value out of range");
    eccIndex(errorCorrectionLevel); // refuses a level outside the four
    if (mask && *mask > 7) throw std::logic_error("Unreachable");
    if (dataCodewords.size() != static_cast<std::size_t>(getNumDataCodewords(version, errorCorrectionLevel)))
        throw std::invalid_argument("Invalid number of data codewords");

    const std::size_t cells = static_cast<std::size_t>(size_) * size_;
    modules_.assign(cells, 0);
    isFunction_.assign(cells, 0);

    drawFunctionPatterns();
    drawCodewords(addEccAndInterleave(dataCodewords, version, errorCorrectionLevel));

    if (!mask) {
        int minPenalty = INT_MAX;
        for (QRCodeMask m = 0; m < 8; ++m) {
            applyMask(m);
            drawFormatBits(m);
            const int penalty = getPenaltyScore();
            if (penalty < minPenalty) {
                mask = m;
                minPenalty = penalty;
            }
            applyMask(m); // masking twice restores the modules
        }
    }
    assert(mask && *mask <= 7);
    mask_ = *mask;
    applyMask(mask_);
    drawFormatBits(mask_);
    isFunction_.clear();
    isFunction_.shrink_to_fit();
}

int detail::getNumRawDataModules(QRCodeVersion version) {
    if (version < kMinVersion || version > kMaxVersion) throw std::invalid_argument("Version number out of range");
    const int v = version;
    int result = (16 * v + 128) * v + 64;
    if (v >= 2) {
        const int a = v / 7 + 2;
        result -= (25 * a - 10) * a - 55;
        if (v >= 7) result -= 36;
    }
    return result;
}

int QRCode::getNumDataCodewords(QRCodeVersion version, QRCodeECC ecl) {
    const int e = eccIndex(ecl);
    return getNumRawDataModules(version) / 8 -
           kEccCodewordsPerBlock[e][version] * kNumErrorCorrectionBlocks[e][version];
}

std::vector<int> detail::getAlignmentPatternPositions(QRCodeVersion version) {
    if (version < kMinVersion || version > kMaxVersion) throw std::invalid_argument("Version number out of range");
    if (version == 1) return {};
    const int v = version;
    const int numAlign = v / 7 + 2;
    const int step = v == 32 ? 26 : (v * 4 + numAlign * 2 + 1) / (numAlign * 2 - 2) * 2;
    std::vector<int> result(static_cast<std::size_t>(numAlign));
    result[0] = 6;
    const int size = v * 4 + 17;
    for (int i = numAlign - 1, pos = size - 7; i >= 1; --i, pos -= step) result[static_cast<std::size_t>(i)] = pos;
    return result;
}

std::uint8_t detail::reedSolomonMultiply(std::uint8_t x, std::uint8_t y) {
    unsigned z = 0;
    for (int i = 7; i >= 0; --i) {
        z = (z << 1) ^ ((z >> 7) * 0x11DU);
        z ^= ((y >> i) & 1U) * x;
    }
    return static_cast<std::uint8_t>(z);
}

std::vector<std::uint8_t> detail::reedSolomonComputeDivisor(int degree) {
    if (degree < 1 || degree > 255) throw std::invalid_argument("Degree out of range");
    std::vector<std::uint8_t> result(static_cast<std::size_t>(degree), 0);
    result.back() = 1;
    std::uint8_t root = 1;
    for (int i = 0; i < degree; ++i) {
        for (std::size_t j = 0; j < result.size(); ++j) {
            result[j] = reedSolomonMultiply(result[j], root);
            if (j + 1 < result.size()) result[j] ^= result[j + 1];
        }
        root = reedSolomonMultiply(root, 0x02);
    }
    return result;
}

std::vector<std::uint8_t> detail::reedSolomonComputeRemainder(std::span<const std::uint8_t> data,
                                                              std::span<const std::uint8_t> divisor) {
    const std::size_t d = divisor.size();
    if (d < 1 || d > 255) throw std::invalid_argument("Degree out of range");
    std::vector<std::uint8_t> result(d, 0);
    // The divisor's logarithms, so that each step is one table read per term.
    std::array<int, 256> divisorLog{};
    for (std::size_t i = 0; i < d; ++i) divisorLog[i] = divisor[i] == 0 ? -1 : kGalois.log[divisor[i]];
    for (std::uint8_t b : data) {
        const std::uint8_t factor = b ^ result[0];
        for (std::size_t i = 0; i + 1 < d; ++i) result[i] = result[i + 1];
        result[d - 1] = 0;
        if (factor == 0) continue;
        const int logFactor = kGalois.log[factor];
        for (std::size_t i = 0; i < d; ++i)
            if (divisorLog[i] >= 0) result[i] ^= kGalois.exp[static_cast<std::size_t>(divisorLog[i] + logFactor)];
    }
    return result;
}

std::vector<std::uint8_t> detail::addEccAndInterleave(std::span<const std::uint8_t> data, QRCodeVersion version,
                                                      QRCodeECC ecl) {
    if (data.size() != static_cast<std::size_t>(QRCode::getNumDataCodewords(version, ecl)))
        throw std::invalid_argument("Invalid argument");
    const int e = eccIndex(ecl);
    const int numBlocks = kNumErrorCorrectionBlocks[e][version];
    const int blockEccLen = kEccCodewordsPerBlock[e][version];
    const int rawCodewords = getNumRawDataModules(version) / 8;
    const int numShortBlocks = numBlocks - rawCodewords % numBlocks;
    const int shortBlockLen = rawCodewords / numBlocks;

    const std::vector<std::uint8_t> divisor = reedSolomonComputeDivisor(blockEccLen);
    std::vector<std::vector<std::uint8_t>> blocks;
    blocks.reserve(static_cast<std::size_t>(numBlocks));
    std::size_t k = 0;
    for (int i = 0; i < numBlocks; ++i) {
        const std::size_t dataLen =
            static_cast<std::size_t>(shortBlockLen - blockEccLen + (i < numShortBlocks ? 0 : 1));
        std::vector<std::uint8_t> block(data.begin() + static_cast<std::ptrdiff_t>(k),
                                        data.begin() + static_cast<std::ptrdiff_t>(k + dataLen));
        k += dataLen;
        const std::vector<std::uint8_t> ecc = reedSolomonComputeRemainder(block, divisor);
        if (i < numShortBlocks) block.push_back(0); // placeholder so that every block has the same length
        block.insert(block.end(), ecc.begin(), ecc.end());
        blocks.push_back(std::move(block));
    }

    std::vector<std::uint8_t> result;
    result.reserve(static_cast<std::size_t>(rawCodewords));
    for (std::size_t i = 0; i < blocks[0].size(); ++i) {
        for (int j = 0; j < numBlocks; ++j) {
            if (i != static_cast<std::size_t>(shortBlockLen - blockEccLen) || j >= numShortBlocks)
                result.push_back(blocks[static_cast<std::size_t>(j)][i]);
        }
    }
    assert(k == data.size() && "the blocks use every data codeword");
    assert(result.size() == static_cast<std::size_t>(rawCodewords) && "one codeword per 8 raw data modules");
    return result;
}

void QRCode::setFunctionModule(int x, int y, bool dark) {
    const std::size_t i = static_cast<std::size_t>(y) * size_ + x;
    modules_[i] = dark ? 1 : 0;
    isFunction_[i] = 1;
}

void QRCode::drawFunctionPatterns() {
    for (int i = 0; i < size_; ++i) {
        setFunctionModule(6, i, i % 2 == 0);
        setFunctionModule(i, 6, i % 2 == 0);
    }
    drawFinderPattern(3, 3);
    drawFinderPattern(size_ - 4, 3);
    drawFinderPattern(3, size_ - 4);

    const std::vector<int> positions = getAlignmentPatternPositions(version_);
    const std::size_t n = positions.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            // The three corners taken by finder patterns get none.
            if ((i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0)) continue;
            drawAlignmentPattern(positions[i], positions[j]);
        }
    }
    drawFormatBits(0);
    drawVersion();
}

void QRCode::drawFinderPattern(int x, int y) {
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            const int dist = std::max(std::abs(dx), std::abs(dy));
            const int xx = x + dx, yy = y + dy;
            if (xx >= 0 && xx < size_ && yy >= 0 && yy < size_) setFunctionModule(xx, yy, dist != 2 && dist != 4);
        }
    }
}

void QRCode::drawAlignmentPattern(int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) setFunctionModule(x + dx, y + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
}

std::uint32_t detail::formatBits(QRCodeECC ecl, QRCodeMask mask) {
    const std::uint32_t data = formatLevelBits(ecl) << 3 | mask;
    std::uint32_t rem = data;
    for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ ((rem >> 9) * 0x537U);
    return (data << 10 | rem) ^ 0x5412U;
}

void QRCode::drawFormatBits(QRCodeMask mask) {
    const std::uint32_t bits = formatBits(errorCorrectionLevel_, mask);
    auto bit = [bits](int i) { return ((bits >> i) & 1U) != 0; };

    for (int i = 0; i <= 5; ++i) setFunctionModule(8, i, bit(i));
    setFunctionModule(8, 7, bit(6));
    setFunctionModule(8, 8, bit(7));
    setFunctionModule(7, 8, bit(8));
    for (int i = 9; i < 15; ++i) setFunctionModule(14 - i, 8, bit(i));

    for (int i = 0; i < 8; ++i) setFunctionModule(size_ - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i) setFunctionModule(8, size_ - 15 + i, bit(i));
    setFunctionModule(8, size_ - 8, true);
}

void QRCode::drawVersion() {
    if (version_ < 7) return;
    std::uint32_t rem = version_;
    for (int i = 0; i < 12; ++i) rem = (rem << 1) ^ ((rem >> 11) * 0x1F25U);
    const std::uint32_t bits = static_cast<std::uint32_t>(version_) << 12 | rem;
    for (int i = 0; i < 18; ++i) {
        const bool dark = ((bits >> i) & 1U) != 0;
        const int a = size_ - 11 + i % 3;
        const int b = i / 3;
        setFunctionModule(a, b, dark);
        setFunctionModule(b, a, dark);
    }
}

void QRCode::drawCodewords(std::span<const std::uint8_t> codewords) {
    const std::size_t totalBits = codewords.size() * 8;
    std::size_t i = 0;
    for (int right = size_ - 1; right >= 1; right -= 2) {
        if (right == 6) right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int vert = 0; vert < size_; ++vert) {
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                const int y = upward ? size_ - 1 - vert : vert;
                const std::size_t index = static_cast<std::size_t>(y) * size_ + x;
                if (!isFunction_[index] && i < totalBits) {
                    modules_[index] = (codewords[i >> 3] >> (7 - static_cast<int>(i & 7))) & 1U;
                    ++i;
                }
            }
        }
    }
    assert(i == totalBits && "every codeword bit has a module");
}

void QRCode::applyMask(QRCodeMask mask) {
    if (mask > 7) throw std::logic_error("Unreachable");
    const std::uint8_t* pattern = maskPatterns().data() + static_cast<std::size_t>(mask) * kMaxSize * kMaxSize;
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    for (int y = 0; y < size_; ++y) {
        std::uint8_t* row = modules_.data() + static_cast<std::size_t>(y) * size_;
        const std::uint8_t* func = isFunction_.data() + static_cast<std::size_t>(y) * size_;
        const std::uint8_t* pat = pattern + static_cast<std::size_t>(y) * kMaxSize;
        int x = 0;
        // Eight cells at a time: cells hold 0 or 1, so the arithmetic of one
        // byte never reaches its neighbour.
        for (; x + 8 <= size_; x += 8) {
            std::uint64_t r, p, f;
            std::memcpy(&r, row + x, 8);
            std::memcpy(&p, pat + x, 8);
            std::memcpy(&f, func + x, 8);
            r ^= p & (f ^ ones);
            std::memcpy(row + x, &r, 8);
        }
        for (; x < size_; ++x) row[x] ^= static_cast<std::uint8_t>(pat[x] & (func[x] ^ 1U));
    }
}

int QRCode::getPenaltyScore() const {
    long long result = 0;
    const int n = size_;
    const int words = (n + 63) / 64;
    const std::uint8_t* m = modules_.data();

    // Pack rows and columns into bits once; every rule then works on words.
    std::array<std::array<std::uint64_t, kMaxWords>, kMaxSize> rows{};
    std::array<std::array<std::uint64_t, kMaxWords>, kMaxSize> columns{};
    for (int y = 0; y < n; ++y) {
        const std::uint8_t* line = m + static_cast<std::size_t>(y) * n;
        auto& rowBits = rows[static_cast<std::size_t>(y)];
        const int yWord = y >> 6;
        const int yBit = y & 63;
        for (int x = 0; x < n; ++x) {
            const std::uint64_t v = line[x];
            rowBits[static_cast<std::size_t>(x >> 6)] |= v << (x & 63);
            columns[static_cast<std::size_t>(x)][static_cast<std::size_t>(yWord)] |= v << yBit;
        }
    }

    // Runs and finder-like patterns along rows, then along columns.
    for (int i = 0; i < n; ++i) result += linePenalty(rows[static_cast<std::size_t>(i)].data(), n);
    for (int i = 0; i < n; ++i) result += linePenalty(columns[static_cast<std::size_t>(i)].data(), n);

    // 2x2 blocks of one colour: a module equal to its right, lower and
    // lower-right neighbours, for the n - 1 first columns of the n - 1 first rows.
    long long blocks = 0;
    for (int y = 0; y + 1 < n; ++y) {
        const auto& a = rows[static_cast<std::size_t>(y)];
        const auto& b = rows[static_cast<std::size_t>(y) + 1];
        for (int w = 0; w < words; ++w) {
            const std::uint64_t aNext = w + 1 < words ? a[static_cast<std::size_t>(w) + 1] : 0;
            const std::uint64_t bNext = w + 1 < words ? b[static_cast<std::size_t>(w) + 1] : 0;
            const std::uint64_t aw = a[static_cast<std::size_t>(w)], bw = b[static_cast<std::size_t>(w)];
            const std::uint64_t aRight = (aw >> 1) | (aNext << 63);
            const std::uint64_t bRight = (bw >> 1) | (bNext << 63);
            std::uint64_t same = ~(aw ^ bw) & ~(aw ^ aRight) & ~(bw ^ bRight);
            const int limit = n - 1 - w * 64;
            if (limit < 64) same &= limit <= 0 ? 0 : (std::uint64_t(1) << limit) - 1;
            blocks += __builtin_popcountll(same);
        }
    }
    result += blocks * kPenaltyN2;

    // Balance of dark and light.
    long long dark = 0;
    for (int y = 0; y < n; ++y)
        for (int w = 0; w < words; ++w)
            dark += __builtin_popcountll(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(w)]);
    const long long total = static_cast<long long>(n) * n;
    const long long k = (std::llabs(dark * 20 - total * 10) + total - 1) / total - 1;
    result += k * kPenaltyN4;
    if (result < INT_MIN || result > INT_MAX) throw std::logic_error("Penalty out of range");
    return static_cast<int>(result);
}

std::string QRCode::toSvgString(int border, const std::optional<std::string>& lightColor, const std::string& darkColor,
                                const std::optional<std::string>& pixelWidth) const {
    if (border < 0) throw std::invalid_argument("Border must be non-negative");
    const long long dim = static_cast<long long>(size_) + 2LL * border;
    std::string s;
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" viewBox=\"0 0 ";
    s += std::to_string(dim) + " " + std::to_string(dim) + "\" stroke=\"none\"";
    if (pixelWidth) s += " width=\"" + *pixelWidth + "\"";
    s += ">\n";
    if (lightColor) s += "  <rect width=\"100%\" height=\"100%\" fill=\"" + *lightColor + "\"/>\n";
    s += "  <path d=\"";
    bool first = true;
    for (int y = 0; y < size_; ++y) {
        for (int x = 0; x < size_; ++x) {
            if (!getModule(x, y)) continue;
            if (!first) s += ' ';
            first = false;
            s += 'M';
            s += std::to_string(x + border);
            s += ',';
            s += std::to_string(y + border);
            s += "h1v1h-1z";
        }
    }
    s += "\" fill=\"" + darkColor + "\"/>\n";
    s += "</svg>\n";
    return s;
}

} // namespace QRCodeGenerator
