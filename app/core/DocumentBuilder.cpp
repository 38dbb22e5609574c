#include "app/core/DocumentBuilder.h"

#include "app/core/ColorText.h"

#include "QRCode/fills/Solid.h"
#include "QRCode/design/LogoTemplate.h"
#include "platform/gfx/GraphicsContext.h"

#include <cmath>
#include <exception>

namespace Tessivo {

DesignValues DesignValues::fromSettings() {
    DesignValues v;
    forEachKey([&v](const auto& key, auto member) { v.*member = key.get(); });
    return v;
}

QRCode::ErrorCorrection errorCorrectionLevel(long long stored) {
    if (stored >= 0 && stored <= 2) return QRCode::ErrorCorrection(stored);
    return QRCode::ErrorCorrection::high;
}

namespace {

std::shared_ptr<QRCode::FillStyle::Solid> solid(const Color& color) {
    return std::make_shared<QRCode::FillStyle::Solid>(toGraphicsColor(color));
}

void applyLogo(QRCode::Document& document, const LogoOptions& logo) {
    gfx::ImagePtr picture = logo.image;
    if (logo.maintainAspectRatio) picture = fitLogoImage(*logo.image, logoCanvasSide, logo.position == 0);
    if (!picture) return;
    gfx::Path path;
    double inset;
    if (logo.position == 0) {
        path.addRect(gfx::Rect(0.35, 0.35, 0.3, 0.3));
        inset = 4;
    } else {
        path.addEllipse(gfx::Rect(0.7, 0.7, 0.3, 0.3));
        inset = 8;
    }
    document.setLogoTemplate(std::make_shared<QRCode::LogoTemplate>(std::move(picture), std::move(path), inset, true));
}

} // namespace

QRCode::DocumentPtr makeDocument(std::string_view text, const DesignValues& v, const LogoOptions& logo,
                                 const ShapeLists& shapes) {
    const auto level = errorCorrectionLevel(v.errorCorrection);
    if (text.empty() || text.size() > maximumMessageBytes) return nullptr;
    QRCode::DocumentPtr document;
    try {
        document = std::make_shared<QRCode::Document>(text, level);
    } catch (const std::exception&) {
        return nullptr; // does not fit at this level, or the engine failed
    }

    auto& design = *document->design();
    auto& shape = *design.shape();
    // The eye first: setting it clears the pupil.
    shape.setEye(shapes.eye(v.eyeShapeIdx));
    shape.setPupil(shapes.pupil(v.pupilShapeIdx));
    shape.setOnPixels(shapes.pixel(v.pixelShapeIdx));

    auto& style = *design.style();
    style.setBackground(solid(v.backgroundColor));
    // Truncated toward zero after limiting junk (NaN, negative, huge) to
    // what the padding slider offers.
    design.setAdditionalQuietZonePixels(std::uint64_t(sanitizedPadding(v.backgroundPadding)));
    style.setBackgroundFractionalCornerRadius(double(sanitizedRadius(v.backgroundRadius)));

    const bool basic = v.layoutMode == 0;
    const bool unified = basic || v.unifiedColor;
    style.setEye(solid(unified ? v.fgUnifiedColor : v.fgEyeColor));
    style.setPupil(solid(unified ? v.fgUnifiedColor : v.fgPupilColor));
    style.setOnPixels(solid(unified ? v.fgUnifiedColor : v.fgPixelColor));

    if (logo.image && !logo.image->empty() && logo.active && !basic) applyLogo(*document, logo);
    return document;
}

gfx::ImagePtr makeQRImage(std::string_view text, const DesignValues& design, const LogoOptions& logo,
                          const ShapeLists& shapes) {
    auto document = makeDocument(text, design, logo, shapes);
    if (!document) return nullptr;
    try {
        return document->cgImage(std::int64_t(previewDimension));
    } catch (const std::exception&) {
        return nullptr;
    }
}

gfx::ImagePtr fitLogoImage(const gfx::Image& image, int side, bool centered) {
    if (image.empty() || side <= 0) return nullptr;
    const double w = image.width(), h = image.height(), s = side;
    const double drawnWidth = w > h ? s : s * w / h;
    const double drawnHeight = w > h ? s * h / w : s;
    auto context = gfx::GraphicsContext::makeBitmap(side, side);
    if (!context) return nullptr;
    // A fresh context is transparent and its y axis grows upward, so y = 0 is
    // the bottom edge.
    const double x = centered ? (s - drawnWidth) / 2 : s - drawnWidth;
    const double y = centered ? (s - drawnHeight) / 2 : 0;
    context->drawImage(image, gfx::Rect(x, y, drawnWidth, drawnHeight));
    return context->takeImage();
}

} // namespace Tessivo
