#pragma once

#include "QRCode/generators/PixelShapeGenerator.h"

#include <memory>

namespace QRCode {

// An eye or pupil generator that draws its outline with the design's
// on-pixel shape. Before every path request and drawing the renderer hands
// it the shape's on-pixel generator (held weakly: the shape owns it).
class PixelShapeBorrower {
public:
    virtual ~PixelShapeBorrower() = default;
    virtual void setPixelShape(std::weak_ptr<QRCodePixelShapeGenerator> pixelShape) = 0;
};

class Shape;

// Hands the shape's on-pixel generator to its eye and pupil generators when
// they borrow it; others are left alone.
void linkBorrowedPixelShape(const Shape& shape);

} // namespace QRCode
