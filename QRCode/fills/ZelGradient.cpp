#include "QRCode/fills/ZelGradient.h"

#include "QRCode/core/Colors.h"
#include "platform/foundation/NumberParse.h"
#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace QRCode {

namespace {

double clampPosition(double position) {
    if (std::isnan(position)) return 0.0;
    return std::max(std::min(position, 1.0), 0.0);
}

// Calls `visit` with each piece of `text` between separators, in order,
// empty pieces dropped.
template <class Visit>
void forEachPart(std::string_view text, char separator, Visit&& visit) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) visit(text.substr(start, end - start));
        start = end + 1;
    }
}

// Pieces of `text` between separators, empty pieces dropped.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    forEachPart(text, separator, [&](std::string_view part) { parts.push_back(part); });
    return parts;
}

// Length of the blank (tab or Unicode space separator) that starts at `i`, or 0.
std::size_t blankAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned b0 = byte(i);
    if (b0 == ' ' || b0 == '\t') return 1;
    if (b0 == 0xC2 && byte(i + 1) == 0xA0) return 2;                        // U+00A0
    if (b0 == 0xE1 && byte(i + 1) == 0x9A && byte(i + 2) == 0x80) return 3; // U+1680
    if (b0 == 0xE2 && byte(i + 1) == 0x80) {
        const unsigned b2 = byte(i + 2);
        if ((b2 >= 0x80 && b2 <= 0x8A) || b2 == 0xAF) return 3; // U+2000...U+200A, U+202F
    }
    if (b0 == 0xE2 && byte(i + 1) == 0x81 && byte(i + 2) == 0x9F) return 3; // U+205F
    if (b0 == 0xE3 && byte(i + 1) == 0x80 && byte(i + 2) == 0x80) return 3; // U+3000
    return 0;
}

// Length of the blank that ends just before `end`, or 0.
std::size_t blankBefore(std::string_view s, std::size_t end) {
    for (std::size_t len = 1; len <= 3 && len <= end; ++len) {
        if (blankAt(s, end - len) == len) return len;
    }
    return 0;
}

std::string_view trimBlanks(std::string_view s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end) {
        const std::size_t n = blankAt(s, begin);
        if (n == 0 || begin + n > end) break;
        begin += n;
    }
    while (end > begin) {
        const std::size_t n = blankBefore(s, end);
        if (n == 0 || end - n < begin) break;
        end -= n;
    }
    return s.substr(begin, end - begin);
}

// A colour component as the writer writes it: an optional sign, digits with
// an optional fraction, the leading zero optional (".5"). Anything else is
// not a component.
std::optional<double> readComponent(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    return foundation::parseDouble(text);
}

double clampComponent(double v) {
    if (!(v > 0)) return 0.0;
    return v > 1 ? 1.0 : v;
}

std::vector<ZelGradient::Pin> sortedPins(std::vector<ZelGradient::Pin> pins) {
    auto byPosition = [](const ZelGradient::Pin& a, const ZelGradient::Pin& b) { return a.position() < b.position(); };
    if (!std::is_sorted(pins.begin(), pins.end(), byPosition)) std::stable_sort(pins.begin(), pins.end(), byPosition);
    return pins;
}

} // namespace

const char* ZelGradient::Exception::what() const noexcept {
    switch (code_) {
    case GradientError::couldntConvertColorspace: return "GradientError.couldntConvertColorspace";
    case GradientError::tooFewPins: return "GradientError.tooFewPins";
    case GradientError::invalidPin: return "GradientError.invalidPin";
    case GradientError::invalidColor: return "GradientError.invalidColor";
    case GradientError::cannotCreateCoreGraphicsGradient: return "GradientError.cannotCreateCoreGraphicsGradient";
    }
    return "GradientError.unknown";
}

ZelGradient::Pin::Pin(gfx::Color color, double position) : color_(color), position_(clampPosition(position)) {}

ZelGradient::Pin ZelGradient::Pin::fromHexColor(std::string_view hexColor, double position) {
    return Pin(CGColorFromHexString(hexColor, sRGBColorSpace), position);
}

ZelGradient::ZelGradient(std::vector<Pin> pins, gfx::ColorSpace colorspace)
    : pins_(sortedPins(std::move(pins))), colorspace_(colorspace) {
    // A ramp needs two ends; fewer pins could not be stored and read back.
    if (pins_.size() < 2) throw Exception(GradientError::cannotCreateCoreGraphicsGradient);
    std::vector<gfx::GradientStop> stops;
    stops.reserve(pins_.size());
    for (const Pin& pin : pins_) stops.push_back({pin.position(), pin.color()});
    cgGradient_ = gfx::Gradient(std::move(stops));
}

ZelGradient::ZelGradient(const std::vector<std::pair<double, gfx::Color>>& pins)
    : ZelGradient(
          [&] {
              std::vector<Pin> made;
              made.reserve(pins.size());
              for (const auto& [position, color] : pins) made.emplace_back(color, position);
              return made;
          }(),
          sRGBColorSpace) {}

ZelGradient ZelGradient::fromHexPins(const std::vector<std::pair<double, std::string>>& pins) {
    std::vector<Pin> made;
    made.reserve(pins.size());
    for (const auto& [position, hex] : pins) made.push_back(Pin::fromHexColor(hex, position));
    return ZelGradient(std::move(made), sRGBColorSpace);
}

ZelGradient ZelGradient::fromRGBAGradientString(std::string_view text) {
    // The pins are read straight from the text, without a list of its parts
    // first: a stored gradient may hold a great many.
    std::size_t count = 0;
    forEachPart(text, '|', [&](std::string_view) { ++count; });
    if (count < 2) throw Exception(GradientError::tooFewPins);
    std::vector<Pin> pins;
    pins.reserve(count);
    forEachPart(text, '|', [&](std::string_view part) {
        auto pieces = split(part, ':');
        if (pieces.size() != 2) throw Exception(GradientError::tooFewPins);
        const auto position = foundation::parseDouble(trimBlanks(pieces[0]));
        if (!position) throw Exception(GradientError::invalidPin);
        std::vector<double> components;
        for (std::string_view piece : split(trimBlanks(pieces[1]), ',')) {
            if (const auto value = readComponent(trimBlanks(piece))) components.push_back(clampComponent(*value));
        }
        if (components.size() != 4) throw Exception(GradientError::invalidColor);
        pins.emplace_back(gfx::Color::sRGB(components[0], components[1], components[2], components[3]), *position);
    });
    return ZelGradient(std::move(pins), sRGBColorSpace);
}

std::string ZelGradient::asRGBAGradientString() const {
    std::string text;
    for (const Pin& pin : pins_) {
        if (!text.empty()) text += '|';
        const RGBAComponents c(pin.color());
        text += foundation::shortestNumberText(pin.position());
        text += ':';
        text += foundation::gradientComponentText(c.r());
        text += ',';
        text += foundation::gradientComponentText(c.g());
        text += ',';
        text += foundation::gradientComponentText(c.b());
        text += ',';
        text += foundation::gradientComponentText(c.a());
    }
    return text;
}

ZelGradient ZelGradient::copyGradient() const {
    std::vector<Pin> copies;
    copies.reserve(pins_.size());
    for (const Pin& pin : pins_) copies.push_back(pin.copyPin());
    return ZelGradient(std::move(copies), sRGBColorSpace);
}

} // namespace QRCode
