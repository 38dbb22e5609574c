#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

namespace foundation {

// One value of a settings dictionary: a JSON-compatible tree.
using SettingsValue = nlohmann::json;
// A settings dictionary: a SettingsValue that holds an object (keys sorted).
using SettingsDict = nlohmann::json;

// Typed readers of one settings value. Booleans (as 1 or 0), integers and
// floating-point numbers count as numbers; strings, null, arrays and objects
// never do and give std::nullopt. The integer readers truncate fractions
// toward zero and give std::nullopt for NaN, infinities and values outside
// the target type (a negative value for the unsigned reader). The boolean
// reader is true for every non-zero number.
std::optional<std::uint64_t> settingUnsignedInteger(const SettingsValue& value);
std::optional<std::int64_t> settingInteger(const SettingsValue& value);
std::optional<double> settingDouble(const SettingsValue& value);
std::optional<bool> settingBool(const SettingsValue& value);

// The same readers on the entry `key` of a dictionary; a missing key, or a
// `dict` that is not an object, gives std::nullopt.
std::optional<std::uint64_t> settingUnsignedInteger(const SettingsDict& dict, std::string_view key);
std::optional<std::int64_t> settingInteger(const SettingsDict& dict, std::string_view key);
std::optional<double> settingDouble(const SettingsDict& dict, std::string_view key);
std::optional<bool> settingBool(const SettingsDict& dict, std::string_view key);
// The string entry `key`, or std::nullopt when missing or not a string.
std::optional<std::string> settingString(const SettingsDict& dict, std::string_view key);

// The entry `key` of `dict`, or nullptr when missing or `dict` is no object.
const SettingsValue* settingEntry(const SettingsDict& dict, std::string_view key);

} // namespace foundation
