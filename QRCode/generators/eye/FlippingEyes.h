#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/pupil/RoundedPupils.h"

namespace QRCode::EyeShape {

// The "flip" setting of these eyes mirrors both outlines inside the box
// (horizontal: x -> 90 - x, vertical: y -> 90 - y, both). A number is read
// as an integer: 0...3 pick that mirror, any other integer picks none; a
// missing value or a non-number is refused.

// A ring with the corner at (10, 10) rounded by 20 and its hole's matching
// corner by 11. Owns its pupil, whose flip always equals the eye's.
class RoundedOuter final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "roundedOuter";
    static constexpr std::string_view Title = "Rounded outer";

    explicit RoundedOuter(Flip flip);
    // The defaults, then every entry of `settings` handed to setSettingValue
    // (unsupported keys and refused values are ignored).
    static std::shared_ptr<RoundedOuter> Create(const SettingsDict& settings = SettingsDict());

    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override;

    Flip flip() const noexcept { return flip_; }
    // Also flips the pupil.
    void setFlip(Flip flip);

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // The eye's own pupil, the same object on every call.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    Flip flip_ = Flip::none;
    std::shared_ptr<PupilShape::RoundedOuter> pupil_;
};

// A ring with the corner at (10, 10) rounded by 35 around a circular hole.
class Headlight final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "headlight";
    static constexpr std::string_view Title = "Headlight";

    explicit Headlight(Flip flip) : flip_(flip) {}
    static std::shared_ptr<Headlight> Create(const SettingsDict& settings = SettingsDict());

    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override { flip_ = Flip::none; }

    Flip flip() const noexcept { return flip_; }
    void setFlip(Flip flip) noexcept { flip_ = flip; }

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // One circle pupil shared by every Headlight; it does not follow the flip.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    Flip flip_ = Flip::none;
};

// A ring with the corners at (80, 10) and (10, 80) rounded by 35 around a
// circular hole, one quarter of which the inner style may square off.
class Eye final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "eye";
    static constexpr std::string_view Title = "Eye";

    enum class Style : std::int64_t {
        circular = 0,
        squaredFarCorner = 1,  // the hole's quarter toward (70, 70) squared
        squaredNearCorner = 2, // the hole's quarter toward (20, 20) squared
    };

    Eye(Flip flip, Style eyeInnerStyle) : flip_(flip), eyeInnerStyle_(eyeInnerStyle) {}
    static std::shared_ptr<Eye> Create(const SettingsDict& settings = SettingsDict());

    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    // "flip" follows the flip rule. "eyeInnerStyle": a number whose integer
    // value is 1 or 2 picks that style; anything else (another number, a
    // non-number, no value) picks circular, so that key is always taken.
    // An accepted flip reports true; other keys are refused.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override;

    Flip flip() const noexcept { return flip_; }
    void setFlip(Flip flip) noexcept { flip_ = flip; }
    Style eyeInnerStyle() const noexcept { return eyeInnerStyle_; }
    void setEyeInnerStyle(Style style) noexcept { eyeInnerStyle_ = style; }

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // One circle pupil shared by every Eye; it does not follow the flip.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    Flip flip_ = Flip::none;
    Style eyeInnerStyle_ = Style::circular;
};

} // namespace QRCode::EyeShape
