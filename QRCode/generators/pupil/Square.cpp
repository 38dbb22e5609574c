#include "QRCode/generators/pupil/Square.h"

namespace QRCode::PupilShape {

gfx::Path Square::pupilPath() {
    gfx::Path path;
    path.addRect(gfx::Rect(30, 30, 30, 30));
    return path;
}

} // namespace QRCode::PupilShape
