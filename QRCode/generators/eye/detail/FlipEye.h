#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/core/Flip.h"
#include "QRCode/generators/SettingsKey.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace QRCode::EyeShape {

// The frame of the eyes with the "flip" setting: both outlines are fixed
// paths, mirrored by the flip on every call (flip none gives them as they
// are). The class derives from FlipEye<Itself>, inherits its constructor and
// declares Name, Title and
//   ring() and background()   // unflipped (static or per instance)
// and either
//   static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
// for a pupil of its own that the eye keeps at its flip, or its own
// defaultPupil(). A class with more settings than the flip adds
//   void writeOtherSettings(SettingsDict&) const;
//   bool supportsOtherSetting(std::string_view key) const;
//   std::optional<bool> setOtherSetting(const OptionalSettingsValue&, std::string_view key);
//   void resetOtherSettings();
template <class Derived> class FlipEye : public QRCodeEyeShapeGenerator {
public:
    explicit FlipEye(Flip flip) {
        if constexpr (ownsPupil) pupil_ = Derived::makePupil();
        setFlip(flip);
    }

    // From the defaults, every entry of the dictionary through
    // setSettingValue (so other keys and refused values change nothing).
    static std::shared_ptr<Derived> Create(const SettingsDict& settings = SettingsDict()) {
        auto eye = std::make_shared<Derived>(Flip::none);
        if (settings.is_object()) {
            for (const auto& [key, value] : settings.items()) eye->setSettingValue(value, key);
        }
        return eye;
    }

    Flip flip() const noexcept { return flip_; }
    // Stores the flip and hands it to the eye's own pupil.
    void setFlip(Flip flip) {
        flip_ = flip;
        if (pupil_) pupil_->setSettingValue(SettingsValue(static_cast<std::int64_t>(flip)), SettingsKey::flip);
    }

    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override { return Create(settings()); }
    void reset() override {
        setFlip(Flip::none);
        if constexpr (requires(Derived & d) { d.resetOtherSettings(); }) self().resetOtherSettings();
    }
    gfx::Path eyePath() override { return flippedPath(self().ring(), flip_); }
    gfx::Path eyeBackgroundPath() override { return flippedPath(self().background(), flip_); }
    // The eye's own pupil, the same object on every call.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override { return pupil_; }

    SettingsDict settings() const override {
        SettingsDict result = SettingsDict::object();
        result[std::string(SettingsKey::flip)] = static_cast<std::int64_t>(flip_);
        if constexpr (requires(const Derived& d) { d.writeOtherSettings(result); }) self().writeOtherSettings(result);
        return result;
    }
    bool supportsSettingValueForKey(std::string_view key) const override {
        if (key == SettingsKey::flip) return true;
        if constexpr (requires(const Derived& d) { d.supportsOtherSetting(key); })
            return self().supportsOtherSetting(key);
        return false;
    }
    // "flip" with a number: its integer value 0...3 selects that flip, any
    // other none; true. No value or not a number: false. Other keys go to
    // the class's own settings, if any.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override {
        if (key == SettingsKey::flip) {
            const auto flip = flipFromSettingValue(value);
            if (!flip) return false;
            setFlip(*flip);
            return true;
        }
        if constexpr (requires(Derived & d) { d.setOtherSetting(value, key); }) {
            return self().setOtherSetting(value, key).value_or(false);
        }
        return false;
    }
    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }

private:
    static constexpr bool ownsPupil = requires { Derived::makePupil(); };

    Derived& self() noexcept { return static_cast<Derived&>(*this); }
    const Derived& self() const noexcept { return static_cast<const Derived&>(*this); }

    Flip flip_ = Flip::none;
    std::shared_ptr<QRCodePupilShapeGenerator> pupil_;
};

} // namespace QRCode::EyeShape
