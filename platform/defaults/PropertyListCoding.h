#pragma once

#include "platform/defaults/PropertyList.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace platform {

// The on-disk form of property-list objects. JSON has no bytes, no dates and
// no non-finite reals, so those travel as one-member objects tagged "$data",
// "$date" and "$real"; a dictionary that would look like such a tag is
// wrapped as {"$dict": {...}}. Integers stay JSON integers and reals always
// carry a decimal point or exponent, so the two never collapse.
nlohmann::json propertyListToJSON(const PropertyList& value);

// Thrown by propertyListFromJSON for JSON that this encoding never writes.
class PropertyListFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

PropertyList propertyListFromJSON(const nlohmann::json& json);

// A settings file's text (a JSON object) as the dictionary of its members,
// each read as propertyListFromJSON reads it, but straight from the text:
// no JSON tree is built, and every array is made at its final size, so a
// file costs little more than the values it holds. The text is released
// once read. Throws nlohmann::json::parse_error for text that is not JSON
// or nests deeper than foundation::maxJsonDepth, PropertyListFormatError
// for JSON this encoding never writes.
PropertyListDictionary propertyListDictionaryFromJSONText(std::string text);

} // namespace platform
