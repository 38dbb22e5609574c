#include "QRCode/views/ImageConversion.h"

#include <cstring>

namespace QRCode::views {

QImage toQImage(const gfx::Image* image) {
    if (image == nullptr || image->empty()) return {};
    QImage result(image->width(), image->height(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) return {};
    const auto rowBytes = std::size_t(image->stride());
    for (int y = 0; y < image->height(); ++y) {
        std::memcpy(result.scanLine(y), image->row(y), rowBytes);
    }
    return result;
}

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

} // namespace QRCode::views
