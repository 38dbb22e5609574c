#pragma once

// What the eye shape classes share: outline tables, the "flip" setting and
// its mirrors, fraction settings, shared default pupils and a base for the
// classes without settings.

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/core/Flip.h"
#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/detail/WithoutSettings.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace QRCode::EyeShape {

// A setting value as a real number: integers, reals and Booleans count as
// numbers; a missing value, text and everything else do not.
std::optional<double> numberSetting(const OptionalSettingsValue& value);
// A setting value as an integer, fractions truncated toward zero; nothing for
// a non-number or a number no integer can hold (NaN, infinities, overflow).
std::optional<std::int64_t> integerSetting(const OptionalSettingsValue& value);

// One default pupil per eye class (`EyeClass` is the tag), made on first use
// by the pupil's Create with no settings and shared by every eye of the
// class and their copies. Creation is safe when several threads ask first.
template <class EyeClass, class Pupil>
std::shared_ptr<QRCodePupilShapeGenerator> sharedDefaultPupil()
{
    static const std::shared_ptr<QRCodePupilShapeGenerator> pupil = Pupil::Create(SettingsDict());
    return pupil;
}

// An eye class without settings.
template <class Derived>
using EyeWithoutSettings = WithoutSettings<Derived, QRCodeEyeShapeGenerator>;

} // namespace QRCode::EyeShape
