#pragma once

#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <QImage>
#include <QPainterPath>

namespace QRCode::views {

// A deep copy of the bitmap; both use premultiplied native-endian ARGB32,
// so the rows are copied as they are. A null or empty image gives a null
// QImage.
QImage toQImage(const gfx::Image* image);

// The same outline as a painter path (non-zero winding, as the library fills).
QPainterPath toQPainterPath(const gfx::Path& path);

} // namespace QRCode::views
