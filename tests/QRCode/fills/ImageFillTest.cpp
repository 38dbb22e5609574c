#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/TestDrawing.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/QRCodeError.h"
#include "platform/foundation/Base64.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using QRCode::QRCodeError;
using QRCode::QRCodeException;

using gfx::Color;
using QRCode::Shadow;
using QRCode::ShadowType;
namespace FillStyle = QRCode::FillStyle;

namespace {

using qrcodetest::flippedBitmap;

using qrcodetest::errorOf;

// 200 x 100: the top half red, the bottom half blue, a green left quarter.
gfx::ImagePtr testImage() {
    auto img = std::make_shared<gfx::Image>(200, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            gfx::Pixel p = y < 50 ? gfx::Pixel{255, 0, 0, 255} : gfx::Pixel{0, 0, 255, 255};
            if (x < 50) p = {0, 255, 0, 255};
            img->setPixel(x, y, p);
        }
    return img;
}

bool allTransparent(const gfx::Image& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y).a != 0) return false;
    return true;
}

} // namespace

TEST(ImageFill, WithoutAnImage) {
    const FillStyle::Image fill(nullptr);
    const Shadow shadow;
    auto ctx = flippedBitmap(20, 20);
    gfx::Path square;
    square.addRect(gfx::Rect(5, 5, 10, 10));
    fill.fill(*ctx, gfx::Rect(0, 0, 20, 20));
    fill.fill(*ctx, gfx::Rect(0, 0, 20, 20), square, 4, &shadow);
    EXPECT_TRUE(allTransparent(*ctx->takeImage()));
    EXPECT_EQ(errorOf([&] { fill.settings(); }), QRCodeError::cannotGenerateImageBase64);
    EXPECT_EQ(errorOf([&] { fill.svgRepresentation("i", 1, nullptr); }), QRCodeError::cannotGenerateImage);
    const auto copy = std::dynamic_pointer_cast<FillStyle::Image>(fill.copyStyle());
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->image());
}

TEST(ImageFill, StretchedAndUprightInYDownContexts) {
    const FillStyle::Image fill(testImage());
    auto ctx = flippedBitmap(60, 60);
    fill.fill(*ctx, gfx::Rect(5, 5, 50, 50));
    auto img = ctx->takeImage();
    EXPECT_EQ(img->pixel(2, 2).a, 0);                            // outside the rectangle
    EXPECT_EQ(img->pixel(8, 20), (gfx::Pixel{0, 255, 0, 255}));  // left quarter: 5...17
    EXPECT_EQ(img->pixel(40, 10), (gfx::Pixel{255, 0, 0, 255})); // top half red
    EXPECT_EQ(img->pixel(40, 50), (gfx::Pixel{0, 0, 255, 255})); // bottom half blue
    EXPECT_EQ(img->pixel(57, 30).a, 0);

    // Through a path, with the same placement.
    ctx = flippedBitmap(60, 60);
    gfx::Path path;
    path.addEllipse(gfx::Rect(5, 5, 50, 50));
    fill.fill(*ctx, gfx::Rect(5, 5, 50, 50), path, 1, nullptr);
    img = ctx->takeImage();
    EXPECT_EQ(img->pixel(40, 12), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(img->pixel(40, 48), (gfx::Pixel{0, 0, 255, 255}));
    EXPECT_EQ(img->pixel(6, 6).a, 0); // corner outside the ellipse
}

TEST(ImageFill, SettingsAreOneLineAndRefusals) {
    const FillStyle::Image fill(testImage());
    const auto settings = fill.settings();
    const std::string text = settings["imagePNGbase64"];
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(FillStyle::Image::Create(settings)->image()->pixel(100, 75), (gfx::Pixel{0, 0, 255, 255}));

    std::string withBreaks = text;
    withBreaks.insert(64, "\n");
    for (const foundation::SettingsDict& bad : {
             foundation::SettingsDict::object(),
             foundation::SettingsDict{{"imagePNGbase64", 12}},
             foundation::SettingsDict{{"imagePNGbase64", withBreaks}},
             foundation::SettingsDict{{"imagePNGbase64", "not base64!"}},
             foundation::SettingsDict{{"imagePNGbase64", foundation::base64Encode(std::string_view("no image here"))}},
             // A real image, but above the 4096 x 4096 cap for stored images.
             foundation::SettingsDict{
                 {"imagePNGbase64", foundation::base64Encode(testsupport::bilevelPNG(8192, 2049))}},
         }) {
        EXPECT_EQ(errorOf([&] { FillStyle::Image::Create(bad); }), QRCodeError::cannotCreateGenerator);
    }
}

TEST(ImageFill, CopyHoldsItsOwnImage) {
    const FillStyle::Image fill(testImage());
    const auto copy = std::dynamic_pointer_cast<FillStyle::Image>(fill.copyStyle());
    ASSERT_TRUE(copy && copy->image());
    EXPECT_NE(copy->image(), fill.image());
    EXPECT_EQ(copy->image()->pixel(199, 99), fill.image()->pixel(199, 99));
}

TEST(ImageFill, SvgPattern) {
    const FillStyle::Image fill(testImage());
    const auto svg = fill.svgRepresentation("img", 10, nullptr);
    EXPECT_EQ(svg.styleAttribute(), "fill=\"url(#img)\" fill-opacity=\"1\" ");
    ASSERT_TRUE(svg.styleDefinition());
    const std::string& d = *svg.styleDefinition();
    const std::string head = "<pattern id=\"img\"  x=\"0\" y=\"0\" width=\"1\" height=\"1\"  viewBox=\"0 0 200 100\"  "
                             "preserveAspectRatio=\"xMidYMid slice\">\n"
                             "<image width=\"200\" height=\"100\"  xlink:href=\"data:image/jpeg;base64,";
    ASSERT_EQ(d.substr(0, head.size()), head);
    const std::string tail = "\" x=\"0\" y=\"0\" /></pattern>";
    ASSERT_EQ(d.substr(d.size() - tail.size()), tail);
    const std::string base64 = d.substr(head.size(), d.size() - head.size() - tail.size());
    EXPECT_GT(base64.size(), 64u);
    std::size_t start = 0, lines = 0;
    while (start <= base64.size()) {
        std::size_t end = base64.find('\n', start);
        if (end == std::string::npos) end = base64.size();
        EXPECT_LE(end - start, 64u);
        ++lines;
        start = end + 1;
    }
    EXPECT_GT(lines, 1u);
    std::string joined;
    for (char c : base64)
        if (c != '\n') joined += c;
    const auto jpeg = foundation::base64Decode(joined);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ((*jpeg)[0], 0xFF);
    EXPECT_EQ((*jpeg)[1], 0xD8);

    const Shadow inner(ShadowType::innerShadow, 1, 1, 2, Color::gray(0));
    const auto shadowed = fill.svgRepresentation("img", 10, &inner);
    EXPECT_EQ(shadowed.styleAttribute(), "fill=\"url(#img)\" fill-opacity=\"1\" style=\"filter:url(#img-shadow)\"");
    EXPECT_EQ(*shadowed.styleDefinition(), d + inner.svgInnerShadowFilter("img-shadow", 10));
}
