#include "app/core/Presets.h"

#include "app/core/ColorText.h"
#include "app/core/DocumentBuilder.h"
#include "app/core/SettingsKeys.h"
#include "platform/foundation/Diagnostics.h"
#include "platform/foundation/Json.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace Tessivo {
namespace {

using nlohmann::json;

json encodeColor(const CodableColor& color) { return json{{"hex", color.hex}}; }

// Strict readers: a missing key or a value of another type fails the whole
// preset, as the decoder of the stored form does. They report failure by
// value, not by exception: a stored array may hold millions of entries that
// are not presets, and each must cost next to nothing.
const json* member(const json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::int64_t> readInteger(const json& object, const char* key) {
    const json* v = member(object, key);
    if (!v) return std::nullopt;
    if (v->is_number_unsigned()) {
        const std::uint64_t u = v->get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
        return std::int64_t(u);
    }
    if (v->is_number_integer()) return v->get<std::int64_t>();
    if (v->is_number_float()) {
        // A whole number written with a fraction part still reads as an integer.
        const double d = v->get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9.2e18 && d <= 9.2e18) return std::int64_t(d);
    }
    return std::nullopt;
}

std::optional<float> readFloat(const json& object, const char* key) {
    const json* v = member(object, key);
    if (!v || !v->is_number()) return std::nullopt;
    const double d = v->get<double>();
    if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max())) return std::nullopt;
    return float(d);
}

const std::string* readString(const json& object, const char* key) {
    const json* v = member(object, key);
    return v && v->is_string() ? v->get_ptr<const std::string*>() : nullptr;
}

std::optional<CodableColor> readColor(const json& object, const char* key) {
    const json* v = member(object, key);
    if (!v || !v->is_object()) return std::nullopt;
    const std::string* hex = readString(*v, "hex");
    if (!hex) return std::nullopt;
    return CodableColor{*hex};
}

// The fewest characters a preset's text can have: its fourteen key names,
// the five colours' "hex" and the 36 characters of the id, before any quote,
// colon or value. Shorter text is refused without parsing it.
constexpr std::size_t shortestPresetText = std::string_view("backgroundColor").size() +
                                           std::string_view("backgroundPadding").size() +
                                           std::string_view("backgroundRadius").size() +
                                           std::string_view("errorCorrection").size() +
                                           std::string_view("eyeShapeIdx").size() +
                                           std::string_view("fgEyeColor").size() +
                                           std::string_view("fgPixelColor").size() +
                                           std::string_view("fgPupilColor").size() +
                                           std::string_view("fgUnifiedColor").size() + std::string_view("id").size() +
                                           std::string_view("name").size() + std::string_view("pixelShapeIdx").size() +
                                           std::string_view("pupilShapeIdx").size() +
                                           std::string_view("unifiedColor").size() + 5 * std::string_view("hex").size() +
                                           36;

// A preset nests two levels (the colours); anything deeper is not one and
// is dropped while parsing, so no deep tree is ever built.
constexpr int deepestPresetLevel = 2;

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
    if (jsonText.size() < shortestPresetText) return std::nullopt;
    const json::parser_callback_t shallow = [](int depth, json::parse_event_t event, json&) {
        return depth < deepestPresetLevel ||
               (event != json::parse_event_t::object_start && event != json::parse_event_t::array_start);
    };
    const json j = json::parse(jsonText.begin(), jsonText.end(), shallow, /*allow_exceptions=*/false);
    if (!j.is_object()) return std::nullopt;
    QRPreset p;
    const std::string* id = readString(j, "id");
    const auto uuid = id ? Defaults::UUID::fromString(*id) : std::nullopt;
    const std::string* name = readString(j, "name");
    const auto eye = readInteger(j, "eyeShapeIdx"), pupil = readInteger(j, "pupilShapeIdx"),
               pixel = readInteger(j, "pixelShapeIdx"), level = readInteger(j, "errorCorrection");
    const auto padding = readFloat(j, "backgroundPadding"), radius = readFloat(j, "backgroundRadius");
    auto background = readColor(j, "backgroundColor"), eyeColor = readColor(j, "fgEyeColor"),
         pupilColor = readColor(j, "fgPupilColor"), pixelColor = readColor(j, "fgPixelColor"),
         unified = readColor(j, "fgUnifiedColor");
    const json* flag = member(j, "unifiedColor");
    if (!uuid || !name || !eye || !pupil || !pixel || !level || !padding || !radius || !background || !eyeColor ||
        !pupilColor || !pixelColor || !unified || !flag || !flag->is_boolean())
        return std::nullopt;
    p.id = *uuid;
    p.name = *name;
    p.eyeShapeIdx = *eye;
    p.pupilShapeIdx = *pupil;
    p.pixelShapeIdx = *pixel;
    p.backgroundColor = std::move(*background);
    p.backgroundPadding = *padding;
    p.backgroundRadius = *radius;
    p.fgEyeColor = std::move(*eyeColor);
    p.fgPupilColor = std::move(*pupilColor);
    p.fgPixelColor = std::move(*pixelColor);
    p.fgUnifiedColor = std::move(*unified);
    p.unifiedColor = flag->get<bool>();
    p.errorCorrection = *level;
    return p;
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

std::vector<QRPreset> PresetStore::presets(std::size_t limit) const {
    std::vector<QRPreset> result;
    suite_.readObject(keyName, [&](const platform::PropertyList* stored) {
        const platform::PropertyListArray* entries = stored ? stored->asArray() : nullptr;
        if (!entries) return;
        // From the newest back, so a limit stops the walk early.
        for (auto it = entries->rbegin(); it != entries->rend() && result.size() < limit; ++it)
            if (const std::string* text = it->asString())
                if (auto preset = decodePreset(*text)) result.push_back(std::move(*preset));
    });
    std::reverse(result.begin(), result.end());
    return result;
}

bool PresetStore::append(const QRPreset& preset) {
    std::string text;
    try {
        text = presetJSONText(preset);
    } catch (const std::exception& e) {
        foundation::diagnostic(std::string("Could not encode the preset: ") + e.what());
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
