#include "QRCode/views/Pasteboard.h"

#include <QByteArray>

#include <cmath>
#include <exception>
#include <limits>
#include <string>
#include <vector>

namespace QRCode::views {
namespace {

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Runs one item's producer; an item that fails is simply not offered.
template <class Make> void addItem(QMimeData& mime, const char* type, Make&& make) {
    try {
        mime.setData(QString::fromLatin1(type), make());
    } catch (const std::exception&) {
        // Left out on purpose: the other representations still serve.
    }
}

// The width as a whole SVG dimension, or 0 when it has none.
std::int64_t svgDimensionOfWidth(double width) {
    if (!std::isfinite(width)) return 0;
    const double whole = std::trunc(width);
    if (whole < 1 || whole > double(std::numeric_limits<int>::max())) return 0;
    return std::int64_t(whole);
}

void publish(std::unique_ptr<QMimeData> mime, QClipboard& clipboard, QClipboard::Mode mode) {
    // The clipboard takes ownership of the data it is given.
    clipboard.setMimeData(mime.release(), mode);
}

} // namespace

std::unique_ptr<QMimeData> pasteboardItems(const QRCode& qrcode, gfx::Size size, std::int64_t svgDimension, double dpi,
                                           const Design& design, const LogoTemplate* logoTemplate) {
    auto mime = std::make_unique<QMimeData>();
    addItem(*mime, kPDFMimeType, [&] { return toByteArray(qrcode.pdfData(size, dpi, design, logoTemplate)); });
    // The bitmap encoders refuse a resolution of zero or less themselves.
    addItem(*mime, kTIFFMimeType, [&] {
        return toByteArray(qrcode.tiffData(size, dpi, design, logoTemplate, std::numeric_limits<double>::infinity()));
    });
    addItem(*mime, kPNGMimeType, [&] { return toByteArray(qrcode.pngData(size, dpi, design, logoTemplate)); });
    if (svgDimension > 0) {
        addItem(*mime, kSVGMimeType, [&] {
            const std::string text = qrcode.svg(svgDimension, design, logoTemplate);
            return QByteArray(text.data(), qsizetype(text.size()));
        });
    }
    return mime;
}

void addToPasteboard(const QRCode& qrcode, std::int64_t dimension, double dpi, const Design& design,
                     const LogoTemplate* logoTemplate, QClipboard& clipboard, QClipboard::Mode mode) {
    const double side = double(dimension);
    publish(pasteboardItems(qrcode, gfx::Size{side, side}, dimension, dpi, design, logoTemplate), clipboard, mode);
}

void addToPasteboard(const QRCode& qrcode, gfx::Size size, double dpi, const Design& design,
                     const LogoTemplate* logoTemplate, QClipboard& clipboard, QClipboard::Mode mode) {
    publish(pasteboardItems(qrcode, size, svgDimensionOfWidth(size.width), dpi, design, logoTemplate), clipboard, mode);
}

void addToPasteboard(const Document& document, std::int64_t dimension, double dpi, QClipboard& clipboard,
                     QClipboard::Mode mode) {
    if (!document.isMatrixCurrent()) {
        publish(std::make_unique<QMimeData>(), clipboard, mode);
        return;
    }
    addToPasteboard(document.qrcode(), dimension, dpi, *document.design(), document.logoTemplate().get(), clipboard,
                    mode);
}

void addToPasteboard(const Document& document, gfx::Size size, double dpi, QClipboard& clipboard,
                     QClipboard::Mode mode) {
    if (!document.isMatrixCurrent()) {
        publish(std::make_unique<QMimeData>(), clipboard, mode);
        return;
    }
    addToPasteboard(document.qrcode(), size, dpi, *document.design(), document.logoTemplate().get(), clipboard, mode);
}

} // namespace QRCode::views
