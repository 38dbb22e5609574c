#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/eye/detail/FlipEye.h"
#include "QRCode/generators/pupil/RoundedPupils.h"

namespace QRCode::EyeShape {

// The "flip" setting of these eyes mirrors both outlines inside the box
// (horizontal: x -> 90 - x, vertical: y -> 90 - y, both). A number is read
// as an integer: 0...3 pick that mirror, any other integer picks none; a
// missing value or a non-number is refused.

// A ring with the corner at (10, 10) rounded by 20 and its hole's matching
// corner by 11. Owns its pupil, whose flip always equals the eye's.
class RoundedOuter final : public FlipEye<RoundedOuter> {
public:
    static constexpr std::string_view Name = "roundedOuter";
    static constexpr std::string_view Title = "Rounded outer";

    using FlipEye::FlipEye;

    static const gfx::Path& ring();
    static const gfx::Path& background();
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

// A ring with the corner at (10, 10) rounded by 35 around a circular hole.
class Headlight final : public FlipEye<Headlight> {
public:
    static constexpr std::string_view Name = "headlight";
    static constexpr std::string_view Title = "Headlight";

    using FlipEye::FlipEye;

    static const gfx::Path& ring();
    static const gfx::Path& background();
    // One circle pupil shared by every Headlight; it does not follow the flip.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A ring with the corners at (80, 10) and (10, 80) rounded by 35 around a
// circular hole, one quarter of which the inner style may square off.
class Eye final : public FlipEye<Eye> {
public:
    static constexpr std::string_view Name = "eye";
    static constexpr std::string_view Title = "Eye";

    enum class Style : std::int64_t {
        circular = 0,
        squaredFarCorner = 1,  // the hole's quarter toward (70, 70) squared
        squaredNearCorner = 2, // the hole's quarter toward (20, 20) squared
    };

    explicit Eye(Flip flip, Style eyeInnerStyle = Style::circular) : FlipEye(flip), eyeInnerStyle_(eyeInnerStyle) {}

    Style eyeInnerStyle() const noexcept { return eyeInnerStyle_; }
    void setEyeInnerStyle(Style style) noexcept { eyeInnerStyle_ = style; }

    gfx::Path ring() const;
    static const gfx::Path& background();
    // One circle pupil shared by every Eye; it does not follow the flip.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    // "eyeInnerStyle": a number whose integer value is 1 or 2 picks that
    // style; anything else (another number, a non-number, no value) picks
    // circular, so that key is always taken.
    void writeOtherSettings(SettingsDict& settings) const;
    bool supportsOtherSetting(std::string_view key) const { return key == SettingsKey::eyeInnerStyle; }
    std::optional<bool> setOtherSetting(const OptionalSettingsValue& value, std::string_view key);
    void resetOtherSettings() noexcept { eyeInnerStyle_ = Style::circular; }

private:
    Style eyeInnerStyle_ = Style::circular;
};

} // namespace QRCode::EyeShape
