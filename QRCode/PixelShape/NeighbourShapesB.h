#pragma once

#include "QRCode/PixelShapeGenerator.h"

#include <span>

namespace QRCode::PixelShape {

// The tile and ring pixel shapes (curve pixel, drips, diagonal stripes,
// donut, blob, circuit, crosshatch, vortex), for the pixel-shape registry.
std::span<const PixelShapeClass> neighbourShapesB();

} // namespace QRCode::PixelShape
