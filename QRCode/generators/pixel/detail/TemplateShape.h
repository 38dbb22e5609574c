#pragma once

#include "QRCode/generators/pixel/detail/CommonPixelGenerator.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/SettingsKey.h"

#include <memory>
#include <string_view>

namespace QRCode::PixelShape {

// The frame of the template pixel shapes that take the four inset and
// rotation keys ("insetGeneratorName", "insetFraction",
// "rotationGeneratorName", "rotationFraction") and read the two older
// Boolean keys ("useRandomInset", "useRandomRotation"). All state lives in
// the one common generator.
//
// A shape class derives from TemplateShape<Itself>, inherits its
// constructor and declares
//   static constexpr std::string_view Name, Title;
//   static constexpr PixelType pixelType;
// and, when its default inset fraction is not 0,
//   static constexpr double defaultInsetFraction;
template <class Derived> class TemplateShape : public QRCodePixelShapeGenerator {
public:
    // The generators are kept (not copied); the inset fraction is stored as
    // given, the rotation fraction limited to -1...1 (NaN as 0).
    TemplateShape(std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator, double insetFraction,
                  std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator, double rotationFraction)
        : common_(Derived::pixelType, std::move(insetGenerator), insetFraction, 0, std::move(rotationGenerator),
                  clampedRotationFraction(rotationFraction)) {}

    static constexpr double defaultInset() noexcept {
        if constexpr (requires { Derived::defaultInsetFraction; }) {
            return Derived::defaultInsetFraction;
        } else {
            return 0.0;
        }
    }

    // Numbers under "insetFraction" and "rotationFraction"; a text under
    // "insetGeneratorName" picks that generator (the fixed one when the name
    // is unknown) and then the Boolean key is not read; otherwise a true
    // "useRandomInset" picks the random generator. Rotation alike.
    static std::shared_ptr<Derived> Create(const SettingsDict& settings = SettingsDict()) {
        const double insetFraction =
            foundation::settingDouble(settings, SettingsKey::insetFraction).value_or(defaultInset());
        const double rotationFraction =
            foundation::settingDouble(settings, SettingsKey::rotationFraction).value_or(0.0);

        return std::make_shared<Derived>(CommonPixelGenerator::insetGeneratorFrom(settings), insetFraction,
                                         CommonPixelGenerator::rotationGeneratorFrom(settings), rotationFraction);
    }

    CommonPixelGenerator& common() noexcept { return common_; }
    const CommonPixelGenerator& common() const noexcept { return common_; }

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override {
        return std::make_shared<Derived>(common_.insetGenerator()->copyInsetGenerator(), common_.insetFraction(),
                                         common_.rotationGenerator()->copyRotationGenerator(),
                                         common_.rotationFraction());
    }

    void reset() override {
        common_.setInsetGenerator(PixelInset::Fixed::Create());
        common_.setInsetFraction(defaultInset());
        common_.setRotationGenerator(PixelRotation::Fixed::Create());
        common_.setRotationFraction(0.0);
    }

    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override {
        return common_.generatePath(matrix, size);
    }
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override {
        common_.generateOutlines(matrix, size, sink);
    }
    bool outlinesStayInModules() const override { return common_.outlinesStayInModules(); }
    bool outlinesByModule() const override { return true; }
    std::optional<double> alikeModulesOverhang() const override { return common_.alikeModulesOverhang(); }

    SettingsDict settings() const override {
        SettingsDict result = SettingsDict::object();
        common_.writeInsetAndRotationSettings(result);
        return result;
    }

    bool supportsSettingValueForKey(std::string_view key) const override {
        return key == SettingsKey::insetFraction || key == SettingsKey::insetGeneratorName ||
               key == SettingsKey::rotationFraction || key == SettingsKey::rotationGeneratorName;
    }

    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override {
        return common_.setInsetOrRotationSetting(value, key).value_or(false);
    }

    bool canGenerateEyeAndPupilShapes() const override { return true; }

    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }

private:
    CommonPixelGenerator common_;
};

} // namespace QRCode::PixelShape
