#pragma once

#include "QRCode/generators/PixelShapeGenerator.h"

#include <span>

namespace QRCode::PixelShape {

// The tile and ring pixel shapes (curve pixel, drips, diagonal stripes,
// donut, blob, circuit, crosshatch, vortex), for the pixel-shape registry.
std::span<const PixelShapeClass> tileAndRingShapeClasses();

} // namespace QRCode::PixelShape
