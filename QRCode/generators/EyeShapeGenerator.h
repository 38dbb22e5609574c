#pragma once

#include "QRCode/generators/GeneratorRegistry.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <optional>
#include <string_view>

namespace QRCode {

// An eye shape: the ring of a 7 x 7 finder pattern without its pupil, drawn
// in a 90 x 90 unit box (10 units per module, a one-module margin: the
// finder's outer edge is 10...80, the ring's inner edge 20...70).
//
// Every eye class also has the class-level members
//   static constexpr std::string_view Name, Title;
//   static std::shared_ptr<Class> Create(const QRCode::SettingsDict& settings);
// Create never fails (a null SettingsDict means none).
class QRCodeEyeShapeGenerator : public QRCodeShapeGenerator {
public:
    // A new generator of the same class with the same settings.
    virtual std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const = 0;
    // The ring's outline.
    virtual gfx::Path eyePath() = 0;
    // The area behind the eye, filled with the eye background colour.
    virtual gfx::Path eyeBackgroundPath() = 0;
    // The pupil that suits this eye. It may be one object shared by every
    // eye of the class (changing its settings changes it for all of them).
    virtual std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() = 0;
};

} // namespace QRCode

namespace QRCode {

using EyeShapeClass = GeneratorClass<QRCodeEyeShapeGenerator>;

// The stored form {"type": Name, "settings": settings()}.
inline SettingsDict eyeShapeArchive(const QRCodeEyeShapeGenerator& generator) { return generatorArchive(generator); }

} // namespace QRCode
