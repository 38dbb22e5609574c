#include "QRCode/generators/pixel/detail/CommonPixelGenerator.h"

#include "QRCode/generators/SettingsKey.h"
#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"
#include "QRCode/generators/pixel/detail/TemplateOutlines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace QRCode::PixelShape {

namespace {

constexpr std::array<std::string_view, CommonPixelGenerator::pixelTypeCount> kRawValues{
    "square", "circle",          "crt",   "roundedRect", "squircle", "sharp",       "star",
    "heart",  "flower",          "shiny", "arrow",       "wave",     "spikyCircle", "gear",
    "stitch", "hexagon",         "hexa",  "wex",         "diamond",  "koala",       "diagonal",
    "flame",  "roundedTriangle", "leaf",
};

using neighbours::TileSink;

// Scale by s, move the origin to (ox, oy), then turn by `turns` about
// (cx, cy): composed by hand, since it runs once per module.
gfx::AffineTransform scaleMoveTurn(double s, double ox, double oy, double cx, double cy, double turns) {
    if (turns == 0) return {s, 0, 0, s, ox, oy};
    const double angle = turns * 2 * std::numbers::pi;
    const double cosine = std::cos(angle), sine = std::sin(angle);
    const double dx = ox - cx, dy = oy - cy;
    return {s * cosine, s * sine, -s * sine, s * cosine, cosine * dx - sine * dy + cx, sine * dx + cosine * dy + cy};
}

} // namespace

const std::array<PixelType, CommonPixelGenerator::pixelTypeCount> CommonPixelGenerator::allPixelTypes = [] {
    std::array<PixelType, pixelTypeCount> all{};
    for (std::size_t i = 0; i < pixelTypeCount; ++i) all[i] = static_cast<PixelType>(i);
    return all;
}();

std::string_view CommonPixelGenerator::rawValue(PixelType type) noexcept {
    const auto i = static_cast<std::size_t>(type);
    return i < kRawValues.size() ? kRawValues[i] : std::string_view();
}

std::optional<PixelType> CommonPixelGenerator::pixelTypeFromRawValue(std::string_view raw) noexcept {
    for (std::size_t i = 0; i < kRawValues.size(); ++i) {
        if (kRawValues[i] == raw) return static_cast<PixelType>(i);
    }
    return std::nullopt;
}

double clampedRotationFraction(double value) noexcept { return pixelmath::clampedFraction(value, -1, 1); }

CommonPixelGenerator::CommonPixelGenerator(PixelType pixelType,
                                           std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator,
                                           double insetFraction, double cornerRadiusFraction,
                                           std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator,
                                           double rotationFraction)
    : pixelType_(pixelType), insetGenerator_(insetGenerator ? std::move(insetGenerator) : PixelInset::Fixed::Create()),
      insetFraction_(insetFraction), cornerRadiusFraction_(cornerRadiusFraction),
      rotationGenerator_(rotationGenerator ? std::move(rotationGenerator) : PixelRotation::Fixed::Create()),
      rotationFraction_(rotationFraction) {}

void CommonPixelGenerator::setInsetGenerator(std::shared_ptr<QRCodePixelInsetGenerator> generator) {
    insetGenerator_ = generator ? std::move(generator) : PixelInset::Fixed::Create();
}

void CommonPixelGenerator::setRotationGenerator(std::shared_ptr<QRCodePixelRotationGenerator> generator) {
    rotationGenerator_ = generator ? std::move(generator) : PixelRotation::Fixed::Create();
}

gfx::Path CommonPixelGenerator::generatePath(const BoolMatrix& matrix, gfx::Size size) {
    const gfx::Path* outline = pixelType_ != PixelType::roundedRect ? templatePath(pixelType_, 0) : nullptr;
    const gfx::Path* oddOutline = pixelType_ == PixelType::shiny ? templatePath(pixelType_, 1) : outline;
    const std::size_t perModule =
        outline != nullptr ? std::max(outline->size(), (oddOutline != nullptr ? oddOutline : outline)->size()) : 10;
    return gfx::pathOfOutlines(neighbours::onModuleCount(matrix) * perModule,
                               [&](gfx::OutlineSink& sink) { generateOutlines(matrix, size, sink); });
}

bool CommonPixelGenerator::outlinesStayInModules() const {
    if (!(insetFraction_ >= 0) || rotationFraction_ != 0) return false;
    if (pixelType_ == PixelType::roundedRect) return true;
    // Shiny's outlines are scaled so that template units 1...9 span the module.
    const double low = pixelType_ == PixelType::shiny ? 1 : 0, high = pixelType_ == PixelType::shiny ? 9 : 10;
    for (int index = 0; index < (pixelType_ == PixelType::shiny ? 2 : 1); ++index) {
        const gfx::Path* outline = templatePath(pixelType_, index);
        if (outline == nullptr) return false;
        const gfx::Rect box = outline->pathBoundingBox();
        if (!(box.minX() >= low && box.minY() >= low && box.maxX() <= high && box.maxY() <= high)) return false;
    }
    return true;
}

std::optional<double> CommonPixelGenerator::alikeModulesOverhang() const {
    // The fixed generator gives every module the fraction, any generator
    // gives a zero fraction to every module.
    const bool sameInsets = insetFraction_ == 0 || insetGenerator_->name() == PixelInset::Fixed::Name;
    if (!sameInsets || rotationFraction_ != 0) return std::nullopt;
    // The figure's place in a unit cell, as generateOutlines draws it.
    const double d = 0.5 * insetFraction_, w = 1 - 2 * d;
    if (!std::isfinite(d) || !(w >= 0)) return std::nullopt;
    double origin = d, scale = w / 10;
    if (pixelType_ == PixelType::stitch) origin = 0;
    if (pixelType_ == PixelType::shiny) origin = -w / 8, scale = w / 8;
    const auto reach = [&](const gfx::Rect& box) {
        return std::max({0.0, -(origin + scale * box.minX()), -(origin + scale * box.minY()),
                         origin + scale * box.maxX() - 1, origin + scale * box.maxY() - 1});
    };
    if (pixelType_ == PixelType::roundedRect) return reach(gfx::Rect(0, 0, 10, 10));
    double overhang = 0;
    for (int index = 0; index < (pixelType_ == PixelType::shiny ? 2 : 1); ++index) {
        const gfx::Path* outline = templatePath(pixelType_, index);
        if (outline == nullptr) return std::nullopt;
        overhang = std::max(overhang, reach(outline->pathBoundingBox()));
    }
    return overhang;
}

void CommonPixelGenerator::generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& path) {
    insetGenerator_->reset();
    rotationGenerator_->reset();

    // An empty matrix or a size that is not positive and finite has nothing
    // to draw into.
    const auto layout = neighbours::ModuleLayout::of(matrix, size);
    if (!layout) return;
    const std::int64_t n = layout->n;
    const double cell = layout->cell;
    const double xOffset = layout->x0;
    const double yOffset = layout->y0;
    const double half = cell / 2;

    const gfx::Path* outline = nullptr;
    const gfx::Path* oddOutline = nullptr;
    if (pixelType_ != PixelType::roundedRect) {
        outline = templatePath(pixelType_, 0);
        if (outline == nullptr) return;
        oddOutline = pixelType_ == PixelType::shiny ? templatePath(pixelType_, 1) : outline;
        if (oddOutline == nullptr) oddOutline = outline;
    }

    QRCodePixelInsetGenerator& insets = *insetGenerator_;
    QRCodePixelRotationGenerator& rotations = *rotationGenerator_;
    const std::uint8_t* cells = matrix.data();

    for (std::int64_t row = 0; row < n; ++row) {
        const double y = static_cast<double>(row) * cell + yOffset;
        const std::uint8_t* rowCells = cells + row * n;
        for (std::int64_t column = 0; column < n; ++column) {
            if (rowCells[column] == 0) continue;
            const double x = static_cast<double>(column) * cell + xOffset;

            const double inset = insets.insetValueFor(matrix, row, column, insetFraction_);
            // Asked for every on-module, drawn or not, so a random sequence
            // stays in step with the modules.
            double turns = rotations.rotationValueFor(matrix, row, column, rotationFraction_);

            // The cell inset by d on every side (grown for a negative d);
            // nothing is left when d passes half the cell or is not finite.
            const double d = cell * 0.5 * inset;
            const double w = cell - 2 * d;
            if (!std::isfinite(d) || !(w >= 0)) continue;
            const gfx::Rect insetRect(x + d, y + d, w, w);
            if (!std::isfinite(turns)) turns = 0;
            const double s = w / 10;

            switch (pixelType_) {
            case PixelType::roundedRect: {
                const double radius = insetRect.height() * 0.5 * cornerRadiusFraction_;
                TileSink(path, scaleMoveTurn(1, 0, 0, x + half, y + half, turns))
                    .appendRoundedRect(insetRect, radius, radius);
                break;
            }
            case PixelType::circle:
                TileSink(path, scaleMoveTurn(s, insetRect.minX(), insetRect.minY(), 0, 0, 0)).appendFixed(*outline);
                break;
            case PixelType::stitch: TileSink(path, scaleMoveTurn(s, x, y, 0, 0, 0)).appendFixed(*outline); break;
            case PixelType::shiny:
                // Scaled by an eighth of the width and moved back by one:
                // template units 1...9 span the module.
                TileSink(path, scaleMoveTurn(w / 8, x - w / 8, y - w / 8, 0, 0, 0))
                    .appendFixed(((row + column) % 2 != 0) ? *oddOutline : *outline);
                break;
            default:
                TileSink(path, scaleMoveTurn(s, insetRect.minX(), insetRect.minY(), x + half, y + half, turns))
                    .appendFixed(*outline);
                break;
            }
            path.endFigure();
        }
    }
}

bool CommonPixelGenerator::setInsetFraction(const OptionalSettingsValue& settingValue) {
    if (!settingValue) {
        insetFraction_ = 0;
        return true;
    }
    const auto value = foundation::settingDouble(*settingValue);
    if (!value) return false;
    insetFraction_ = *value;
    return true;
}

bool CommonPixelGenerator::setInsetGenerator(const OptionalSettingsValue& settingValue) {
    if (!settingValue || !settingValue->is_string()) return false;
    auto generator = PixelInset::generator(settingValue->get_ref<const std::string&>());
    if (!generator) return false;
    insetGenerator_ = std::move(generator);
    return true;
}

bool CommonPixelGenerator::setRotationFraction(const OptionalSettingsValue& settingValue) {
    if (!settingValue) {
        rotationFraction_ = 0;
        return true;
    }
    const auto value = foundation::settingDouble(*settingValue);
    if (!value) return false;
    // Stored as given: only creation and copying limit it. A text is refused
    // rather than silently taken as 0, so the caller learns it was not used.
    rotationFraction_ = std::isnan(*value) ? 0 : *value;
    return true;
}

bool CommonPixelGenerator::setRotationGenerator(const OptionalSettingsValue& settingValue) {
    if (!settingValue || !settingValue->is_string()) return false;
    auto generator = PixelRotation::generator(settingValue->get_ref<const std::string&>());
    if (!generator) return false;
    rotationGenerator_ = std::move(generator);
    return true;
}

bool CommonPixelGenerator::setCornerRadiusFraction(const OptionalSettingsValue& settingValue) {
    if (!settingValue) {
        cornerRadiusFraction_ = 0;
        return true;
    }
    const auto value = foundation::settingDouble(*settingValue);
    if (!value) return false;
    cornerRadiusFraction_ = pixelmath::unitFraction(*value);
    return true;
}

namespace {

bool isTrue(const OptionalSettingsValue& value) { return value && foundation::settingBool(*value).value_or(false); }

} // namespace

void CommonPixelGenerator::setUseRandomInset(const OptionalSettingsValue& settingValue) {
    if (isTrue(settingValue)) {
        insetGenerator_ = PixelInset::Random::Create();
    } else {
        insetGenerator_ = PixelInset::Fixed::Create();
    }
}

void CommonPixelGenerator::setUseRandomRotation(const OptionalSettingsValue& settingValue) {
    if (isTrue(settingValue)) {
        rotationGenerator_ = PixelRotation::Random::Create();
    } else {
        rotationGenerator_ = PixelRotation::Fixed::Create();
    }
}

std::optional<bool> CommonPixelGenerator::setInsetOrRotationSetting(const OptionalSettingsValue& value,
                                                                    std::string_view key) {
    if (key == SettingsKey::insetFraction) return setInsetFraction(value);
    if (key == SettingsKey::insetGeneratorName) return setInsetGenerator(value);
    if (key == SettingsKey::rotationFraction) return setRotationFraction(value);
    if (key == SettingsKey::rotationGeneratorName) return setRotationGenerator(value);
    if (key == SettingsKey::useRandomInset) {
        setUseRandomInset(value);
        return true;
    }
    if (key == SettingsKey::useRandomRotation) {
        setUseRandomRotation(value);
        return true;
    }
    return std::nullopt;
}

void CommonPixelGenerator::writeInsetAndRotationSettings(SettingsDict& result) const {
    const std::string_view insetName = insetGeneratorName(*insetGenerator_);
    const std::string_view rotationName = rotationGeneratorName(*rotationGenerator_);
    result[std::string(SettingsKey::insetGeneratorName)] = std::string(insetName);
    result[std::string(SettingsKey::insetFraction)] = insetFraction_;
    result[std::string(SettingsKey::rotationGeneratorName)] = std::string(rotationName);
    result[std::string(SettingsKey::rotationFraction)] = rotationFraction_;
    if (insetName == PixelInset::Random::Name) result[std::string(SettingsKey::useRandomInset)] = true;
    if (rotationName == PixelRotation::Random::Name) result[std::string(SettingsKey::useRandomRotation)] = true;
}

std::shared_ptr<QRCodePixelInsetGenerator> CommonPixelGenerator::insetGeneratorFrom(const SettingsDict& settings) {
    std::shared_ptr<QRCodePixelInsetGenerator> inset;
    if (const auto name = foundation::settingString(settings, SettingsKey::insetGeneratorName)) {
        inset = PixelInset::generator(*name);
    } else if (foundation::settingBool(settings, SettingsKey::useRandomInset).value_or(false)) {
        inset = PixelInset::Random::Create();
    }
    return inset ? inset : PixelInset::Fixed::Create();
}

std::shared_ptr<QRCodePixelRotationGenerator> CommonPixelGenerator::rotationGeneratorFrom(
    const SettingsDict& settings) {
    std::shared_ptr<QRCodePixelRotationGenerator> rotation;
    if (const auto name = foundation::settingString(settings, SettingsKey::rotationGeneratorName)) {
        rotation = PixelRotation::generator(*name);
    } else if (foundation::settingBool(settings, SettingsKey::useRandomRotation).value_or(false)) {
        rotation = PixelRotation::Random::Create();
    }
    return rotation ? rotation : PixelRotation::Fixed::Create();
}

} // namespace QRCode::PixelShape
