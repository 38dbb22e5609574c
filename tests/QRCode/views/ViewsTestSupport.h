#pragma once

#include "QRCode/Document.h"
#include "image-read-write/ImageLoading.h"
#include "image-read-write/qt/PlatformImage.h"
#include "platform/detector/QRDetector.h"
#include "platform/gfx/Image.h"
#include "tests/support/TestSupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QThreadPool>

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace viewstest {

// Waits, running the event loop, until the condition holds or the time is up.
template <class Pred> bool waitFor(Pred&& pred, int timeoutMs = 5000) {
    return QTest::qWaitFor(std::forward<Pred>(pred), timeoutMs);
}

// Lets every rendering in flight finish and delivers its result.
inline void settle() {
    QThreadPool::globalInstance()->waitForDone();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The texts of the symbols found in the image.
inline std::vector<std::string> decode(const gfx::Image& image) {
    std::vector<std::string> texts;
    for (const auto& code : platform::detectQRCodes(image)) texts.push_back(code.text);
    return texts;
}

inline std::vector<std::string> decode(const QImage& image) {
    if (image.isNull()) return {};
    // Shown on white, as the view's image would be.
    QImage flat(image.size(), QImage::Format_ARGB32_Premultiplied);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(QPoint(0, 0), image);
    }
    return decode(*ImageReadWrite::cgImage(flat));
}

inline std::vector<std::string> decodePNG(const QByteArray& png) {
    const auto image = ImageReadWrite::load(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(png.data()), std::size_t(png.size())));
    return image ? decode(*image) : std::vector<std::string>{};
}

// Width and height of the first page's media box, or {-1, -1}.
inline std::pair<double, double> pdfMediaBox(const QByteArray& pdf) {
    const std::string text(pdf.constData(), std::size_t(pdf.size()));
    std::smatch m;
    static const std::regex box(R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
    if (!std::regex_search(text, m, box)) return {-1, -1};
    return {std::stod(m[3]) - std::stod(m[1]), std::stod(m[4]) - std::stod(m[2])};
}

// The resolution an independent reader (PIL) finds in an encoded image, or
// {-1, -1} when it finds none.
inline std::pair<double, double> pilDPI(const QByteArray& encoded) {
    testsupport::TempDir dir;
    const auto file = dir / "image";
    testsupport::writeFile(file, std::vector<std::uint8_t>(encoded.begin(), encoded.end()));
    std::string output;
    const int status = testsupport::runCommand(
        "/usr/bin/python3 -c 'import sys; from PIL import Image; d = Image.open(sys.argv[1]).info.get(\"dpi\"); "
        "print(*(d or (-1, -1)))' '" +
            file.string() + "'",
        &output);
    double x = -1, y = -1;
    if (status != 0 || std::sscanf(output.c_str(), "%lf %lf", &x, &y) != 2) return {-1, -1};
    return {x, y};
}

inline QRCode::DocumentPtr textDocument(const std::string& text) {
    return std::make_shared<QRCode::Document>(std::string_view(text), QRCode::ErrorCorrection::medium);
}

} // namespace viewstest
