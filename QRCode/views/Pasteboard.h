#pragma once

#include "QRCode/design/Design.h"
#include "QRCode/Document.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/QRCode.h"
#include "platform/gfx/Geometry.h"

#include <QClipboard>
#include <QMimeData>

#include <cstdint>
#include <memory>

// Copying a symbol to the clipboard in four representations at once, so a
// receiving program can take the richest one it understands. None of these
// throws: a representation that cannot be made is left out and the others
// are still written. Whatever the clipboard held before is replaced.
namespace QRCode::views {

inline constexpr const char* kPDFMimeType = "application/pdf";
inline constexpr const char* kTIFFMimeType = "image/tiff";
inline constexpr const char* kPNGMimeType = "image/png";
inline constexpr const char* kSVGMimeType = "image/svg+xml";

// The items in the order they are written: a one-page PDF of
// size x 72 / dpi points, a TIFF and a PNG of the size in pixels carrying
// `dpi`, and the SVG text `svgDimension` pixels a side (no SVG item when
// that is not positive).
std::unique_ptr<QMimeData> pasteboardItems(const QRCode& qrcode, gfx::Size size, std::int64_t svgDimension, double dpi,
                                           const Design& design, const LogoTemplate* logoTemplate);

// A square of `dimension` pixels; the SVG at that dimension.
void addToPasteboard(const QRCode& qrcode, std::int64_t dimension, double dpi, const Design& design,
                     const LogoTemplate* logoTemplate, QClipboard& clipboard,
                     QClipboard::Mode mode = QClipboard::Clipboard);
// Any size; the SVG at the width truncated toward zero.
void addToPasteboard(const QRCode& qrcode, gfx::Size size, double dpi, const Design& design,
                     const LogoTemplate* logoTemplate, QClipboard& clipboard,
                     QClipboard::Mode mode = QClipboard::Clipboard);

// The document's symbol, design and logo. A document whose last
// regeneration failed holds the matrix of older content; it contributes no
// items (the clipboard is only emptied), as its own exports refuse too.
void addToPasteboard(const Document& document, std::int64_t dimension, double dpi, QClipboard& clipboard,
                     QClipboard::Mode mode = QClipboard::Clipboard);
void addToPasteboard(const Document& document, gfx::Size size, double dpi, QClipboard& clipboard,
                     QClipboard::Mode mode = QClipboard::Clipboard);

} // namespace QRCode::views
