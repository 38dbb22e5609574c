#include "QRCode/generators/pixel/Square.h"

namespace QRCode::PixelShape {

gfx::Path squareTemplate() {
    gfx::Path path;
    path.addRect(gfx::Rect(0, 0, 10, 10));
    return path;
}

} // namespace QRCode::PixelShape
