// Symbols and documents as platform images, QR codes found in platform
// images, and the small platform conveniences: the builder's painter path,
// the colour of a solid fill and an image fill from a platform image.
#include "QRCode/Builder.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/views/ImageConversion.h"
#include "QRCode/views/PlatformImage.h"
#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/views/ViewsTestSupport.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using QRCode::views::platformImage;
using qrcodetest::errorOf;
using Texts = std::vector<std::string>;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ImageReadWriteError imageErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ImageReadWriteException& e) {
        return e.code();
    }
    ADD_FAILURE() << "no ImageReadWriteException";
    return ImageReadWriteError::internalError;
}

bool samePixels(const QImage& image, const gfx::Image& bitmap) {
    const auto converted = ImageReadWrite::cgImage(image);
    return converted && converted->byteCount() == bitmap.byteCount() &&
           std::memcmp(converted->data(), bitmap.data(), bitmap.byteCount()) == 0;
}

} // namespace

TEST(PlatformImage, DocumentImagePointSizeIsPixelsTimes72OverDPI) {
    QRCode::Document document("point sizes", QRCode::ErrorCorrection::medium);
    struct Case {
        double dpi, points;
    };
    for (const Case c : {Case{72, 1024}, Case{144, 512}, Case{300, 245.76}}) {
        const QImage image = platformImage(document, 1024, c.dpi);
        EXPECT_EQ(image.size(), QSize(1024, 1024)) << c.dpi;
        EXPECT_NEAR(image.deviceIndependentSize().width(), c.points, 1e-9) << c.dpi;
        EXPECT_NEAR(image.deviceIndependentSize().height(), c.points, 1e-9) << c.dpi;
    }
    // The same pixels as the bitmap export, and they scan.
    const QImage image = platformImage(document, gfx::Size{300, 200}, 144);
    EXPECT_EQ(image.size(), QSize(300, 200));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(150, 100));
    EXPECT_TRUE(samePixels(image, *document.cgImage(gfx::Size{300, 200})));
    EXPECT_EQ(viewstest::decode(*ImageReadWrite::cgImage(image)), Texts{"point sizes"});
}

TEST(PlatformImage, SymbolImageAndTheLabelledForms) {
    QRCode::Document document("labelled", QRCode::ErrorCorrection::low);
    const QImage image = platformImage(document.qrcode(), gfx::Size{256, 256}, 144, *document.design(), nullptr);
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(128, 128));
    EXPECT_TRUE(samePixels(image, *document.cgImage(256)));

    const auto labelled =
        QRCode::views::image(document.qrcode(), gfx::Size{256, 256}, 216, "Menu", *document.design(), nullptr);
    EXPECT_EQ(labelled.label, QStringLiteral("Menu"));
    EXPECT_NEAR(labelled.image.deviceIndependentSize().width(), 256.0 / 3, 1e-9);

    const auto ui = QRCode::views::imageUI(document, gfx::Size{100, 100}, 72, QStringLiteral("Wi-Fi"));
    EXPECT_EQ(ui.label, QStringLiteral("Wi-Fi"));
    EXPECT_EQ(ui.image.deviceIndependentSize(), QSizeF(100, 100));
    // Shown the way a view would: the label reaches assistive technology.
    QLabel view;
    view.setPixmap(QPixmap::fromImage(ui.image));
    view.setAccessibleName(ui.label);
    EXPECT_EQ(view.accessibleName(), QStringLiteral("Wi-Fi"));
    EXPECT_EQ(view.pixmap().size(), QSize(100, 100));
}

TEST(PlatformImage, BadDPIIsInvalidDPIAndBadSizeCannotGenerateImage) {
    QRCode::Document document("errors", QRCode::ErrorCorrection::low);
    const auto& qrcode = document.qrcode();
    const auto& design = *document.design();
    for (const double dpi : {0.0, -72.0, kNaN, std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(imageErrorOf([&] { platformImage(document, 64, dpi); }), ImageReadWriteError::invalidDPI) << dpi;
        EXPECT_EQ(imageErrorOf([&] { platformImage(qrcode, gfx::Size{64, 64}, dpi, design, nullptr); }),
                  ImageReadWriteError::invalidDPI)
            << dpi;
        EXPECT_EQ(imageErrorOf([&] { QRCode::views::imageUI(document, gfx::Size{64, 64}, dpi, "x"); }),
                  ImageReadWriteError::invalidDPI)
            << dpi;
        // A bad DPI is found before a bad size.
        EXPECT_EQ(imageErrorOf([&] { platformImage(document, gfx::Size{kNaN, 64}, dpi); }),
                  ImageReadWriteError::invalidDPI);
    }
    for (const gfx::Size size : {gfx::Size{kNaN, 64}, gfx::Size{64, kNaN}, gfx::Size{0, 64},
                                 gfx::Size{std::numeric_limits<double>::infinity(), 64}}) {
        EXPECT_EQ(errorOf([&] { platformImage(document, size, 72); }), QRCode::QRCodeError::cannotGenerateImage);
        EXPECT_EQ(errorOf([&] { platformImage(qrcode, size, 72, design, nullptr); }),
                  QRCode::QRCodeError::cannotGenerateImage);
    }
    EXPECT_EQ(errorOf([&] { platformImage(document, 0, 72); }), QRCode::QRCodeError::cannotGenerateImage);
    EXPECT_EQ(errorOf([&] { platformImage(document, -5, 72); }), QRCode::QRCodeError::cannotGenerateImage);
}

TEST(PlatformConveniences, BuilderPainterPathMatchesTheLibraryPath) {
    // Curved pixels and eyes, so that every kind of path element is carried.
    auto builder = QRCode::build().text("painter path").errorCorrection(QRCode::ErrorCorrection::medium);
    builder.onPixels().shape(QRCode::QRCodePixelShapeFactory::shared().named("circle"));
    builder.eye().shape(QRCode::QRCodeEyeShapeFactory::shared().named("squircle"));
    const auto generate = builder.generate();
    const gfx::Path path = generate.path(300);
    const QPainterPath painter = QRCode::views::bezierPath(generate, 300);

    EXPECT_EQ(painter.fillRule(), Qt::WindingFill);
    const gfx::Rect bounds = path.boundingBox();
    const QRectF qbounds = painter.boundingRect();
    EXPECT_NEAR(qbounds.x(), bounds.origin.x, 1e-6);
    EXPECT_NEAR(qbounds.y(), bounds.origin.y, 1e-6);
    EXPECT_NEAR(qbounds.width(), bounds.size.width, 1e-6);
    EXPECT_NEAR(qbounds.height(), bounds.size.height, 1e-6);

    // The same inside and outside at points off the outlines' edges.
    int inside = 0, disagreements = 0;
    for (double y = 0.37; y < 300; y += 2.9) {
        for (double x = 0.61; x < 300; x += 2.9) {
            const bool library = path.contains({x, y});
            inside += library;
            disagreements += library != painter.contains(QPointF(x, y));
        }
    }
    EXPECT_GT(inside, 1000);
    // Qt flattens curves, so a point right on a curve may fall either way.
    EXPECT_LE(disagreements, 10);

    // And it scans once painted.
    QImage image(340, 340, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(20, 20);
        p.fillPath(painter, Qt::black);
    }
    EXPECT_EQ(viewstest::decode(image), Texts{"painter path"});
}

TEST(PlatformConveniences, SolidFillColourAndImageFillFromAPlatformImage) {
    EXPECT_EQ(QRCode::views::platformColor(*QRCode::FillStyle::Solid::sRGB(1, 0, 0, 0.5)),
              QColor::fromRgbF(1, 0, 0, 0.5));
    const QColor grey = QRCode::views::platformColor(*QRCode::FillStyle::Solid::gray(0.25));
    EXPECT_NEAR(grey.redF(), grey.blueF(), 1e-6);
    EXPECT_EQ(grey.alphaF(), 1.0f);
    EXPECT_EQ(QRCode::views::platformColor(QRCode::FillStyle::Solid(QRCode::views::toColor(QColor(10, 20, 30)))),
              QColor(10, 20, 30));

    QImage logo(6, 4, QImage::Format_RGB32);
    logo.fill(QColor(0, 128, 255));
    logo.setDevicePixelRatio(2);
    const auto fill = QRCode::views::makeImageFill(logo);
    ASSERT_TRUE(fill->image());
    EXPECT_EQ(fill->image()->width(), 6);
    EXPECT_EQ(fill->image()->pixel(5, 3), (gfx::Pixel{0, 128, 255, 255}));
    // A fill without image paints nothing and says so in its settings.
    const auto empty = QRCode::views::makeImageFill(QImage());
    EXPECT_FALSE(empty->image());
    EXPECT_EQ(errorOf([&] { empty->settings(); }), QRCode::QRCodeError::cannotGenerateImageBase64);
}

TEST(PlatformImageDetection, FindsTheCodeWhateverTheRatioAndPixelFormat) {
    QRCode::Document document("detect me in Qt", QRCode::ErrorCorrection::medium);
    struct Case {
        const char* name;
        QImage image;
    };
    const QImage at72 = platformImage(document, 300, 72);
    const QImage at144 = platformImage(document, 300, 144);
    ASSERT_EQ(at144.devicePixelRatio(), 2.0);
    for (const auto& [name, image] : std::vector<Case>{
             {"ratio 1", at72},
             {"ratio 2", at144},
             {"24-bit RGB", at72.convertToFormat(QImage::Format_RGB888)},
             {"8-bit grey", at72.convertToFormat(QImage::Format_Grayscale8)}}) {
        SCOPED_TRACE(name);
        const auto features = QRCode::views::DetectQRCodesIn(image);
        ASSERT_EQ(features.size(), 1u);
        EXPECT_EQ(features[0].messageString, "detect me in Qt");
        // Corners are pixels of the whole image, not points.
        EXPECT_GT(features[0].bounds.size.width, 150);
        EXPECT_LE(features[0].bounds.origin.x + features[0].bounds.size.width, 300);
    }
}

TEST(PlatformImageDetection, NoCodeOrNoBitmapGivesTheEmptyList) {
    QImage blank(200, 120, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage picture(200, 120, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setBrush(Qt::black);
        p.drawEllipse(20, 20, 80, 80);
        p.drawRect(120, 10, 60, 100);
    }
    // One bit a pixel keeps a picture larger than any bitmap cheap.
    QImage tooLarge(16385, 16384, QImage::Format_Mono);
    ASSERT_FALSE(tooLarge.isNull());
    tooLarge.fill(1);
    for (const auto& [name, image] : std::vector<std::pair<const char*, QImage>>{
             {"blank", blank},
             {"a picture", picture},
             {"null", QImage()},
             {"zero-sized", QImage(0, 0, QImage::Format_RGB32)},
             {"too large", tooLarge}}) {
        EXPECT_TRUE(QRCode::views::DetectQRCodesIn(image).empty()) << name;
    }
}
