#include "QRCode/core/Colors.h"

#include "QRCode/QRCodeError.h"
#include "platform/foundation/NumberParse.h"
#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <vector>

namespace QRCode {

const gfx::Color& standardWhite() {
    static const gfx::Color c = gfx::Color::gray(1, 1);
    return c;
}

const gfx::Color& standardBlack() {
    static const gfx::Color c = gfx::Color::gray(0, 1);
    return c;
}

const gfx::Color& standardClear() {
    static const gfx::Color c = gfx::Color::gray(0, 0);
    return c;
}

RGBAComponentsException::RGBAComponentsException(RGBAComponentsError error, std::string text)
    : code_(error), text_(std::move(text)) {
    message_ = error == RGBAComponentsError::unableToUnarchiveColor
                   ? "RGBAComponentsError.unableToUnarchiveColor(" + text_ + ")"
                   : "RGBAComponentsError.unableToConvertToRGBA";
}

RGBAComponents::RGBAComponents(const gfx::Color& color) {
    // Every colour of the graphics layer has an sRGB form; the error stays
    // for callers written against the failing form.
    const gfx::RGBA c = color.toSRGB();
    r_ = c.r;
    g_ = c.g;
    b_ = c.b;
    a_ = c.a;
}

std::string RGBAComponents::stringValue() const {
    return foundation::shortestNumberText(r_) + "," + foundation::shortestNumberText(g_) + "," +
           foundation::shortestNumberText(b_) + "," + foundation::shortestNumberText(a_);
}

std::string CGColorRGBAString(const gfx::Color& color) { return RGBAComponents(color).stringValue(); }

gfx::Color CGColorFromRGBAString(std::string_view text) {
    std::vector<double> values;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t comma = std::min(text.find(',', pos), text.size());
        std::string_view piece = text.substr(pos, comma - pos);
        pos = comma + 1;
        if (piece.empty()) continue;
        while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t')) piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == ' ' || piece.back() == '\t')) piece.remove_suffix(1);
        const auto v = foundation::parseDouble(piece);
        if (!v) continue;
        values.push_back(std::isnan(*v) ? 1.0 : std::clamp(*v, 0.0, 1.0));
    }
    if (values.size() != 4) {
        throw RGBAComponentsException(RGBAComponentsError::unableToUnarchiveColor, std::string(text));
    }
    return gfx::Color::sRGB(values[0], values[1], values[2], values[3]);
}

std::string CGColorHexRGBString(const gfx::Color& color) {
    const RGBAComponents c(color);
    // Limited to 0...1 first, so an extended-range colour still gives two
    // digits per channel.
    auto byte = [](double v) { return int(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 1.0) * 255.0); };
    static constexpr char digits[] = "0123456789abcdef";
    std::string out = "#";
    for (const int v : {byte(c.r()), byte(c.g()), byte(c.b())}) {
        out += digits[v >> 4];
        out += digits[v & 15];
    }
    return out;
}

gfx::Color CGColorFromHexString(std::string_view text, gfx::ColorSpace space) {
    std::string s(text);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char ch) { return ch < 128 ? char(std::tolower(ch)) : char(ch); });
    if (!s.empty() && s.front() == '#') s.erase(0, 1);
    switch (s.size()) {
    case 3: s += 'f'; [[fallthrough]];
    case 4: {
        std::string doubled;
        for (char ch : s) doubled.append(2, ch);
        s = doubled;
        break;
    }
    case 6: s += "ff"; break;
    case 8: break;
    default: throw QRCodeException(QRCodeError::invalidHexColorString);
    }
    std::uint32_t value = 0;
    for (char ch : s) {
        int d;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            d = ch - 'a' + 10;
        else
            throw QRCodeException(QRCodeError::invalidHexColorString);
        value = (value << 4) | std::uint32_t(d);
    }
    auto part = [value](int shift) { return double((value >> shift) & 0xff) / 255.0; };
    return gfx::Color::withComponents(space, part(24), part(16), part(8), part(0));
}

gfx::Color CGColorSRGB(double r, double g, double b, double a) { return gfx::Color::sRGB(r, g, b, a); }

} // namespace QRCode
