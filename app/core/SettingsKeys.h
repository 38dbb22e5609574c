#pragma once

// The application's settings keys, all in the standard suite. Each key is
// made on first use (thread-safe) and registers its default then; nothing is
// written to the persistent store until the user changes a value.

#include "settings-store/Defaults.h"

#include <string>
#include <vector>

namespace Tessivo {

using Color = Defaults::Color;

// The user's saved presets, oldest first, each the JSON text of one preset.
// The presets model decodes the texts; the key only keeps them in order.
using UserPresetTexts = std::vector<std::string>;

namespace Keys {

// Index into the eye, pupil and pixel shape lists.
const Defaults::Key<int>& eyeShapeIdx();
const Defaults::Key<int>& pupilShapeIdx();
const Defaults::Key<int>& pixelShapeIdx();

const Defaults::Key<Color>& backgroundColor();   // white
const Defaults::Key<float>& backgroundPadding(); // extra quiet zone, in modules
const Defaults::Key<float>& backgroundRadius();  // corner radius as a fraction

const Defaults::Key<Color>& fgEyeColor();   // black
const Defaults::Key<Color>& fgPupilColor(); // black
const Defaults::Key<Color>& fgPixelColor(); // black

const Defaults::Key<bool>& showHints();
const Defaults::Key<bool>& expandedEyeShape();
const Defaults::Key<bool>& expandedPupilShape();
const Defaults::Key<bool>& expandedPixelShape();
const Defaults::Key<bool>& expandedBackground();
const Defaults::Key<bool>& expandedLogo();
const Defaults::Key<bool>& expandedAdvanced();
const Defaults::Key<bool>& matchingPupil();

// 0 L, 1 M, 2 Q, 3 H (default); readers take any other value as H.
const Defaults::Key<int>& errorCorrection();

const Defaults::Key<bool>& unifiedColor();
const Defaults::Key<Color>& fgUnifiedColor(); // black
const Defaults::Key<bool>& useHexColorInput();
// 0 Basic, anything else Advanced (default 1).
const Defaults::Key<int>& layoutMode();
// Raw value of MessageType (default 0, text).
const Defaults::Key<int>& messageType();
const Defaults::Key<UserPresetTexts>& userPresets();

// Every key, in declaration order.
std::vector<const Defaults::AnyKey*> all();
// The keys "Reset to defaults" removes: all but "message type" and
// "user presets".
std::vector<const Defaults::AnyKey*> resettable();

} // namespace Keys

// Removes the stored value of every resettable key, one at a time, so each
// reads its registered default again.
void resetToDefaults();

// The stored design values as the builder may use them: indices inside their
// lists, padding and radius finite and within 0...20 (the sliders' range),
// whatever a hand-edited settings file holds.
int clampedIndex(int index, int count);
float sanitizedPadding(float padding);
float sanitizedRadius(float radius);

} // namespace Tessivo
