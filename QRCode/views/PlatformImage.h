#pragma once

// A symbol or a document rendered as a platform image: a QImage of the
// requested pixel size whose device pixel ratio is dpi / 72, so its point
// size is pixels x 72 / dpi (1024 pixels at 72 dpi are 1024 points, at 144
// dpi 512); and the QR codes found in a platform image.
//
// Errors: a DPI that is not finite and above zero throws the image module's
// ImageReadWriteException(invalidDPI) before anything is rendered; the
// renderer's errors pass on (QRCodeException(cannotGenerateImage) for a size
// that is not finite, below one pixel or too large; a document whose last
// regeneration failed throws as its cgImage does).

#include "QRCode/Document.h"
#include "QRCode/QRCode.h"
#include "QRCode/encoding/Detection.h"
#include "image-read-write/qt/PlatformImage.h"
#include "platform/gfx/Geometry.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

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

// The QR codes found in a platform image, searched with accuracy high over
// its whole pixel area whatever its device pixel ratio (feature coordinates
// are pixels). Like every detection it never throws: a null image, one
// larger than a bitmap may be, or one that gives no bitmap has no codes.
std::vector<QRCodeFeature> DetectQRCodesIn(const QImage& image);

} // namespace QRCode::views
