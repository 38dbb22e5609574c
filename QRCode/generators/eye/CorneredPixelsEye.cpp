#include "QRCode/generators/eye/CorneredPixelsEye.h"

#include "QRCode/generators/SettingsKey.h"
#include "platform/foundation/SettingsValue.h"

#include <algorithm>
#include <cmath>

namespace QRCode::EyeShape {

gfx::Path CorneredPixels::eyePath() {
    // The property stores any value; the drawing keeps the rounding inside
    // its 9-unit module so that no corner reaches into a neighbour or out of
    // the box (a NaN radius draws square corners).
    const double r = std::isnan(actualCornerRadius()) ? 0 : std::clamp(actualCornerRadius(), 0.0, 9.0);
    gfx::Path path;
    const auto module = [&path](double x, double y) { path.addRect(gfx::Rect(x, y, 9, 9)); };

    // Each corner curve runs from the point r along one edge to the point r
    // along the other, its first control point on the corner and its second
    // on its end point. With r = 0 the steps that mention r go to the corner.
    // Corner (10, 10).
    if (r > 0) {
        path.moveTo({10 + r, 10});
    } else {
        path.moveTo({10, 10});
    }
    path.lineTo({19, 10});
    path.lineTo({19, 19});
    path.lineTo({10, 19});
    if (r > 0) {
        path.lineTo({10, 10 + r});
        path.curveTo({10, 10}, {10 + r, 10}, {10 + r, 10});
    } else {
        path.lineTo({10, 10});
    }
    path.closeSubpath();

    for (double y = 20; y <= 60; y += 10) module(10, y);

    // Corner (10, 79).
    path.moveTo({10, 70});
    path.lineTo({19, 70});
    path.lineTo({19, 79});
    if (r > 0) {
        path.lineTo({10 + r, 79});
        path.curveTo({10, 79}, {10, 79 - r}, {10, 79 - r});
    } else {
        path.lineTo({10, 79});
    }
    path.lineTo({10, 70});
    path.closeSubpath();

    // Corner (79, 10).
    path.moveTo({70, 10});
    if (r > 0) {
        path.lineTo({79 - r, 10});
        path.curveTo({79, 10}, {79, 10 + r}, {79, 10 + r});
    } else {
        path.lineTo({79, 10});
    }
    path.lineTo({79, 19});
    path.lineTo({70, 19});
    path.lineTo({70, 10});
    path.closeSubpath();

    for (double y = 20; y <= 60; y += 10) module(70, y);

    // Corner (79, 79).
    path.moveTo({70, 70});
    path.lineTo({79, 70});
    if (r > 0) {
        path.lineTo({79, 79 - r});
        path.curveTo({79, 79}, {79 - r, 79}, {79 - r, 79});
    } else {
        path.lineTo({79, 79});
    }
    path.lineTo({70, 79});
    path.lineTo({70, 70});
    path.closeSubpath();

    for (double x = 20; x <= 60; x += 10) module(x, 10);
    for (double x = 20; x <= 60; x += 10) module(x, 70);
    return path;
}

gfx::Path CorneredPixels::eyeBackgroundPath() {
    gfx::Path path;
    path.addRect(gfx::Rect(0, 0, 90, 90));
    return path;
}

} // namespace QRCode::EyeShape
