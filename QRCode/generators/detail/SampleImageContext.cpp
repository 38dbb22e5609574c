#include "QRCode/generators/detail/SampleImageContext.h"

#include "QRCode/QRCodeError.h"

#include <cmath>
#include <limits>

namespace QRCode::detail {

std::unique_ptr<gfx::GraphicsContext> makeSampleContext(double dimension,
                                                        const std::optional<gfx::Color>& backgroundColor) {
    if (!std::isfinite(dimension)) throw QRCodeException(QRCodeError::cannotGenerateImage);
    const double pixels = std::trunc(dimension);
    if (pixels < 1 || pixels > static_cast<double>(std::numeric_limits<int>::max())) {
        throw QRCodeException(QRCodeError::cannotGenerateImage);
    }
    const int n = static_cast<int>(pixels);
    auto context = gfx::GraphicsContext::makeBitmap(n, n);
    if (!context) throw QRCodeException(QRCodeError::cannotGenerateImage);

    context->saveGState();
    context->setFillColor(backgroundColor.value_or(gfx::Color::gray(0, 0)));
    context->fillRect(gfx::Rect(0, 0, pixels, pixels));
    context->restoreGState();

    context->scaleBy(1, -1);
    context->translateBy(0, -dimension);
    return context;
}

gfx::ImagePtr finishSampleImage(gfx::GraphicsContext& context) {
    auto image = context.makeImage();
    if (!image) throw QRCodeException(QRCodeError::cannotGenerateImage);
    return image;
}

} // namespace QRCode::detail
