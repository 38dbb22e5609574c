#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/GeneratorRegistry.h"
#include "QRCode/generators/PixelInsetGenerator.h"
#include "QRCode/generators/PixelRotationGenerator.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/OutlineSink.h"
#include "platform/gfx/Path.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace QRCode::PixelShape {

// The recipe that the template pixel shapes share: one fixed outline, drawn
// in a 10 x 10 unit cell, scaled into each on-module's cell, shrunk by the
// module's inset and turned by the module's rotation. A template shape owns
// one and forwards generatePath to it.
class CommonPixelGenerator {
public:
    // Which outline to draw; the raw value of each case is its name.
    enum class PixelType : std::uint8_t {
        square,
        circle,
        crt,
        roundedRect,
        squircle,
        sharp,
        star,
        heart,
        flower,
        shiny,
        arrow,
        wave,
        spikyCircle,
        gear,
        stitch,
        hexagon,
        hexa,
        wex,
        diamond,
        koala,
        diagonal,
        flame,
        roundedTriangle,
        leaf,
    };
    static constexpr std::size_t pixelTypeCount = 24;
    static const std::array<PixelType, pixelTypeCount> allPixelTypes;
    static std::string_view rawValue(PixelType type) noexcept;
    // The case whose raw value is `raw` exactly; nothing for any other text.
    static std::optional<PixelType> pixelTypeFromRawValue(std::string_view raw) noexcept;

    // The values are stored as given (the owning shape clamps what it must).
    // A null generator is replaced by the fixed one.
    CommonPixelGenerator(PixelType pixelType, std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator,
                         double insetFraction, double cornerRadiusFraction,
                         std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator, double rotationFraction);

    PixelType pixelType() const noexcept { return pixelType_; }

    const std::shared_ptr<QRCodePixelInsetGenerator>& insetGenerator() const noexcept { return insetGenerator_; }
    void setInsetGenerator(std::shared_ptr<QRCodePixelInsetGenerator> generator);
    double insetFraction() const noexcept { return insetFraction_; }
    void setInsetFraction(double value) noexcept { insetFraction_ = value; }
    // Corner rounding of "roundedRect" only.
    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }
    void setCornerRadiusFraction(double value) noexcept { cornerRadiusFraction_ = value; }
    const std::shared_ptr<QRCodePixelRotationGenerator>& rotationGenerator() const noexcept {
        return rotationGenerator_;
    }
    void setRotationGenerator(std::shared_ptr<QRCodePixelRotationGenerator> generator);
    double rotationFraction() const noexcept { return rotationFraction_; }
    void setRotationFraction(double value) noexcept { rotationFraction_ = value; }

    // One closed figure per on-module, in row-major module order. Restarts
    // both generators first, so the same matrix always gives the same path.
    // A module whose inset leaves no rectangle (or is not finite) draws
    // nothing; a type whose outline is not registered draws nothing at all.
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size);
    // The same figures handed to `sink`, each module's ended with endFigure().
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
    // Whether every module's figure stays inside its cell: the outline fits
    // its box, no inset grows a module and nothing turns.
    bool outlinesStayInModules() const;
    // How far (in cells) every module's figure reaches past its cell when
    // all modules draw the same figure (shiny: one of two, by parity): no
    // inset varies from module to module and nothing turns. Nothing else.
    std::optional<double> alikeModulesOverhang() const;

    // The setters behind the settings keys; each answers whether the value
    // was taken (std::nullopt is "no value").
    // "insetFraction": none -> 0; a number -> as given; else refused.
    bool setInsetFraction(const OptionalSettingsValue& settingValue);
    // "insetGeneratorName": the Name of an inset generator -> a new one of
    // that class; anything else refused.
    bool setInsetGenerator(const OptionalSettingsValue& settingValue);
    // "rotationFraction": none -> 0; a number -> as given (NaN as 0); else
    // refused.
    bool setRotationFraction(const OptionalSettingsValue& settingValue);
    // "rotationGeneratorName": as for the inset generator.
    bool setRotationGenerator(const OptionalSettingsValue& settingValue);
    // "cornerRadiusFraction": none -> 0; a number -> limited to 0...1 (NaN as
    // 0); else refused.
    bool setCornerRadiusFraction(const OptionalSettingsValue& settingValue);
    // The older Boolean keys "useRandomInset" and "useRandomRotation": a true
    // value picks a new random generator, anything else (no value included)
    // a new fixed one; always taken.
    void setUseRandomInset(const OptionalSettingsValue& settingValue);
    void setUseRandomRotation(const OptionalSettingsValue& settingValue);

    // The keys of the shapes with inset and rotation: "insetFraction",
    // "insetGeneratorName", "rotationFraction" and "rotationGeneratorName"
    // through the setters above, the two older Boolean keys too; nothing
    // for any other key.
    std::optional<bool> setInsetOrRotationSetting(const OptionalSettingsValue& value, std::string_view key);
    // Those four keys written into `result`, and each older Boolean key only
    // when its generator is the random one (never as false), for readers
    // that only know them.
    void writeInsetAndRotationSettings(SettingsDict& result) const;

    // The generators a stored shape names: a text under the generator-name
    // key wins (the fixed generator when the name is unknown) and the older
    // Boolean key is then not read; otherwise a true Boolean key picks the
    // random generator; otherwise the fixed one.
    static std::shared_ptr<QRCodePixelInsetGenerator> insetGeneratorFrom(const SettingsDict& settings);
    static std::shared_ptr<QRCodePixelRotationGenerator> rotationGeneratorFrom(const SettingsDict& settings);

private:
    PixelType pixelType_;
    std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator_;
    double insetFraction_;
    double cornerRadiusFraction_;
    std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator_;
    double rotationFraction_;
};

using PixelType = CommonPixelGenerator::PixelType;

// A rotation fraction as shapes store it at creation and copy: limited to
// -1...1, NaN as 0.
double clampedRotationFraction(double value) noexcept;

} // namespace QRCode::PixelShape
