#include "QRCode/fills/Solid.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/views/QRCodeDocumentUIView.h"
#include "QRCode/views/QRCodeShape.h"
#include "tests/QRCode/views/ViewsTestSupport.h"

#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

using QRCode::QRCodePixelShapeFactory;

using viewstest::decode;
using viewstest::waitFor;
using Texts = std::vector<std::string>;

namespace {

QRCodeShape makeShape(std::string_view text, QRCode::ErrorCorrection level = QRCode::ErrorCorrection::medium) {
    return QRCodeShape(text, level, QRCode::Components::standard(), QRCode::Shape::create());
}

QImage paint(const QPainterPath& path, int side) {
    QImage image(side + 40, side + 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.translate(20, 20);
    p.fillPath(path, Qt::black);
    return image;
}

} // namespace

TEST(QRCodeShape, FilledPathScansAndIgnoresTheRectangleOrigin) {
    const QRCodeShape shape = makeShape("shape text");
    const QPainterPath path = shape.path(QRectF(0, 0, 300, 300));
    EXPECT_EQ(shape.path(QRectF(50, 20, 300, 300)), path);
    EXPECT_EQ(decode(paint(path, 300)), Texts{"shape text"});
}

TEST(QRCodeShape, ModifiersDeriveNewValuesAndLeaveTheReceiver) {
    const QRCodeShape base = makeShape("modifiers");
    const auto baseShape = base.designShape();
    const QPainterPath before = base.path(QRectF(0, 0, 200, 200));

    const auto circle = QRCodePixelShapeFactory::shared().named("abstract");
    ASSERT_NE(circle, nullptr);
    const QRCodeShape circled = base.onPixels(circle);
    EXPECT_EQ(circled.designShape()->onPixels(), circle);
    EXPECT_NE(circled.path(QRectF(0, 0, 200, 200)), before);
    EXPECT_EQ(base.designShape(), baseShape);
    EXPECT_EQ(base.path(QRectF(0, 0, 200, 200)), before);
    EXPECT_EQ(circled.qrcode().engine(), base.qrcode().engine());

    EXPECT_EQ(base.pixels(circle).path(QRectF(0, 0, 200, 200)), circled.path(QRectF(0, 0, 200, 200)));
    EXPECT_EQ(base.pixelShape(circle).designShape()->onPixels(), circle);

    // shape() copies its argument and drops earlier generator changes.
    const QRCodeShape reshaped = circled.shape(*QRCode::Shape::create());
    EXPECT_EQ(reshaped.designShape()->onPixels()->name(), "square");
    EXPECT_EQ(circled.withDesignShape(*QRCode::Shape::create()).path(QRectF(0, 0, 200, 200)),
              reshaped.path(QRectF(0, 0, 200, 200)));

    const auto pupil = std::make_shared<QRCode::PupilShape::Square>();
    ASSERT_NE(pupil, nullptr);
    const QRCodeShape withPupil = base.pupil(pupil);
    EXPECT_EQ(withPupil.designShape()->pupil(), pupil);
    const QRCodeShape withEye = withPupil.eye(std::make_shared<QRCode::EyeShape::Square>());
    EXPECT_EQ(withEye.designShape()->pupil(), nullptr);
    EXPECT_EQ(withEye.pupil(nullptr).designShape()->pupil(), nullptr);

    const QRCodeShape high = base.errorCorrection(QRCode::ErrorCorrection::high);
    EXPECT_EQ(high.errorCorrectionLevel(), QRCode::ErrorCorrection::high);
    EXPECT_EQ(decode(paint(high.path(QRectF(0, 0, 300, 300)), 300)), Texts{"modifiers"});
}

// Derived values copy the logo; one that leaves the modules under it visible
// stays so, so changing another property does not hide those modules.
TEST(QRCodeShape, DerivedValuesKeepALogoThatLeavesTheModulesVisible) {
    gfx::Path box;
    box.addRect(gfx::Rect(0.3, 0.3, 0.4, 0.4));
    const auto picture = std::make_shared<gfx::Image>(4, 4);
    const QRCodeShape base("logo kept visible", QRCode::ErrorCorrection::high, QRCode::Components::standard(),
                           QRCode::Shape::create(), std::make_shared<QRCode::LogoTemplate>(picture, box, 0, false));
    const QRectF rect(0, 0, 300, 300);
    const QRCodeShape derived = base.errorCorrection(QRCode::ErrorCorrection::high);
    EXPECT_FALSE(derived.logo()->masksQRCodePixels());
    EXPECT_EQ(derived.path(rect), base.path(rect));
    const auto masking = std::make_shared<QRCode::LogoTemplate>(picture, box, 0, true);
    EXPECT_NE(base.logoTemplate(masking).path(rect), base.path(rect)); // masking shows
}

TEST(QRCodeShape, UnencodableTextPrintsOnceAndOutlinesNothing) {
    testing::internal::CaptureStdout();
    const QRCodeShape shape = makeShape(std::string(4000, 'x'), QRCode::ErrorCorrection::high);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("QRCodeShape: Error creating shape. Error was '", 0), 0u) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
    EXPECT_TRUE(shape.path(QRectF(0, 0, 100, 100)).boundingRect().isEmpty());
}

TEST(QRCodeViewUI, BuildsTheDesignAndHandsTheDocumentOverLater) {
    QRCodeViewUIParameters parameters;
    parameters.text = "declarative";
    parameters.eyeShape = std::make_shared<QRCode::EyeShape::Square>();
    parameters.pupilShape = std::make_shared<QRCode::PupilShape::Square>();
    parameters.additionalQuietZonePixels = 2;
    QRCode::DocumentPtr received;
    parameters.generatedDocument = [&](QRCode::DocumentPtr document) { received = std::move(document); };

    QRCodeViewUI view(parameters);
    EXPECT_TRUE(view.isValid());
    EXPECT_EQ(received, nullptr); // not during construction
    ASSERT_TRUE(waitFor([&] { return received != nullptr; }));
    EXPECT_EQ(received, view.content());
    const auto& shape = *view.content()->design()->shape();
    EXPECT_EQ(shape.eye(), parameters.eyeShape);
    EXPECT_EQ(shape.pupil(), parameters.pupilShape); // set after the eye cleared it
    EXPECT_FALSE(view.content()->design()->style()->shadow().has_value());
    EXPECT_EQ(view.content()->design()->additionalQuietZonePixels(), 2u);
    ASSERT_TRUE(waitFor([&] { return decode(view.documentView().image()) == Texts{"declarative"}; }));
}

TEST(QRCodeViewUI, OnPixelFillIsAppliedAfterTheForegroundColour) {
    QRCodeViewUIParameters parameters;
    parameters.text = "fill order";
    parameters.foregroundColor = gfx::Color::sRGB(1, 0, 0);
    parameters.onPixelStyle = QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0, 0, 1));
    QRCodeViewUI view(parameters);
    view.resize(240, 240);
    // The foreground colour cleared the eye and pupil fills, which follow
    // the on-pixel fill: the whole code is blue, nothing of it red.
    EXPECT_EQ(view.content()->design()->style()->onPixels(), parameters.onPixelStyle);
    EXPECT_EQ(view.content()->design()->style()->eye(), nullptr);
    ASSERT_TRUE(waitFor([&] { return decode(view.documentView().image()) == Texts{"fill order"}; }));
    const QImage image = view.documentView().image().convertToFormat(QImage::Format_ARGB32);
    int blue = 0, red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 200) continue;
            blue += c.blue() > 200 && c.red() < 50;
            red += c.red() > 200 && c.blue() < 50;
        }
    }
    EXPECT_GT(blue, image.width() * image.height() / 10);
    EXPECT_EQ(red, 0);
}

TEST(QRCodeViewUI, TextThatCannotBeEncodedGivesAnEmptyDocument) {
    QRCodeViewUIParameters parameters;
    parameters.text = std::string(4000, 'x');
    parameters.errorCorrection = QRCode::ErrorCorrection::high;
    parameters.additionalQuietZonePixels = 3;
    QRCode::DocumentPtr received;
    parameters.generatedDocument = [&](QRCode::DocumentPtr document) { received = std::move(document); };
    QRCodeViewUI view(parameters);
    EXPECT_FALSE(view.isValid());
    ASSERT_TRUE(waitFor([&] { return received != nullptr; }));
    EXPECT_EQ(view.content()->design()->additionalQuietZonePixels(), 0u); // nothing applied
}

TEST(QRCodeDocumentUIView, AnnouncedChangesReachTheHostedView) {
    auto document = viewstest::textDocument("observed");
    QRCodeDocumentUIView host(document);
    ASSERT_TRUE(waitFor([&] { return decode(host.documentView().image()) == Texts{"observed"}; }));
    document->setUtf8String("changed");
    document->notifyChanged();
    ASSERT_TRUE(waitFor([&] { return decode(host.documentView().image()) == Texts{"changed"}; }));
    host.update(); // the widget's own repaint request stays reachable
}
