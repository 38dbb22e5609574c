#pragma once

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "platform/foundation/SettingsValue.h"

#include <memory>

namespace QRCode {

// Which generators draw each part of a symbol: the on-modules, the optional
// off-modules, the eyes and the optional pupils, plus three flags that
// rendering reads.
//
// Generators are held by reference: a generator placed in two shapes is
// shared by both. A shape used while another renders should be a copy.
//
// Setting the eye clears the pupil (callers set the eye first, then the
// pupil); setting the pupil never touches the eye.
class Shape {
public:
    // Square on-pixels (no inset, no rotation), no off-pixels, flags false,
    // false, true, the square eye and no explicit pupil.
    Shape();
    // Stores every argument as given, the pupil included. A null on-pixel
    // generator or eye throws QRCodeException(noGeneratorSet).
    Shape(std::shared_ptr<QRCodePixelShapeGenerator> onPixels, std::shared_ptr<QRCodePixelShapeGenerator> offPixels,
          bool negatedOnPixelsOnly, bool extendOffPixelsIntoEmptyQRCodeComponents,
          bool mirrorEyePathsAroundQRCodeCenter, std::shared_ptr<QRCodeEyeShapeGenerator> eye,
          std::shared_ptr<QRCodePupilShapeGenerator> pupil);

    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    // A default shape.
    static std::shared_ptr<Shape> create() { return std::make_shared<Shape>(); }

    const std::shared_ptr<QRCodePixelShapeGenerator>& onPixels() const { return onPixels_; }
    // Throws QRCodeException(noGeneratorSet) for null.
    void setOnPixels(std::shared_ptr<QRCodePixelShapeGenerator> generator);

    // Null: light modules are not drawn.
    const std::shared_ptr<QRCodePixelShapeGenerator>& offPixels() const { return offPixels_; }
    void setOffPixels(std::shared_ptr<QRCodePixelShapeGenerator> generator) { offPixels_ = std::move(generator); }

    bool negatedOnPixelsOnly() const { return negatedOnPixelsOnly_; }
    void setNegatedOnPixelsOnly(bool value) { negatedOnPixelsOnly_ = value; }
    bool extendOffPixelsIntoEmptyQRCodeComponents() const { return extendOffPixelsIntoEmptyQRCodeComponents_; }
    void setExtendOffPixelsIntoEmptyQRCodeComponents(bool value) { extendOffPixelsIntoEmptyQRCodeComponents_ = value; }
    bool mirrorEyePathsAroundQRCodeCenter() const { return mirrorEyePathsAroundQRCodeCenter_; }
    void setMirrorEyePathsAroundQRCodeCenter(bool value) { mirrorEyePathsAroundQRCodeCenter_ = value; }

    const std::shared_ptr<QRCodeEyeShapeGenerator>& eye() const { return eye_; }
    // Also clears the pupil. Throws QRCodeException(noGeneratorSet) for null.
    void setEye(std::shared_ptr<QRCodeEyeShapeGenerator> generator);

    // Null: the eye's default pupil is drawn.
    const std::shared_ptr<QRCodePupilShapeGenerator>& pupil() const { return pupil_; }
    void setPupil(std::shared_ptr<QRCodePupilShapeGenerator> generator) { pupil_ = std::move(generator); }

    // The pupil when set, otherwise the eye's default pupil.
    std::shared_ptr<QRCodePupilShapeGenerator> actualPupilShape() const;

    // A shape that shares no generator with this one.
    std::shared_ptr<Shape> copyShape() const;

    // "onPixels", "offPixels" (when set), "eye", "pupil" (when set) as
    // generator archives, and the three flags.
    SettingsDict settings() const;
    // Never fails: each entry that is missing, of the wrong kind or names no
    // known generator keeps its default. The older keys "data" and
    // "dataInverted" take precedence over "onPixels" and "offPixels".
    static std::shared_ptr<Shape> Create(const SettingsDict& settings);

private:
    std::shared_ptr<QRCodePixelShapeGenerator> onPixels_;
    std::shared_ptr<QRCodePixelShapeGenerator> offPixels_;
    bool negatedOnPixelsOnly_ = false;
    bool extendOffPixelsIntoEmptyQRCodeComponents_ = false;
    bool mirrorEyePathsAroundQRCodeCenter_ = true;
    std::shared_ptr<QRCodeEyeShapeGenerator> eye_;
    std::shared_ptr<QRCodePupilShapeGenerator> pupil_;
};

using ShapePtr = std::shared_ptr<Shape>;

} // namespace QRCode
