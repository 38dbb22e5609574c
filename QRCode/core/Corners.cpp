#include "QRCode/core/Corners.h"

#include <stdexcept>

namespace QRCode {

void to_json(nlohmann::json& json, const Corners& corners) { json = corners.rawValue; }

void from_json(const nlohmann::json& json, Corners& corners) {
    if (json.is_number_integer() && !(json.is_number_unsigned() && json.get<std::uint64_t>() > INT64_MAX)) {
        corners = Corners(json.get<std::int64_t>());
        return;
    }
    throw std::invalid_argument("Corners: expected an integer");
}

} // namespace QRCode
