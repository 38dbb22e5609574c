#pragma once

#include "platform/gfx/Path.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace QRCode {

// A path in its stored form: a JSON array of elements in path order,
//   [{"type": 0, "points": [[0, 0]]}, {"type": 1, "points": [[1, 0]]}, ..., {"type": 4}]
// with the element kinds numbered as gfx::Path::ElementType numbers them.
struct CGPathCodable {
    // Raised for JSON that does not describe a path: malformed text, wrong
    // value types, a kind without the points it needs, or numbers that are not
    // finite.
    class DecodingError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    gfx::Path path;

    // Pretty-printed JSON, "type" before "points". Throws foundation::JsonError
    // when a coordinate is not finite.
    std::vector<std::uint8_t> encodeJSON() const;
    // Elements of unknown kinds are skipped; extra points are ignored.
    // Throws DecodingError.
    static gfx::Path decode(std::span<const std::uint8_t> jsonData);
    static gfx::Path decode(std::string_view jsonText);

    // The coding form inside a larger document: the JSON bytes as one base64
    // string. `fromCodingValue` throws DecodingError.
    nlohmann::json codingValue() const;
    static CGPathCodable fromCodingValue(const nlohmann::json& value);
};

// SVG path data of one element: "M x y", "L x y", "Qcx,cy ex,ey",
// "Cc1x,c1y c2x,c2y ex,ey" or "Z", numbers with at most three fraction digits.
std::string svgPathCommand(const gfx::Path::Element& element);
// Appends the element's text and one space.
void appendSpaceSeparated(std::string& text, const gfx::Path::Element& element);
// The SVG path data of a whole path: every element followed by one space.
// A path with a coordinate that is not finite gives empty text.
std::string svgPathData(const gfx::Path& path);

} // namespace QRCode
