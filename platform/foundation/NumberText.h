#pragma once

#include <string>

namespace foundation {

// Texts of real numbers, independent of the process locale ("." as decimal
// separator, never any grouping).

// The shortest text that reads back to the same double, always with a
// fractional part or an exponent: 1.0, 0.5, 0.3333333333333333, 1e-05,
// 1e+16, -0.0. Plain decimal notation for 1e-4 <= |v| < 1e16, exponent
// notation (at least two exponent digits) otherwise. Non-finite values give
// "nan", "inf" and "-inf".
std::string shortestNumberText(double value);

// At most `maxFractionDigits` fraction digits (rounded to nearest, ties to
// even on the exact binary value), trailing zeros and a bare "." removed, and
// never "-0": 1, 0.375, -2.5. Non-finite values give "0", so that the text
// stays a valid number wherever it is written.
std::string fixedNumberText(double value, int maxFractionDigits);

// Numbers of SVG attributes and path data: at most 3 fraction digits.
std::string svgNumberText(double value);

// Components of gradient strings: at most 4 fraction digits.
std::string gradientComponentText(double value);

} // namespace foundation
