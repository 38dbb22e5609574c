#include "QRCode/generators/pupil/detail/PupilKinds.h"


#include <limits>

namespace QRCode::PupilShape {

namespace detail {

double finiteFraction(double fraction) noexcept
{
    if (std::isnan(fraction)) return 0;
    if (std::isinf(fraction)) return fraction > 0 ? 1 : 0;
    return fraction;
}

double unitFraction(double fraction) noexcept
{
    if (!(fraction > 0)) return 0;
    return fraction < 1 ? fraction : 1;
}

} // namespace detail

} // namespace QRCode::PupilShape
