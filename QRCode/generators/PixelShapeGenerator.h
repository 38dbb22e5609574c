#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/GeneratorRegistry.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <optional>
#include <string_view>

namespace QRCode {

// A pixel shape: turns the on-modules of a matrix into one path.
//
// Every shape class also has class-level members, which registries and
// callers use without an instance:
//   static constexpr std::string_view Name;   // unique, stored in documents
//   static constexpr std::string_view Title;  // shown in pickers
//   static std::shared_ptr<Class> Create(const QRCode::SettingsDict& settings);
// Create never fails: unknown keys are ignored, missing keys or values of the
// wrong kind take the class's defaults (a null SettingsDict means none).
//
// A shape may keep state while drawing (random insets restart and advance),
// so one shape serves one rendering at a time; concurrent renderings draw
// with copies (copyShape).
class QRCodePixelShapeGenerator {
public:
    virtual ~QRCodePixelShapeGenerator() = default;

    // An independent shape of the same class with the same settings.
    virtual std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const = 0;
    // Back to the class's default settings (nothing where there are none).
    virtual void reset() = 0;
    // The path of every on-module, laid out in `size`: cells of
    // min(width, height) / n, the grid centred, row 0 at the top (y down).
    virtual gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) = 0;
    virtual ::QRCode::SettingsDict settings() const = 0;
    // Applies one setting; true when the key was understood and the value
    // taken. std::nullopt is "no value".
    virtual bool setSettingValue(const ::QRCode::OptionalSettingsValue& value, std::string_view key) = 0;
    virtual bool supportsSettingValueForKey(std::string_view key) const = 0;
    // Whether eye and pupil shapes may draw with this shape.
    virtual bool canGenerateEyeAndPupilShapes() const = 0;

    // The class's Name and Title.
    virtual std::string_view name() const noexcept = 0;
    virtual std::string_view title() const noexcept = 0;

    // The value under `key` of settings() as T (double, std::int64_t, bool,
    // std::string or SettingsValue), or nothing when missing or of another kind.
    template <class T>
    std::optional<T> settingValue(std::string_view key) const
    {
        return ::QRCode::settingValueIn<T>(settings(), key);
    }
};

} // namespace QRCode

namespace QRCode {

using PixelShapeClass = GeneratorClass<QRCodePixelShapeGenerator>;

// The stored form {"type": Name, "settings": settings()}.
inline SettingsDict pixelShapeArchive(const QRCodePixelShapeGenerator& generator)
{
    return generatorArchive(generator);
}

} // namespace QRCode
