#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/detail/PixelShapeLink.h"

#include <memory>

namespace QRCode::EyeShape {

// Draws the ring with the design's own pixel shape, so that the eyes match
// the data modules: the pixel shape draws a 9 x 9 matrix holding the 7 x 7
// ring into the 90 x 90 box. Rendering hands the pixel shape over before
// each use; the eye only observes it (a weak reference) and draws plain
// squares when it has none, when the shape is gone, or when the shape cannot
// draw eyes. No settings.
class UsePixelShape final : public EyeWithoutSettings<UsePixelShape>, public PixelShapeBorrower {
public:
    static constexpr std::string_view Name = "usePixelShape";
    static constexpr std::string_view Title = "Use Pixel Shape";

    // The pixel shape to draw with (empty once it has been released).
    std::shared_ptr<QRCodePixelShapeGenerator> pixelShape() const noexcept { return pixelShape_.lock(); }
    void setPixelShape(std::weak_ptr<QRCodePixelShapeGenerator> shape) override { pixelShape_ = std::move(shape); }

    // A copy does not carry the pixel shape over.
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override { return std::make_shared<UsePixelShape>(); }
    gfx::Path eyePath() override;
    // The whole box.
    gfx::Path eyeBackgroundPath() override;
    // A new use-pixel-shape pupil, without a pixel shape, on every call.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    // The 9 x 9 matrix whose on cells are the border of its inner 7 x 7
    // square (24 cells), built once.
    static const BoolMatrix& ringMatrix();

private:
    std::weak_ptr<QRCodePixelShapeGenerator> pixelShape_;
};

} // namespace QRCode::EyeShape
