#pragma once

#include "QRCode/Builder.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include <cstdint>
#include <memory>

namespace QRCode::views {

// A deep copy of the bitmap (ImageReadWrite::toQImage); a null or empty
// image gives a null QImage.
QImage toQImage(const gfx::Image* image);

// The same outline as a painter path (non-zero winding, as the library fills).
QPainterPath toQPainterPath(const gfx::Path& path);

// The colour matched into sRGB, each component limited to 0...1.
QColor toQColor(const gfx::Color& color);
// An sRGB colour of the same components.
gfx::Color toColor(const QColor& color);

// The platform colour of a solid fill.
QColor platformColor(const FillStyle::Solid& fill);

// The builder's path of eye outlines, pupils and on-pixels
// (Generate::path) as a painter path; cannot fail.
QPainterPath bezierPath(const Builder::Generate& generate, std::int64_t dimension);

// An image fill holding the platform image's bitmap; a null platform image,
// or one that yields no bitmap, gives a fill without an image.
std::shared_ptr<FillStyle::Image> makeImageFill(const QImage& image);

} // namespace QRCode::views
