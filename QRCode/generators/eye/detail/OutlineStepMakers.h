#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

// Short makers for writing outline tables: M(x, y) moves, L(x, y) draws a
// line, C(to, c1, c2) a cubic written end point first, Z() closes.
namespace QRCode::EyeShape::steps {

constexpr OutlineStep M(double x, double y) { return {OutlineStep::move, {x, y}, {}, {}}; }
constexpr OutlineStep L(double x, double y) { return {OutlineStep::line, {x, y}, {}, {}}; }
constexpr OutlineStep C(gfx::Point to, gfx::Point c1, gfx::Point c2) { return {OutlineStep::curve, to, c1, c2}; }
constexpr OutlineStep Z() { return {OutlineStep::close, {}, {}, {}}; }

} // namespace QRCode::EyeShape::steps
