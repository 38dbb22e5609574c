#pragma once

#include "QRCode/generators/detail/WithoutSettings.h"
#include "QRCode/generators/pixel/detail/TemplateShape.h"

#include <span>

// The template pixel shapes: each draws one fixed outline (or, for the
// rounded rectangle, one rounded square) in every on-module through its
// common generator. The outlines themselves are built in
// TemplateShapeOutlines.cpp and registered in TemplateOutlines.cpp.

namespace QRCode::PixelShape {

// ---- Shapes with the four inset and rotation keys ----

class Arrow final : public TemplateShape<Arrow> {
public:
    static constexpr std::string_view Name = "arrow";
    static constexpr std::string_view Title = "Arrow";
    static constexpr PixelType pixelType = PixelType::arrow;
    using TemplateShape::TemplateShape;
};

class CRT final : public TemplateShape<CRT> {
public:
    static constexpr std::string_view Name = "crt";
    static constexpr std::string_view Title = "CRT";
    static constexpr PixelType pixelType = PixelType::crt;
    using TemplateShape::TemplateShape;
};

class Diagonal final : public TemplateShape<Diagonal> {
public:
    static constexpr std::string_view Name = "diagonal";
    static constexpr std::string_view Title = "Diagonal";
    static constexpr PixelType pixelType = PixelType::diagonal;
    using TemplateShape::TemplateShape;
};

class Diamond final : public TemplateShape<Diamond> {
public:
    static constexpr std::string_view Name = "diamond";
    static constexpr std::string_view Title = "Diamond";
    static constexpr PixelType pixelType = PixelType::diamond;
    using TemplateShape::TemplateShape;
};

class Flame final : public TemplateShape<Flame> {
public:
    static constexpr std::string_view Name = "flame";
    static constexpr std::string_view Title = "Flame";
    static constexpr PixelType pixelType = PixelType::flame;
    using TemplateShape::TemplateShape;
};

class Flower final : public TemplateShape<Flower> {
public:
    static constexpr std::string_view Name = "flower";
    static constexpr std::string_view Title = "Flower";
    static constexpr PixelType pixelType = PixelType::flower;
    using TemplateShape::TemplateShape;
};

class Gear final : public TemplateShape<Gear> {
public:
    static constexpr std::string_view Name = "gear";
    static constexpr std::string_view Title = "Gear";
    static constexpr PixelType pixelType = PixelType::gear;
    using TemplateShape::TemplateShape;
};

class Heart final : public TemplateShape<Heart> {
public:
    static constexpr std::string_view Name = "heart";
    static constexpr std::string_view Title = "Heart";
    static constexpr PixelType pixelType = PixelType::heart;
    using TemplateShape::TemplateShape;
};

class Hexa final : public TemplateShape<Hexa> {
public:
    static constexpr std::string_view Name = "hexa";
    static constexpr std::string_view Title = "Hexa";
    static constexpr PixelType pixelType = PixelType::hexa;
    using TemplateShape::TemplateShape;
};

// Drawn a little inside its cell by default, so that neighbours do not merge.
class Hexagon final : public TemplateShape<Hexagon> {
public:
    static constexpr std::string_view Name = "hexagon";
    static constexpr std::string_view Title = "Hexagon";
    static constexpr PixelType pixelType = PixelType::hexagon;
    static constexpr double defaultInsetFraction = 0.1;
    using TemplateShape::TemplateShape;
};

class Koala final : public TemplateShape<Koala> {
public:
    static constexpr std::string_view Name = "koala";
    static constexpr std::string_view Title = "Koala";
    static constexpr PixelType pixelType = PixelType::koala;
    using TemplateShape::TemplateShape;
};

class Leaf final : public TemplateShape<Leaf> {
public:
    static constexpr std::string_view Name = "leaf";
    static constexpr std::string_view Title = "Leaf";
    static constexpr PixelType pixelType = PixelType::leaf;
    using TemplateShape::TemplateShape;
};

class RoundedTriangle final : public TemplateShape<RoundedTriangle> {
public:
    static constexpr std::string_view Name = "roundedTriangle";
    static constexpr std::string_view Title = "RoundedTriangle";
    static constexpr PixelType pixelType = PixelType::roundedTriangle;
    using TemplateShape::TemplateShape;
};

class Sharp final : public TemplateShape<Sharp> {
public:
    static constexpr std::string_view Name = "sharp";
    static constexpr std::string_view Title = "Sharp";
    static constexpr PixelType pixelType = PixelType::sharp;
    using TemplateShape::TemplateShape;
};

class SpikyCircle final : public TemplateShape<SpikyCircle> {
public:
    static constexpr std::string_view Name = "spikyCircle";
    static constexpr std::string_view Title = "Spiky Circle";
    static constexpr PixelType pixelType = PixelType::spikyCircle;
    using TemplateShape::TemplateShape;
};

class Squircle final : public TemplateShape<Squircle> {
public:
    static constexpr std::string_view Name = "squircle";
    static constexpr std::string_view Title = "Squircle";
    static constexpr PixelType pixelType = PixelType::squircle;
    using TemplateShape::TemplateShape;

    double insetFraction() const noexcept { return common().insetFraction(); }
};

class Star final : public TemplateShape<Star> {
public:
    static constexpr std::string_view Name = "star";
    static constexpr std::string_view Title = "Star";
    static constexpr PixelType pixelType = PixelType::star;
    using TemplateShape::TemplateShape;
};

class Wave final : public TemplateShape<Wave> {
public:
    static constexpr std::string_view Name = "wave";
    static constexpr std::string_view Title = "Wave";
    static constexpr PixelType pixelType = PixelType::wave;
    using TemplateShape::TemplateShape;
};

class Wex final : public TemplateShape<Wex> {
public:
    static constexpr std::string_view Name = "wex";
    static constexpr std::string_view Title = "Wex";
    static constexpr PixelType pixelType = PixelType::wex;
    using TemplateShape::TemplateShape;
};

// What Circle and RoundedRect share: drawing every module through their
// common generator, and the class's names.
template <class Self> class CommonPixelShape : public QRCodePixelShapeGenerator {
public:
    double insetFraction() const noexcept { return common_.insetFraction(); }
    const CommonPixelGenerator& common() const noexcept { return common_; }

    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override {
        return common_.generatePath(matrix, size);
    }
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override {
        common_.generateOutlines(matrix, size, sink);
    }
    bool outlinesStayInModules() const override { return common_.outlinesStayInModules(); }
    bool outlinesByModule() const override { return true; }
    std::optional<double> alikeModulesOverhang() const override { return common_.alikeModulesOverhang(); }
    bool canGenerateEyeAndPupilShapes() const override { return true; }
    std::string_view name() const noexcept override { return Self::Name; }
    std::string_view title() const noexcept override { return Self::Title; }

protected:
    explicit CommonPixelShape(CommonPixelGenerator common) : common_(std::move(common)) {}

    CommonPixelGenerator common_;
};

// ---- Circle: an inset but no rotation ----

// A circle never turns, so it takes only the inset keys: "insetFraction",
// "insetGeneratorName" and the older Boolean "useRandomInset" (which it
// reports as supported but never writes).
class Circle final : public CommonPixelShape<Circle> {
public:
    static constexpr std::string_view Name = "circle";
    static constexpr std::string_view Title = "Circle";
    static constexpr PixelType pixelType = PixelType::circle;

    // The generator is kept (not copied); the fraction is stored as given.
    Circle(std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator, double insetFraction);
    static std::shared_ptr<Circle> Create(const SettingsDict& settings = SettingsDict());

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override;
    void reset() override;
    SettingsDict settings() const override;
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    bool supportsSettingValueForKey(std::string_view key) const override;
};

// ---- RoundedRect: the four keys plus a corner radius ----

// Every module a rounded square of its inset rectangle; the corner radius is
// cornerRadiusFraction x half the rectangle's side (1 gives a circle).
class RoundedRect final : public CommonPixelShape<RoundedRect> {
public:
    static constexpr std::string_view Name = "roundedRect";
    static constexpr std::string_view Title = "Rounded rectangle";
    static constexpr PixelType pixelType = PixelType::roundedRect;
    // An inset that suits the shape; offered to callers, not applied here.
    static constexpr double DefaultInset = 0.1;
    // The corner radius fraction of a new or reset shape.
    static constexpr double DefaultCornerRadius = 0.65;

    // The generators are kept (not copied). The corner radius fraction is
    // limited to 0...1 and the rotation fraction to -1...1 (NaN as 0 for
    // both); the inset fraction is stored as given.
    RoundedRect(double cornerRadiusFraction, std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator,
                double insetFraction, std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator,
                double rotationFraction);
    static std::shared_ptr<RoundedRect> Create(const SettingsDict& settings = SettingsDict());

    double cornerRadiusFraction() const noexcept { return common_.cornerRadiusFraction(); }

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override;
    void reset() override;
    SettingsDict settings() const override;
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    bool supportsSettingValueForKey(std::string_view key) const override;
};

// ---- Shiny and Stitch: no settings at all ----

// A template shape with no inset, no rotation and no settings: every
// instance draws the same, Create ignores its dictionary and every key is
// refused.
template <class Derived> class FixedTemplateShape : public WithoutSettings<Derived, QRCodePixelShapeGenerator> {
public:
    FixedTemplateShape()
        : common_(Derived::pixelType, PixelInset::Fixed::Create(), 0, 0, PixelRotation::Fixed::Create(), 0) {}

    const CommonPixelGenerator& common() const noexcept { return common_; }

    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override {
        return common_.generatePath(matrix, size);
    }
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override {
        common_.generateOutlines(matrix, size, sink);
    }
    bool outlinesStayInModules() const override { return common_.outlinesStayInModules(); }
    bool outlinesByModule() const override { return true; }
    std::optional<double> alikeModulesOverhang() const override { return common_.alikeModulesOverhang(); }
    bool canGenerateEyeAndPupilShapes() const override { return true; }

private:
    CommonPixelGenerator common_;
};

// Alternates a rounded diamond and a four-pointed star like the squares of a
// chessboard, each a quarter larger than its module.
class Shiny final : public FixedTemplateShape<Shiny> {
public:
    static constexpr std::string_view Name = "shiny";
    static constexpr std::string_view Title = "Shiny";
    static constexpr PixelType pixelType = PixelType::shiny;
};

// Two curved halves per module with a narrow gap between them.
class Stitch final : public FixedTemplateShape<Stitch> {
public:
    static constexpr std::string_view Name = "stitch";
    static constexpr std::string_view Title = "Stitch";
    static constexpr PixelType pixelType = PixelType::stitch;
};

// Every template shape class, for the pixel shape registry.
std::span<const PixelShapeClass> templatePixelShapes();

// ---- The outlines, drawn for the box (0, 0)...(10, 10); the heart and the
// koala reach a little past its lower edge ----

gfx::Path arrowTemplate();
gfx::Path crtTemplate();
gfx::Path circleTemplate();
gfx::Path diagonalTemplate();
gfx::Path diamondTemplate();
gfx::Path flameTemplate();
gfx::Path flowerTemplate();
gfx::Path gearTemplate();
gfx::Path heartTemplate();
gfx::Path hexaTemplate();
gfx::Path hexagonTemplate();
gfx::Path koalaTemplate();
gfx::Path leafTemplate();
gfx::Path roundedTriangleTemplate();
gfx::Path sharpTemplate();
gfx::Path shinyTemplate();    // drawn where row + column is even
gfx::Path shinyOddTemplate(); // drawn where row + column is odd
gfx::Path spikyCircleTemplate();
gfx::Path squircleTemplate();
gfx::Path starTemplate();
gfx::Path stitchTemplate();
gfx::Path waveTemplate();
gfx::Path wexTemplate();

} // namespace QRCode::PixelShape
