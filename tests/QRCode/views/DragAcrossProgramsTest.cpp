// A real drag from the interactive view into a second program, on a private
// X server: the receiver must get every format and the promised file, which
// it only asks for after the drop, when the source's drag call has returned.
#include "tests/QRCode/views/ViewsTestSupport.h"
#include "image-read-write/ImageLoading.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the drag script under xvfb-run; false (with what it printed) when it
// failed or did not end within its time.
bool runDrag(const QString& outDir, const QString& text, QString* log) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // `timeout` ends xvfb-run politely, which then ends its X server.
    process.start(QStringLiteral("timeout"),
                  {QStringLiteral("90"), QStringLiteral("xvfb-run"), QStringLiteral("-a"), QStringLiteral("-s"),
                   QStringLiteral("-screen 0 800x600x24"), QStringLiteral("sh"), QStringLiteral(VIEWS_DRAG_SCRIPT),
                   QStringLiteral(VIEWS_DRAG_HELPER), text, outDir});
    const bool finished = process.waitForFinished(120000);
    if (!finished) process.kill();
    *log =
        QString::fromLocal8Bit(process.readAll()) + readAll(outDir + "/source.log") + readAll(outDir + "/receiver.log");
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

TEST(DragAcrossPrograms, ReceiverGetsPDFPNGTIFFAndTheFile) {
    for (const char* tool : {"xvfb-run", "xdotool", "timeout"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed; ./test installs it";
    }
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const QString text = QStringLiteral("across programs");
    QString log;
    // xvfb-run -a can lose a race for a display number with another test
    // starting a server at the same moment; one more try settles that.
    bool dropped = runDrag(out.path(), text, &log);
    if (!dropped && !QFile::exists(out.filePath("receiver.ready"))) dropped = runDrag(out.path(), text, &log);
    ASSERT_TRUE(dropped) << log.toStdString();

    const QString formats = QString::fromUtf8(readAll(out.filePath("formats.txt")));
    for (const char* format : {"application/pdf", "image/png", "image/tiff", "text/uri-list"})
        EXPECT_TRUE(formats.contains(QLatin1String(format))) << format << " in " << formats.toStdString();

    const QByteArray pdf = readAll(out.filePath("drop.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-")) << pdf.size() << " bytes";
    EXPECT_EQ(viewstest::pdfMediaBox(pdf), std::make_pair(300.0, 200.0));

    const QByteArray png = readAll(out.filePath("drop.png"));
    EXPECT_EQ(QImage::fromData(png, "PNG").size(), QSize(300, 200));
    EXPECT_EQ(viewstest::decodePNG(png), std::vector<std::string>{text.toStdString()});

    const QByteArray tiff = readAll(out.filePath("drop.tiff"));
    ASSERT_FALSE(tiff.isEmpty());
    const auto tiffImage = ImageReadWrite::load(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(tiff.data()), std::size_t(tiff.size())));
    ASSERT_NE(tiffImage, nullptr) << tiff.size() << " bytes of TIFF";
    EXPECT_EQ(tiffImage->width(), 300);
    EXPECT_EQ(viewstest::decode(*tiffImage), std::vector<std::string>{text.toStdString()});
    EXPECT_EQ(viewstest::pilDPI(tiff), std::make_pair(144.0, 144.0));

    const QList<QByteArray> urls = readAll(out.filePath("urls.txt")).split('\n');
    ASSERT_GE(urls.size(), 1);
    const QUrl url = QUrl::fromEncoded(urls[0]);
    EXPECT_TRUE(url.isLocalFile()) << urls[0].toStdString();
    EXPECT_EQ(url.fileName(), QStringLiteral("Dropped QRCode.pdf"));
    const QByteArray file = readAll(out.filePath("file-0"));
    EXPECT_TRUE(file.startsWith("%PDF-")) << file.size() << " bytes in the dropped file";
    EXPECT_EQ(viewstest::pdfMediaBox(file), std::make_pair(300.0, 200.0));
}
