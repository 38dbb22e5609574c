#pragma once

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "settings-store/Values.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Presets: named snapshots of twelve design settings, nine built in and the
// user's own stored as JSON texts under "user presets".
namespace Tessivo {

// A colour held as its "#RRGGBB" text; equal when the texts are equal.
struct CodableColor {
    std::string hex;
    friend bool operator==(const CodableColor&, const CodableColor&) = default;
};

struct QRPreset {
    Defaults::UUID id;
    std::string name;
    std::int64_t eyeShapeIdx = 0;
    std::int64_t pupilShapeIdx = 0;
    std::int64_t pixelShapeIdx = 0;
    CodableColor backgroundColor;
    float backgroundPadding = 0;
    float backgroundRadius = 0;
    CodableColor fgEyeColor;
    CodableColor fgPupilColor;
    CodableColor fgPixelColor;
    CodableColor fgUnifiedColor;
    bool unifiedColor = false;
    std::int64_t errorCorrection = 3;

    friend bool operator==(const QRPreset&, const QRPreset&) = default;
};

// A fresh random (version 4) identifier.
Defaults::UUID randomUUID();

// The JSON object of a preset. Throws foundation::JsonError when a number is
// not finite (such a preset cannot be written).
nlohmann::json encodePreset(const QRPreset& preset);
// Compact JSON text with sorted keys.
std::string presetJSONText(const QRPreset& preset);
// Nothing when the text is not a preset: a missing key, a value of the
// wrong type, a malformed UUID. Keys beyond the fourteen are ignored.
std::optional<QRPreset> decodePreset(std::string_view jsonText);

// The nine built-in presets in menu order; their ids are made once per
// process.
const std::vector<QRPreset>& builtInPresets();

// The user's presets as they are stored: one JSON text per entry, oldest
// first. An entry that does not decode (edited by hand, written by a newer
// version) is kept exactly as it is and written back with every change; it
// is only not offered.
class PresetStore {
public:
    static constexpr std::string_view keyName = "user presets";

    explicit PresetStore(platform::UserDefaults& suite) : suite_(suite) {}

    // The entries that decode, in stored order; with a limit, only the
    // newest that many of them (still in stored order). Entries are read in
    // place and tested cheaply, so a huge array costs little.
    std::vector<QRPreset> presets(std::size_t limit = std::numeric_limits<std::size_t>::max()) const;
    // Appends the preset. False (and nothing stored) when it cannot be
    // encoded.
    bool append(const QRPreset& preset);
    // Removes every decodable entry with this id; stores the array also when
    // nothing was removed.
    void remove(const Defaults::UUID& id);

private:
    platform::PropertyListArray rawEntries() const;
    platform::UserDefaults& suite_;
};

// ---- The presets and the settings keys ----

// How many user presets the presets menu lists at most: the newest ones, so
// that a preset just saved always shows. Every stored entry is kept whatever
// the menu shows.
inline constexpr std::size_t presetsMenuLimit = 100;

// The user's presets in the suite of the "user presets" key.
PresetStore userPresetStore();

// A preset of the twelve design keys as they are now: a new id, the name,
// colours as their "#RRGGBB" texts.
QRPreset presetFromSettings(std::string name);

// Writes the twelve design keys in field order (shape indices first, the
// error-correction level last); a colour text that does not read becomes
// black. Nothing else changes.
void applyPreset(const QRPreset& preset);

// Saves the current design under the name with surrounding white space
// removed; an empty name saves nothing. False when nothing was saved.
bool saveCurrentAsPreset(std::string_view name);

// Removes the user presets with the preset's id.
void deleteUserPreset(const QRPreset& preset);

// The name with white space and line breaks removed from both ends.
std::string trimmedPresetName(std::string_view name);

} // namespace Tessivo
