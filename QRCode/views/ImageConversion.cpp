#include "QRCode/views/ImageConversion.h"

#include "image-read-write/qt/PlatformImage.h"

#include <algorithm>

namespace QRCode::views {

QImage toQImage(const gfx::Image* image) { return image ? ImageReadWrite::toQImage(*image) : QImage(); }

QPainterPath toQPainterPath(const gfx::Path& path) {
    QPainterPath result;
    result.setFillRule(Qt::WindingFill);
    for (const auto& e : path.elements()) {
        const auto& p = e.points;
        switch (e.type) {
        case gfx::Path::ElementType::moveToPoint: result.moveTo(p[0].x, p[0].y); break;
        case gfx::Path::ElementType::addLineToPoint: result.lineTo(p[0].x, p[0].y); break;
        case gfx::Path::ElementType::addQuadCurveToPoint: result.quadTo(p[0].x, p[0].y, p[1].x, p[1].y); break;
        case gfx::Path::ElementType::addCurveToPoint:
            result.cubicTo(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
            break;
        case gfx::Path::ElementType::closeSubpath: result.closeSubpath(); break;
        }
    }
    return result;
}

QColor toQColor(const gfx::Color& color) {
    const auto c = color.toSRGB();
    return QColor::fromRgbF(float(std::clamp(c.r, 0.0, 1.0)), float(std::clamp(c.g, 0.0, 1.0)),
                            float(std::clamp(c.b, 0.0, 1.0)), float(std::clamp(c.a, 0.0, 1.0)));
}

gfx::Color toColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return gfx::Color::sRGB(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

QColor platformColor(const FillStyle::Solid& fill) { return toQColor(fill.color()); }

QPainterPath bezierPath(const Builder::Generate& generate, std::int64_t dimension) {
    return toQPainterPath(generate.path(dimension));
}

std::shared_ptr<FillStyle::Image> makeImageFill(const QImage& image) {
    return std::make_shared<FillStyle::Image>(ImageReadWrite::cgImage(image));
}

} // namespace QRCode::views
