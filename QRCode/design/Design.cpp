#include "QRCode/design/Design.h"

#include "QRCode/core/Colors.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/generators/SettingsKey.h"
#include "platform/foundation/Json.h"

namespace QRCode {

Design::Design() : shape_(Shape::create()), style_(Style::create()) {}

Design::Design(const gfx::Color& foreground, const std::optional<gfx::Color>& background) : Design() {
    foregroundColor(foreground);
    backgroundColor(background);
}

void Design::setShape(std::shared_ptr<Shape> shape) {
    if (!shape) throw QRCodeException(QRCodeError::noGeneratorSet);
    shape_ = std::move(shape);
}

void Design::setStyle(std::shared_ptr<Style> style) {
    if (!style) throw QRCodeException(QRCodeError::noGeneratorSet);
    style_ = std::move(style);
}

Design& Design::foregroundColor(const gfx::Color& color) {
    style_->setForegroundStyle(FillStyle::Solid::make(color));
    return *this;
}

Design& Design::foregroundStyle(QRCodeFillStylePtr fill) {
    style_->setForegroundStyle(std::move(fill));
    return *this;
}

Design& Design::backgroundColor(const std::optional<gfx::Color>& color) {
    style_->setBackground(FillStyle::Solid::make(color.value_or(standardClear())));
    return *this;
}

std::shared_ptr<Design> Design::copy() const {
    auto copy = std::make_shared<Design>();
    copy->shape_ = shape_->copyShape();
    copy->style_ = style_->copy();
    copy->additionalQuietZonePixels_ = additionalQuietZonePixels_;
    return copy;
}

SettingsDict Design::settings() const {
    SettingsDict dict = SettingsDict::object();
    dict["shape"] = shape_->settings();
    dict["style"] = style_->settings();
    if (additionalQuietZonePixels_ != 0) dict["additionalQuietZonePixels"] = additionalQuietZonePixels_;
    return dict;
}

std::vector<std::uint8_t> Design::jsonData() const {
    const std::string text = foundation::writeJson(settings(), foundation::JsonStyle::compact);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::shared_ptr<Design> Design::Create(const SettingsDict& settings) {
    // Deeper trees than any design has are refused before anything walks them.
    if (foundation::jsonDepth(settings) > foundation::maxJsonDepth)
        throw QRCodeException(QRCodeError::cannotCreateGenerator);
    auto design = std::make_shared<Design>();
    if (const SettingsValue* shape = foundation::settingEntry(settings, "shape"); shape && shape->is_object())
        design->shape_ = Shape::Create(*shape);
    if (const SettingsValue* style = foundation::settingEntry(settings, "style"); style && style->is_object())
        design->style_ = Style::Create(*style);
    // A stored value is guarded like a caller's: a negative number must not
    // wrap around to an enormous quiet zone.
    if (const auto quietZone = foundation::settingDouble(settings, SettingsKey::additionalQuietZonePixels))
        design->additionalQuietZonePixels_ = guardedQuietZonePixels(*quietZone);
    return design;
}

std::shared_ptr<Design> Design::CreateFromJsonData(std::span<const std::uint8_t> jsonData) {
    SettingsValue parsed;
    try {
        parsed = foundation::parseJson(jsonData);
    } catch (const nlohmann::json::exception&) {
        throw QRCodeException(QRCodeError::cannotCreateGenerator);
    }
    if (!parsed.is_object()) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    return Create(parsed);
}

std::shared_ptr<Design> Design::CreateFromJsonData(std::string_view jsonText) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(jsonText.data());
    return CreateFromJsonData(std::span<const std::uint8_t>(bytes, jsonText.size()));
}

} // namespace QRCode
