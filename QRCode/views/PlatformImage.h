#pragma once

// A symbol or a document rendered as a platform image: a QImage of the
// requested pixel size whose device pixel ratio is dpi / 72, so its point
// size is pixels x 72 / dpi (1024 pixels at 72 dpi are 1024 points, at 144
// dpi 512).
//
// Errors: a DPI that is not finite and above zero throws the image module's
// ImageReadWriteException(invalidDPI) before anything is rendered; the
// renderer's errors pass on (QRCodeException(cannotGenerateImage) for a size
// that is not finite, below one pixel or too large; a document whose last
// regeneration failed throws as its cgImage does).

#include "QRCode/Document.h"
#include "QRCode/QRCode.h"
#include "image-read-write/qt/PlatformImage.h"
#include "platform/gfx/Geometry.h"

#include <QImage>
#include <QString>

#include <cstdint>

namespace QRCode::views {

// The symbol's bitmap of `size` pixels as a platform image at `dpi`.
QImage platformImage(const QRCode& qrcode, gfx::Size size, double dpi, const Design& design,
                     const LogoTemplate* logoTemplate);
// The same with a label, the declarative toolkit's image.
ImageReadWrite::LabelledImage image(const QRCode& qrcode, gfx::Size size, double dpi, QString label,
                                    const Design& design, const LogoTemplate* logoTemplate);

// The document's bitmap of dimension x dimension (or `size`) pixels as a
// platform image at `dpi`.
QImage platformImage(const Document& document, std::int64_t dimension, double dpi);
QImage platformImage(const Document& document, gfx::Size size, double dpi);
// The same with a label (imageUI).
ImageReadWrite::LabelledImage imageUI(const Document& document, gfx::Size size, double dpi, QString label);

} // namespace QRCode::views
