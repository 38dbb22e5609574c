#include "QRCode/generators/pixel/TemplateShapes.h"

#include "QRCode/generators/detail/PixelGeneratorMath.h"

#include <array>

namespace QRCode::PixelShape {

namespace {

using Common = CommonPixelGenerator;

} // namespace

// ---- Circle ----

Circle::Circle(std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator, double insetFraction)
    : CommonPixelShape(CommonPixelGenerator(pixelType, std::move(insetGenerator), insetFraction, 0,
                                            PixelRotation::Fixed::Create(), 0)) {}

std::shared_ptr<Circle> Circle::Create(const SettingsDict& settings) {
    const double insetFraction = foundation::settingDouble(settings, SettingsKey::insetFraction).value_or(0.0);
    return std::make_shared<Circle>(Common::insetGeneratorFrom(settings), insetFraction);
}

std::shared_ptr<QRCodePixelShapeGenerator> Circle::copyShape() const {
    return std::make_shared<Circle>(common_.insetGenerator()->copyInsetGenerator(), common_.insetFraction());
}

void Circle::reset() {
    common_.setInsetGenerator(PixelInset::Fixed::Create());
    common_.setInsetFraction(0.0);
}

SettingsDict Circle::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::insetFraction)] = common_.insetFraction();
    result[std::string(SettingsKey::insetGeneratorName)] = std::string(insetGeneratorName(*common_.insetGenerator()));
    return result;
}

bool Circle::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::insetFraction || key == SettingsKey::insetGeneratorName ||
           key == SettingsKey::useRandomInset;
}

bool Circle::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key == SettingsKey::insetFraction) return common_.setInsetFraction(value);
    if (key == SettingsKey::insetGeneratorName) return common_.setInsetGenerator(value);
    if (key == SettingsKey::useRandomInset) {
        common_.setUseRandomInset(value);
        return true;
    }
    return false;
}

// ---- RoundedRect ----

RoundedRect::RoundedRect(double cornerRadiusFraction, std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator,
                         double insetFraction, std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator,
                         double rotationFraction)
    : CommonPixelShape(CommonPixelGenerator(pixelType, std::move(insetGenerator), insetFraction,
                                            pixelmath::unitFraction(cornerRadiusFraction), std::move(rotationGenerator),
                                            clampedRotationFraction(rotationFraction))) {}

std::shared_ptr<RoundedRect> RoundedRect::Create(const SettingsDict& settings) {
    const double cornerRadius =
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultCornerRadius);
    const double insetFraction = foundation::settingDouble(settings, SettingsKey::insetFraction).value_or(0.0);
    const double rotationFraction = foundation::settingDouble(settings, SettingsKey::rotationFraction).value_or(0.0);
    return std::make_shared<RoundedRect>(cornerRadius, Common::insetGeneratorFrom(settings), insetFraction,
                                         Common::rotationGeneratorFrom(settings), rotationFraction);
}

std::shared_ptr<QRCodePixelShapeGenerator> RoundedRect::copyShape() const {
    return std::make_shared<RoundedRect>(common_.cornerRadiusFraction(), common_.insetGenerator()->copyInsetGenerator(),
                                         common_.insetFraction(), common_.rotationGenerator()->copyRotationGenerator(),
                                         common_.rotationFraction());
}

void RoundedRect::reset() {
    common_.setCornerRadiusFraction(DefaultCornerRadius);
    common_.setInsetGenerator(PixelInset::Fixed::Create());
    common_.setInsetFraction(0.0);
    common_.setRotationGenerator(PixelRotation::Fixed::Create());
    common_.setRotationFraction(0.0);
}

SettingsDict RoundedRect::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::cornerRadiusFraction)] = common_.cornerRadiusFraction();
    common_.writeInsetAndRotationSettings(result);
    return result;
}

bool RoundedRect::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::cornerRadiusFraction || key == SettingsKey::insetFraction ||
           key == SettingsKey::insetGeneratorName || key == SettingsKey::rotationFraction ||
           key == SettingsKey::rotationGeneratorName;
}

bool RoundedRect::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key == SettingsKey::cornerRadiusFraction) return common_.setCornerRadiusFraction(value);
    return common_.setInsetOrRotationSetting(value, key).value_or(false);
}

// ---- The family list ----

std::span<const PixelShapeClass> templatePixelShapes() {
    static constexpr std::array<PixelShapeClass, 23> classes{{
        generatorClass<Arrow, QRCodePixelShapeGenerator>(),
        generatorClass<CRT, QRCodePixelShapeGenerator>(),
        generatorClass<Circle, QRCodePixelShapeGenerator>(),
        generatorClass<Diagonal, QRCodePixelShapeGenerator>(),
        generatorClass<Diamond, QRCodePixelShapeGenerator>(),
        generatorClass<Flame, QRCodePixelShapeGenerator>(),
        generatorClass<Flower, QRCodePixelShapeGenerator>(),
        generatorClass<Gear, QRCodePixelShapeGenerator>(),
        generatorClass<Heart, QRCodePixelShapeGenerator>(),
        generatorClass<Hexa, QRCodePixelShapeGenerator>(),
        generatorClass<Hexagon, QRCodePixelShapeGenerator>(),
        generatorClass<Koala, QRCodePixelShapeGenerator>(),
        generatorClass<Leaf, QRCodePixelShapeGenerator>(),
        generatorClass<RoundedRect, QRCodePixelShapeGenerator>(),
        generatorClass<RoundedTriangle, QRCodePixelShapeGenerator>(),
        generatorClass<Sharp, QRCodePixelShapeGenerator>(),
        generatorClass<Shiny, QRCodePixelShapeGenerator>(),
        generatorClass<SpikyCircle, QRCodePixelShapeGenerator>(),
        generatorClass<Squircle, QRCodePixelShapeGenerator>(),
        generatorClass<Star, QRCodePixelShapeGenerator>(),
        generatorClass<Stitch, QRCodePixelShapeGenerator>(),
        generatorClass<Wave, QRCodePixelShapeGenerator>(),
        generatorClass<Wex, QRCodePixelShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PixelShape
