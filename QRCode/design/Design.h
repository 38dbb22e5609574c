#pragma once

#include "QRCode/design/Shape.h"
#include "QRCode/design/Style.h"
#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/Color.h"

#include <concepts>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace QRCode {

// The whole look of a styled code apart from its logo: the shape (which
// generators draw each part), the style (which fills paint them) and the
// number of extra quiet-zone modules around the symbol.
//
// A design owns its shape and style through shared pointers: the fluent
// setters change the style object the design holds, so a caller that kept
// that style sees the change. copy() makes a design that shares nothing.
class Design {
public:
    // The largest extra quiet zone, in modules on every side. Larger values
    // (from settings or callers) are limited to it: far beyond it the symbol
    // would be too small to see, and the renderer's sizes would overflow.
    static constexpr std::uint64_t maxAdditionalQuietZonePixels = 1024;

    // A default shape, a default style, no extra quiet zone.
    Design();
    // The default design with foregroundColor(foreground), then
    // backgroundColor(background).
    Design(const gfx::Color& foregroundColor, const std::optional<gfx::Color>& backgroundColor);

    Design(const Design&) = delete;
    Design& operator=(const Design&) = delete;

    static std::shared_ptr<Design> create() { return std::make_shared<Design>(); }

    const std::shared_ptr<Shape>& shape() const { return shape_; }
    // Null throws QRCodeException(noGeneratorSet).
    void setShape(std::shared_ptr<Shape> shape);
    const std::shared_ptr<Style>& style() const { return style_; }
    // Null throws QRCodeException(noGeneratorSet).
    void setStyle(std::shared_ptr<Style> style);

    std::uint64_t additionalQuietZonePixels() const { return additionalQuietZonePixels_; }
    // Any arithmetic value: negative and non-finite give 0, fractions are
    // truncated, values above maxAdditionalQuietZonePixels are limited to it.
    template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) void setAdditionalQuietZonePixels(T value) {
        additionalQuietZonePixels_ = guardedQuietZonePixels(value);
    }

    // Fluent setters: each changes the current style and returns this design.
    // The on-pixel fill becomes a solid fill of the colour; eye and pupil
    // fills are cleared so they follow it.
    Design& foregroundColor(const gfx::Color& color);
    // The same with any fill. Null throws QRCodeException(noGeneratorSet).
    Design& foregroundStyle(QRCodeFillStylePtr fill);
    // The background becomes a solid fill of the colour; without a colour, a
    // solid fill of the standard clear colour (not "no background").
    Design& backgroundColor(const std::optional<gfx::Color>& color);

    // A design sharing nothing with this one; a fill's copy error passes on.
    std::shared_ptr<Design> copy() const;

    // {"shape": ..., "style": ..., "additionalQuietZonePixels" (only when not
    // 0)}. The style's errors pass on.
    SettingsDict settings() const;
    // The settings as compact JSON. The style's errors and
    // foundation::JsonError (a number that is not finite) pass on.
    std::vector<std::uint8_t> jsonData() const;

    // A missing or unreadable "shape" or "style" keeps the default one (with
    // its white background); only settings nested deeper than
    // foundation::maxJsonDepth fail (cannotCreateGenerator).
    static std::shared_ptr<Design> Create(const SettingsDict& settings);
    // JSON that is malformed or not an object throws
    // QRCodeException(cannotCreateGenerator).
    static std::shared_ptr<Design> CreateFromJsonData(std::span<const std::uint8_t> jsonData);
    static std::shared_ptr<Design> CreateFromJsonData(std::string_view jsonText);

    // The guard applied to every extra quiet zone value.
    template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) static constexpr std::uint64_t
        guardedQuietZonePixels(T value) {
        if constexpr (std::is_floating_point_v<T>) {
            // NaN fails the first test, infinities the second.
            if (!(value > 0) || !(value < std::numeric_limits<T>::infinity())) return 0;
            if (value >= T(maxAdditionalQuietZonePixels)) return maxAdditionalQuietZonePixels;
            return std::uint64_t(value);
        } else {
            if constexpr (std::is_signed_v<T>) {
                if (value <= 0) return 0;
            }
            const auto v = static_cast<std::make_unsigned_t<T>>(value);
            return v > maxAdditionalQuietZonePixels ? maxAdditionalQuietZonePixels : std::uint64_t(v);
        }
    }

private:
    std::shared_ptr<Shape> shape_;
    std::shared_ptr<Style> style_;
    std::uint64_t additionalQuietZonePixels_ = 0;
};

using DesignPtr = std::shared_ptr<Design>;

} // namespace QRCode
