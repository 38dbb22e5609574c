#pragma once

#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/PixelShapeGenerator.h"

#include <chrono>
#include <thread>

// Square pixels that take a while to outline, so that a rendering is slow
// enough for the view to show that it is busy.
class SlowPixelShape final : public QRCode::QRCodePixelShapeGenerator {
public:
    explicit SlowPixelShape(std::chrono::milliseconds delay) : delay_(delay) {}

    std::shared_ptr<QRCode::QRCodePixelShapeGenerator> copyShape() const override {
        return std::make_shared<SlowPixelShape>(delay_);
    }
    void reset() override {}
    gfx::Path generatePath(const QRCode::BoolMatrix& matrix, gfx::Size size) override {
        std::this_thread::sleep_for(delay_);
        return square_->generatePath(matrix, size);
    }
    QRCode::SettingsDict settings() const override { return QRCode::SettingsDict::object(); }
    bool setSettingValue(const QRCode::OptionalSettingsValue&, std::string_view) override { return false; }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool canGenerateEyeAndPupilShapes() const override { return false; }
    std::string_view name() const noexcept override { return "slowSquare"; }
    std::string_view title() const noexcept override { return "Slow square"; }

private:
    std::chrono::milliseconds delay_;
    std::shared_ptr<QRCode::PixelShape::Square> square_ = QRCode::PixelShape::Square::Create();
};
