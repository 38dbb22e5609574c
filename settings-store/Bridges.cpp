#include "settings-store/Bridges.h"

#include <bit>

namespace Defaults {

namespace {

std::optional<Color> colorFromPair(const PropertyListArray& pair) {
    if (pair.size() < 2) return std::nullopt;
    auto name = pair[0].asString();
    auto list = pair[1].asArray();
    if (!name || !list) return std::nullopt;
    std::vector<double> components;
    components.reserve(list->size());
    for (const auto& c : *list) {
        auto v = NativeCast<double>::cast(c);
        if (!v) return std::nullopt;
        components.push_back(*v);
    }
    // Never make a colour from numbers that are not there.
    return Color::make(*name, std::move(components));
}

// Raw data holding the UTF-8 JSON text of a pair reads as that pair, as
// this store has always read it (an archive never begins with "["); text
// that is no such pair prints its error.
std::optional<Color> colorFromJSONPair(const Data& data) {
    try {
        std::string text(data.bytes.begin(), data.bytes.end());
        auto json = parseJSON(text);
        // As the array form: elements after the second are ignored.
        if (!json.is_array() || json.size() < 2 || !json[0].is_string() || !json[1].is_array())
            throw JSONDecodingError("The data isn't a colour archive.");
        PropertyListArray components;
        for (const auto& c : json[1]) {
            if (!c.is_number()) throw JSONDecodingError("The data isn't a colour archive.");
            components.push_back(PropertyList(c.get<double>()));
        }
        return colorFromPair({PropertyList(json[0].get<std::string>()), PropertyList(std::move(components))});
    } catch (const std::exception& error) {
        printError(error);
        return std::nullopt;
    }
}

} // namespace

std::optional<PropertyList> ColorBridge::serialize(const std::optional<Color>& color) const {
    if (!color) return std::nullopt;
    if (auto count = Color::componentCount(color->colorSpaceName); count && color->components.size() == *count + 1) {
        PropertyListArray components(color->components.begin(), color->components.end());
        return PropertyList(
            PropertyListArray{PropertyList(color->colorSpaceName), PropertyList(std::move(components))});
    }
    if (auto archived = detail::archiveSerialize(color)) return PropertyList(std::move(*archived));
    return std::nullopt;
}

std::optional<Color> ColorBridge::deserialize(const std::optional<PropertyList>& object) const {
    if (!object) return std::nullopt;
    if (auto data = object->asData()) {
        if (!data->bytes.empty() && data->bytes.front() == '[') return colorFromJSONPair(*data);
        return detail::archiveDeserialize<Color>(*data);
    }
    if (auto array = object->asArray()) return colorFromPair(*array);
    return std::nullopt;
}

} // namespace Defaults

namespace archive {

namespace {
constexpr std::size_t maxUnnamedComponents = 16;
}

void Archivable<Defaults::Color>::encode(const Defaults::Color& color, KeyedEncoder& coder) {
    const auto& components = color.components;
    if (color.colorSpaceName.empty() ? components.empty() || components.size() > maxUnnamedComponents
                                     : !Defaults::Color::make(color.colorSpaceName, components))
        throw ArchiveError::invalid("The colour has no colour space of that name, or not its number of components.");
    if (!color.colorSpaceName.empty()) coder.encodeString("colorSpaceName", color.colorSpaceName);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(8 * components.size());
    for (double component : components) {
        const auto bits = std::bit_cast<std::uint64_t>(component);
        for (int shift = 56; shift >= 0; shift -= 8) bytes.push_back(std::uint8_t(bits >> shift));
    }
    coder.encodeBytes("components", bytes);
}

Defaults::Color Archivable<Defaults::Color>::decode(const KeyedDecoder& coder) {
    const auto name = coder.decodeString("colorSpaceName").value_or("");
    const auto bytes = coder.decodeBytes("components");
    if (!bytes || bytes->empty() || bytes->size() % 8 != 0 || bytes->size() > 8 * maxUnnamedComponents)
        throw ArchiveError::corrupt("The colour's components are missing or malformed.");
    std::vector<double> components;
    for (std::size_t at = 0; at < bytes->size(); at += 8) {
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < 8; ++i) bits = bits << 8 | (*bytes)[at + i];
        components.push_back(std::bit_cast<double>(bits));
    }
    if (!Defaults::Color::allFinite(components))
        throw ArchiveError::corrupt("The colour has a component that is not a finite number.");
    if (name.empty()) return Defaults::Color{"", std::move(components)};
    auto color = Defaults::Color::make(name, std::move(components));
    if (!color) throw ArchiveError::corrupt("The colour names an unknown colour space or has the wrong number of components.");
    return *color;
}

} // namespace archive
