#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/core/Flip.h"
#include "QRCode/generators/SettingsKey.h"

#include <cstdint>
#include <memory>

namespace QRCode::EyeShape {

// The frame of an eye whose one setting is "flip" and which owns a pupil
// that it keeps at the same flip. The outlines are two fixed paths, built
// once per class, mirrored by the flip on every call (flip none gives them
// as they are).
//
// The class derives from FlipEye<Itself>, inherits its constructor and
// declares Name, Title and
//   static const gfx::Path& ring();        // unflipped, built once
//   static const gfx::Path& background();  // unflipped, built once
//   static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
template <class Derived>
class FlipEye : public QRCodeEyeShapeGenerator {
public:
    explicit FlipEye(Flip flip) : pupil_(Derived::makePupil()) { setFlip(flip); }

    // From flip none, every entry of the dictionary through setSettingValue
    // (so other keys and refused values change nothing).
    static std::shared_ptr<Derived> Create(const SettingsDict& settings = SettingsDict())
    {
        auto eye = std::make_shared<Derived>(Flip::none);
        if (settings.is_object()) {
            for (const auto& [key, value] : settings.items()) eye->setSettingValue(value, key);
        }
        return eye;
    }

    Flip flip() const noexcept { return flip_; }
    // Stores the flip and hands it to the pupil.
    void setFlip(Flip flip)
    {
        flip_ = flip;
        pupil_->setSettingValue(SettingsValue(static_cast<std::int64_t>(flip)), SettingsKey::flip);
    }

    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override { return std::make_shared<Derived>(flip_); }
    void reset() override { setFlip(Flip::none); }
    gfx::Path eyePath() override { return flippedPath(Derived::ring(), flip_); }
    gfx::Path eyeBackgroundPath() override { return flippedPath(Derived::background(), flip_); }
    // The owned pupil, the same object on every call.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override { return pupil_; }

    SettingsDict settings() const override
    {
        SettingsDict result = SettingsDict::object();
        result[std::string(SettingsKey::flip)] = static_cast<std::int64_t>(flip_);
        return result;
    }
    bool supportsSettingValueForKey(std::string_view key) const override { return key == SettingsKey::flip; }
    // "flip" with a number: its integer value 0...3 selects that flip, any
    // other none; true. No value, not a number, another key: false.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override
    {
        if (key != SettingsKey::flip) return false;
        const auto flip = flipFromSettingValue(value);
        if (!flip) return false;
        setFlip(*flip);
        return true;
    }
    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }

private:
    Flip flip_ = Flip::none;
    std::shared_ptr<QRCodePupilShapeGenerator> pupil_;
};

} // namespace QRCode::EyeShape
