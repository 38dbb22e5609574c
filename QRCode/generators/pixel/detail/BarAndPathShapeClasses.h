#pragma once

#include "QRCode/generators/PixelShapeGenerator.h"

#include <span>

namespace QRCode::PixelShape {

// The bars, Pointy, the square grids, Razor, Rounded path and Rounded end
// indent, for the pixel shape registry.
std::span<const PixelShapeClass> barAndPathShapeClasses();

} // namespace QRCode::PixelShape
