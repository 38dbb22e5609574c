#include "app/core/DocumentBuilder.h"
#include "app/core/MainWindowState.h"

#include "platform/detector/QRDetector.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Tessivo;

namespace {

std::vector<std::string> decode(const gfx::ImagePtr& image) {
    std::vector<std::string> texts;
    if (image)
        for (const auto& code : platform::detectQRCodes(*image)) texts.push_back(code.text);
    return texts;
}

// A picture of w x h opaque red pixels.
gfx::ImagePtr redPicture(int w, int h) {
    auto image = std::make_shared<gfx::Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->setPixel(x, y, {255, 0, 0, 255});
    return image;
}

void expectRect(const gfx::Rect& r, double x, double y, double w, double h) {
    EXPECT_NEAR(r.origin.x, x, 1e-9);
    EXPECT_NEAR(r.origin.y, y, 1e-9);
    EXPECT_NEAR(r.size.width, w, 1e-9);
    EXPECT_NEAR(r.size.height, h, 1e-9);
}

struct Builder : ::testing::Test {
    ShapeLists shapes;
    DesignValues design;
    LogoOptions logo;
};

} // namespace

// The panel shows one thumbnail per entry; documents for other threads are
// built from copies that share no generator with the preview's lists.
TEST_F(Builder, ShapeListsHoldTheOfferedShapesAndCopiesShareNoGenerator) {
    EXPECT_EQ(shapes.eyeShapes.size(), 13u);
    EXPECT_EQ(shapes.pupilShapes.size(), 15u);
    EXPECT_EQ(shapes.pixelShapes.size(), 14u);
    auto copy = shapes.copy();
    for (std::size_t i = 0; i < shapes.pixelShapes.size(); ++i) {
        EXPECT_NE(copy.pixelShapes[i], shapes.pixelShapes[i]);
        EXPECT_EQ(copy.pixelShapes[i]->name(), shapes.pixelShapes[i]->name());
    }
}

TEST_F(Builder, AppliesShapesColoursPaddingAndLevel) {
    design.eyeShapeIdx = 0;
    design.pupilShapeIdx = 14;
    design.pixelShapeIdx = 6;
    design.backgroundPadding = 3.7f;
    design.backgroundRadius = 2;
    for (int stored : {4, -1}) {
        design.errorCorrection = stored;
        auto doc = makeDocument("https://example.com", design, logo, shapes);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->errorCorrection(), QRCode::ErrorCorrection::high);
        // The pupil set after the eye survives.
        EXPECT_EQ(doc->design()->shape()->pupil(), shapes.pupilShapes[14]);
        EXPECT_EQ(doc->design()->shape()->eye(), shapes.eyeShapes[0]);
        EXPECT_EQ(doc->design()->shape()->onPixels(), shapes.pixelShapes[6]);
        EXPECT_EQ(doc->design()->additionalQuietZonePixels(), 3u);
        EXPECT_EQ(doc->design()->style()->backgroundFractionalCornerRadius(), 2.0);
    }
    design.errorCorrection = 0;
    EXPECT_EQ(makeDocument("x", design, logo, shapes)->errorCorrection(), QRCode::ErrorCorrection::low);
}

TEST_F(Builder, HandEditedJunkNeverReadsOutsideTheListsOrFails) {
    design.eyeShapeIdx = 1000;
    design.pupilShapeIdx = -5;
    design.pixelShapeIdx = std::numeric_limits<int>::max();
    design.backgroundPadding = std::numeric_limits<float>::quiet_NaN();
    design.backgroundRadius = -std::numeric_limits<float>::infinity();
    design.backgroundColor = Color{"bogus", {}};
    auto doc = makeDocument("junk", design, logo, shapes);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->design()->shape()->eye(), shapes.eyeShapes[12]);
    EXPECT_EQ(doc->design()->shape()->pupil(), shapes.pupilShapes[0]);
    EXPECT_EQ(doc->design()->shape()->onPixels(), shapes.pixelShapes[13]);
    EXPECT_EQ(doc->design()->additionalQuietZonePixels(), 0u);
    EXPECT_EQ(doc->design()->style()->backgroundFractionalCornerRadius(), 0.0);
    design.backgroundPadding = 1e30f;
    EXPECT_EQ(makeDocument("junk", design, logo, shapes)->design()->additionalQuietZonePixels(), 20u);
    // An empty message gives no code (a too long one: see the window's tests).
    EXPECT_FALSE(makeDocument("", design, logo, shapes));
    EXPECT_FALSE(makeQRImage("", design, logo, shapes));
}

TEST_F(Builder, AMessageBeyondWhatASymbolHoldsIsRefusedBeforeEncoding) {
    design.errorCorrection = 0;
    auto largest = makeDocument(std::string(maximumMessageBytes, 'a'), design, logo, shapes);
    ASSERT_TRUE(largest);
    EXPECT_GE(largest->qrcode().cellDimension(), 177); // version 40
    EXPECT_FALSE(makeDocument(std::string(maximumMessageBytes + 1, 'a'), design, logo, shapes));
    // 16 MB once cost gigabytes in the encoder; now it costs a size check.
    const std::size_t before = testsupport::peakResidentBytes();
    EXPECT_FALSE(makeQRImage(std::string(16u << 20, 'a'), design, logo, shapes));
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(200) << 20);
}

TEST_F(Builder, BasicLayoutUsesTheUnifiedColourAndNoLogo) {
    design.layoutMode = 0;
    design.unifiedColor = false;
    design.fgUnifiedColor = Color::sRGB(0, 0, 1);
    design.fgPixelColor = Color::sRGB(1, 0, 0);
    logo = {redPicture(50, 50), true, 0, true};
    auto doc = makeDocument("https://example.com", design, logo, shapes);
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->logoTemplate());
    auto image = doc->cgImage(std::int64_t(previewDimension));
    // The top-left eye's outer ring is blue, not red.
    auto px = image->pixel(45, 45);
    EXPECT_EQ(px, (gfx::Pixel{0, 0, 255, 255}));

    // Advanced with separate colours: the data modules are red.
    design.layoutMode = 2;
    doc = makeDocument("https://example.com", design, logo, shapes);
    ASSERT_TRUE(doc->logoTemplate());
    EXPECT_EQ(doc->logoTemplate()->inset(), 4);
    expectRect(doc->logoTemplate()->path().boundingBox(), 0.35, 0.35, 0.3, 0.3);
    logo.position = 2; // any value but 0 is the lower-right corner
    doc = makeDocument("https://example.com", design, logo, shapes);
    EXPECT_EQ(doc->logoTemplate()->inset(), 8);
    expectRect(doc->logoTemplate()->path().boundingBox(), 0.7, 0.7, 0.3, 0.3);
    EXPECT_EQ(decode(doc->cgImage(std::int64_t(previewDimension))), std::vector<std::string>{"https://example.com"});
}

TEST(FitLogoImage, KeepsTheAspectRatioCentredOrInTheLowerRightCorner) {
    const auto wide = redPicture(200, 100);
    auto centred = fitLogoImage(*wide, 307, true);
    ASSERT_TRUE(centred);
    EXPECT_EQ(centred->width(), 307);
    EXPECT_EQ(centred->height(), 307);
    // 307 x 153.5, vertically centred: rows 77...229 hold the picture.
    EXPECT_EQ(centred->pixel(150, 10).a, 0);
    EXPECT_EQ(centred->pixel(150, 153), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(centred->pixel(0, 100).a, 255);
    EXPECT_EQ(centred->pixel(150, 296).a, 0);

    auto corner = fitLogoImage(*wide, 307, false);
    EXPECT_EQ(corner->pixel(150, 10).a, 0);    // top stays empty
    EXPECT_EQ(corner->pixel(150, 300).a, 255); // touches the bottom
    EXPECT_EQ(corner->pixel(306, 306).a, 255);

    const auto tall = redPicture(50, 100);
    auto tallCorner = fitLogoImage(*tall, 307, false);
    EXPECT_EQ(tallCorner->pixel(10, 150).a, 0);  // left stays empty
    EXPECT_EQ(tallCorner->pixel(300, 0).a, 255); // touches the right
    EXPECT_FALSE(fitLogoImage(gfx::Image(), 307, true));
}

TEST(MainWindowState, EveryMessageKindScansBackFromThePreview) {
    MainWindowState state;
    auto& f = state.fields;
    f.qrText = "https://example.com/path?q=1";
    f.msgEmailTo = "desk@example.com";
    f.msgEmailSubject = "Hi & bye";
    f.msgEmailBody = "See you";
    f.msgPhone = "+1 555 555 5555";
    f.msgSmsTo = "555";
    f.msgSmsBody = "On my way: 5 min";
    f.msgWifiSSID = "Cafe;Guest";
    f.msgWifiPassword = "p:w,\"d\"";
    f.msgVcardName = "Jane Doe";
    f.msgVcardOrg = "Acme, Inc.";
    f.msgVcardPhone = "+1 555 555 5555";
    f.msgVcardEmail = "jane@example.com";
    Keys::errorCorrection().reset();
    for (auto kind : allMessageTypes) {
        Keys::messageType().set(rawValue(kind));
        const auto text = state.messageText();
        ASSERT_FALSE(text.empty()) << title(kind);
        EXPECT_EQ(decode(state.makeQRImage()), std::vector<std::string>{text}) << title(kind);
    }
    Keys::messageType().reset();
}
