#pragma once

// The shapes the design panel offers, in the order their stored indices
// count them.

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/PupilShapeGenerator.h"

#include <memory>
#include <vector>

namespace Tessivo {

struct ShapeLists {
    static constexpr int eyeCount = 13;
    static constexpr int pupilCount = 15;
    static constexpr int pixelCount = 14;

    std::vector<std::shared_ptr<QRCode::QRCodeEyeShapeGenerator>> eyeShapes;
    std::vector<std::shared_ptr<QRCode::QRCodePupilShapeGenerator>> pupilShapes;
    std::vector<std::shared_ptr<QRCode::QRCodePixelShapeGenerator>> pixelShapes;

    // New generator objects for all three lists. A generator keeps state
    // while it draws, so one list serves one rendering at a time: work on
    // another thread takes copy().
    ShapeLists();

    // A list of the same shapes that shares no generator with this one.
    ShapeLists copy() const;

    // The members at stored indices, an index outside its list taken as the
    // nearest end.
    const std::shared_ptr<QRCode::QRCodeEyeShapeGenerator>& eye(int index) const;
    const std::shared_ptr<QRCode::QRCodePupilShapeGenerator>& pupil(int index) const;
    const std::shared_ptr<QRCode::QRCodePixelShapeGenerator>& pixel(int index) const;

private:
    struct Empty {};
    explicit ShapeLists(Empty) {}
};

} // namespace Tessivo
