#pragma once

#include "QRCode/generators/EyeShapeGenerator.h"

#include <span>

namespace QRCode::EyeShape {

// The eye classes with rounded, notched and pointed corners, the fixed
// spiky, square peg and surrounding bars rings and the eye drawn with the
// design's pixel shape, for the eye registry.
std::span<const EyeShapeClass> roundedCornerEyes();

} // namespace QRCode::EyeShape
