#pragma once

#include "QRCode/EyeShapeGenerator.h"
#include "QRCode/FillStyle/FillStyle.h"
#include "QRCode/PixelShapeGenerator.h"
#include "QRCode/PupilShapeGenerator.h"
#include "QRCode/Shadow.h"
#include "platform/graphics/Color.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace QRCode {

// What the renderers read of a design: the generators and flags of its
// shape, the fills and colours of its style and the extra quiet zone. The
// generators and fills are shared with the design they came from (a design
// serves one rendering at a time).
struct RenderShape {
    std::shared_ptr<QRCodePixelShapeGenerator> onPixels;
    std::shared_ptr<QRCodePixelShapeGenerator> offPixels; // none: light modules are not drawn
    bool negatedOnPixelsOnly = false;
    bool extendOffPixelsIntoEmptyQRCodeComponents = false;
    bool mirrorEyePathsAroundQRCodeCenter = true;
    std::shared_ptr<QRCodeEyeShapeGenerator> eye;
    std::shared_ptr<QRCodePupilShapeGenerator> pupil; // none: the eye's default pupil

    // Square modules, the square eye and its default pupil.
    static RenderShape squareModules();
};

struct RenderStyle {
    QRCodeFillStylePtr onPixels;
    std::optional<gfx::Color> onPixelsBackground;
    QRCodeFillStylePtr offPixels;
    std::optional<gfx::Color> offPixelsBackground;
    QRCodeFillStylePtr eye;
    QRCodeFillStylePtr pupil;
    QRCodeFillStylePtr background;
    double backgroundFractionalCornerRadius = 0;
    std::optional<Shadow> shadow;
    std::optional<gfx::Color> eyeBackground;

    // The eye fill, else the on-pixel fill.
    const QRCodeFillStylePtr& actualEyeStyle() const { return eye ? eye : onPixels; }
    // The pupil fill, else the eye fill, else the on-pixel fill.
    const QRCodeFillStylePtr& actualPupilStyle() const { return pupil ? pupil : actualEyeStyle(); }
};

struct RenderDesign {
    RenderShape shape;
    RenderStyle style;
    std::uint64_t additionalQuietZonePixels = 0;

    // Square modules in black on a white background.
    static RenderDesign standard();
};

} // namespace QRCode
