#pragma once

#include "QRCode/fills/FillStyle.h"
#include "QRCode/design/Shadow.h"
#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/Color.h"

#include <memory>
#include <optional>

namespace QRCode {

using foundation::SettingsDict;
using foundation::SettingsValue;

// How each part of a symbol is painted: fills for the on-pixels, off-pixels,
// eyes, pupils and background, flat colours behind the on-pixels, off-pixels
// and eyes, the background's corner rounding and an optional shadow.
//
// Fills are held by reference; assigning one does not copy it. Plain setters
// only store the value.
class Style {
public:
    // Black solid on-pixels and a white solid background; nothing else.
    Style();

    Style(const Style&) = delete;
    Style& operator=(const Style&) = delete;

    static std::shared_ptr<Style> create() { return std::make_shared<Style>(); }

    // Sets the on-pixel fill and clears the eye and pupil fills, so the whole
    // foreground follows the one fill. Null throws
    // QRCodeException(noGeneratorSet).
    void setForegroundStyle(QRCodeFillStylePtr fill);

    const QRCodeFillStylePtr& onPixels() const { return onPixels_; }
    // Null throws QRCodeException(noGeneratorSet).
    void setOnPixels(QRCodeFillStylePtr fill);
    const std::optional<gfx::Color>& onPixelsBackground() const { return onPixelsBackground_; }
    void setOnPixelsBackground(std::optional<gfx::Color> color) { onPixelsBackground_ = std::move(color); }

    const QRCodeFillStylePtr& offPixels() const { return offPixels_; }
    void setOffPixels(QRCodeFillStylePtr fill) { offPixels_ = std::move(fill); }
    const std::optional<gfx::Color>& offPixelsBackground() const { return offPixelsBackground_; }
    void setOffPixelsBackground(std::optional<gfx::Color> color) { offPixelsBackground_ = std::move(color); }

    // Null: the on-pixel fill paints the eyes.
    const QRCodeFillStylePtr& eye() const { return eye_; }
    void setEye(QRCodeFillStylePtr fill) { eye_ = std::move(fill); }
    // Null: the eye fill (or the on-pixel fill) paints the pupils.
    const QRCodeFillStylePtr& pupil() const { return pupil_; }
    void setPupil(QRCodeFillStylePtr fill) { pupil_ = std::move(fill); }

    // Null: no background.
    const QRCodeFillStylePtr& background() const { return background_; }
    void setBackground(QRCodeFillStylePtr fill) { background_ = std::move(fill); }
    // Corner radius of the background as a fraction; 0 is square corners.
    double backgroundFractionalCornerRadius() const { return backgroundFractionalCornerRadius_; }
    void setBackgroundFractionalCornerRadius(double radius) { backgroundFractionalCornerRadius_ = radius; }

    const std::optional<Shadow>& shadow() const { return shadow_; }
    void setShadow(std::optional<Shadow> shadow) { shadow_ = std::move(shadow); }

    const std::optional<gfx::Color>& eyeBackground() const { return eyeBackground_; }
    void setEyeBackground(std::optional<gfx::Color> color) { eyeBackground_ = std::move(color); }

    // The eye fill, else the on-pixel fill.
    const QRCodeFillStylePtr& actualEyeStyle() const { return eye_ ? eye_ : onPixels_; }
    // The pupil fill, else the eye fill, else the on-pixel fill.
    const QRCodeFillStylePtr& actualPupilStyle() const { return pupil_ ? pupil_ : actualEyeStyle(); }

    // A style that shares no fill with this one; a fill's copy error passes on.
    std::shared_ptr<Style> copy() const;

    // "onPixels", then "eye", "pupil", "background" (each when set) as fill
    // archives; "backgroundFractionalCornerRadius" only above 0; "offPixels"
    // when set; "eyeBackground", "onPixelsBackground", "offPixelsBackground"
    // as {"color": RGBA text} when set; "shadow" when set. The first error
    // of a fill, a colour (RGBAComponentsException) or the shadow passes on.
    SettingsDict settings() const;
    // Never fails; broken entries fall back one by one. A missing or
    // unreadable "background" gives no background.
    static std::shared_ptr<Style> Create(const SettingsDict& settings);

private:
    QRCodeFillStylePtr onPixels_;
    std::optional<gfx::Color> onPixelsBackground_;
    QRCodeFillStylePtr offPixels_;
    std::optional<gfx::Color> offPixelsBackground_;
    QRCodeFillStylePtr eye_;
    QRCodeFillStylePtr pupil_;
    QRCodeFillStylePtr background_;
    double backgroundFractionalCornerRadius_ = 0;
    std::optional<Shadow> shadow_;
    std::optional<gfx::Color> eyeBackground_;
};

using StylePtr = std::shared_ptr<Style>;

} // namespace QRCode
