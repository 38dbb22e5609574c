#pragma once

#include <cstdint>

namespace gfx::detail {

// Blurs an 8-bit coverage plane in place with three box passes in each
// direction, which together approximate a Gaussian of the given sigma (in
// pixels). Pixels outside the plane count as transparent.
void blurAlpha(std::uint8_t* data, int width, int height, int stride, double sigma);

} // namespace gfx::detail
