#pragma once

#include <cstdint>

namespace gfx::detail {

// Blurs an 8-bit coverage plane in place with three box passes in each
// direction, which together approximate a Gaussian of the given sigma (in
// pixels). Pixels outside the plane count as transparent. The work is linear
// in the plane's size whatever the sigma.
// Larger sigmas are blurred with this one.
inline constexpr double kMaxBlurSigma = 16384;

void blurAlpha(std::uint8_t* data, int width, int height, int stride, double sigma);

} // namespace gfx::detail
