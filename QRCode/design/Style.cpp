#include "QRCode/design/Style.h"

#include "QRCode/core/Colors.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/QRCodeError.h"

#include <cmath>

namespace QRCode {

namespace {

QRCodeFillStylePtr required(QRCodeFillStylePtr fill) {
    if (!fill) throw QRCodeException(QRCodeError::noGeneratorSet);
    return fill;
}

// The fill archived under `key`, or null when the key is missing, not a
// dictionary, or the factory cannot make a fill from it.
QRCodeFillStylePtr fillFrom(const SettingsDict& settings, std::string_view key) {
    const SettingsValue* entry = foundation::settingEntry(settings, key);
    if (entry == nullptr || !entry->is_object()) return nullptr;
    try {
        return QRCodeFillStyleFactory::shared().Create(*entry);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// A colour entry {"color": RGBA text}.
SettingsDict colorEntry(const gfx::Color& color) {
    SettingsDict entry = SettingsDict::object();
    entry["color"] = CGColorRGBAString(color);
    return entry;
}

std::optional<gfx::Color> colorFrom(const SettingsDict& settings, std::string_view key) {
    const SettingsValue* entry = foundation::settingEntry(settings, key);
    if (entry == nullptr || !entry->is_object()) return std::nullopt;
    const auto text = foundation::settingString(*entry, "color");
    if (!text) return std::nullopt;
    try {
        return CGColorFromRGBAString(*text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

Style::Style()
    : onPixels_(FillStyle::Solid::make(standardBlack())), background_(FillStyle::Solid::make(standardWhite())) {}

void Style::setForegroundStyle(QRCodeFillStylePtr fill) {
    onPixels_ = required(std::move(fill));
    eye_.reset();
    pupil_.reset();
}

void Style::setOnPixels(QRCodeFillStylePtr fill) { onPixels_ = required(std::move(fill)); }

std::shared_ptr<Style> Style::copy() const {
    auto copy = std::make_shared<Style>();
    copy->onPixels_ = onPixels_->copyStyle();
    copy->onPixelsBackground_ = onPixelsBackground_;
    copy->offPixels_ = offPixels_ ? offPixels_->copyStyle() : nullptr;
    copy->offPixelsBackground_ = offPixelsBackground_;
    copy->background_ = background_ ? background_->copyStyle() : nullptr;
    copy->backgroundFractionalCornerRadius_ = backgroundFractionalCornerRadius_;
    copy->eye_ = eye_ ? eye_->copyStyle() : nullptr;
    copy->eyeBackground_ = eyeBackground_;
    copy->pupil_ = pupil_ ? pupil_->copyStyle() : nullptr;
    copy->shadow_ = shadow_;
    return copy;
}

SettingsDict Style::settings() const {
    SettingsDict dict = SettingsDict::object();
    dict["onPixels"] = onPixels_->fillStyleArchive();
    if (eye_) dict["eye"] = eye_->fillStyleArchive();
    if (pupil_) dict["pupil"] = pupil_->fillStyleArchive();
    if (background_) dict["background"] = background_->fillStyleArchive();
    if (backgroundFractionalCornerRadius_ > 0)
        dict["backgroundFractionalCornerRadius"] = backgroundFractionalCornerRadius_;
    if (offPixels_) dict["offPixels"] = offPixels_->fillStyleArchive();
    if (eyeBackground_) dict["eyeBackground"] = colorEntry(*eyeBackground_);
    if (onPixelsBackground_) dict["onPixelsBackground"] = colorEntry(*onPixelsBackground_);
    if (offPixelsBackground_) dict["offPixelsBackground"] = colorEntry(*offPixelsBackground_);
    if (shadow_) dict["shadow"] = shadow_->settings();
    return dict;
}

std::shared_ptr<Style> Style::Create(const SettingsDict& settings) {
    auto style = std::make_shared<Style>();
    if (auto fill = fillFrom(settings, "onPixels")) style->onPixels_ = std::move(fill);
    style->eye_ = fillFrom(settings, "eye");
    style->pupil_ = fillFrom(settings, "pupil");
    // The writer leaves the key out when there is no background.
    style->background_ = fillFrom(settings, "background");

    const double radius = foundation::settingDouble(settings, "backgroundFractionalCornerRadius").value_or(0.0);
    style->backgroundFractionalCornerRadius_ = std::isnan(radius) || radius < 0 ? 0.0 : radius;

    style->offPixels_ = fillFrom(settings, "offPixels");
    style->eyeBackground_ = colorFrom(settings, "eyeBackground");
    style->onPixelsBackground_ = colorFrom(settings, "onPixelsBackground");
    style->offPixelsBackground_ = colorFrom(settings, "offPixelsBackground");

    if (const SettingsValue* shadow = foundation::settingEntry(settings, "shadow"); shadow && shadow->is_object())
        style->shadow_ = Shadow::Create(*shadow);
    return style;
}

} // namespace QRCode
