#include "platform/foundation/NumberParse.h"

#include <charconv>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace foundation {
namespace {

// The C locale as a locale object, made once; strtod_l reads with it no
// matter what the process locale is.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool startsWithSpaceOrNul(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\0';
}

} // namespace

std::optional<double> parseDouble(std::string_view text) {
    if (text.empty() || startsWithSpaceOrNul(text.front())) return std::nullopt;
    // A NUL inside the text ends the C string early, which then leaves
    // characters over and is refused below.
    const std::string copy(text);
    char* end = nullptr;
    const double value = strtod_l(copy.c_str(), &end, cLocale());
    if (end != copy.c_str() + copy.size()) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInt64(std::string_view text) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.empty()) return std::nullopt;
    const auto result = std::from_chars(first, last, value, 10);
    if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
    return value;
}

} // namespace foundation
