// Every export is read back by a program that shares no code with ours
// (ImageMagick, pdftoppm, rsvg-convert) and must scan to the message.
#include "app/core/Export.h"

#include "tests/app/AppTestSupport.h"

#include "QRCode/Document.h"
#include "tests/support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

using namespace Tessivo;
namespace fs = std::filesystem;

namespace {

const std::string kMessage = "https://tessivo.org/export?a=1&b=2";

std::shared_ptr<QRCode::Document> makeDocument(bool transparentBackground = false) {
    auto doc = std::make_shared<QRCode::Document>(kMessage, QRCode::ErrorCorrection::high);
    if (transparentBackground) doc->design()->style()->setBackground(nullptr);
    return doc;
}

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

// What an independent reader makes of the file, laid on white and scanned.
std::string readAndScan(const fs::path& file, ExportFormat format, const testsupport::TempDir& dir) {
    const fs::path png = dir / (file.filename().string() + ".read.png");
    std::string command = "convert " + q(file) + " -background white -flatten " + q(png);
    if (format == ExportFormat::pdf)
        command = "pdftoppm -r 72 -png -singlefile " + q(file) + " " + q(dir / (file.filename().string() + ".read"));
    else if (format == ExportFormat::svg)
        command = "rsvg-convert -b white -o " + q(png) + " " + q(file);
    EXPECT_EQ(testsupport::runCommand(command + " 2>&1"), 0) << command;
    return scanImage(QImage(QString::fromStdString(png.string())));
}

// The chunk types of a PNG, as a reader walks them (ImageMagick checks the
// checksums when it reads the file).
std::multiset<std::string> pngChunkNames(const std::vector<std::uint8_t>& png) {
    std::multiset<std::string> names;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::size_t length = std::size_t(png[at]) << 24 | std::size_t(png[at + 1]) << 16 |
                                   std::size_t(png[at + 2]) << 8 | std::size_t(png[at + 3]);
        if (length > png.size() - at - 12) break;
        names.insert(std::string(reinterpret_cast<const char*>(png.data() + at + 4), 4));
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size()) << "bytes after the last whole chunk";
    return names;
}

} // namespace

TEST(Export, EveryFormatOpensInAnIndependentReaderAndScans) {
    testsupport::TempDir dir;
    for (ExportFormat format : kExportFormats) {
        const auto& info = exportFormatInfo(format);
        const fs::path file = dir / info.defaultName;
        ASSERT_TRUE(exportToFile(*makeDocument(), format, QString::fromStdString(file.string()))) << info.title;
        EXPECT_EQ(readAndScan(file, format, dir), kMessage) << info.title;
        if (format == ExportFormat::png || format == ExportFormat::jpeg || format == ExportFormat::tiff) {
            std::string size;
            testsupport::runCommand("identify -format '%w %h' " + q(file), &size);
            EXPECT_EQ(size, "1024 1024") << info.title;
        }
    }
    // The PNG file carries no resolution; the clipboard's PNG keeps 72 dpi.
    const std::vector<std::uint8_t> png = testsupport::readFile(dir / "qrcode.png");
    EXPECT_EQ(pngChunkNames(png).count("pHYs"), 0u);
    EXPECT_EQ(pngChunkNames(png).count("IDAT"), 1u);
    std::string units;
    testsupport::runCommand("identify -format '%U' " + q(dir / "qrcode.png"), &units);
    EXPECT_EQ(units, "Undefined");
    const ClipboardItems copied = imageClipboardItems(*makeDocument());
    const auto copiedPNG = std::find_if(copied.begin(), copied.end(), [](const auto& item) {
        return item.first == "image/png";
    });
    ASSERT_NE(copiedPNG, copied.end());
    EXPECT_EQ(pngChunkNames(std::vector<std::uint8_t>(copiedPNG->second.begin(), copiedPNG->second.end())).count("pHYs"),
              1u);

    // A JPEG of a transparent background is white, as ImageMagick reads it
    // without any flattening of ours.
    const fs::path clear = dir / "clear.jpg";
    ASSERT_TRUE(exportToFile(*makeDocument(true), ExportFormat::jpeg, QString::fromStdString(clear.string())));
    std::string corner;
    testsupport::runCommand("convert " + q(clear) + " -format '%[fx:int(255*p{2,2}.r)]' info:", &corner);
    EXPECT_GE(std::stoi(corner), 250);
    EXPECT_EQ(readAndScan(clear, ExportFormat::jpeg, dir), kMessage);
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
    EXPECT_EQ(scanImage(png), kMessage);
    EXPECT_TRUE(mime->data(QStringLiteral("application/pdf")).startsWith("%PDF"));
    EXPECT_TRUE(mime->data(QStringLiteral("image/svg+xml")).contains("<svg"));

    ASSERT_TRUE(publishClipboardItems(textArtClipboardItems(*doc), *clipboard));
    mime = clipboard->mimeData();
    EXPECT_FALSE(mime->hasFormat(QStringLiteral("image/png")));
    // The text art itself is the library's (checked there), in UTF-8.
    EXPECT_EQ(clipboard->text(), QString::fromStdString(doc->asciiRepresentation()));
    EXPECT_TRUE(clipboard->text().contains(QStringLiteral("\u2588\u2588")));

    // Nothing made: the clipboard keeps what it had, and the caller hears so.
    clipboard->setText(QStringLiteral("keep me"));
    auto broken = makeDocument();
    broken->setUtf8String(std::string(8000, 'x'));
    const auto items = imageClipboardItems(*broken);
    EXPECT_TRUE(items.empty());
    EXPECT_FALSE(publishClipboardItems(items, *clipboard));
    EXPECT_EQ(clipboard->text(), QStringLiteral("keep me"));
}
