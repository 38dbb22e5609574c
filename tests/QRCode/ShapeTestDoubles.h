#pragma once

// Hand-made shapes whose drawings can be worked out by hand, for the suites
// that check where the renderer, the SVG writer and the borrowing eyes and
// pupils put what a shape draws.
#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "QRCode/generators/eye/Square.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace shapetest {

// The settings side of a shape that stores none.
template <class Generator> class NoSettings : public Generator {
public:
    void reset() override {}
    QRCode::SettingsDict settings() const override { return QRCode::SettingsDict::object(); }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool setSettingValue(const QRCode::OptionalSettingsValue&, std::string_view) override { return false; }
};

// A pupil that is the square 30...60 of its box.
class BoxPupil final : public NoSettings<QRCode::QRCodePupilShapeGenerator> {
public:
    std::shared_ptr<QRCode::QRCodePupilShapeGenerator> copyShape() const override {
        return std::make_shared<BoxPupil>();
    }
    gfx::Path pupilPath() override {
        gfx::Path p;
        p.addRect(gfx::Rect(30, 30, 30, 30));
        return p;
    }
    std::string_view name() const noexcept override { return "box"; }
    std::string_view title() const noexcept override { return "Box"; }
};

// An eye that is only a 10 x 10 square in the top-left corner of its box,
// so that mirroring shows. Its pupil is the square eye's, or the BoxPupil.
class CornerEye final : public NoSettings<QRCode::QRCodeEyeShapeGenerator> {
public:
    explicit CornerEye(bool boxPupil = false) : boxPupil_(boxPupil) {}
    std::shared_ptr<QRCode::QRCodeEyeShapeGenerator> copyShape() const override {
        return std::make_shared<CornerEye>(boxPupil_);
    }
    gfx::Path eyePath() override {
        gfx::Path p;
        p.addRect(gfx::Rect(0, 0, 10, 10));
        return p;
    }
    gfx::Path eyeBackgroundPath() override { return eyePath(); }
    std::shared_ptr<QRCode::QRCodePupilShapeGenerator> defaultPupil() override {
        if (boxPupil_) return std::make_shared<BoxPupil>();
        return QRCode::EyeShape::Square().defaultPupil();
    }
    std::string_view name() const noexcept override { return "corner"; }
    std::string_view title() const noexcept override { return "Corner"; }

private:
    bool boxPupil_;
};

// A pixel shape that draws every on cell as a diamond or a circle and may
// refuse to draw eyes and pupils.
class MarkPixels final : public NoSettings<QRCode::QRCodePixelShapeGenerator> {
public:
    enum class Mark { diamond, circle };
    MarkPixels(Mark mark, bool drawsEyes) : mark_(mark), drawsEyes_(drawsEyes) {}
    std::shared_ptr<QRCode::QRCodePixelShapeGenerator> copyShape() const override {
        return std::make_shared<MarkPixels>(mark_, drawsEyes_);
    }
    gfx::Path generatePath(const QRCode::BoolMatrix& matrix, gfx::Size size) override {
        const double cell = std::min(size.width, size.height) / static_cast<double>(matrix.dimension());
        gfx::Path path;
        for (std::int64_t r = 0; r < matrix.dimension(); ++r) {
            for (std::int64_t c = 0; c < matrix.dimension(); ++c) {
                if (!matrix(r, c)) continue;
                const double x = c * cell, y = r * cell;
                if (mark_ == Mark::circle) {
                    path.addEllipse(gfx::Rect(x, y, cell, cell));
                    continue;
                }
                path.moveTo({x + cell / 2, y});
                path.lineTo({x + cell, y + cell / 2});
                path.lineTo({x + cell / 2, y + cell});
                path.lineTo({x, y + cell / 2});
                path.closeSubpath();
            }
        }
        return path;
    }
    bool canGenerateEyeAndPupilShapes() const override { return drawsEyes_; }
    std::string_view name() const noexcept override { return "marks"; }
    std::string_view title() const noexcept override { return "Marks"; }

private:
    Mark mark_;
    bool drawsEyes_;
};

} // namespace shapetest
