#include "platform/gfx/Composite.h"

#include "platform/gfx/Simd.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx::detail {

namespace {

// a * b / 255, rounded, for a and b up to 255.
unsigned multiply(unsigned a, unsigned b) {
    const unsigned t = a * b + 0x80;
    return (t + (t >> 8)) >> 8;
}

std::uint32_t shortHighByte(double v) {
    // Cairo turns a channel into 16 bits as v * 65535 + 0.5, truncated.
    return std::uint32_t(std::uint16_t(v * 65535.0 + 0.5)) >> 8;
}

std::uint32_t overPixel(std::uint32_t colour, unsigned m, std::uint32_t pixel) {
    const unsigned alpha = multiply(colour >> 24, m);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const unsigned c = multiply((colour >> shift) & 0xFF, m) + multiply((pixel >> shift) & 0xFF, 255 - alpha);
        out |= std::min(c, 255u) << shift;
    }
    return out;
}

} // namespace

std::uint32_t solidPixel(double red, double green, double blue, double alpha) {
    return shortHighByte(alpha) << 24 | shortHighByte(red * alpha) << 16 | shortHighByte(green * alpha) << 8 |
           shortHighByte(blue * alpha);
}

#if TESSIVO_HAVE_AVX2
namespace {

// a * b / 255, rounded, in each 16-bit lane.
TESSIVO_AVX2 __m256i multiply8(__m256i a, __m256i b) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(0x80)),
                              _mm256_set1_epi16(0x101));
}

// Four pixels of 16-bit channels, over under the masks of their channels.
TESSIVO_AVX2 __m256i over4(__m256i source, __m256i pixels4, __m256i masks4) {
    const __m256i src = multiply8(source, masks4);
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(src, 0xFF), 0xFF);
    return _mm256_add_epi16(src, multiply8(pixels4, _mm256_xor_si256(alpha, _mm256_set1_epi16(0xFF))));
}

// Eight pixels a step, as the SSE2 loop below does four.
__attribute__((target("avx2"))) std::size_t maskSolidOverAVX2(std::uint32_t colour, const std::uint8_t* mask,
                                                              std::uint32_t* pixels, std::size_t n) {
    std::size_t x = 0;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i source = _mm256_unpacklo_epi8(_mm256_set1_epi32(int(colour)), zero);
    for (; x + 32 <= n; x += 32) {
        const __m256i m32 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + x));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(m32, zero)) == -1) continue;
        for (std::size_t g = x; g < x + 32; g += 8) {
            std::uint64_t m8;
            std::memcpy(&m8, mask + g, 8);
            if (m8 == 0) continue;
            auto* at = reinterpret_cast<__m256i*>(pixels + g);
            const __m256i d = _mm256_loadu_si256(at);
            // Pixels 0 1 | 4 5 and 2 3 | 6 7 sit in the low and high halves
            // of the unpacked lanes; their masks are laid out alike.
            __m256i m = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(mask + g)));
            m = _mm256_or_si256(m, _mm256_slli_epi32(m, 16));
            const __m256i low = over4(source, _mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi32(m, m));
            const __m256i high = over4(source, _mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi32(m, m));
            _mm256_storeu_si256(at, _mm256_packus_epi16(low, high));
        }
    }
    return x;
}

} // namespace
#endif

void maskSolidOver(std::uint32_t colour, const std::uint8_t* mask, std::uint32_t* pixels, std::size_t n) {
    std::size_t x = 0;
#if TESSIVO_HAVE_AVX2
    if (haveAVX2()) x = maskSolidOverAVX2(colour, mask, pixels, n);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i source = _mm_unpacklo_epi8(_mm_set1_epi32(int(colour)), zero); // two pixels, 16-bit channels
    const __m128i half = _mm_set1_epi16(0x80), scale = _mm_set1_epi16(0x101), full = _mm_set1_epi16(0xFF);
    const auto multiply8 = [&](__m128i a, __m128i b) {
        return _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(a, b), half), scale);
    };
    // Two pixels of 16-bit channels, over under the masks of their channels.
    const auto over2 = [&](__m128i pixels2, __m128i masks2) {
        const __m128i src = multiply8(source, masks2);
        const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(src, 0xFF), 0xFF);
        return _mm_add_epi16(src, multiply8(pixels2, _mm_xor_si128(alpha, full)));
    };
    for (; x + 16 <= n; x += 16) {
        const __m128i m16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(m16, zero)) == 0xFFFF) continue;
        for (std::size_t g = 0; g < 16; g += 4) {
            std::uint32_t m4;
            std::memcpy(&m4, mask + x + g, 4);
            if (m4 == 0) continue;
            auto* at = reinterpret_cast<__m128i*>(pixels + x + g);
            const __m128i d = _mm_loadu_si128(at);
            __m128i m = _mm_cvtsi32_si128(int(m4));
            m = _mm_unpacklo_epi8(m, m);
            m = _mm_unpacklo_epi16(m, m); // each mask byte four times
            const __m128i low = over2(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(m, zero));
            const __m128i high = over2(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(m, zero));
            // Sums above 255 are held there by the pack.
            _mm_storeu_si128(at, _mm_packus_epi16(low, high));
        }
    }
#endif
    for (; x < n; ++x) {
        if (mask[x] != 0) pixels[x] = overPixel(colour, mask[x], pixels[x]);
    }
}

} // namespace gfx::detail
