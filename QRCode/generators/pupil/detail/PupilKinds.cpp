#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <limits>

namespace QRCode::PupilShape {

namespace detail {

double finiteFraction(double fraction) noexcept {
    if (std::isnan(fraction)) return 0;
    if (std::isinf(fraction)) return fraction > 0 ? 1 : 0;
    return fraction;
}

} // namespace detail

} // namespace QRCode::PupilShape
