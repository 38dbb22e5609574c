#pragma once

#include "platform/gfx/Path.h"

#include <string>

namespace QRCode::rendering {

// Appends the SVG text of a number: at most three fraction digits (rounded
// on the exact binary value), no trailing zeros, no "-0"; "0" when the
// number is not finite.
void appendSVGNumber(std::string& out, double value);

// Appends the SVG path data of a path, every element followed by one space;
// nothing for a path with a coordinate that is not finite.
void appendSVGPathData(std::string& out, const gfx::Path& path);

} // namespace QRCode::rendering
