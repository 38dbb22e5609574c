#pragma once

#include "QRCode/generators/PixelShapeGenerator.h"

namespace QRCode::PixelShape {

// Every on-module a square whose four corners are each, at random but the
// same on every rendering, either sharp or fully rounded. No settings.
class Abstract final : public QRCodePixelShapeGenerator {
public:
    static constexpr std::string_view Name = "abstract";
    static constexpr std::string_view Title = "Abstract";
    // The generator is seeded afresh with this value for every path.
    static constexpr std::uint64_t seed = 123456;

    Abstract() = default;
    static std::shared_ptr<Abstract> Create(const SettingsDict& = SettingsDict()) {
        return std::make_shared<Abstract>();
    }

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override { return Create(); }
    void reset() override {}
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
    // Each module's figure lies in its cell, meeting its neighbours only
    // along the cells' sides.
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override;
    bool outlinesByModule() const override { return true; }
    bool outlinesStayInModules() const override { return true; }
    SettingsDict settings() const override { return SettingsDict::object(); }
    bool setSettingValue(const OptionalSettingsValue&, std::string_view) override { return false; }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool canGenerateEyeAndPupilShapes() const override { return true; }
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }
};

} // namespace QRCode::PixelShape
