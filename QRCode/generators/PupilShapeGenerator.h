#pragma once

#include "QRCode/generators/GeneratorRegistry.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <optional>
#include <string_view>

namespace QRCode {

// A pupil shape: the outline of the 3 x 3 centre of a finder pattern, in the
// 90 x 90 unit box of the eyes (10 units per module; the pupil square is
// 30...60 on both axes).
//
// Every pupil class also has the class-level members
//   static constexpr std::string_view Name, Title;
//   static std::shared_ptr<Class> Create(const QRCode::SettingsDict& settings);
// Create never fails (a null SettingsDict means none).
class QRCodePupilShapeGenerator : public QRCodeShapeGenerator {
public:
    // A new generator of the same class with the same settings.
    virtual std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const = 0;
    virtual gfx::Path pupilPath() = 0;
};

} // namespace QRCode

namespace QRCode {

using PupilShapeClass = GeneratorClass<QRCodePupilShapeGenerator>;

// The stored form {"type": Name, "settings": settings()}.
inline SettingsDict pupilShapeArchive(const QRCodePupilShapeGenerator& generator) {
    return generatorArchive(generator);
}

} // namespace QRCode
