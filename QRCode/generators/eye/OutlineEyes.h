#pragma once

// The eye shapes drawn from fixed or parametric outlines: circle and bars,
// cornered pixels, CRT and dot drag, the drawn outlines (arc, cloud, cloud
// circle, diagonal stripes), the flipping eyes (rounded outer, headlight,
// eye), edges, pixels and leaf, the composites (fireball, peacock) and the
// fixed outlines (explode, flame, hole punch, pinch, fabric scissors).

#include "QRCode/generators/EyeShapeGenerator.h"

#include <span>

namespace QRCode {

// Every class above, for the eye registry.
std::span<const EyeShapeClass> outlineEyeShapes();

} // namespace QRCode
