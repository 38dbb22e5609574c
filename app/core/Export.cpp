#include "app/core/Export.h"

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageExportType.h"
#include "platform/foundation/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>

namespace Tessivo {
namespace {

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QByteArray toByteArray(const std::string& text) { return QByteArray(text.data(), qsizetype(text.size())); }

// Premultiplied ARGB over opaque white: c + (255 - a) per channel.
gfx::Image onWhite(const gfx::Image& image) {
    gfx::Image result(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint32_t* src = image.row(y);
        std::uint32_t* dst = result.row(y);
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = src[x];
            const std::uint32_t rest = 255 - (p >> 24);
            const std::uint32_t r = ((p >> 16) & 0xFF) + rest;
            const std::uint32_t g = ((p >> 8) & 0xFF) + rest;
            const std::uint32_t b = (p & 0xFF) + rest;
            dst[x] = 0xFF000000u | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
        }
    }
    return result;
}

// The PNG without its pHYs chunk: a saved file carries no resolution (the
// encoder writes one for every PNG; readers take their own default without
// it). Every chunk keeps its own checksum, so the rest stays valid.
QByteArray withoutResolution(const std::vector<std::uint8_t>& png) {
    constexpr std::size_t signature = 8;
    QByteArray out;
    out.reserve(qsizetype(png.size()));
    out.append(reinterpret_cast<const char*>(png.data()), qsizetype(std::min(signature, png.size())));
    std::size_t at = signature;
    while (at + 12 <= png.size()) {
        const std::size_t length = std::size_t(png[at]) << 24 | std::size_t(png[at + 1]) << 16 |
                                   std::size_t(png[at + 2]) << 8 | std::size_t(png[at + 3]);
        const std::size_t whole = 12 + length;
        if (length > png.size() - at - 12) break; // not a chunk: keep what follows as it is
        if (std::memcmp(png.data() + at + 4, "pHYs", 4) != 0)
            out.append(reinterpret_cast<const char*>(png.data() + at), qsizetype(whole));
        at += whole;
    }
    if (at < png.size()) out.append(reinterpret_cast<const char*>(png.data() + at), qsizetype(png.size() - at));
    return out;
}

template <class Make> void addItem(ClipboardItems& items, const char* type, Make&& make) noexcept {
    try {
        items.emplace_back(QString::fromLatin1(type), make());
    } catch (const std::exception&) {
        // The other representations still serve.
    }
}

} // namespace

const ExportFormatInfo& exportFormatInfo(ExportFormat format) {
    static const ExportFormatInfo infos[] = {
        {"PNG", "qrcode.png", "png", nullptr, "PNG image (*.png)", "Could not save PNG."},
        {"JPEG", "qrcode.jpg", "jpg", "jpeg", "JPEG image (*.jpg *.jpeg)", "Could not save JPEG."},
        {"TIFF", "qrcode.tiff", "tiff", "tif", "TIFF image (*.tiff *.tif)", "Could not save TIFF."},
        {"PDF", "qrcode.pdf", "pdf", nullptr, "PDF document (*.pdf)", "Could not save PDF."},
        {"SVG", "qrcode.svg", "svg", nullptr, "SVG image (*.svg)", "Could not save SVG."},
    };
    return infos[static_cast<int>(format)];
}

QString withFormatExtension(const QString& path, ExportFormat format) {
    const ExportFormatInfo& info = exportFormatInfo(format);
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString extension = name.mid(dot + 1);
        for (const char* own : {info.suffix, info.otherSuffix})
            if (own && extension.compare(QLatin1String(own), Qt::CaseInsensitive) == 0) return path;
    }
    // A name that ends in its dot takes the extension after that dot.
    const bool endsInDot = dot >= 0 && dot == name.size() - 1;
    return path + (endsInDot ? QString() : QStringLiteral(".")) + QLatin1String(info.suffix);
}

QByteArray exportData(const QRCode::Document& document, ExportFormat format) {
    switch (format) {
    case ExportFormat::png: return withoutResolution(document.pngData(kExportDimension));
    case ExportFormat::jpeg: {
        const gfx::ImagePtr image = document.cgImage(kExportDimension);
        // No quality given: the encoder's default applies.
        return toByteArray(
            ImageReadWrite::bitmapImageData(onWhite(*image), ImageTypeIdentifier::jpeg, 72, std::nullopt, false));
    }
    case ExportFormat::tiff: return toByteArray(document.tiffData(kExportDimension));
    case ExportFormat::pdf: return toByteArray(document.pdfData(kExportDimension, 72));
    case ExportFormat::svg: return toByteArray(document.svg(kExportDimension));
    }
    return {};
}

bool exportToFile(const QRCode::Document& document, ExportFormat format, const QString& path) noexcept {
    try {
        const QByteArray bytes = exportData(document, format);
        if (bytes.isEmpty()) return false;
        const std::filesystem::path file(QFile::encodeName(path).toStdString());
        return !foundation::writeFileAtomically(file, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    } catch (const std::exception&) {
        return false;
    }
}

ClipboardItems imageClipboardItems(const QRCode::Document& document) noexcept {
    ClipboardItems items;
    addItem(items, "application/pdf", [&] { return toByteArray(document.pdfData(kExportDimension, 72)); });
    addItem(items, "image/tiff", [&] { return toByteArray(document.tiffData(kExportDimension, 72)); });
    addItem(items, "image/png", [&] { return toByteArray(document.pngData(kExportDimension, 72)); });
    addItem(items, "image/svg+xml", [&] { return toByteArray(document.svg(kExportDimension)); });
    return items;
}

ClipboardItems textArtClipboardItems(const QRCode::Document& document) noexcept {
    ClipboardItems items;
    addItem(items, "text/plain", [&] {
        const std::string text = document.asciiRepresentation();
        if (text.empty()) throw std::runtime_error("no text art");
        return toByteArray(text);
    });
    return items;
}

bool publishClipboardItems(const ClipboardItems& items, QClipboard& clipboard) {
    if (items.empty()) return false;
    auto mime = std::make_unique<QMimeData>();
    for (const auto& [type, bytes] : items) mime->setData(type, bytes);
    // The clipboard takes ownership of the data.
    clipboard.setMimeData(mime.release());
    return true;
}

} // namespace Tessivo
