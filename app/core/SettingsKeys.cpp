#include "app/core/SettingsKeys.h"

#include <algorithm>
#include <cmath>

namespace Tessivo {

namespace {

const Color white = Color::sRGB(1, 1, 1);
const Color black = Color::sRGB(0, 0, 0);
} // namespace

namespace Keys {

// Function-local statics: made once, on first use, safe against concurrent
// first calls.
#define TESSIVO_KEY(function, Type, name, defaultValue)                                                                \
    const Defaults::Key<Type>& function() {                                                                            \
        static const Defaults::Key<Type> key(name, defaultValue, platform::UserDefaults::standard());                  \
        return key;                                                                                                    \
    }

TESSIVO_KEY(eyeShapeIdx, int, "eye shape idx", 0)
TESSIVO_KEY(pupilShapeIdx, int, "pupil shape idx", 0)
TESSIVO_KEY(pixelShapeIdx, int, "pixel shape idx", 0)
TESSIVO_KEY(backgroundColor, Color, "background color", white)
TESSIVO_KEY(backgroundPadding, float, "background padding", 0.0f)
TESSIVO_KEY(backgroundRadius, float, "background radius", 0.0f)
TESSIVO_KEY(fgEyeColor, Color, "fg eye color", black)
TESSIVO_KEY(fgPupilColor, Color, "fg pupil color", black)
TESSIVO_KEY(fgPixelColor, Color, "fg pixel color", black)
TESSIVO_KEY(showHints, bool, "show hints", false)
TESSIVO_KEY(expandedEyeShape, bool, "expanded eye settings", false)
TESSIVO_KEY(expandedPupilShape, bool, "expanded pupil settings", false)
TESSIVO_KEY(expandedPixelShape, bool, "expanded pixel settings", false)
TESSIVO_KEY(expandedBackground, bool, "expanded bg settings", false)
TESSIVO_KEY(expandedLogo, bool, "expanded logo settings", false)
TESSIVO_KEY(expandedAdvanced, bool, "expanded advanced settings", false)
TESSIVO_KEY(matchingPupil, bool, "matching pupil", false)
TESSIVO_KEY(errorCorrection, int, "error correction", 3)
TESSIVO_KEY(unifiedColor, bool, "unified color", false)
TESSIVO_KEY(fgUnifiedColor, Color, "fg unified color", black)
TESSIVO_KEY(useHexColorInput, bool, "use hex color input", false)
TESSIVO_KEY(layoutMode, int, "layout mode", 1)
TESSIVO_KEY(messageType, int, "message type", 0)
TESSIVO_KEY(userPresets, UserPresetTexts, "user presets", UserPresetTexts{})

#undef TESSIVO_KEY

std::vector<const Defaults::AnyKey*> all() {
    return {&eyeShapeIdx(),        &pupilShapeIdx(),      &pixelShapeIdx(),    &backgroundColor(),
            &backgroundPadding(),  &backgroundRadius(),   &fgEyeColor(),       &fgPupilColor(),
            &fgPixelColor(),       &showHints(),          &expandedEyeShape(), &expandedPupilShape(),
            &expandedPixelShape(), &expandedBackground(), &expandedLogo(),     &expandedAdvanced(),
            &matchingPupil(),      &errorCorrection(),    &unifiedColor(),     &fgUnifiedColor(),
            &useHexColorInput(),   &layoutMode(),         &messageType(),      &userPresets()};
}

std::vector<const Defaults::AnyKey*> resettable() {
    auto keys = all();
    std::erase_if(keys, [](const Defaults::AnyKey* key) { return *key == messageType() || *key == userPresets(); });
    return keys;
}

} // namespace Keys

void resetToDefaults() {
    for (const auto* key : Keys::resettable()) key->reset();
}

int clampedIndex(int index, int count) {
    if (count <= 0) return 0;
    return std::clamp(index, 0, count - 1);
}

namespace {
float clampedSliderValue(float value) {
    if (std::isnan(value)) return 0;
    return std::clamp(value, 0.0f, 20.0f);
}
} // namespace

float sanitizedPadding(float padding) { return clampedSliderValue(padding); }
float sanitizedRadius(float radius) { return clampedSliderValue(radius); }

} // namespace Tessivo
