#include "app/core/Presets.h"

#include "app/core/ColorText.h"
#include "app/core/DocumentBuilder.h"
#include "app/core/SettingsKeys.h"
#include "platform/foundation/Json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace Tessivo {
namespace {

using nlohmann::json;

json encodeColor(const CodableColor& color) { return json{{"hex", color.hex}}; }

// Strict readers: a missing key or a value of another type fails the whole
// preset, as the decoder of the stored form does.
const json& member(const json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end()) throw std::runtime_error(std::string("missing key ") + key);
    return *it;
}

std::int64_t readInteger(const json& object, const char* key) {
    const json& v = member(object, key);
    if (v.is_number_integer()) {
        if (v.is_number_unsigned() && v.get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            throw std::runtime_error("integer out of range");
        return v.get<std::int64_t>();
    }
    if (v.is_number_float()) {
        // A whole number written with a fraction part still reads as an integer.
        const double d = v.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9.2e18 && d <= 9.2e18) return std::int64_t(d);
    }
    throw std::runtime_error(std::string("not an integer: ") + key);
}

float readFloat(const json& object, const char* key) {
    const json& v = member(object, key);
    if (!v.is_number()) throw std::runtime_error(std::string("not a number: ") + key);
    const double d = v.get<double>();
    if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max()))
        throw std::runtime_error(std::string("number out of range: ") + key);
    return float(d);
}

std::string readString(const json& object, const char* key) {
    const json& v = member(object, key);
    if (!v.is_string()) throw std::runtime_error(std::string("not a string: ") + key);
    return v.get<std::string>();
}

CodableColor readColor(const json& object, const char* key) {
    const json& v = member(object, key);
    if (!v.is_object()) throw std::runtime_error(std::string("not a colour: ") + key);
    return CodableColor{readString(v, "hex")};
}

QRPreset makePreset(std::string name, std::int64_t eye, std::int64_t pupil, std::int64_t pixel, const char* background,
                    float padding, float radius, const char* foreground) {
    QRPreset p;
    p.id = randomUUID();
    p.name = std::move(name);
    p.eyeShapeIdx = eye;
    p.pupilShapeIdx = pupil;
    p.pixelShapeIdx = pixel;
    p.backgroundColor = {background};
    p.backgroundPadding = padding;
    p.backgroundRadius = radius;
    p.fgEyeColor = p.fgPupilColor = p.fgPixelColor = p.fgUnifiedColor = {foreground};
    p.unifiedColor = true;
    p.errorCorrection = 3;
    return p;
}

} // namespace

Defaults::UUID randomUUID() {
    thread_local std::mt19937_64 engine{std::random_device{}()};
    Defaults::UUID id;
    for (std::size_t i = 0; i < id.bytes.size(); i += 8) {
        const std::uint64_t word = engine();
        for (std::size_t j = 0; j < 8; ++j) id.bytes[i + j] = std::uint8_t(word >> (8 * j));
    }
    id.bytes[6] = std::uint8_t((id.bytes[6] & 0x0F) | 0x40);
    id.bytes[8] = std::uint8_t((id.bytes[8] & 0x3F) | 0x80);
    return id;
}

json encodePreset(const QRPreset& p) {
    json j = json::object();
    j["id"] = p.id.uuidString();
    j["name"] = p.name;
    j["eyeShapeIdx"] = p.eyeShapeIdx;
    j["pupilShapeIdx"] = p.pupilShapeIdx;
    j["pixelShapeIdx"] = p.pixelShapeIdx;
    j["backgroundColor"] = encodeColor(p.backgroundColor);
    j["backgroundPadding"] = double(p.backgroundPadding);
    j["backgroundRadius"] = double(p.backgroundRadius);
    j["fgEyeColor"] = encodeColor(p.fgEyeColor);
    j["fgPupilColor"] = encodeColor(p.fgPupilColor);
    j["fgPixelColor"] = encodeColor(p.fgPixelColor);
    j["fgUnifiedColor"] = encodeColor(p.fgUnifiedColor);
    j["unifiedColor"] = p.unifiedColor;
    j["errorCorrection"] = p.errorCorrection;
    if (!foundation::isJsonWritable(j)) throw foundation::JsonError("A preset number is not finite.");
    return j;
}

std::string presetJSONText(const QRPreset& preset) { return foundation::writeJson(encodePreset(preset)); }

std::optional<QRPreset> decodePreset(std::string_view jsonText) {
    try {
        const json j = foundation::parseJson(jsonText);
        if (!j.is_object()) return std::nullopt;
        QRPreset p;
        auto id = Defaults::UUID::fromString(readString(j, "id"));
        if (!id) return std::nullopt;
        p.id = *id;
        p.name = readString(j, "name");
        p.eyeShapeIdx = readInteger(j, "eyeShapeIdx");
        p.pupilShapeIdx = readInteger(j, "pupilShapeIdx");
        p.pixelShapeIdx = readInteger(j, "pixelShapeIdx");
        p.backgroundColor = readColor(j, "backgroundColor");
        p.backgroundPadding = readFloat(j, "backgroundPadding");
        p.backgroundRadius = readFloat(j, "backgroundRadius");
        p.fgEyeColor = readColor(j, "fgEyeColor");
        p.fgPupilColor = readColor(j, "fgPupilColor");
        p.fgPixelColor = readColor(j, "fgPixelColor");
        p.fgUnifiedColor = readColor(j, "fgUnifiedColor");
        const json& flag = member(j, "unifiedColor");
        if (!flag.is_boolean()) return std::nullopt;
        p.unifiedColor = flag.get<bool>();
        p.errorCorrection = readInteger(j, "errorCorrection");
        return p;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

const std::vector<QRPreset>& builtInPresets() {
    static const std::vector<QRPreset> presets{
        makePreset("Classic", 0, 0, 0, "#FFFFFF", 0, 0, "#000000"),
        makePreset("Rounded", 2, 2, 3, "#FFFFFF", 4, 8, "#1A1A1A"),
        makePreset("Soft Circles", 1, 1, 1, "#FFFFFF", 0, 0, "#111111"),
        makePreset("Leaf", 5, 5, 2, "#FFFFFF", 0, 0, "#0B5D1E"),
        makePreset("Sunset", 6, 6, 8, "#FFF4E8", 4, 12, "#D9480F"),
        makePreset("Deep Ocean", 3, 3, 6, "#EAF4FB", 0, 0, "#0B3C5D"),
        makePreset("Midnight", 2, 2, 3, "#111827", 4, 8, "#F9FAFB"),
        makePreset("Retro Star", 11, 13, 11, "#FFFBEB", 0, 0, "#92400E"),
        makePreset("Flower Power", 5, 12, 12, "#FDF2F8", 0, 0, "#BE185D"),
    };
    return presets;
}

platform::PropertyListArray PresetStore::rawEntries() const {
    const auto stored = suite_.objectForKey(keyName);
    if (!stored || !stored->isArray()) return {};
    return *stored->asArray();
}

std::vector<QRPreset> PresetStore::presets() const {
    std::vector<QRPreset> result;
    for (const auto& entry : rawEntries()) {
        if (const std::string* text = entry.asString())
            if (auto preset = decodePreset(*text)) result.push_back(std::move(*preset));
    }
    return result;
}

bool PresetStore::append(const QRPreset& preset) {
    std::string text;
    try {
        text = presetJSONText(preset);
    } catch (const std::exception& e) {
        std::printf("Could not encode the preset: %s\n", e.what());
        return false;
    }
    auto entries = rawEntries();
    entries.emplace_back(std::move(text));
    suite_.setObject(keyName, platform::PropertyList(std::move(entries)));
    return true;
}

void PresetStore::remove(const Defaults::UUID& id) {
    auto entries = rawEntries();
    std::erase_if(entries, [&](const platform::PropertyList& entry) {
        const std::string* text = entry.asString();
        if (!text) return false;
        auto preset = decodePreset(*text);
        return preset && preset->id == id;
    });
    suite_.setObject(keyName, platform::PropertyList(std::move(entries)));
}

namespace {

// The keys hold int; a stored index beyond that range saturates.
int toKeyInt(std::int64_t value) {
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

Color colorOrBlack(const CodableColor& color) { return hexToColor(color.hex).value_or(Color::sRGB(0, 0, 0)); }

} // namespace

PresetStore userPresetStore() { return PresetStore(*Keys::userPresets().suite()); }

QRPreset presetFromSettings(std::string name) {
    QRPreset p;
    p.id = randomUUID();
    p.name = std::move(name);
    // The same keys, read the same way, as the preview's design values.
    const DesignValues v = DesignValues::fromSettings();
    p.eyeShapeIdx = v.eyeShapeIdx;
    p.pupilShapeIdx = v.pupilShapeIdx;
    p.pixelShapeIdx = v.pixelShapeIdx;
    p.backgroundColor = {colorToHex(v.backgroundColor)};
    p.backgroundPadding = v.backgroundPadding;
    p.backgroundRadius = v.backgroundRadius;
    p.fgEyeColor = {colorToHex(v.fgEyeColor)};
    p.fgPupilColor = {colorToHex(v.fgPupilColor)};
    p.fgPixelColor = {colorToHex(v.fgPixelColor)};
    p.fgUnifiedColor = {colorToHex(v.fgUnifiedColor)};
    p.unifiedColor = v.unifiedColor;
    p.errorCorrection = v.errorCorrection;
    return p;
}

void applyPreset(const QRPreset& p) {
    Keys::eyeShapeIdx().set(toKeyInt(p.eyeShapeIdx));
    Keys::pupilShapeIdx().set(toKeyInt(p.pupilShapeIdx));
    Keys::pixelShapeIdx().set(toKeyInt(p.pixelShapeIdx));
    Keys::backgroundColor().set(colorOrBlack(p.backgroundColor));
    Keys::backgroundPadding().set(p.backgroundPadding);
    Keys::backgroundRadius().set(p.backgroundRadius);
    Keys::fgEyeColor().set(colorOrBlack(p.fgEyeColor));
    Keys::fgPupilColor().set(colorOrBlack(p.fgPupilColor));
    Keys::fgPixelColor().set(colorOrBlack(p.fgPixelColor));
    Keys::fgUnifiedColor().set(colorOrBlack(p.fgUnifiedColor));
    Keys::unifiedColor().set(p.unifiedColor);
    Keys::errorCorrection().set(toKeyInt(p.errorCorrection));
}

std::string trimmedPresetName(std::string_view name) { return std::string(trimmedWhitespace(name)); }

bool saveCurrentAsPreset(std::string_view name) {
    const std::string trimmed = trimmedPresetName(name);
    if (trimmed.empty()) return false;
    return userPresetStore().append(presetFromSettings(trimmed));
}

void deleteUserPreset(const QRPreset& preset) { userPresetStore().remove(preset.id); }

} // namespace Tessivo
