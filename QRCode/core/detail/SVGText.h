#pragma once

#include "platform/gfx/Path.h"

#include <string>
#include <string_view>

// The pieces of SVG text that the SVG writer, the stored path form, the
// shadow filters and the fills write alike.
namespace QRCode::svg {

// Appends the SVG text of a number: at most three fraction digits (rounded
// on the exact binary value), no trailing zeros, no "-0"; "0" when the
// number is not finite.
void appendNumber(std::string& out, double value);

// Appends one path element as an SVG path command ("M1 2", "L1 2",
// "Q1,2 3,4", "C1,2 3,4 5,6", "Z"), with no separator after it.
void appendPathCommand(std::string& out, const gfx::Path::Element& element);

// Appends the SVG path data of a path, every element followed by one space;
// nothing for a path with a coordinate that is not finite.
void appendPathData(std::string& out, const gfx::Path& path);

// Appends name="value".
void appendAttribute(std::string& out, std::string_view name, std::string_view value);

// Appends one attribute on a line of its own, as the shadow filters lay
// them out: indent, name='value', then `end` (a newline, or what closes the
// element).
void appendAttributeLine(std::string& out, std::string_view indent, std::string_view name, std::string_view value,
                         std::string_view end = "\n");

// The id of the shadow filter of a fill's style.
std::string shadowFilterId(std::string_view styleIdentifier);

// Appends style="filter:url(#filterId)", the attribute that applies a filter.
void appendFilterStyle(std::string& out, std::string_view filterId);

} // namespace QRCode::svg
