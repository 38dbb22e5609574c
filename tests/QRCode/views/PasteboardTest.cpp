#include "QRCode/fills/Solid.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/views/Pasteboard.h"
#include "tests/QRCode/views/ViewsTestSupport.h"

#include <QGuiApplication>
#include <QClipboard>

#include <gtest/gtest.h>

using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::QRCodeFillStyleGenerator;

using namespace QRCode::views;

namespace {

const QMimeData& clipboardData() { return *QGuiApplication::clipboard()->mimeData(); }

QByteArray item(const char* type) { return clipboardData().data(QString::fromLatin1(type)); }

// A fill that paints but has no SVG form.
class PaintOnlyFill : public QRCode::FillStyle::Solid {
public:
    PaintOnlyFill() : Solid(gfx::Color::sRGB(0, 0, 0.5)) {}
    std::shared_ptr<QRCodeFillStyleGenerator> copyStyle() const override { return std::make_shared<PaintOnlyFill>(); }
    QRCode::FillStyle::SVGDefinition svgRepresentation(std::string_view, double, const QRCode::Shadow*) const override {
        throw QRCodeException(QRCodeError::unsupportedExportType);
    }
};

} // namespace

TEST(Pasteboard, DocumentPutsFourFormatsAndReplacesWhatWasThere) {
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    const auto document = viewstest::textDocument("pasteboard check");
    addToPasteboard(*document, 300, 72, *QGuiApplication::clipboard());

    const QStringList formats = clipboardData().formats();
    EXPECT_EQ(formats, (QStringList{kPDFMimeType, kTIFFMimeType, kPNGMimeType, kSVGMimeType}));
    EXPECT_FALSE(clipboardData().hasText());

    EXPECT_TRUE(item(kPDFMimeType).startsWith("%PDF"));
    const QByteArray tiff = item(kTIFFMimeType);
    EXPECT_TRUE(tiff.startsWith("II*") || tiff.startsWith("MM"));
    EXPECT_TRUE(item(kSVGMimeType).startsWith("<svg"));
    EXPECT_TRUE(item(kSVGMimeType).contains("width=\"300\""));

    const QImage png = QImage::fromData(item(kPNGMimeType), "PNG");
    EXPECT_EQ(png.size(), QSize(300, 300));
    EXPECT_EQ(viewstest::decodePNG(item(kPNGMimeType)), std::vector<std::string>{"pasteboard check"});
    EXPECT_EQ(viewstest::pdfMediaBox(item(kPDFMimeType)), std::make_pair(300.0, 300.0));
}

TEST(Pasteboard, ResolutionScalesThePageNotTheBitmaps) {
    const auto document = viewstest::textDocument("dpi");
    addToPasteboard(*document, 300, 144, *QGuiApplication::clipboard());
    EXPECT_EQ(viewstest::pdfMediaBox(item(kPDFMimeType)), std::make_pair(150.0, 150.0));
    const QImage png = QImage::fromData(item(kPNGMimeType), "PNG");
    EXPECT_EQ(png.size(), QSize(300, 300));
    // 144 dpi is 5669 dots per metre.
    EXPECT_NEAR(png.dotsPerMeterX(), 144 / 0.0254, 1.0);
    EXPECT_EQ(viewstest::pilDPI(item(kTIFFMimeType)), std::make_pair(144.0, 144.0));
}

TEST(Pasteboard, AFillWithoutAnSVGFormLeavesOutOnlyTheSVG) {
    const auto document = viewstest::textDocument("no svg");
    document->design()->style()->setOnPixels(std::make_shared<PaintOnlyFill>());
    addToPasteboard(*document, 240, 72, *QGuiApplication::clipboard());
    EXPECT_EQ(clipboardData().formats(), (QStringList{kPDFMimeType, kTIFFMimeType, kPNGMimeType}));
    EXPECT_EQ(viewstest::decodePNG(item(kPNGMimeType)), std::vector<std::string>{"no svg"});
}

TEST(Pasteboard, ResolutionOfZeroLeavesOutPageAndBitmapsButKeepsSVG) {
    const auto document = viewstest::textDocument("zero");
    for (double dpi : {0.0, -72.0}) {
        addToPasteboard(*document, 200, dpi, *QGuiApplication::clipboard());
        EXPECT_EQ(clipboardData().formats(), QStringList{kSVGMimeType}) << dpi;
    }
}

TEST(Pasteboard, SizeFormTruncatesTheSVGDimensionOnly) {
    const auto document = viewstest::textDocument("size form");
    addToPasteboard(*document, gfx::Size{300.7, 200}, 72, *QGuiApplication::clipboard());
    EXPECT_TRUE(item(kSVGMimeType).contains("width=\"300\""));
    EXPECT_EQ(QImage::fromData(item(kPNGMimeType), "PNG").size(), QSize(300, 200));

    addToPasteboard(*document, gfx::Size{std::numeric_limits<double>::infinity(), 200}, 72,
                    *QGuiApplication::clipboard());
    EXPECT_FALSE(clipboardData().hasFormat(kSVGMimeType));
}

TEST(Pasteboard, DocumentWhoseRegenerationFailedCopiesNothingStale) {
    const auto document = viewstest::textDocument("old content");
    document->setErrorCorrection(QRCode::ErrorCorrection::high);
    document->setUtf8String(std::string(4000, 'x')); // too long: the matrix stays the old one
    ASSERT_FALSE(document->isMatrixCurrent());
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    addToPasteboard(*document, 200, 72, *QGuiApplication::clipboard());
    EXPECT_TRUE(clipboardData().formats().isEmpty());
}
