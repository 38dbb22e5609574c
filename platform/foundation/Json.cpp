#include "platform/foundation/Json.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace foundation {

namespace {

// Calls visit(node, depth) for every node of the tree, parents first, with
// an explicit stack so that no tree can exhaust the call stack. Stops at the
// first node for which visit returns false; returns whether it got through.
template <class Visit> bool walkJson(const nlohmann::json& root, Visit&& visit) {
    std::vector<std::pair<const nlohmann::json*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (!visit(*node, depth)) return false;
        if (node->is_structured()) {
            for (const auto& element : *node) pending.emplace_back(&element, depth + 1);
        }
    }
    return true;
}

// The deepest bracket nesting of JSON text, outside strings, and the offset
// of the first bracket beyond `limit` (0 when there is none). Malformed text
// is left to the parser.
std::size_t firstTooDeepBracket(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return i + 1;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return 0;
}

} // namespace

bool isJsonWritable(const nlohmann::json& value) noexcept {
    return walkJson(value, [](const nlohmann::json& node, std::size_t) {
        return !node.is_number_float() || std::isfinite(node.get<double>());
    });
}

std::size_t jsonDepth(const nlohmann::json& value, std::size_t limit) {
    std::size_t deepest = 0;
    walkJson(value, [&](const nlohmann::json& node, std::size_t depth) {
        const std::size_t here = depth + (node.is_structured() ? 1 : 0);
        deepest = std::max(deepest, here);
        return deepest <= limit;
    });
    return deepest;
}

nlohmann::json parseJson(std::string_view text) {
    if (const std::size_t at = firstTooDeepBracket(text, maxJsonDepth)) {
        throw nlohmann::json::parse_error::create(
            101, at, "syntax error: nested deeper than " + std::to_string(maxJsonDepth) + " levels", nullptr);
    }
    return nlohmann::json::parse(text.begin(), text.end());
}

nlohmann::json parseJson(std::span<const std::uint8_t> bytes) {
    return parseJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string writeJson(const nlohmann::json& value, JsonStyle style) {
    if (jsonDepth(value) > maxJsonDepth)
        throw JsonError("JSON nested deeper than " + std::to_string(maxJsonDepth) + " levels is not written");
    if (!isJsonWritable(value)) throw JsonError("JSON cannot hold a NaN or infinite number");
    try {
        return style == JsonStyle::formatted ? value.dump(2) : value.dump();
    } catch (const nlohmann::json::type_error& e) {
        throw JsonError(e.what());
    }
}

} // namespace foundation
