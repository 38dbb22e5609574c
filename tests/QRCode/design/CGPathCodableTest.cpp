#include "QRCode/design/CGPathCodable.h"

#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <limits>

using QRCode::appendSpaceSeparated;
using QRCode::CGPathCodable;
using QRCode::svgPathCommand;
using QRCode::svgPathData;

using gfx::Path;
using gfx::Point;
using gfx::Rect;

namespace {

std::string jsonText(const Path& path) {
    const auto bytes = CGPathCodable{path}.encodeJSON();
    return std::string(bytes.begin(), bytes.end());
}

Path mixedPath() {
    Path p;
    p.moveTo({0.5, 5});
    p.lineTo({10, 2.5});
    p.quadTo({1, 2}, {3, 4});
    p.curveTo({1.0 / 3, -7}, {1e-7, 123456.789}, {-0.25, 9});
    p.closeSubpath();
    p.addEllipse(Rect(1, 2, 3, 4));
    return p;
}

} // namespace

TEST(CGPathCodable, WritesTypeBeforePointsAndOmitsPointsOfClose) {
    Path square;
    square.addRect(Rect(0, 0, 1, 1));
    const std::string text = jsonText(square);
    EXPECT_LT(text.find("\"type\""), text.find("\"points\""));
    const auto parsed = nlohmann::json::parse(text);
    EXPECT_EQ(parsed, nlohmann::json::parse(R"([{"type": 0, "points": [[0, 0]]}, {"type": 1, "points": [[1, 0]]},
        {"type": 1, "points": [[1, 1]]}, {"type": 1, "points": [[0, 1]]}, {"type": 4}])"));
    EXPECT_NE(text.find('\n'), std::string::npos); // pretty-printed
    EXPECT_EQ(nlohmann::json::parse(jsonText(Path())), nlohmann::json::array());
    EXPECT_TRUE(CGPathCodable::decode(std::string_view("[]")).isEmpty());
}

TEST(CGPathCodable, JsonRoundTripKeepsEveryElementExactly) {
    const Path p = mixedPath();
    const auto bytes = CGPathCodable{p}.encodeJSON();
    EXPECT_EQ(CGPathCodable::decode(std::span<const std::uint8_t>(bytes)), p);
    // The coding form is the same JSON as one base64 string.
    const auto coded = CGPathCodable{p}.codingValue();
    ASSERT_TRUE(coded.is_string());
    EXPECT_EQ(CGPathCodable::fromCodingValue(coded).path, p);
    EXPECT_THROW(CGPathCodable::fromCodingValue(nlohmann::json(12)), CGPathCodable::DecodingError);
    EXPECT_THROW(CGPathCodable::fromCodingValue(nlohmann::json("not base64!")), CGPathCodable::DecodingError);
}

TEST(CGPathCodable, ReadingSkipsUnknownKindsAndIgnoresExtraPoints) {
    const Path p = CGPathCodable::decode(std::string_view(
        R"([{"points": [[1, 2], [9, 9]], "type": 0}, {"type": 7, "points": [[1, 1]]}, {"type": -1},
            {"type": 2, "points": [[3, 3], [6, 0]]}, {"type": 4, "points": [[5, 5]]}])"));
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p.elements()[0].points[0], (Point{1, 2}));
    EXPECT_EQ(p.elements()[1].type, Path::ElementType::addQuadCurveToPoint);
    EXPECT_EQ(p.elements()[1].points[1], (Point{6, 0}));
    EXPECT_EQ(p.elements()[2].type, Path::ElementType::closeSubpath);
}

TEST(CGPathCodable, ReadingRefusesWhatIsNoPath) {
    for (const char* bad : {"", "{", "{}", "[1]", R"([{"points": [[0, 0]]}])", R"([{"type": "0", "points": [[0, 0]]}])",
                            R"([{"type": 0}])", R"([{"type": 3, "points": [[0, 0], [1, 1]]}])",
                            R"([{"type": 1, "points": [[0]]}])", R"([{"type": 1, "points": [["a", 1]]}])",
                            R"([{"type": 0, "points": [[1e999, 0]]}])", R"([{"type": 0.5, "points": [[0, 0]]}])"}) {
        EXPECT_THROW(CGPathCodable::decode(std::string_view(bad)), CGPathCodable::DecodingError) << bad;
    }
}

TEST(CGPathCodable, NonFiniteCoordinatesAreRefusedOnWriting) {
    Path p;
    p.moveTo({0, 0});
    p.lineTo({std::numeric_limits<double>::quiet_NaN(), 1});
    EXPECT_THROW(CGPathCodable{p}.encodeJSON(), foundation::JsonError);
}

TEST(SvgPathData, ElementTextsUseTheShortNumberForm) {
    Path p;
    p.moveTo({0.5, 5});
    p.lineTo({10, 2.5});
    p.quadTo({1, 2}, {3, 4});
    p.curveTo({1.0 / 3, -7}, {0.0004, 1234567.8916}, {-0.25, 9});
    p.closeSubpath();
    EXPECT_EQ(svgPathData(p), "M0.5 5 L10 2.5 Q1,2 3,4 C0.333,-7 0,1234567.892 -0.25,9 Z ");
    EXPECT_EQ(svgPathData(Path()), "");
    std::string text = "x";
    appendSpaceSeparated(text, p.elements()[4]);
    EXPECT_EQ(text, "xZ ");
}

TEST(SvgPathData, NonFinitePathsWriteNothing) {
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        Path p;
        p.moveTo({0, 0});
        p.lineTo({bad, 1});
        EXPECT_EQ(svgPathData(p), "");
        const std::string one = svgPathCommand(p.elements()[1]);
        EXPECT_EQ(one.find("nan"), std::string::npos);
        EXPECT_EQ(one.find("inf"), std::string::npos);
    }
}
