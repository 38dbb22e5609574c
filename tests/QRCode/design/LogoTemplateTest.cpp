#include "QRCode/design/LogoTemplate.h"
#include "tests/QRCode/TestDrawing.h"

#include "QRCode/design/CGPathCodable.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"

#include "tests/QRCode/ErrorOf.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using QRCode::BoolMatrix;
using QRCode::CGPathCodable;
using QRCode::QRCodeError;
using QRCode::QRCodeException;

using QRCode::LogoTemplate;

namespace {

using qrcodetest::errorOf;
using qrcodetest::rectPath;

// An image whose pixels come from `alphaAt(x, y)` (red, straight alpha).
gfx::ImagePtr makeImage(int w, int h, const std::function<std::uint8_t(int, int)>& alphaAt) {
    auto image = std::make_shared<gfx::Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->setPixel(x, y, gfx::Pixel{255, 0, 0, alphaAt(x, y)});
    return image;
}

gfx::ImagePtr uniformImage(int w, int h, std::uint8_t alpha) {
    return makeImage(w, h, [alpha](int, int) { return alpha; });
}

BoolMatrix allOn(std::int64_t n) { return BoolMatrix(n).flipped(); }

// A matrix with a irregular pattern, so that kept modules are told apart
// from switched-on ones.
BoolMatrix pattern(std::int64_t n) {
    BoolMatrix m(n);
    for (std::int64_t r = 0; r < n; ++r)
        for (std::int64_t c = 0; c < n; ++c) m.set(r, c, (r * 7 + c * 3) % 5 < 3);
    return m;
}

int countOn(const BoolMatrix& m) {
    int count = 0;
    for (bool b : m.flattened()) count += b;
    return count;
}

void expectRectNear(const gfx::Rect& actual, const gfx::Rect& expected) {
    EXPECT_NEAR(actual.minX(), expected.minX(), 1e-9);
    EXPECT_NEAR(actual.minY(), expected.minY(), 1e-9);
    EXPECT_NEAR(actual.maxX(), expected.maxX(), 1e-9);
    EXPECT_NEAR(actual.maxY(), expected.maxY(), 1e-9);
}

bool samePixels(const gfx::Image& a, const gfx::Image& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!(a.premultipliedPixel(x, y) == b.premultipliedPixel(x, y))) return false;
    return true;
}

} // namespace

TEST(LogoTemplate, PresetsCoverTheirRectanglesWithMaskingOn) {
    const auto image = uniformImage(4, 4, 255);
    struct Case {
        std::shared_ptr<LogoTemplate> t;
        gfx::Rect rect;
        bool ellipse;
    };
    const Case cases[] = {
        {LogoTemplate::CircleCenter(image, 3), {0.375, 0.375, 0.25, 0.25}, true},
        {LogoTemplate::CircleBottomRight(image, 3), {0.7, 0.7, 0.25, 0.25}, true},
        {LogoTemplate::SquareCenter(image, 3), {0.375, 0.375, 0.25, 0.25}, false},
        {LogoTemplate::SquareBottomRight(image, 3), {0.7, 0.7, 0.25, 0.25}, false},
    };
    for (const auto& c : cases) {
        expectRectNear(c.t->path().pathBoundingBox(), c.rect);
        EXPECT_TRUE(c.t->masksQRCodePixels());
        EXPECT_FALSE(c.t->useImageMasking());
        EXPECT_EQ(c.t->inset(), 3);
        // The ellipse leaves the box's corners out; the square covers them.
        const gfx::Point nearCorner{c.rect.minX() + 0.01, c.rect.minY() + 0.01};
        EXPECT_EQ(c.t->path().contains(nearCorner), !c.ellipse);
        EXPECT_TRUE(c.t->path().contains({c.rect.midX(), c.rect.midY()}));
    }
}

TEST(LogoTemplate, ImageInitialiserCoversTheUnitSquareAndNullImagesAreRefused) {
    const auto image = uniformImage(2, 2, 255), mask = uniformImage(3, 3, 0);
    LogoTemplate t(image, mask, false);
    EXPECT_TRUE(t.useImageMasking());
    EXPECT_FALSE(t.masksQRCodePixels());
    EXPECT_EQ(t.maskImage(), mask);
    EXPECT_EQ(t.path(), rectPath(0, 0, 1, 1));
    EXPECT_EQ(errorOf([] { LogoTemplate(nullptr, rectPath(0, 0, 1, 1)); }), QRCodeError::noImageSet);
    EXPECT_EQ(errorOf([] { LogoTemplate(gfx::ImagePtr(), gfx::ImagePtr()); }), QRCodeError::noImageSet);
}

TEST(LogoTemplate, AbsolutePathScalesAndFlips) {
    const auto image = uniformImage(1, 1, 255);
    const auto center = LogoTemplate::SquareCenter(image);
    expectRectNear(center->absolutePathForMaskPath(100, false).boundingBox(), {37.5, 37.5, 25, 25});
    expectRectNear(center->absolutePathForMaskPath(100, true).boundingBox(), {37.5, 37.5, 25, 25});
    const auto corner = LogoTemplate::SquareBottomRight(image);
    expectRectNear(corner->absolutePathForMaskPath(100, false).boundingBox(), {70, 70, 25, 25});
    expectRectNear(corner->absolutePathForMaskPath(100, true).boundingBox(), {70, 5, 25, 25});
}

TEST(LogoTemplate, PathMaskHidesModulesWhoseCentresAreInside) {
    const auto t = LogoTemplate::CircleCenter(uniformImage(1, 1, 255));
    const BoolMatrix source = pattern(25);
    const BoolMatrix masked = t->applyingMask(source, 250);
    ASSERT_EQ(masked.dimension(), 25);
    int hidden = 0;
    for (int r = 0; r < 25; ++r) {
        for (int c = 0; c < 25; ++c) {
            const double dx = c * 10 + 5 - 125.0, dy = r * 10 + 5 - 125.0;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (std::fabs(distance - 31.25) < 0.5) continue; // the curve's approximation
            if (distance < 31.25) {
                EXPECT_FALSE(masked(r, c)) << r << "," << c;
                ++hidden;
            } else {
                EXPECT_EQ(masked(r, c), source(r, c)) << r << "," << c;
            }
        }
    }
    EXPECT_GT(hidden, 20);
}

TEST(LogoTemplate, PathMaskUsesNonzeroWinding) {
    // Two copies of the same square wind twice around the middle: inside by
    // nonzero winding, outside by even-odd.
    gfx::Path twice = rectPath(0.2, 0.2, 0.6, 0.6);
    twice.addPath(rectPath(0.2, 0.2, 0.6, 0.6));
    // An opposite-direction inner square winds to zero over the centre.
    gfx::Path hole = rectPath(0.2, 0.2, 0.6, 0.6);
    hole.moveTo({0.4, 0.4});
    hole.lineTo({0.4, 0.6});
    hole.lineTo({0.6, 0.6});
    hole.lineTo({0.6, 0.4});
    hole.closeSubpath();

    const auto image = uniformImage(1, 1, 255);
    const BoolMatrix source = allOn(10);
    const BoolMatrix a = LogoTemplate(image, twice).applyingMask(source, 10);
    EXPECT_EQ(countOn(a), 100 - 36);
    EXPECT_FALSE(a(5, 5));
    EXPECT_FALSE(a(2, 7));
    EXPECT_TRUE(a(1, 1));
    EXPECT_TRUE(a(8, 5));
    const BoolMatrix b = LogoTemplate(image, hole).applyingMask(source, 10);
    EXPECT_TRUE(b(4, 4));
    EXPECT_TRUE(b(5, 5));
    EXPECT_FALSE(b(3, 3));
    EXPECT_FALSE(b(6, 3));
}

namespace {

// A circle about (0.5, 0.5) of `radius` in unit space, of `arcs` cubic arcs;
// with `wobble` every other arc bulges out a little, so that curves decide.
gfx::Path circleOfArcs(int arcs, double radius, double wobble = 0) {
    gfx::Path p;
    const double step = 2 * M_PI / arcs, k = 4.0 / 3 * std::tan(step / 4);
    auto at = [&](double a, double r) { return gfx::Point{0.5 + r * std::cos(a), 0.5 + r * std::sin(a)}; };
    p.moveTo(at(0, radius));
    for (int i = 0; i < arcs; ++i) {
        const double a0 = i * step, a1 = (i + 1) * step, bulge = radius * (1 + (i % 2 ? wobble : 0));
        const gfx::Point p0 = at(a0, radius), p1 = at(a1, radius);
        p.curveTo({p0.x - k * bulge * std::sin(a0), p0.y + k * bulge * std::cos(a0)},
                  {p1.x + k * bulge * std::sin(a1), p1.y - k * bulge * std::cos(a1)}, p1);
    }
    p.closeSubpath();
    return p;
}

} // namespace

TEST(LogoTemplate, PathMaskOfManyCurvesHidesWhatATestPerModuleHides) {
    const auto image = uniformImage(1, 1, 255);
    for (const auto& [arcs, wobble] : {std::pair{2000, 0.0}, std::pair{60, 0.8}}) {
        const gfx::Path path = circleOfArcs(arcs, 0.3, wobble);
        const BoolMatrix source = pattern(41);
        const BoolMatrix masked = LogoTemplate(image, path).applyingMask(source, 410);
        const gfx::Path scaled = path.transformed(gfx::AffineTransform::scale(41, 41));
        int hidden = 0;
        for (int r = 0; r < 41; ++r) {
            for (int c = 0; c < 41; ++c) {
                const bool inside = scaled.contains({c + 0.5, r + 0.5});
                EXPECT_EQ(masked(r, c), source(r, c) && !inside) << r << "," << c;
                hidden += source(r, c) && inside;
            }
        }
        EXPECT_GT(hidden, 200) << arcs;
    }

    // 400,000 curves (a test per module flattened the path once per module:
    // hours): the modules within the circle, and only those.
    const BoolMatrix all = allOn(45);
    const BoolMatrix masked = LogoTemplate(image, circleOfArcs(400000, 0.3)).applyingMask(all, 45);
    for (int r = 0; r < 45; ++r) {
        for (int c = 0; c < 45; ++c) {
            const double distance = std::hypot(c + 0.5 - 22.5, r + 0.5 - 22.5);
            if (std::fabs(distance - 13.5) < 1e-6) continue;
            EXPECT_EQ(masked(r, c), distance > 13.5) << r << "," << c;
        }
    }
}

TEST(LogoTemplate, MatricesThatComeBackUnchangedOrEmpty) {
    const auto t = LogoTemplate::SquareCenter(uniformImage(1, 1, 255));
    EXPECT_EQ(t->applyingMask(BoolMatrix(0), 100).dimension(), 0);
    EXPECT_EQ(LogoTemplate(uniformImage(2, 2, 255), nullptr).applyingMask(BoolMatrix(0), 10).dimension(), 0);
    // A size that is not finite hides nothing.
    EXPECT_EQ(t->applyingMask(pattern(9), std::nan("")), pattern(9));
    // The size only scales: the same matrix at any side length gives the same mask.
    EXPECT_EQ(t->applyingMask(pattern(21), 21), t->applyingMask(pattern(21), 2100));
    // Without masking, both modes return the matrix; so does an empty image.
    const auto image = uniformImage(4, 4, 255);
    const BoolMatrix source = pattern(11);
    EXPECT_EQ(LogoTemplate(image, rectPath(0, 0, 1, 1), 0, false).applyingMask(source, 110), source);
    EXPECT_EQ(LogoTemplate(image, nullptr, false).applyingMask(source, 110), source);
    EXPECT_EQ(LogoTemplate(std::make_shared<gfx::Image>(), nullptr).applyingMask(source, 110), source);
}

TEST(LogoTemplate, ImageMaskHidesWhereTheLogoIsNotTransparent) {
    const BoolMatrix source = pattern(13);
    EXPECT_EQ(countOn(LogoTemplate(uniformImage(8, 8, 255), nullptr).applyingMask(source, 130)), 0);
    EXPECT_EQ(LogoTemplate(uniformImage(8, 8, 0), nullptr).applyingMask(source, 130), source);
    // The threshold: alpha 1 of 255 counts as transparent, 2 does not.
    EXPECT_EQ(LogoTemplate(uniformImage(13, 13, 1), nullptr).applyingMask(source, 130), source);
    EXPECT_EQ(countOn(LogoTemplate(uniformImage(13, 13, 2), nullptr).applyingMask(source, 130)), 0);
    // A mask image takes the place of the logo's own transparency.
    EXPECT_EQ(LogoTemplate(uniformImage(8, 8, 255), uniformImage(8, 8, 0)).applyingMask(source, 130), source);
    EXPECT_EQ(countOn(LogoTemplate(uniformImage(8, 8, 0), uniformImage(8, 8, 255)).applyingMask(source, 130)), 0);
}

TEST(LogoTemplate, ImageMaskKeepsTheLogoUprightAndUnmirrored) {
    // Opaque top-left quadrant of a 20 x 20 logo over a 10 x 10 matrix.
    const auto logo = makeImage(20, 20, [](int x, int y) { return std::uint8_t(x < 10 && y < 10 ? 255 : 0); });
    const BoolMatrix masked = LogoTemplate(logo, nullptr).applyingImageTransparencyMask(allOn(10));
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) EXPECT_EQ(masked(r, c), !(r < 5 && c < 5)) << r << "," << c;
}

TEST(LogoTemplate, ImageMaskCoversAndCropsTheLongAxis) {
    // 200 x 100, opaque on the left half: covering 25 x 25 scales it to
    // 50 x 25 and cuts 12.5 away on each side, leaving columns 0...12.5.
    const auto logo = makeImage(200, 100, [](int x, int) { return std::uint8_t(x < 100 ? 255 : 0); });
    const BoolMatrix masked = LogoTemplate(logo, nullptr).applyingMask(allOn(25), 250);
    for (int r = 0; r < 25; ++r) {
        for (int c = 0; c < 12; ++c) EXPECT_FALSE(masked(r, c)) << r << "," << c;
        for (int c = 14; c < 25; ++c) EXPECT_TRUE(masked(r, c)) << r << "," << c;
    }
    // The left quarter alone lies entirely in the cut-away part.
    const auto quarter = makeImage(200, 100, [](int x, int) { return std::uint8_t(x < 50 ? 255 : 0); });
    EXPECT_EQ(countOn(LogoTemplate(quarter, nullptr).applyingMask(allOn(25), 250)), 25 * 25);
}

TEST(LogoTemplate, ImageMaskOfAPartialBoxHidesTheRowsUnderTheBox) {
    // An image-masking template loaded from settings with the top-left
    // quarter box: the hidden rows are the top ones, as in path mode.
    auto settings = LogoTemplate::SquareCenter(uniformImage(6, 6, 255))->settings();
    gfx::Path box = rectPath(0, 0.2, 0.5, 0.3);
    const auto json = CGPathCodable{box}.encodeJSON();
    settings["relativeMaskPath"] = foundation::base64Encode(std::span<const std::uint8_t>(json));
    settings["maskUsingImageTransparency"] = true;
    const auto t = LogoTemplate::Create(settings);
    ASSERT_TRUE(t);
    ASSERT_TRUE(t->useImageMasking());
    const BoolMatrix masked = t->applyingMask(allOn(10), 100);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) EXPECT_EQ(masked(r, c), !(r >= 2 && r < 5 && c < 5)) << r << "," << c;
    // Path mode of the same template hides the same modules.
    const BoolMatrix byPath = LogoTemplate(t->image(), box).applyingMask(allOn(10), 100);
    EXPECT_EQ(masked, byPath);
}

TEST(LogoTemplate, CopiesKeepModeMaskingAndGeometry) {
    const auto image = uniformImage(3, 3, 255), mask = uniformImage(5, 5, 255), other = uniformImage(2, 2, 9);
    LogoTemplate pathMode(image, rectPath(0.1, 0.2, 0.3, 0.4), 7, false);
    const auto copy = pathMode.copyLogoTemplate();
    EXPECT_NE(copy->image(), image);
    EXPECT_EQ(copy->settings(), pathMode.settings()); // mode, flags, path, inset and pixels
    EXPECT_EQ(copy->applyingMask(pattern(9), 9), pathMode.applyingMask(pattern(9), 9));
    // A new image drops the mask image and keeps the rest.
    const auto withImage = pathMode.copyWithImage(other, mask);
    EXPECT_EQ(withImage->image(), other);
    EXPECT_EQ(withImage->maskImage(), nullptr);
    EXPECT_FALSE(withImage->masksQRCodePixels());
    EXPECT_EQ(withImage->path(), pathMode.path());
    EXPECT_EQ(withImage->inset(), 7);

    LogoTemplate imageMode(image, mask, true);
    const auto copy2 = imageMode.copyLogoTemplate();
    EXPECT_EQ(copy2->maskImage(), mask);
    EXPECT_EQ(copy2->settings(), imageMode.settings());
    const auto withImage2 = imageMode.copyWithImage(other, nullptr);
    EXPECT_TRUE(withImage2->useImageMasking());
    EXPECT_EQ(withImage2->image(), other);
    EXPECT_EQ(withImage2->maskImage(), nullptr);

    // A template that leaves the modules under its logo visible stays so in
    // every copy: turning masking on would hide modules the source shows.
    LogoTemplate imageModeShowing(image, mask, false);
    EXPECT_FALSE(imageModeShowing.copyLogoTemplate()->masksQRCodePixels());
    EXPECT_FALSE(imageModeShowing.copyWithImage(other, mask)->masksQRCodePixels());
    EXPECT_EQ(imageModeShowing.copyLogoTemplate()->applyingMask(pattern(9), 9), pattern(9));
}

TEST(LogoTemplate, SettingsRoundTripInBothModes) {
    const auto logo = makeImage(7, 5, [](int x, int y) { return std::uint8_t((x * 40 + y * 9) % 256); });
    const auto mask = makeImage(4, 6, [](int x, int) { return std::uint8_t(x < 2 ? 255 : 0); });
    LogoTemplate pathMode(logo, rectPath(0.1, 0.2, 0.3, 0.4), 2.5, false);
    const auto s = pathMode.settings();
    EXPECT_FALSE(s.contains("maskUsingImageTransparency"));
    EXPECT_EQ(s.at("masksQRCodePixels"), false);
    EXPECT_EQ(s.at("inset"), 2.5);
    EXPECT_FALSE(s.contains("maskImage"));
    EXPECT_EQ(s.at("image").get<std::string>().find('\n'), std::string::npos);
    const auto pathBytes = foundation::base64Decode(s.at("relativeMaskPath").get<std::string>());
    ASSERT_TRUE(pathBytes);
    EXPECT_EQ(CGPathCodable::decode(std::span<const std::uint8_t>(*pathBytes)), pathMode.path());

    // Through JSON text and back, compared by value.
    const auto reparsed = nlohmann::json::parse(foundation::writeJson(s));
    EXPECT_EQ(reparsed, s);
    const auto loaded = LogoTemplate::Create(reparsed);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->path(), pathMode.path());
    EXPECT_TRUE(samePixels(*loaded->image(), *logo));
    EXPECT_EQ(loaded->settings(), s);

    LogoTemplate imageMode(logo, mask, true);
    const auto s2 = imageMode.settings();
    EXPECT_EQ(s2.at("maskUsingImageTransparency"), true);
    EXPECT_EQ(s2.at("masksQRCodePixels"), true);
    const auto loaded2 = LogoTemplate::Create(nlohmann::json::parse(foundation::writeJson(s2)));
    ASSERT_TRUE(loaded2);
    EXPECT_TRUE(loaded2->useImageMasking());
    ASSERT_TRUE(loaded2->maskImage());
    EXPECT_TRUE(samePixels(*loaded2->maskImage(), *mask));
    EXPECT_EQ(loaded2->applyingMask(allOn(8), 8), imageMode.applyingMask(allOn(8), 8));
}

TEST(LogoTemplate, SettingsThatDescribeNoTemplateOrFallBack) {
    const auto good = LogoTemplate::SquareCenter(uniformImage(3, 3, 255), 4)->settings();
    EXPECT_FALSE(LogoTemplate::Create(foundation::SettingsDict::object()));
    EXPECT_FALSE(LogoTemplate::Create(nlohmann::json::array()));
    auto without = [&](const char* key) {
        auto s = good;
        s.erase(key);
        return s;
    };
    auto with = [&](const char* key, nlohmann::json value) {
        auto s = good;
        s[key] = std::move(value);
        return s;
    };
    EXPECT_FALSE(LogoTemplate::Create(without("relativeMaskPath")));
    EXPECT_FALSE(LogoTemplate::Create(without("image")));
    EXPECT_FALSE(LogoTemplate::Create(with("relativeMaskPath", 12)));
    EXPECT_FALSE(LogoTemplate::Create(with("relativeMaskPath", foundation::base64Encode(std::string_view("{}")))));
    std::string broken = good.at("image").get<std::string>();
    broken.insert(8, "\n");
    EXPECT_FALSE(LogoTemplate::Create(with("image", broken)));
    EXPECT_FALSE(LogoTemplate::Create(with("image", foundation::base64Encode(std::string_view("not an image")))));
    // Stored images are capped at 4096 x 4096 pixels, from their header: a
    // few kilobytes of one-bit PNG cannot make a logo of hundreds of megabytes.
    const std::size_t before = testsupport::peakResidentBytes();
    EXPECT_FALSE(LogoTemplate::Create(with("image", foundation::base64Encode(testsupport::bilevelPNG(4097, 4096)))));
    EXPECT_FALSE(LogoTemplate::Create(with("image", foundation::base64Encode(testsupport::bilevelPNG(8192, 8192)))));
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(48) << 20);
    EXPECT_TRUE(LogoTemplate::Create(with("image", foundation::base64Encode(testsupport::bilevelPNG(4096, 2)))));

    // Loose entries take their defaults.
    const auto noFlag = LogoTemplate::Create(without("masksQRCodePixels"));
    ASSERT_TRUE(noFlag);
    EXPECT_TRUE(noFlag->masksQRCodePixels());
    const auto textInset = LogoTemplate::Create(with("inset", "4"));
    ASSERT_TRUE(textInset);
    EXPECT_EQ(textInset->inset(), 0);
    const auto numericFlags = LogoTemplate::Create(with("maskUsingImageTransparency", 1));
    ASSERT_TRUE(numericFlags);
    EXPECT_TRUE(numericFlags->useImageMasking());
    const auto badMask = LogoTemplate::Create(with("maskImage", "@@@@"));
    ASSERT_TRUE(badMask);
    EXPECT_EQ(badMask->maskImage(), nullptr);
}

TEST(LogoTemplate, SettingsFailWhenAnImageCannotBeStored) {
    const auto empty = std::make_shared<gfx::Image>();
    try {
        LogoTemplate(empty, rectPath(0, 0, 1, 1)).settings();
        FAIL();
    } catch (const ImageReadWriteException& e) {
        EXPECT_EQ(e.code(), ImageReadWriteError::cannotCreateImageOfType);
    }
    EXPECT_THROW(LogoTemplate(uniformImage(2, 2, 255), empty).settings(), ImageReadWriteException);
    gfx::Path infinite;
    infinite.moveTo({0, 0});
    infinite.lineTo({INFINITY, 1});
    EXPECT_THROW(LogoTemplate(uniformImage(2, 2, 255), infinite).settings(), foundation::JsonError);
}

TEST(LogoTemplate, CodingFormRoundTripAndRequiredKeys) {
    const auto logo = uniformImage(3, 2, 200), mask = uniformImage(2, 2, 255);
    LogoTemplate source(logo, mask, false);
    source.setPath(rectPath(0.1, 0.1, 0.5, 0.5));
    const nlohmann::json coded = source.codingValue();
    for (const char* key : {"useImageMasking", "masksQRCodePixels", "inset", "path", "image", "maskImage"})
        EXPECT_TRUE(coded.contains(key)) << key;
    const auto decoded = LogoTemplate::fromCodingValue(nlohmann::json::parse(foundation::writeJson(coded)));
    EXPECT_TRUE(samePixels(*decoded->image(), *logo));
    EXPECT_EQ(decoded->codingValue(), coded);

    const auto pathMode = LogoTemplate::CircleCenter(logo, 1.5)->codingValue();
    EXPECT_FALSE(pathMode.contains("maskImage"));
    auto noFlag = pathMode;
    noFlag.erase("masksQRCodePixels");
    EXPECT_TRUE(LogoTemplate::fromCodingValue(noFlag)->masksQRCodePixels());
    EXPECT_EQ(LogoTemplate::fromCodingValue(noFlag)->inset(), 1.5);
    for (const char* key : {"image", "path", "inset", "useImageMasking"}) {
        auto missing = pathMode;
        missing.erase(key);
        EXPECT_ANY_THROW(LogoTemplate::fromCodingValue(missing)) << key;
    }
    for (const auto& [key, value] : {std::pair<const char*, nlohmann::json>{"useImageMasking", 1}, {"inset", "1"}}) {
        auto wrong = pathMode;
        wrong[key] = value;
        EXPECT_THROW(LogoTemplate::fromCodingValue(wrong), LogoTemplate::DecodingError) << key;
    }
    auto wrong = pathMode;
    wrong["image"] = "@@";
    EXPECT_THROW(LogoTemplate::fromCodingValue(wrong), ImageReadWriteException);
    EXPECT_THROW(LogoTemplate::fromCodingValue(nlohmann::json::array()), LogoTemplate::DecodingError);
}
