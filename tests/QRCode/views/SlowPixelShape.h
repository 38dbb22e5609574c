#pragma once

#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/PixelShapeGenerator.h"

#include <condition_variable>
#include <memory>
#include <mutex>

// Where a rendering waits until the test lets it go on: a rendering lasts
// as long as the test needs, however the threads are scheduled. The test
// holds it through a Hold, which lets every waiting rendering go when it
// ends, so a failed assertion never leaves a rendering waiting.
class RenderGate {
public:
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }

    struct Hold {
        std::shared_ptr<RenderGate> gate = std::make_shared<RenderGate>();
        Hold() = default;
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold() { gate->open(); }
        void open() const { gate->open(); }
    };

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// Square pixels whose outline waits at a gate, so that a rendering is slow
// until the test says otherwise.
class SlowPixelShape final : public QRCode::QRCodePixelShapeGenerator {
public:
    explicit SlowPixelShape(std::shared_ptr<RenderGate> gate) : gate_(std::move(gate)) {}

    std::shared_ptr<QRCode::QRCodePixelShapeGenerator> copyShape() const override {
        return std::make_shared<SlowPixelShape>(gate_);
    }
    void reset() override {}
    gfx::Path generatePath(const QRCode::BoolMatrix& matrix, gfx::Size size) override {
        gate_->wait();
        return square_->generatePath(matrix, size);
    }
    QRCode::SettingsDict settings() const override { return QRCode::SettingsDict::object(); }
    bool setSettingValue(const QRCode::OptionalSettingsValue&, std::string_view) override { return false; }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool canGenerateEyeAndPupilShapes() const override { return false; }
    std::string_view name() const noexcept override { return "slowSquare"; }
    std::string_view title() const noexcept override { return "Slow square"; }

private:
    std::shared_ptr<RenderGate> gate_;
    std::shared_ptr<QRCode::PixelShape::Square> square_ = QRCode::PixelShape::Square::Create();
};
