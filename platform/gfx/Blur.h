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

// How many pixels a sample spreads to either side under blurAlpha with this
// sigma: a row (or column) of the result depends only on the input within
// this distance, so a plane may be blurred in pieces that overlap by it.
int blurReach(double sigma);

} // namespace gfx::detail
