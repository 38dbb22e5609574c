#include "platform/foundation/SettingsValue.h"

#include "platform/foundation/SafeConvert.h"

#include <limits>

namespace foundation {

std::optional<std::uint64_t> settingUnsignedInteger(const SettingsValue& value) {
    switch (value.type()) {
    case SettingsValue::value_t::boolean: return value.get<bool>() ? 1u : 0u;
    case SettingsValue::value_t::number_unsigned: return value.get<std::uint64_t>();
    case SettingsValue::value_t::number_integer: {
        const auto v = value.get<std::int64_t>();
        if (v < 0) return std::nullopt;
        return static_cast<std::uint64_t>(v);
    }
    case SettingsValue::value_t::number_float: return truncatedInteger<std::uint64_t>(value.get<double>());
    default: return std::nullopt;
    }
}

std::optional<std::int64_t> settingInteger(const SettingsValue& value) {
    switch (value.type()) {
    case SettingsValue::value_t::boolean: return value.get<bool>() ? 1 : 0;
    case SettingsValue::value_t::number_unsigned: {
        const auto v = value.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
        return static_cast<std::int64_t>(v);
    }
    case SettingsValue::value_t::number_integer: return value.get<std::int64_t>();
    case SettingsValue::value_t::number_float: return truncatedInteger<std::int64_t>(value.get<double>());
    default: return std::nullopt;
    }
}

std::optional<double> settingDouble(const SettingsValue& value) {
    switch (value.type()) {
    case SettingsValue::value_t::boolean: return value.get<bool>() ? 1.0 : 0.0;
    case SettingsValue::value_t::number_unsigned: return static_cast<double>(value.get<std::uint64_t>());
    case SettingsValue::value_t::number_integer: return static_cast<double>(value.get<std::int64_t>());
    case SettingsValue::value_t::number_float: return value.get<double>();
    default: return std::nullopt;
    }
}

std::optional<bool> settingBool(const SettingsValue& value) {
    switch (value.type()) {
    case SettingsValue::value_t::boolean: return value.get<bool>();
    case SettingsValue::value_t::number_unsigned: return value.get<std::uint64_t>() != 0;
    case SettingsValue::value_t::number_integer: return value.get<std::int64_t>() != 0;
    case SettingsValue::value_t::number_float: return value.get<double>() != 0.0;
    default: return std::nullopt;
    }
}

const SettingsValue* settingEntry(const SettingsDict& dict, std::string_view key) {
    if (!dict.is_object()) return nullptr;
    const auto it = dict.find(std::string(key));
    if (it == dict.end()) return nullptr;
    return &*it;
}

std::optional<std::uint64_t> settingUnsignedInteger(const SettingsDict& dict, std::string_view key) {
    const auto* v = settingEntry(dict, key);
    return v ? settingUnsignedInteger(*v) : std::nullopt;
}

std::optional<std::int64_t> settingInteger(const SettingsDict& dict, std::string_view key) {
    const auto* v = settingEntry(dict, key);
    return v ? settingInteger(*v) : std::nullopt;
}

std::optional<double> settingDouble(const SettingsDict& dict, std::string_view key) {
    const auto* v = settingEntry(dict, key);
    return v ? settingDouble(*v) : std::nullopt;
}

std::optional<bool> settingBool(const SettingsDict& dict, std::string_view key) {
    const auto* v = settingEntry(dict, key);
    return v ? settingBool(*v) : std::nullopt;
}

std::optional<std::string> settingString(const SettingsDict& dict, std::string_view key) {
    const auto* v = settingEntry(dict, key);
    if (!v || !v->is_string()) return std::nullopt;
    return v->get<std::string>();
}

} // namespace foundation
