#include "platform/gfx/Blur.h"

#include "platform/gfx/Simd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx::detail {

namespace {

// Radii of three box filters whose succession has the variance of a Gaussian
// of `sigma` (the usual construction: widths wl and wl + 2, odd).
void boxRadii(double sigma, int radii[3]) {
    constexpr int n = 3;
    const double wIdeal = std::sqrt(12 * sigma * sigma / n + 1);
    int wl = int(std::floor(wIdeal));
    if (wl % 2 == 0) --wl;
    const int wu = wl + 2;
    const double w = wl;
    const double mIdeal = (12 * sigma * sigma - n * w * w - 4.0 * n * w - 3.0 * n) / (-4.0 * w - 4);
    const int m = int(std::lround(mIdeal));
    for (int i = 0; i < n; ++i) radii[i] = ((i < m ? wl : wu) - 1) / 2;
}

// Every pass writes a window's sum divided by its width d = 2r + 1, rounded.
// Wide windows (a blur of a sigma above about 120) use a 32.32 fixed-point
// reciprocal.
struct Divider {
    std::uint64_t recip;
    explicit Divider(int d) : recip(((std::uint64_t(1) << 32) + std::uint64_t(d) / 2) / std::uint64_t(d)) {}
    std::uint8_t operator()(std::uint32_t sum) const {
        // A sum of at most 255 x d gives at most 255 (d is far below 2^24).
        return std::uint8_t((sum * recip + (std::uint64_t(1) << 31)) >> 32);
    }
};

// Windows of at most 255 samples take a faster way: sums fit 16 bits, so
// eight of them share a vector register, and the quotient comes from a
// multiply. Every way gives the exactly rounded quotient for these widths,
// round(sum / d) = floor((sum + (d - 1) / 2) / d) as d is odd:
// - the 32.32 reciprocal above errs by at most 255 d / 2^33, and sum / d
//   lies at least 1 / (2d) >= 1/510 from a half;
// - so does a float multiply, off by a few units of a 24-bit mantissa on
//   values up to 255;
// - a 16-bit multiply-high by m = ceil(2^k / d) gives floor(n / d) for every
//   n <= N when (m d - 2^k) N < 2^k, which holds with m below 2^16 for most
//   widths (all below 203); the others take the float.
constexpr int kNarrowMaxRadius = 127;

struct NarrowDivider {
    float inv;
    std::uint16_t half;      // (d - 1) / 2
    std::uint16_t magic = 0; // m, or 0 where no 16-bit m fits
    int shift = 0;           // k - 16
    explicit NarrowDivider(int d) : inv(1.0f / float(d)), half(std::uint16_t((d - 1) / 2)) {
        const std::uint64_t largest = 255 * std::uint64_t(d) + half;
        for (int k = 16; k < 32; ++k) {
            const std::uint64_t m = ((std::uint64_t(1) << k) + std::uint64_t(d) - 1) / std::uint64_t(d);
            if (m > 0xFFFF) break;
            if ((m * std::uint64_t(d) - (std::uint64_t(1) << k)) * largest < (std::uint64_t(1) << k)) {
                magic = std::uint16_t(m);
                shift = k - 16;
                break;
            }
        }
    }
    std::uint8_t operator()(std::uint32_t sum) const {
        if (magic != 0) return std::uint8_t(((sum + half) * magic) >> (16 + shift));
        return std::uint8_t(int(float(sum) * inv + 0.5f));
    }
};

#if defined(__SSE2__)
// Eight 16-bit sums to their rounded quotients, as NarrowDivider does.
struct NarrowDivider8 {
    __m128 inv;
    __m128i half, magic, shift;
    bool useMagic;
    explicit NarrowDivider8(const NarrowDivider& d)
        : inv(_mm_set1_ps(d.inv)), half(_mm_set1_epi16(short(d.half))), magic(_mm_set1_epi16(short(d.magic))),
          shift(_mm_cvtsi32_si128(d.shift)), useMagic(d.magic != 0) {}
    __m128i operator()(__m128i sums) const {
        if (useMagic) return _mm_srl_epi16(_mm_mulhi_epu16(_mm_add_epi16(sums, half), magic), shift);
        const __m128i zero = _mm_setzero_si128();
        const __m128 halfF = _mm_set1_ps(0.5f);
        const __m128 lo = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(sums, zero)), inv), halfF);
        const __m128 hi = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(sums, zero)), inv), halfF);
        return _mm_packs_epi32(_mm_cvttps_epi32(lo), _mm_cvttps_epi32(hi));
    }
};
#endif

// Rows of a pass's input carry identities: two rows with the same identity
// hold the same samples, and every row of zeros has kZeroRow. A shadow's mask
// repeats most of its rows (the inside rows of a row of modules are all
// alike), a box pass turns equal rows into equal rows, and a vertical window
// that gains the same row as it loses gives the sum it gave one row before:
// such rows are copied instead of summed again. Rows with different
// identities may still be equal; nothing relies on the converse.
using RowId = std::uint32_t;
constexpr RowId kZeroRow = 0;

#if TESSIVO_HAVE_AVX2
// Sixteen 16-bit sums (in order) to their rounded quotients, as
// NarrowDivider does.
TESSIVO_AVX2 __m256i divide16(const NarrowDivider& d, __m256i sums) {
    if (d.magic != 0) {
        return _mm256_srl_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(sums, _mm256_set1_epi16(short(d.half))),
                                                   _mm256_set1_epi16(short(d.magic))),
                                _mm_cvtsi32_si128(d.shift));
    }
    const __m256i zero = _mm256_setzero_si256();
    const __m256 inv = _mm256_set1_ps(d.inv), half = _mm256_set1_ps(0.5f);
    const __m256 lo = _mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_unpacklo_epi16(sums, zero)), inv), half);
    const __m256 hi = _mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_unpackhi_epi16(sums, zero)), inv), half);
    return _mm256_packs_epi32(_mm256_cvttps_epi32(lo), _mm256_cvttps_epi32(hi));
}

// Thirty-two quotients from two vectors of sixteen, as bytes in order.
TESSIVO_AVX2 void storeQuotients(const NarrowDivider& d, __m256i sums0, __m256i sums1, std::uint8_t* out) {
    const __m256i packed = _mm256_packus_epi16(divide16(d, sums0), divide16(d, sums1));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute4x64_epi64(packed, 0xD8));
}

TESSIVO_AVX2 __m256i widen(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The direct window sums of narrowRow, 32 a step; returns where it stopped.
__attribute__((target("avx2"))) int directRowAVX2(const std::uint8_t* p, std::uint8_t* d, int x, int hi, int w,
                                                  const NarrowDivider& div) {
    for (; x + 32 <= hi + 1; x += 32) {
        __m256i s0 = _mm256_setzero_si256(), s1 = s0;
        for (int k = 0; k < w; ++k) {
            s0 = _mm256_add_epi16(s0, widen(p + x + k));
            s1 = _mm256_add_epi16(s1, widen(p + x + k + 16));
        }
        storeQuotients(div, s0, s1, d + x);
    }
    return x;
}

// narrowColumns, 32 columns a step; returns where it stopped.
__attribute__((target("avx2"))) int columnsAVX2(std::uint16_t* acc, const std::uint8_t* add, const std::uint8_t* sub,
                                                std::uint8_t* d, int n, const NarrowDivider& div) {
    int x = 0;
    for (; x + 32 <= n; x += 32) {
        auto* a = reinterpret_cast<__m256i*>(acc + x);
        const __m256i v0 = _mm256_add_epi16(_mm256_sub_epi16(_mm256_loadu_si256(a), widen(sub + x)), widen(add + x));
        const __m256i v1 =
            _mm256_add_epi16(_mm256_sub_epi16(_mm256_loadu_si256(a + 1), widen(sub + x + 16)), widen(add + x + 16));
        storeQuotients(div, v0, v1, d + x);
        _mm256_storeu_si256(a, v0);
        _mm256_storeu_si256(a + 1, v1);
    }
    return x;
}
#endif

// Working memory of one blur, kept across its passes.
struct Scratch {
    std::vector<std::uint8_t> padded, zeros;
    std::vector<std::uint16_t> prefix, acc16;
    std::vector<std::uint32_t> acc;
    std::vector<RowId> ids, nextIds; // of the rows of the pass's input and output
    // The row of the horizontal pass's output that holds row y's samples:
    // a repeated row is not written again, only its first.
    std::vector<int> canonical;
    RowId lastId = kZeroRow;
    RowId freshId() { return ++lastId; }
};

// Windows this narrow are summed sample by sample; wider ones from prefix
// sums.
constexpr int kDirectMaxRadius = 4;

// The window sums of p[lo .. hi + 2r] (x's window is p[x .. x + 2r]),
// rounded, into d[lo .. hi]. Wider sums are differences of running 16-bit
// prefix sums, which wrap harmlessly as no window reaches 2^16.
void narrowRow(const std::uint8_t* p, std::uint8_t* d, int lo, int hi, int r, std::uint16_t* prefix,
               const NarrowDivider& div) {
    const int w = 2 * r + 1;
    int x = lo;
    if (r <= kDirectMaxRadius) {
#if TESSIVO_HAVE_AVX2
        if (haveAVX2()) x = directRowAVX2(p, d, x, hi, w, div);
#endif
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const NarrowDivider8 divide8(div);
        for (; x + 16 <= hi + 1; x += 16) {
            __m128i s0 = zero, s1 = zero;
            for (int k = 0; k < w; ++k) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x + k));
                s0 = _mm_add_epi16(s0, _mm_unpacklo_epi8(v, zero));
                s1 = _mm_add_epi16(s1, _mm_unpackhi_epi8(v, zero));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(divide8(s0), divide8(s1)));
        }
#endif
        for (; x <= hi; ++x) {
            std::uint32_t sum = 0;
            for (int k = 0; k < w; ++k) sum += p[x + k];
            d[x] = div(sum);
        }
        return;
    }

    const int end = hi + w; // prefix[lo .. end] is needed
    std::uint16_t* P = prefix;
    P[lo] = 0;
    int i = lo;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i carry = zero;
    for (; i + 8 <= end; i += 8) {
        __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + i)), zero);
        v = _mm_add_epi16(v, _mm_slli_si128(v, 2));
        v = _mm_add_epi16(v, _mm_slli_si128(v, 4));
        v = _mm_add_epi16(v, _mm_slli_si128(v, 8));
        v = _mm_add_epi16(v, carry);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(P + i + 1), v);
        carry = _mm_shuffle_epi32(_mm_shufflehi_epi16(v, 0xFF), 0xFF);
    }
#endif
    for (; i < end; ++i) P[i + 1] = std::uint16_t(P[i] + p[i]);

#if defined(__SSE2__)
    const NarrowDivider8 divide8(div);
    for (; x + 16 <= hi + 1; x += 16) {
        const auto* a = reinterpret_cast<const __m128i*>(P + x);
        const auto* b = reinterpret_cast<const __m128i*>(P + x + w);
        const __m128i s0 = _mm_sub_epi16(_mm_loadu_si128(b), _mm_loadu_si128(a));
        const __m128i s1 = _mm_sub_epi16(_mm_loadu_si128(b + 1), _mm_loadu_si128(a + 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(divide8(s0), divide8(s1)));
    }
#endif
    for (; x <= hi; ++x) d[x] = div(std::uint16_t(P[x + w] - P[x]));
}

// The same with a running 32-bit sum, for wide windows.
void wideRow(const std::uint8_t* p, std::uint8_t* d, int lo, int hi, int r) {
    const Divider div(2 * r + 1);
    // The first window holds zeros up to p[lo + r], then at most r of
    // the row's samples: only those are summed, whatever the radius.
    std::uint32_t acc = 0;
    for (int i = lo + r; i < lo + 2 * r && i <= hi + r; ++i) acc += p[i];
    for (int x = lo; x <= hi; ++x) {
        acc += p[x + 2 * r];
        d[x] = div(acc);
        acc -= p[x];
    }
}

// The first and the last non-zero sample of a row (w when there is none,
// and -1), sixteen at a time: most rows of an eye's shadow are empty.
int firstSet(const std::uint8_t* s, int w) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= w; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)) != 0xFFFF) break;
    }
#endif
    while (x < w && s[x] == 0) ++x;
    return x;
}

int lastSet(const std::uint8_t* s, int w) {
    int x = w;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; x >= 16; x -= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x - 16));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)) != 0xFFFF) break;
    }
#endif
    while (x > 0 && s[x - 1] == 0) --x;
    return x - 1;
}

// Shadows are mostly empty away from their shapes (an eye's shadow is three
// corner squares in a plane the size of the code), so both passes skip what
// only zeros reach: a row is blurred between its first and last set sample
// (plus the radius), and a row whose whole vertical window is empty is
// written as zeros. The sums are exact, so skipping changes no value.
//
// Leaves the identities of dst's rows in scratch.ids and returns the columns
// of dst that can hold set samples: [first, second), empty when first >= second.
std::pair<int, int> horizontal(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r,
                               Scratch& scratch) {
    const bool narrow = r <= kNarrowMaxRadius;
    const NarrowDivider narrowDiv(2 * r + 1);
    // Each row between r transparent pixels on either side, so the sums need
    // no edge tests. Only the part of a row that is read is copied; the
    // padding is never written.
    scratch.padded.assign(std::size_t(w) + 2 * std::size_t(r) + 1, 0);
    if (narrow) scratch.prefix.resize(std::size_t(w) + 2 * std::size_t(r) + 2);
    auto& ids = scratch.ids;
    scratch.canonical.resize(std::size_t(h));
    RowId idAbove = kZeroRow;
    std::uint8_t* p = scratch.padded.data();
    int minX = w, maxX = -1;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src + std::size_t(y) * stride;
        std::uint8_t* d = dst + std::size_t(y) * stride;
        const std::size_t row = std::size_t(y);
        // A row like the one above blurs like it (its columns are counted).
        // The one above may have been found to be zeros since: its identity
        // as it came is compared.
        const RowId id = ids[row];
        if (y > 0 && id == idAbove) {
            scratch.canonical[row] = scratch.canonical[row - 1];
            ids[row] = ids[row - 1];
            continue;
        }
        idAbove = id;
        scratch.canonical[row] = y;
        // Rows of zeros are never read (the vertical pass knows them by
        // their identity).
        const int first = ids[row] == kZeroRow ? w : firstSet(s, w);
        if (first == w) {
            ids[row] = kZeroRow;
            continue;
        }
        const int last = lastSet(s, w);
        const int lo = std::max(0, first - r), hi = std::min(w - 1, last + r);
        std::memcpy(p + r + lo, s + lo, std::size_t(hi + 1 - lo));
        // The window of x reads p[x .. x + 2r], that is src[x - r .. x + r].
        std::fill(p + std::max(0, lo - r) + r, p + lo + r, std::uint8_t(0));
        std::fill(p + hi + 1 + r, p + std::min(w - 1, hi + r) + 1 + r, std::uint8_t(0));
        std::memset(d, 0, std::size_t(lo));
        if (narrow) {
            narrowRow(p, d, lo, hi, r, scratch.prefix.data(), narrowDiv);
        } else {
            wideRow(p, d, lo, hi, r);
        }
        std::memset(d + hi + 1, 0, std::size_t(w - 1 - hi));
        minX = std::min(minX, lo);
        maxX = std::max(maxX, hi);
    }
    return {minX, maxX + 1};
}

// One output row of the vertical pass over n columns: takes the row leaving
// the window from the sums, adds the row entering it, and writes the rounded
// sums.
void narrowColumns(std::uint16_t* acc, const std::uint8_t* add, const std::uint8_t* sub, std::uint8_t* d, int n,
                   const NarrowDivider& div) {
    int x = 0;
#if TESSIVO_HAVE_AVX2
    if (haveAVX2()) x = columnsAVX2(acc, add, sub, d, n, div);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const NarrowDivider8 divide8(div);
    for (; x + 16 <= n; x += 16) {
        auto* a = reinterpret_cast<__m128i*>(acc + x);
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(add + x));
        const __m128i out = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sub + x));
        const __m128i v0 =
            _mm_add_epi16(_mm_sub_epi16(_mm_loadu_si128(a), _mm_unpacklo_epi8(out, zero)), _mm_unpacklo_epi8(in, zero));
        const __m128i v1 = _mm_add_epi16(_mm_sub_epi16(_mm_loadu_si128(a + 1), _mm_unpackhi_epi8(out, zero)),
                                         _mm_unpackhi_epi8(in, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(divide8(v0), divide8(v1)));
        _mm_storeu_si128(a, v0);
        _mm_storeu_si128(a + 1, v1);
    }
#endif
    for (; x < n; ++x) {
        const std::uint16_t v = std::uint16_t(acc[x] - sub[x] + add[x]);
        d[x] = div(v);
        acc[x] = v;
    }
}

void wideColumns(std::uint32_t* a, const std::uint8_t* add, const std::uint8_t* sub, std::uint8_t* d, int n,
                 const Divider& div) {
    for (int x = 0; x < n; ++x) {
        const std::uint32_t v = a[x] - sub[x] + add[x];
        d[x] = div(v);
        a[x] = v;
    }
}

// Reads the identities of src's rows from scratch.ids and leaves those of
// dst's there. Unless `everyRow` is set, rows of zeros and rows that repeat
// the row above are left unwritten: the next horizontal pass does not read
// them.
void vertical(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r, Scratch& scratch,
              std::pair<int, int> columns, bool everyRow) {
    const bool narrow = r <= kNarrowMaxRadius;
    const NarrowDivider narrowDiv(2 * r + 1);
    const Divider wideDiv(2 * r + 1);
    const int x0 = columns.first, x1 = std::max(columns.first, columns.second);
    const int n = x1 - x0;
    const std::size_t columnCount = std::size_t(std::max(n, 0));
    if (narrow) {
        scratch.acc16.assign(columnCount, 0);
    } else {
        scratch.acc.assign(columnCount, 0);
    }
    // Rows of zeros are read from here instead.
    scratch.zeros.assign(columnCount, 0);
    const auto& ids = scratch.ids;
    auto& outIds = scratch.nextIds;
    outIds.resize(std::size_t(h));
    auto idOf = [&](int y) { return y >= 0 && y < h ? ids[std::size_t(y)] : kZeroRow; };
    auto rowOf = [&](int y) {
        return idOf(y) == kZeroRow ? scratch.zeros.data()
                                   : src + std::size_t(scratch.canonical[std::size_t(y)]) * stride + x0;
    };
    int setInWindow = 0; // rows not known to be zero among y - r ... y + r
    // The window before the first row: rows -r - 1 ... r - 1.
    for (int y = 0; y < std::min(r, h); ++y) {
        if (idOf(y) == kZeroRow) continue;
        ++setInWindow;
        const std::uint8_t* s = rowOf(y);
        if (narrow) {
            for (std::size_t x = 0; x < columnCount; ++x) scratch.acc16[x] = std::uint16_t(scratch.acc16[x] + s[x]);
        } else {
            for (std::size_t x = 0; x < columnCount; ++x) scratch.acc[x] += s[x];
        }
    }
    // One pass per row: take away the row leaving the window, add the row
    // entering it, write.
    for (int y = 0; y < h; ++y) {
        const RowId addId = idOf(y + r), subId = idOf(y - r - 1);
        if (subId != kZeroRow) --setInWindow;
        if (addId != kZeroRow) ++setInWindow;
        std::uint8_t* row = dst + std::size_t(y) * stride;
        if (setInWindow == 0 || n <= 0) {
            // The whole window is zeros, and so are its sums from now on.
            if (subId != kZeroRow) {
                std::fill(scratch.acc16.begin(), scratch.acc16.end(), std::uint16_t(0));
                std::fill(scratch.acc.begin(), scratch.acc.end(), 0u);
            }
            if (everyRow) std::memset(row, 0, std::size_t(w));
            outIds[std::size_t(y)] = kZeroRow;
            continue;
        }
        if (y > 0 && addId == subId) {
            // The sums are those of the row above.
            if (everyRow) std::memcpy(row, row - stride, std::size_t(w));
            outIds[std::size_t(y)] = outIds[std::size_t(y) - 1];
            continue;
        }
        std::memset(row, 0, std::size_t(x0));
        std::memset(row + x1, 0, std::size_t(w - x1));
        if (narrow) {
            narrowColumns(scratch.acc16.data(), rowOf(y + r), rowOf(y - r - 1), row + x0, n, narrowDiv);
        } else {
            wideColumns(scratch.acc.data(), rowOf(y + r), rowOf(y - r - 1), row + x0, n, wideDiv);
        }
        outIds[std::size_t(y)] = scratch.freshId();
    }
    std::swap(scratch.ids, outIds);
}

// Identities of the rows of a plane: equal neighbours share one.
void identifyRows(const std::uint8_t* data, int w, int h, int stride, Scratch& scratch) {
    scratch.ids.resize(std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = data + std::size_t(y) * stride;
        const bool same = y > 0 && std::memcmp(s, s - stride, std::size_t(w)) == 0;
        scratch.ids[std::size_t(y)] = same ? scratch.ids[std::size_t(y) - 1] : scratch.freshId();
    }
}

} // namespace

int blurReach(double sigma) {
    if (!(sigma >= 0.5)) return 0;
    int radii[3];
    boxRadii(std::min(sigma, kMaxBlurSigma), radii);
    return std::max(radii[0], 0) + std::max(radii[1], 0) + std::max(radii[2], 0);
}

void blurAlpha(std::uint8_t* data, int width, int height, int stride, double sigma) {
    if (!(sigma >= 0.5) || width <= 0 || height <= 0) return;
    // Box radii far beyond the plane only thin the result out further; the
    // cap keeps every radius and window sum well inside an int.
    sigma = std::min(sigma, kMaxBlurSigma);
    int radii[3];
    boxRadii(sigma, radii);
    // Only rows that a pass writes are read back: the buffer needs no zeros.
    const auto tmp = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(stride) * std::size_t(height));
    Scratch scratch;
    identifyRows(data, width, height, stride, scratch);
    int last = 2;
    while (last > 0 && radii[last] <= 0) --last;
    for (int i = 0; i <= last; ++i) {
        if (radii[i] <= 0) continue;
        const auto columns = horizontal(data, tmp.get(), width, height, stride, radii[i], scratch);
        vertical(tmp.get(), data, width, height, stride, radii[i], scratch, columns, i == last);
    }
}

} // namespace gfx::detail
