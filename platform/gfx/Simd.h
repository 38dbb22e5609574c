#pragma once

// Builds for x86-64 with GCC or Clang add AVX2 loops to the SSE2 ones,
// taken where the processor has AVX2 (TESSIVO_AVX2 marks their helpers).
#if defined(__x86_64__) && defined(__GNUC__)
#define TESSIVO_HAVE_AVX2 1
#include <immintrin.h>
#define TESSIVO_AVX2 __attribute__((target("avx2"), always_inline)) inline
#else
#define TESSIVO_HAVE_AVX2 0
#endif

namespace gfx::detail {

#if TESSIVO_HAVE_AVX2
inline bool haveAVX2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif

} // namespace gfx::detail
