#include "QRCode/views/PlatformImage.h"

#include <exception>
#include <utility>

namespace QRCode::views {
namespace {

// Refuses a bad DPI before `render` runs, then wraps its bitmap.
template <class Render> QImage renderAt(double dpi, Render&& render) {
    const double ratio = ImageReadWrite::devicePixelRatio(ImageReadWrite::DPI{dpi});
    return ImageReadWrite::platformImage(*render(), ImageReadWrite::Scale{ratio});
}

} // namespace

QImage platformImage(const QRCode& qrcode, gfx::Size size, double dpi, const Design& design,
                     const LogoTemplate* logoTemplate) {
    return renderAt(dpi, [&] { return qrcode.cgImage(size, design, logoTemplate); });
}

ImageReadWrite::LabelledImage image(const QRCode& qrcode, gfx::Size size, double dpi, QString label,
                                    const Design& design, const LogoTemplate* logoTemplate) {
    return {platformImage(qrcode, size, dpi, design, logoTemplate), std::move(label)};
}

QImage platformImage(const Document& document, std::int64_t dimension, double dpi) {
    const auto d = static_cast<double>(dimension);
    return platformImage(document, gfx::Size{d, d}, dpi);
}

QImage platformImage(const Document& document, gfx::Size size, double dpi) {
    return renderAt(dpi, [&] { return document.cgImage(size); });
}

ImageReadWrite::LabelledImage imageUI(const Document& document, gfx::Size size, double dpi, QString label) {
    return {platformImage(document, size, dpi), std::move(label)};
}

std::vector<QRCodeFeature> DetectQRCodesIn(const QImage& image) {
    gfx::ImagePtr bitmap;
    try {
        bitmap = ImageReadWrite::cgImage(image);
    } catch (const std::exception&) { // no memory for the copy
        return {};
    }
    if (!bitmap) return {};
    return QRCode::DetectQRCodes(*bitmap, DetectionAccuracy::high);
}

} // namespace QRCode::views
