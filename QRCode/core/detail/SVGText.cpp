#include "QRCode/core/detail/SVGText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace QRCode::svg {

void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    // The largest finite double has 309 integer digits.
    char buffer[330];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    char* end = result.ptr;
    if (std::find(buffer, end, '.') != end) {
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
    }
    if (end - buffer == 2 && buffer[0] == '-' && buffer[1] == '0') {
        out += '0';
        return;
    }
    out.append(buffer, end);
}

void appendPathCommand(std::string& out, const gfx::Path::Element& element) {
    using T = gfx::Path::ElementType;
    const auto& p = element.points;
    switch (element.type) {
    case T::moveToPoint:
    case T::addLineToPoint:
        out += element.type == T::moveToPoint ? 'M' : 'L';
        appendNumber(out, p[0].x);
        out += ' ';
        appendNumber(out, p[0].y);
        break;
    case T::addQuadCurveToPoint:
        out += 'Q';
        appendNumber(out, p[0].x);
        out += ',';
        appendNumber(out, p[0].y);
        out += ' ';
        appendNumber(out, p[1].x);
        out += ',';
        appendNumber(out, p[1].y);
        break;
    case T::addCurveToPoint:
        out += 'C';
        for (int i = 0; i < 3; ++i) {
            if (i > 0) out += ' ';
            appendNumber(out, p[i].x);
            out += ',';
            appendNumber(out, p[i].y);
        }
        break;
    case T::closeSubpath: out += 'Z'; break;
    }
}

void appendPathData(std::string& out, const gfx::Path& path) {
    if (!path.isFinite()) return;
    out.reserve(out.size() + path.size() * 16);
    for (const auto& e : path.elements()) {
        appendPathCommand(out, e);
        out += ' ';
    }
}

void appendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out.append(name).append("=\"").append(value).append("\"");
}

void appendAttributeLine(std::string& out, std::string_view indent, std::string_view name, std::string_view value,
                         std::string_view end) {
    out.append(indent).append(name).append("='").append(value).append("'").append(end);
}

std::string shadowFilterId(std::string_view styleIdentifier) { return std::string(styleIdentifier) + "-shadow"; }

void appendFilterStyle(std::string& out, std::string_view filterId) {
    out.append("style=\"filter:url(#").append(filterId).append(")\"");
}

} // namespace QRCode::svg
