#pragma once

// The pupil drawn with the design's own on-pixel shape: nine modules placed
// on the pupil square.

#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/detail/PixelShapeLink.h"
#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <memory>
#include <span>

namespace QRCode::PupilShape {

// Asks a pixel shape to draw a 3 x 3 block of on-modules exactly on the
// pupil square, so the pupil looks like nine data modules. The pixel shape
// is not a setting: whoever composes a symbol's paths hands over the
// design's on-pixel shape before asking for the pupil
// (linkBorrowedPixelShape). It is held weakly
// and never kept alive; without one (or with one that may not draw eyes and
// pupils) the plain square pixel shape draws.
class UsePixelShape final : public FixedPupil<UsePixelShape>, public PixelShapeBorrower {
public:
    static constexpr std::string_view Name = "usePixelShape";
    static constexpr std::string_view Title = "Use Pixel Shape";

    std::shared_ptr<QRCodePixelShapeGenerator> pixelShape() const noexcept { return pixelShape_.lock(); }
    void setPixelShape(std::weak_ptr<QRCodePixelShapeGenerator> shape) override { pixelShape_ = std::move(shape); }

    // A copy draws with no pixel shape until one is handed over.
    gfx::Path pupilPath() override;

    // The 6 x 6 matrix whose rows and columns 3...5 are on, shared.
    static const BoolMatrix& pupilMatrix();

private:
    std::weak_ptr<QRCodePixelShapeGenerator> pixelShape_;
};

std::span<const PupilShapeClass> usePixelShapePupils();

} // namespace QRCode::PupilShape
