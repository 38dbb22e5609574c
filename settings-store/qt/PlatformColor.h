#pragma once

// The platform colour (QColor) as a settings value. It is not kept as it is:
// it goes through the secure-coding bridge as the same keyed archive as the
// store's own Color without a named space (class "NSColor", an optional
// "colorSpaceName" and the components with alpha last, see Bridges.h), so
// either type reads what the other wrote.
//
// Written: an RGB, HSV or HSL colour in sRGB ("kCGColorSpaceSRGB"), an
// extended-range colour in extended sRGB, a CMYK colour in generic CMYK, each
// with alpha last. An invalid QColor has no components and is refused: it
// converts to nothing, so writing it removes the stored value.
//
// Read: the sRGB spaces and every other RGB space as sRGB values (out of
// 0...1 giving an extended-range colour), the linear spaces through the sRGB
// curve, the grey spaces as equal red, green and blue, generic CMYK as CMYK;
// a colour without a named space by its component count (grey, RGB or CMYK,
// each with alpha). An archive whose numbers are not finite, whose alpha lies
// outside 0...1, or that makes no colour otherwise, is refused with
// archive::ArchiveError, which the bridge prints as one line before the key
// reads its default.

#include "settings-store/Defaults.h"

#include <QColor>

#include <string_view>

template <> struct archive::Archivable<QColor> {
    static constexpr std::string_view className = archive::Archivable<Defaults::Color>::className;
    static void encode(const QColor& color, KeyedEncoder& coder);
    static QColor decode(const KeyedDecoder& coder);
};

namespace Defaults {

template <> struct Serializable<QColor> {
    using Bridge = NSSecureCodingBridge<QColor>;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

} // namespace Defaults
