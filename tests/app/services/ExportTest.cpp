// Every export is read back by a program that shares no code with ours
// (ImageMagick, pdftoppm, rsvg-convert) and must scan to the message.
#include "app/core/Export.h"

#include "QRCode/Document.h"
#include "platform/detector/QRDetector.h"
#include "tests/support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Tessivo;
namespace fs = std::filesystem;

namespace {

const std::string kMessage = "https://tessivo.org/export?a=1&b=2";

std::shared_ptr<QRCode::Document> makeDocument(bool transparentBackground = false) {
    auto doc = std::make_shared<QRCode::Document>(kMessage, QRCode::ErrorCorrection::high);
    if (transparentBackground) doc->design()->style()->setBackground(nullptr);
    return doc;
}

// A binary greyscale PGM (P5, maxval 255) as written by the converters.
gfx::Image readPGM(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (magic != "P5" || maxval != 255 || width <= 0 || height <= 0) throw std::runtime_error("not a PGM");
    std::vector<unsigned char> grey(std::size_t(width) * height);
    in.read(reinterpret_cast<char*>(grey.data()), std::streamsize(grey.size()));
    gfx::Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto v = grey[std::size_t(y) * width + x];
            image.setPixel(x, y, {v, v, v, 255});
        }
    return image;
}

std::string decodeFile(const fs::path& pgm) {
    const auto codes = platform::detectQRCodes(readPGM(pgm));
    return codes.empty() ? std::string() : codes.front().text;
}

std::string shellQuote(const fs::path& p) { return "'" + p.string() + "'"; }

// Converts the file to greyscale PGM with an independent reader.
fs::path toPGM(const fs::path& file, ExportFormat format, const testsupport::TempDir& dir) {
    const fs::path out = dir / (file.filename().string() + ".pgm");
    std::string command;
    switch (format) {
    case ExportFormat::pdf:
        command = "pdftoppm -r 72 -gray -singlefile " + shellQuote(file) + " " + shellQuote(dir / "pdfpage") +
                  " && mv " + shellQuote(dir / "pdfpage.pgm") + " " + shellQuote(out);
        break;
    case ExportFormat::svg:
        command = "rsvg-convert -b white -o " + shellQuote(dir / "svg.png") + " " + shellQuote(file) + " && convert " +
                  shellQuote(dir / "svg.png") + " -colorspace Gray -depth 8 pgm:" + shellQuote(out);
        break;
    default:
        command = "convert " + shellQuote(file) +
                  " -background white -flatten -colorspace Gray -depth 8 pgm:" + shellQuote(out);
    }
    EXPECT_EQ(testsupport::runCommand(command + " 2>&1"), 0) << command;
    return out;
}

} // namespace

TEST(Export, EveryFormatOpensInAnIndependentReaderAndScans) {
    testsupport::TempDir dir;
    const auto doc = makeDocument();
    for (ExportFormat format : kExportFormats) {
        const auto& info = exportFormatInfo(format);
        const fs::path file = dir / info.defaultName;
        ASSERT_TRUE(exportToFile(*doc, format, QString::fromStdString(file.string()))) << info.title;
        EXPECT_EQ(decodeFile(toPGM(file, format, dir)), kMessage) << info.title;
        if (format == ExportFormat::png || format == ExportFormat::jpeg || format == ExportFormat::tiff) {
            std::string size;
            testsupport::runCommand("identify -format '%w %h' " + shellQuote(file), &size);
            EXPECT_EQ(size, "1024 1024") << info.title;
        }
    }
}

TEST(Export, JpegOfATransparentBackgroundIsWhite) {
    testsupport::TempDir dir;
    const fs::path file = dir / "clear.jpg";
    ASSERT_TRUE(exportToFile(*makeDocument(true), ExportFormat::jpeg, QString::fromStdString(file.string())));
    // Read by ImageMagick without any flattening of ours: the corner is white.
    std::string corner;
    testsupport::runCommand("convert " + shellQuote(file) + " -format '%[fx:int(255*p{2,2}.r)]' info:", &corner);
    EXPECT_GE(std::stoi(corner), 250);
    EXPECT_EQ(decodeFile(toPGM(file, ExportFormat::jpeg, dir)), kMessage);
}

TEST(Export, AFailureLeavesTheExistingFileAndNoLeftovers) {
    testsupport::TempDir dir;
    const fs::path file = dir / "qrcode.png";
    testsupport::writeTextFile(file, "the user's older file");

    // A document whose content can no longer be encoded refuses to render.
    auto broken = makeDocument();
    broken->setUtf8String(std::string(8000, 'x'));
    ASSERT_FALSE(broken->isMatrixCurrent());
    for (ExportFormat format : kExportFormats)
        EXPECT_FALSE(exportToFile(*broken, format, QString::fromStdString(file.string())));
    EXPECT_EQ(testsupport::readTextFile(file), "the user's older file");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A folder that does not exist, or a folder in the file's place.
    EXPECT_FALSE(
        exportToFile(*makeDocument(), ExportFormat::svg, QString::fromStdString((dir / "no/such.svg").string())));
    fs::create_directory(dir / "taken.pdf");
    EXPECT_FALSE(
        exportToFile(*makeDocument(), ExportFormat::pdf, QString::fromStdString((dir / "taken.pdf").string())));
    EXPECT_TRUE(fs::is_directory(dir / "taken.pdf"));

    // A success replaces the old file whole.
    ASSERT_TRUE(exportToFile(*makeDocument(), ExportFormat::png, QString::fromStdString(file.string())));
    const auto bytes = testsupport::readFile(file);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
}

TEST(Clipboard, ImageCopyOffersFourFormatsAndTextArtOnlyText) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto doc = makeDocument();

    ASSERT_TRUE(publishClipboardItems(imageClipboardItems(*doc), *clipboard));
    const QMimeData* mime = clipboard->mimeData();
    ASSERT_TRUE(mime);
    for (const char* type : {"application/pdf", "image/tiff", "image/png", "image/svg+xml"})
        EXPECT_TRUE(mime->hasFormat(QString::fromLatin1(type))) << type;
    const QImage png = QImage::fromData(mime->data(QStringLiteral("image/png")), "PNG");
    EXPECT_EQ(png.size(), QSize(1024, 1024));
    EXPECT_TRUE(mime->data(QStringLiteral("application/pdf")).startsWith("%PDF"));
    EXPECT_TRUE(mime->data(QStringLiteral("image/svg+xml")).contains("<svg"));

    ASSERT_TRUE(publishClipboardItems(textArtClipboardItems(*doc), *clipboard));
    mime = clipboard->mimeData();
    EXPECT_FALSE(mime->hasFormat(QStringLiteral("image/png")));
    const QString text = clipboard->text();
    const QStringList rows = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    const qsizetype modules = qsizetype(doc->boolMatrix().dimension());
    EXPECT_EQ(rows.size(), modules);
    EXPECT_EQ(rows.front().size(), 2 * modules);
    EXPECT_EQ(text, QString::fromStdString(doc->asciiRepresentation()));
    EXPECT_TRUE(text.contains(QStringLiteral("\u2588\u2588")));

    // Nothing made: the clipboard keeps what it had, and the caller hears so.
    clipboard->setText(QStringLiteral("keep me"));
    auto broken = makeDocument();
    broken->setUtf8String(std::string(8000, 'x'));
    const auto items = imageClipboardItems(*broken);
    EXPECT_TRUE(items.empty());
    EXPECT_FALSE(publishClipboardItems(items, *clipboard));
    EXPECT_EQ(clipboard->text(), QStringLiteral("keep me"));
}
