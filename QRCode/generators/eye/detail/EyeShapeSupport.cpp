#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

#include "platform/foundation/SettingsValue.h"

#include <cmath>

namespace QRCode::EyeShape {

std::optional<double> numberSetting(const OptionalSettingsValue& value) {
    if (!value) return std::nullopt;
    return foundation::settingDouble(*value);
}

std::optional<std::int64_t> integerSetting(const OptionalSettingsValue& value) {
    if (!value) return std::nullopt;
    return foundation::settingInteger(*value);
}

} // namespace QRCode::EyeShape
