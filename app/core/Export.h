#pragma once

#include "QRCode/Document.h"

#include <QByteArray>
#include <QClipboard>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

// The five file exports and the two clipboard copies of the design, as
// plain work that can run on any thread: each takes a document that no other
// thread renders at the same time.
namespace Tessivo {

enum class ExportFormat { png, jpeg, tiff, pdf, svg };

struct ExportFormatInfo {
    const char* title;       // menu item: "PNG"
    const char* defaultName; // "qrcode.png"
    const char* suffix;      // "png": the extension a saved file is given
    const char* otherSuffix; // the format's other extension ("jpeg", "tif"), or null
    const char* nameFilter;  // save dialog filter
    const char* failureText; // "Could not save PNG."
};

const ExportFormatInfo& exportFormatInfo(ExportFormat format);

// The path a file of the format is saved under: `path` when its name ends in
// one of the format's extensions (in any case), otherwise `path` with the
// format's extension added ("code.png" as JPEG is "code.png.jpg", "code" is
// "code.jpg"), so that the name never tells another format than the bytes.
QString withFormatExtension(const QString& path, ExportFormat format);
inline constexpr ExportFormat kExportFormats[] = {ExportFormat::png, ExportFormat::jpeg, ExportFormat::tiff,
                                                  ExportFormat::pdf, ExportFormat::svg};

// Pixel size of the bitmaps, SVG dimension and PDF page size argument.
inline constexpr std::int64_t kExportDimension = 1024;

// The file's bytes. Throws the library's errors. A JPEG has no alpha, so a
// transparent background is laid on white first. A PNG file carries no
// resolution (the clipboard's PNG keeps its 72 dpi).
QByteArray exportData(const QRCode::Document& document, ExportFormat format);

// exportData, then foundation::writeFileAtomically: a file at `path` is
// replaced only by a complete export. False when either fails.
bool exportToFile(const QRCode::Document& document, ExportFormat format, const QString& path) noexcept;

// Clipboard content as (MIME type, bytes) pairs, made off the main thread
// and published on it.
using ClipboardItems = std::vector<std::pair<QString, QByteArray>>;

// PDF, TIFF, PNG and SVG of the code, 1024 pixels a side at 72 dpi. An item
// that cannot be made is left out; an empty list means nothing was made.
ClipboardItems imageClipboardItems(const QRCode::Document& document) noexcept;
// The text art as text/plain (UTF-8).
ClipboardItems textArtClipboardItems(const QRCode::Document& document) noexcept;

// Replaces the clipboard's content with the items, on the main thread. An
// empty list leaves the clipboard as it was and answers false.
bool publishClipboardItems(const ClipboardItems& items, QClipboard& clipboard);

} // namespace Tessivo
