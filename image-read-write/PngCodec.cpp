// PNG: written here (chunks around a run-length deflate stream), read with
// libpng's simplified interface, or row by row where that interface fails.

#include "image-read-write/Codecs.h"
#include "image-read-write/ImageExportType.h"
#include "image-read-write/RunLengthDeflate.h"
#include "platform/gfx/Crew.h"

#include <png.h>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace ImageReadWrite::detail {
namespace {

// The smallest exact form of an image in PNG: grey at 1, 2, 4 or 8 bits
// when every pixel is an opaque grey, a palette of up to 256 colours (with a
// transparency table when some are not opaque), else grey-alpha, RGB or RGBA.
// Codes are mostly two colours with anti-aliased edges between them, which
// fit a palette or a grey ramp; a third of the bytes or less goes through
// deflate, which is where a PNG export spends its time.
class PngLayout {
public:
    explicit PngLayout(const gfx::Image& image) : repeats_(std::size_t(image.height())) {
        std::uint32_t last = 0;
        bool haveLast = false;
        const std::size_t rowBytes = std::size_t(image.width()) * 4;
        std::array<std::uint8_t, 256> levels{};
        // Once the opaque greys seen leave 8-bit grey as the only form they
        // fit, rows of opaque greys need not be marked (a shadow's blurred
        // picture has a new level almost every pixel); should another
        // colour come, the rows passed over are marked after all.
        bool settled = false, onlyGreys = true;
        for (int y = 0; y < image.height(); ++y) {
            const std::uint32_t* row = image.row(y);
            // Most rows of a code repeat the row above: nothing new in them.
            repeats_[std::size_t(y)] = y > 0 && std::memcmp(row, image.row(y - 1), rowBytes) == 0;
            if (repeats_[std::size_t(y)]) continue;
            if (settled && allOpaqueGreys(row, image.width())) continue;
            if (settled) {
                settled = false;
                for (int above = 0; above < y; ++above) {
                    if (!repeats_[std::size_t(above)]) markOpaqueGreys(image.row(above), image.width(), levels);
                }
            }
            if (markOpaqueGreys(row, image.width(), levels)) {
                settled = onlyGreys && onlyEightBitGrey(levels);
                continue;
            }
            onlyGreys = false;
            for (int x = 0; x < image.width(); ++x) {
                const std::uint32_t v = row[x];
                if (haveLast && v == last) continue;
                last = v;
                haveLast = true;
                see(v);
            }
        }
        for (unsigned level = 0; level < 256; ++level) {
            if (levels[level] != 0) see(0xFF000000u | level * 0x010101u);
        }
        choose();
    }

    int colorType() const { return colorType_; }
    // Whether image row y is the same as the row above.
    bool repeatsRowAbove(int y) const { return repeats_[std::size_t(y)]; }
    int bitDepth() const { return bitDepth_; }
    const std::vector<png_color>& palette() const { return palette_; }
    const std::vector<png_byte>& transparency() const { return trns_; }
    std::size_t rowBytes(int width) const {
        const std::size_t bits = std::size_t(width) * std::size_t(channels()) * std::size_t(bitDepth_);
        return (bits + 7) / 8;
    }
    // Bytes from one pixel to the next, as the filters count them.
    std::size_t filterDistance() const { return std::size_t(std::max(1, channels() * bitDepth_ / 8)); }

    // The file's bytes of one image row; never throws.
    void convertRow(const std::uint32_t* src, int width, png_bytep out) const {
        switch (colorType_) {
        case PNG_COLOR_TYPE_GRAY:
            if (bitDepth_ == 8) {
                int x = 0; // blue equals the grey level
#if defined(__SSE2__)
                const __m128i low = _mm_set1_epi32(0xFF);
                for (; x + 16 <= width; x += 16) {
                    __m128i v[4];
                    for (int i = 0; i < 4; ++i) {
                        v[i] = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x + 4 * i)), low);
                    }
                    const __m128i words = _mm_packs_epi32(v[0], v[1]), words2 = _mm_packs_epi32(v[2], v[3]);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(words, words2));
                }
#endif
                for (; x < width; ++x) out[x] = png_byte(src[x]);
            } else {
                pack(src, width, out, [this](std::uint32_t v) { return unsigned(v & 0xFF) / greyStep_; });
            }
            return;
        case PNG_COLOR_TYPE_PALETTE: {
            std::uint32_t last = ~src[0];
            unsigned index = 0;
            pack(src, width, out, [&](std::uint32_t v) {
                if (v != last) {
                    last = v;
                    index = indexOf(v);
                }
                return index;
            });
            return;
        }
        default: {
            const int n = channels();
            for (int x = 0; x < width; ++x, out += n) {
                std::uint8_t r, g, b, a;
                unpremultiply(src[x], r, g, b, a);
                if (colorType_ == PNG_COLOR_TYPE_GRAY_ALPHA) {
                    out[0] = b;
                    out[1] = a;
                    continue;
                }
                out[0] = r;
                out[1] = g;
                out[2] = b;
                if (n == 4) out[3] = a;
            }
        }
        }
    }

private:
    static constexpr std::size_t kSlots = 1024; // open addressing for up to 257 colours
    static constexpr unsigned kMaxColours = 256;

    // An opaque premultiplied pixel whose three channels are equal.
    static bool isOpaqueGrey(std::uint32_t v) { return (v >> 24) == 0xFF && ((v ^ (v >> 8)) & 0xFFFF) == 0; }

#if defined(__SSE2__)
    // Whether the four pixels from `p` are all opaque greys.
    static bool fourOpaqueGreys(const std::uint32_t* p) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_and_si128(v, _mm_set1_epi32(0xFF));
        const __m128i grey = _mm_or_si128(_mm_or_si128(b, _mm_slli_epi32(b, 8)),
                                          _mm_or_si128(_mm_slli_epi32(b, 16), _mm_set1_epi32(int(0xFF000000u))));
        return _mm_movemask_epi8(_mm_cmpeq_epi32(v, grey)) == 0xFFFF;
    }
#endif

    // Marks the level of every opaque grey pixel of a row in `levels`;
    // whether all were opaque greys (anti-aliased codes in black and white
    // are nothing else). On the first other pixel it stops, having marked
    // only greys that are there.
    static bool markOpaqueGreys(const std::uint32_t* row, int width, std::array<std::uint8_t, 256>& levels) {
        auto mark = [&](std::uint32_t v) {
            if (!isOpaqueGrey(v)) return false;
            levels[v & 0xFF] = 1;
            return true;
        };
        if (width == 0) return true;
        if (!mark(row[0])) return false;
        int x = 1;
#if defined(__SSE2__)
        // Four pixels a step; only those that differ from the pixel before
        // them can bring a new level.
        for (; x + 4 <= width; x += 4) {
            if (!fourOpaqueGreys(row + x)) return false;
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x - 1));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(v, before)) != 0xFFFF) {
                for (int i = 0; i < 4; ++i) levels[row[x + i] & 0xFF] = 1;
            }
        }
#endif
        for (; x < width; ++x) {
            if (!mark(row[x])) return false;
        }
        return true;
    }

    // Whether every pixel of a row is an opaque grey.
    static bool allOpaqueGreys(const std::uint32_t* row, int width) {
        int x = 0;
#if defined(__SSE2__)
        for (; x + 4 <= width; x += 4) {
            if (!fourOpaqueGreys(row + x)) return false;
        }
#endif
        for (; x < width; ++x) {
            if (!isOpaqueGrey(row[x])) return false;
        }
        return true;
    }

    // Whether an image of only these grey levels is written as 8-bit grey
    // whatever other greys join them: more than 16 levels (too many for a
    // 4-bit palette) and one of them off the 4-bit grey steps.
    static bool onlyEightBitGrey(const std::array<std::uint8_t, 256>& levels) {
        unsigned count = 0;
        bool offSteps = false;
        for (unsigned level = 0; level < 256; ++level) {
            if (levels[level] == 0) continue;
            ++count;
            offSteps = offSteps || level % 17 != 0;
        }
        return count > 16 && offSteps;
    }

    static std::size_t slotOf(std::uint32_t v) { return (v * 2654435761u) >> 22; }

    // Records one premultiplied pixel value.
    void see(std::uint32_t v) {
        // An opaque grey seen before is in the table already (or the table
        // is full): nothing to learn.
        if (isOpaqueGrey(v) && greyLevels_[v & 0xFF]) return;
        std::uint8_t r, g, b, a;
        unpremultiply(v, r, g, b, a);
        if (a != 255) opaque_ = false;
        if (r != g || g != b)
            grey_ = false;
        else if (a == 255)
            greyLevels_[b] = true;
        if (colours_ > kMaxColours) return;
        std::size_t s = slotOf(v);
        while (keys_[s] != 0) {
            if (std::uint32_t(keys_[s]) == v) return;
            s = (s + 1) % kSlots;
        }
        keys_[s] = std::uint64_t(v) | (std::uint64_t(1) << 32);
        values_[s] = std::uint8_t(colours_ & 0xFF);
        ++colours_;
    }

    unsigned indexOf(std::uint32_t v) const {
        std::size_t s = slotOf(v);
        while (std::uint32_t(keys_[s]) != v || keys_[s] == 0) s = (s + 1) % kSlots;
        return values_[s];
    }

    static int depthFor(unsigned count) { return count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8; }

    int channels() const {
        switch (colorType_) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        default: return 4;
        }
    }

    void choose() {
        int greyDepth = 8;
        if (grey_ && opaque_) {
            for (int depth : {1, 2, 4}) {
                const unsigned step = 255 / ((1u << depth) - 1);
                bool fits = true;
                for (unsigned level = 0; level < 256 && fits; ++level) fits = !greyLevels_[level] || level % step == 0;
                if (fits) {
                    greyDepth = depth;
                    break;
                }
            }
        }
        const bool fitsPalette = colours_ <= kMaxColours;
        if (grey_ && opaque_ && !(fitsPalette && depthFor(colours_) < greyDepth)) {
            colorType_ = PNG_COLOR_TYPE_GRAY;
            bitDepth_ = greyDepth;
            greyStep_ = 255 / ((1u << greyDepth) - 1);
        } else if (fitsPalette) {
            colorType_ = PNG_COLOR_TYPE_PALETTE;
            bitDepth_ = depthFor(colours_);
            buildPalette();
        } else if (grey_) {
            colorType_ = PNG_COLOR_TYPE_GRAY_ALPHA;
        } else {
            colorType_ = opaque_ ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA;
        }
    }

    // Entries that are not opaque come first, so the transparency table
    // stops at the last of them.
    void buildPalette() {
        std::vector<std::size_t> slots;
        for (std::size_t s = 0; s < kSlots; ++s) {
            if (keys_[s] != 0) slots.push_back(s);
        }
        std::stable_sort(slots.begin(), slots.end(), [this](std::size_t a, std::size_t b) {
            const bool ta = (keys_[a] >> 24 & 0xFF) != 0xFF, tb = (keys_[b] >> 24 & 0xFF) != 0xFF;
            if (ta != tb) return ta;
            return values_[a] < values_[b];
        });
        palette_.resize(slots.size());
        for (std::size_t i = 0; i < slots.size(); ++i) {
            std::uint8_t r, g, b, a;
            unpremultiply(std::uint32_t(keys_[slots[i]]), r, g, b, a);
            palette_[i] = png_color{r, g, b};
            if (a != 255) trns_.push_back(a);
            values_[slots[i]] = std::uint8_t(i);
        }
    }

    // Packs one sample of bitDepth_ bits per pixel, most significant first.
    template <class Sample> void pack(const std::uint32_t* src, int width, png_bytep out, Sample&& sample) const {
        if (bitDepth_ == 8) {
            for (int x = 0; x < width; ++x) out[x] = png_byte(sample(src[x]));
            return;
        }
        const int perByte = 8 / bitDepth_;
        for (int x = 0; x < width; x += perByte) {
            unsigned byte = 0;
            const int n = std::min(perByte, width - x);
            for (int i = 0; i < n; ++i) byte |= sample(src[x + i]) << (8 - bitDepth_ * (i + 1));
            *out++ = png_byte(byte);
        }
    }

    std::vector<bool> repeats_;
    bool opaque_ = true;
    bool grey_ = true;
    std::array<bool, 256> greyLevels_{};
    unsigned colours_ = 0;
    std::array<std::uint64_t, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> values_{};
    int colorType_ = PNG_COLOR_TYPE_RGB_ALPHA;
    int bitDepth_ = 8;
    unsigned greyStep_ = 1;
    std::vector<png_color> palette_;
    std::vector<png_byte> trns_;
};

void appendChunk(Bytes& out, const char (&type)[5], const std::uint8_t* data, std::size_t size) {
    appendBigEndian(out, std::uint32_t(size), 4);
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (size != 0) out.insert(out.end(), data, data + size);
    appendBigEndian(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))), 4);
}

// out[i] = a[i] - b[i] for i < n.
void subtract(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_sub_epi8(va, vb));
    }
#endif
    for (; i < n; ++i) out[i] = std::uint8_t(a[i] - b[i]);
}

// How many of bytes 1...n differ from the byte before them.
std::size_t changes(const std::uint8_t* bytes, std::size_t n) {
    std::size_t count = 0, i = 1;
#if defined(__SSE2__)
    const __m128i one = _mm_set1_epi8(1), zero = _mm_setzero_si128();
    __m128i same = zero; // two 64-bit counts
    for (; i + 16 <= n + 1; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i - 1));
        same = _mm_add_epi64(same, _mm_sad_epu8(_mm_and_si128(_mm_cmpeq_epi8(v, before), one), zero));
        count += 16;
    }
    alignas(16) std::uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), same);
    count -= std::size_t(lanes[0] + lanes[1]);
#endif
    for (; i <= n; ++i) count += bytes[i] != bytes[i - 1];
    return count;
}

// The Paeth filter of a row: `row` and `above` are preceded by `distance`
// zero bytes, which stand for the pixel left of the row.
void paeth(const std::uint8_t* row, const std::uint8_t* above, std::uint8_t* out, std::size_t n, std::size_t distance) {
    // Indexed from the left neighbours' own pointers: i - distance would wrap
    // below zero at the row's start.
    const std::uint8_t* const left = row - distance;
    const std::uint8_t* const aboveLeft = above - distance;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto predict = [&](__m128i a, __m128i b, __m128i c) {
        // pa = |p - a| = |b - c|, pb = |a - c|, pc = |a + b - 2c|
        auto abs16 = [&](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(zero, v)); };
        const __m128i pa = abs16(_mm_sub_epi16(b, c));
        const __m128i pb = abs16(_mm_sub_epi16(a, c));
        const __m128i pc = abs16(_mm_sub_epi16(_mm_add_epi16(a, b), _mm_add_epi16(c, c)));
        const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        const __m128i useC = _mm_cmpgt_epi16(pb, pc);
        const __m128i bOrC = _mm_or_si128(_mm_and_si128(useC, c), _mm_andnot_si128(useC, b));
        return _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
    };
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(aboveLeft + i));
        const __m128i low = predict(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero));
        const __m128i high =
            predict(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_sub_epi8(x, _mm_packus_epi16(low, high)));
    }
#endif
    for (; i < n; ++i) {
        const int a = left[i], b = above[i], c = aboveLeft[i];
        const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
        out[i] = std::uint8_t(row[i] - (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
    }
}

// Pictures with this many bytes of scanlines that do not repeat the one
// above are compressed in pieces on several threads, each piece holding at
// least the second many such bytes, in at most kMostPieces pieces.
constexpr std::size_t kPiecesMinBytes = std::size_t(3) << 18;
constexpr std::size_t kPieceMinBytes = std::size_t(1) << 17;
constexpr std::size_t kMostPieces = 8;

// The compressed scanlines, each with its filter byte. Rows that repeat the
// one above are all zeros under the "up" filter. Other rows take the filter
// (none, sub, up or Paeth) that leaves the fewest changes from one byte to
// the next, since the run-length deflate that follows codes one match per
// run: rows of anti-aliased round modules mostly keep their runs of one
// level unfiltered, the edge rows of square modules mostly shrink to zeros
// under "up", and gradient fills and pictures flatten under "sub" and
// Paeth (a linear gradient code in RGB is half the size it is with none and
// up alone). Measured on 1024 x 1024 codes at versions 6 and 22, libpng's
// sum-of-differences choice is larger, the average filter never wins, and
// zlib's matching strategies at any level are slower and larger for codes.
Bytes compressedRows(const gfx::Image& image, const PngLayout& layout) {
    const int width = image.width(), height = image.height();
    const std::size_t rowBytes = layout.rowBytes(width), distance = layout.filterDistance();
    // Rows y0 ... y1 - 1 into `deflate`, filtered against the row above y0.
    const auto compress = [&](int y0, int y1, RunLengthDeflate& deflate) {
        // The rows of the file, after eight zero bytes: the pixel left of
        // the row for sub and Paeth, and (the last) the filter byte of "none".
        constexpr std::size_t kLead = 8;
        std::vector<std::uint8_t> previous(kLead + rowBytes), current(kLead + rowBytes);
        // Filtered rows, each after its filter byte.
        std::vector<std::uint8_t> sub(rowBytes + 1), up(rowBytes + 1), paethRow(rowBytes + 1);
        sub[0] = 1;
        up[0] = 2;
        paethRow[0] = 4;
        if (y0 > 0) layout.convertRow(image.row(y0 - 1), width, previous.data() + kLead);
        for (int y = y0; y < y1; ++y) {
            if (y > 0 && layout.repeatsRowAbove(y)) {
                deflate.writeRun(2, 1);
                deflate.writeRun(0, rowBytes);
                continue;
            }
            std::uint8_t* const row = current.data() + kLead;
            const std::uint8_t* const above = previous.data() + kLead;
            layout.convertRow(image.row(y), width, row);
            subtract(row, row - distance, sub.data() + 1, rowBytes);
            subtract(row, above, up.data() + 1, rowBytes);
            paeth(row, above, paethRow.data() + 1, rowBytes, distance);
            const std::uint8_t* chosen = row - 1;
            std::size_t least = changes(chosen, rowBytes);
            for (const std::uint8_t* filtered : {sub.data(), up.data(), paethRow.data()}) {
                const std::size_t count = changes(filtered, rowBytes);
                if (count < least) {
                    least = count;
                    chosen = filtered;
                }
            }
            deflate.write(chosen, rowBytes + 1);
            previous.swap(current);
        }
    };
    // A large picture is compressed in pieces of rows on several threads,
    // each piece ending on a byte boundary (see RunLengthDeflate::Piece):
    // the rows are filtered as before, and a piece costs its own code
    // tables, a few hundred bytes. How a picture is cut depends on it
    // alone, so the file is the same on every machine.
    // The work is in the rows that do not repeat the one above (a code's
    // rows mostly do; a shadow's blurred rows do not).
    std::vector<std::size_t> workBefore(std::size_t(height) + 1, 0);
    for (int y = 0; y < height; ++y) {
        const bool repeats = y > 0 && layout.repeatsRowAbove(y);
        workBefore[std::size_t(y) + 1] = workBefore[std::size_t(y)] + (repeats ? 0 : rowBytes + 1);
    }
    const std::size_t work = workBefore.back();
    if (work < kPiecesMinBytes) {
        Bytes out;
        RunLengthDeflate deflate(out);
        compress(0, height, deflate);
        deflate.finish();
        return out;
    }
    const std::size_t pieces = std::clamp<std::size_t>(work / kPieceMinBytes, 2, kMostPieces);
    std::vector<Bytes> compressed(pieces);
    std::vector<std::uint32_t> adlers(pieces);
    std::vector<std::size_t> sizes(pieces);
    // Pieces of about equal work.
    const auto firstRow = [&](std::size_t piece) {
        if (piece == pieces) return height;
        return int(std::lower_bound(workBefore.begin(), workBefore.end(), work / pieces * piece) - workBefore.begin());
    };
    gfx::detail::Crew crew;
    const bool done = crew.forEach(pieces, [&](std::size_t piece) {
        const int y0 = firstRow(piece), y1 = firstRow(piece + 1);
        RunLengthDeflate deflate(compressed[piece], RunLengthDeflate::Piece{});
        compress(y0, y1, deflate);
        deflate.finishPiece();
        adlers[piece] = deflate.adler();
        sizes[piece] = (rowBytes + 1) * std::size_t(y1 - y0);
    });
    if (!done) throw std::bad_alloc();
    return RunLengthDeflate::joinPieces(compressed, adlers, sizes);
}

png_uint_32 pixelsPerMetre(double dpi) {
    const double ppm = std::round(dpi / 0.0254);
    if (!(ppm >= 1)) return 1;
    if (ppm > 0x7FFFFFFF) return 0x7FFFFFFF;
    return png_uint_32(ppm);
}

Bytes pngFile(const gfx::Image& image, const EncodeSettings& settings) {
    const auto layout = std::make_unique<PngLayout>(image);
    const Bytes data = compressedRows(image, *layout);

    Bytes out;
    out.reserve(data.size() + 1024);
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.insert(out.end(), signature, signature + 8);
    Bytes header;
    appendBigEndian(header, std::uint32_t(image.width()), 4);
    appendBigEndian(header, std::uint32_t(image.height()), 4);
    header.insert(header.end(), {std::uint8_t(layout->bitDepth()), std::uint8_t(layout->colorType()), 0, 0, 0});
    appendChunk(out, "IHDR", header.data(), header.size());
    if (layout->colorType() == PNG_COLOR_TYPE_PALETTE) {
        Bytes palette;
        for (const png_color& c : layout->palette()) palette.insert(palette.end(), {c.red, c.green, c.blue});
        appendChunk(out, "PLTE", palette.data(), palette.size());
        if (!layout->transparency().empty()) {
            appendChunk(out, "tRNS", layout->transparency().data(), layout->transparency().size());
        }
    }
    Bytes physical;
    appendBigEndian(physical, pixelsPerMetre(settings.dpiX), 4);
    appendBigEndian(physical, pixelsPerMetre(settings.dpiY), 4);
    physical.push_back(1); // per metre
    appendChunk(out, "pHYs", physical.data(), physical.size());
    // Chunks of at most 1 MiB, far below the format's limit of 2 GiB.
    constexpr std::size_t kMaxChunk = std::size_t(1) << 20;
    for (std::size_t at = 0; at < data.size(); at += kMaxChunk) {
        appendChunk(out, "IDAT", data.data() + at, std::min(kMaxChunk, data.size() - at));
    }
    appendChunk(out, "IEND", nullptr, 0);
    return out;
}

} // namespace

Bytes encodePNG(const gfx::Image& image, const EncodeSettings& settings) {
    checkEncodable(image, ImageTypeIdentifier::png);
    try {
        return pngFile(image, settings);
    } catch (const std::bad_alloc&) {
        failEncoding(ImageTypeIdentifier::png);
    }
}

constexpr double kMaxDeflateRatio = 1032;

namespace {

// libpng inflates every compressed text chunk before the pixels, up to 8 MB
// from a few kilobytes each and a thousand of them, and keeps the text,
// though a picture has no use for it: a file with text chunks is read
// without them. Empty when there are none; a malformed chunk ends the walk
// and is left to libpng to refuse.
Bytes withoutTextChunks(ByteView data) {
    Bytes kept;
    std::size_t at = 8, copied = 0;
    while (data.size() - at >= 12) {
        const std::uint32_t length = std::uint32_t(data[at]) << 24 | std::uint32_t(data[at + 1]) << 16 |
                                     std::uint32_t(data[at + 2]) << 8 | data[at + 3];
        if (length > data.size() - at - 12) break;
        const std::size_t end = at + 12 + length;
        const ByteView type = data.subspan(at + 4, 4);
        const bool text = std::memcmp(type.data(), "tEXt", 4) == 0 || std::memcmp(type.data(), "zTXt", 4) == 0 ||
                          std::memcmp(type.data(), "iTXt", 4) == 0;
        if (text) {
            kept.insert(kept.end(), data.begin() + std::ptrdiff_t(copied), data.begin() + std::ptrdiff_t(at));
            copied = end;
        }
        if (std::memcmp(type.data(), "IEND", 4) == 0) break;
        at = end;
    }
    if (copied != 0) kept.insert(kept.end(), data.begin() + std::ptrdiff_t(copied), data.end());
    return kept;
}

// libpng's simplified reader merges each Adam7 pass of a 16-bit file into
// a stale row when it scales the samples to 8 bits, so that a fifth to a
// half of the pixels come out wrong (libpng 1.6.39 among others). Such files
// are read row by row instead, through the same transforms that reader sets
// up for 8-bit output, so they read exactly as the same picture does
// without interlace. IHDR comes first, and the simplified reader has
// checked it.
bool isSixteenBitInterlaced(ByteView data) {
    constexpr std::size_t kBitDepth = 8 + 8 + 8, kInterlace = kBitDepth + 4;
    return data.size() > kInterlace && data[kBitDepth] == 16 && data[kInterlace] == PNG_INTERLACE_ADAM7;
}

struct MemoryInput {
    ByteView data;
    std::size_t at = 0;
};

void readFromMemory(png_structp png, png_bytep out, std::size_t size) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (size > input->data.size() - input->at) png_error(png, "file ends early");
    std::memcpy(out, input->data.data() + input->at, size);
    input->at += size;
}

[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// Reads the picture into `rows` as `format` (8-bit BGRA or ARGB, straight
// alpha); false when libpng finds the file broken or unlike `width` by
// `height`. libpng reports errors by a long jump to here, so nothing in
// this function may need destroying.
bool readRowByRow(png_structp png, png_infop info, png_uint_32 format, png_uint_32 width, png_uint_32 height,
                  png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_benign_errors(png, 1);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != width || png_get_image_height(png, info) != height ||
        png_get_bit_depth(png, info) != 16)
        return false;
    const int colorType = png_get_color_type(png, info);
    const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    const bool alphaFirst = (format & PNG_FORMAT_FLAG_AFIRST) != 0;
    png_set_expand(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    // The output is sRGB, and so are samples whose file states no gamma
    // (libpng takes the inverse of the output's gamma as the file's then),
    // as the simplified reader is told to take them.
    png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    png_set_scale_16(png);
    if (!alpha) png_set_add_alpha(png, 255, alphaFirst ? PNG_FILLER_BEFORE : PNG_FILLER_AFTER);
    if ((format & PNG_FORMAT_FLAG_BGR) != 0) png_set_bgr(png);
    if (alpha && alphaFirst) png_set_swap_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(width) * 4) return false;
    png_read_image(png, rows);
    return true;
}

void decodeSixteenBitInterlaced(ByteView data, png_uint_32 format, gfx::Image& image) {
    struct Reader {
        png_structp png = nullptr;
        png_infop info = nullptr;
        ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    } reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (reader.png) reader.info = png_create_info_struct(reader.png);
    if (!reader.info) throw std::bad_alloc();
    MemoryInput input{data};
    png_set_read_fn(reader.png, &input, readFromMemory);
    std::vector<png_bytep> rows(std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) rows[std::size_t(y)] = reinterpret_cast<png_bytep>(image.row(y));
    if (!readRowByRow(reader.png, reader.info, format, png_uint_32(image.width()), png_uint_32(image.height()),
                      rows.data()))
        failDecoding();
}

} // namespace

// Decoding uses libpng's simplified interface, which catches libpng's jumps
// itself and reports failure by its return value.
gfx::ImagePtr decodePNG(ByteView file, std::int64_t maxPixels) {
    const Bytes withoutText = file.size() > 8 ? withoutTextChunks(file) : Bytes();
    const ByteView data = withoutText.empty() ? file : ByteView(withoutText);
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    struct Release {
        png_image* p;
        ~Release() { png_image_free(p); }
    } release{&png};
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size())) failDecoding();
    // 16-bit samples of a file that states neither gAMA nor sRGB are taken
    // as sRGB-encoded, as at 8 bits and as viewers and editors take them;
    // libpng would otherwise assume linear light and draw them far lighter.
    // An embedded ICC profile is no such statement: no picture is colour
    // managed here, at any depth. Set after the header is read, which
    // clears the flags.
    png.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    checkDecodedSize(png.width, png.height, maxPixels);
    // Deflate packs at most 1032 bytes into one, and every row holds at
    // least one filter byte and one bit per pixel: a file shorter than that
    // bound lies about its size and would only cost memory and time.
    const double leastRowBytes = 1 + std::ceil(double(png.width) / 8);
    if (double(data.size()) * kMaxDeflateRatio < leastRowBytes * double(png.height)) failDecoding();
    // Decoded straight into the image, as the words it keeps (0xAARRGGBB
    // in native byte order), then premultiplied in place.
    png.format = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    auto image = std::make_shared<gfx::Image>(int(png.width), int(png.height));
    if (isSixteenBitInterlaced(data))
        decodeSixteenBitInterlaced(data, png.format, *image);
    else if (!png_image_finish_read(&png, nullptr, image->data(), image->stride(), nullptr))
        failDecoding();
    for (int y = 0; y < image->height(); ++y) {
        std::uint32_t* row = image->row(y);
        for (int x = 0; x < image->width(); ++x) {
            const std::uint32_t v = row[x];
            row[x] = premultiplied(std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), std::uint8_t(v >> 24));
        }
    }
    return image;
}

} // namespace ImageReadWrite::detail
