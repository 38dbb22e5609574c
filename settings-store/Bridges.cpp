#include "settings-store/Bridges.h"

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

} // namespace

std::optional<PropertyList> ColorBridge::serialize(const std::optional<Color>& color) const {
    if (!color) return std::nullopt;
    auto count = Color::componentCount(color->colorSpaceName);
    if (!count || color->components.size() != *count + 1) return std::nullopt;
    PropertyListArray components(color->components.begin(), color->components.end());
    return PropertyList(PropertyListArray{PropertyList(color->colorSpaceName), PropertyList(std::move(components))});
}

std::optional<Color> ColorBridge::deserialize(const std::optional<PropertyList>& object) const {
    if (!object) return std::nullopt;
    if (auto data = object->asData()) {
        try {
            std::string text(data->bytes.begin(), data->bytes.end());
            auto json = parseJSON(text);
            if (!json.is_array() || json.size() != 2 || !json[0].is_string() || !json[1].is_array())
                throw JSONDecodingError("The data isn't a colour archive.");
            PropertyListArray pair{PropertyList(json[0].get<std::string>())};
            PropertyListArray components;
            for (const auto& c : json[1]) {
                if (!c.is_number()) throw JSONDecodingError("The data isn't a colour archive.");
                components.push_back(PropertyList(c.get<double>()));
            }
            pair.push_back(PropertyList(std::move(components)));
            return colorFromPair(pair);
        } catch (const std::exception& error) {
            printError(error);
            return std::nullopt;
        }
    }
    if (auto array = object->asArray()) return colorFromPair(*array);
    return std::nullopt;
}

} // namespace Defaults
