#include "platform/foundation/Json.h"

#include <cmath>

namespace foundation {

bool isJsonWritable(const nlohmann::json& value) noexcept
{
    switch (value.type()) {
    case nlohmann::json::value_t::number_float:
        return std::isfinite(value.get<double>());
    case nlohmann::json::value_t::array:
    case nlohmann::json::value_t::object:
        for (const auto& element : value) {
            if (!isJsonWritable(element)) return false;
        }
        return true;
    default:
        return true;
    }
}

std::string writeJson(const nlohmann::json& value, JsonStyle style)
{
    if (!isJsonWritable(value)) throw JsonError("JSON cannot hold a NaN or infinite number");
    try {
        return style == JsonStyle::formatted ? value.dump(2) : value.dump();
    } catch (const nlohmann::json::type_error& e) {
        throw JsonError(e.what());
    }
}

} // namespace foundation
