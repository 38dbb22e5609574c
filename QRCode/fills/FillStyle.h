#pragma once

#include "QRCode/design/Shadow.h"
#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QRCode::FillStyle {

// What a fill contributes to SVG text: the attributes of the filled element
// and, when the fill needs one, text for the document's definitions.
class SVGDefinition {
public:
    SVGDefinition(std::string styleAttribute, std::optional<std::string> styleDefinition)
        : styleAttribute_(std::move(styleAttribute)), styleDefinition_(std::move(styleDefinition)) {}

    const std::string& styleAttribute() const { return styleAttribute_; }
    const std::optional<std::string>& styleDefinition() const { return styleDefinition_; }

private:
    std::string styleAttribute_;
    std::optional<std::string> styleDefinition_;
};

class Solid;
class LinearGradient;
class RadialGradient;
class Image;

} // namespace QRCode::FillStyle

namespace QRCode {

// A fill style: paints one part of a design (on-modules, off-modules, eyes,
// pupils, backgrounds) into a graphics context and describes the same paint
// as SVG text. Fills are owned by std::shared_ptr; every fill a factory or a
// copy hands out is a new instance.
class QRCodeFillStyleGenerator {
public:
    virtual ~QRCodeFillStyleGenerator() = default;

    // The registry name of the fill's class ("solid", "lineargradient", ...).
    virtual std::string_view name() const = 0;
    // A new, independent fill of the same class and values.
    virtual std::shared_ptr<QRCodeFillStyleGenerator> copyStyle() const = 0;
    // The fill's settings dictionary; throws the library's errors.
    virtual foundation::SettingsDict settings() const = 0;

    // Paints the whole rectangle (within the context's clip).
    virtual void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const = 0;
    // Paints the inside of `path` (nonzero rule) and the optional shadow.
    // `rect` is the area the fill is laid out in; `expectedPixelSize` scales
    // the shadow's offset (not its blur). Callers save the graphics state
    // before the call and restore it afterwards.
    virtual void fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
                      const Shadow* shadow) const = 0;
    // The SVG form of the fill for the style identifier; with a shadow, the
    // shadow's filter is "<styleIdentifier>-shadow".
    virtual FillStyle::SVGDefinition svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                                       const Shadow* shadow) const = 0;

    // {"type": name(), "settings": settings()}; fails as settings() does.
    foundation::SettingsDict fillStyleArchive() const;

    // The fill painted over a new transparent sRGB bitmap of the given size,
    // through fill(ctx, rect). `isFlipped` puts the origin at the top-left.
    // Throws QRCodeException(cannotGenerateImage) when no bitmap can be made.
    gfx::ImagePtr image(int width, int height, bool isFlipped) const;
    gfx::ImagePtr image(int dimension, bool isFlipped) const { return image(dimension, dimension, isFlipped); }
};

using QRCodeFillStylePtr = std::shared_ptr<QRCodeFillStyleGenerator>;

// Makes a fill from its archive. The known classes keep their order of
// registration: solid, lineargradient, radialgradient, image.
class QRCodeFillStyleFactory {
public:
    static const QRCodeFillStyleFactory& shared();

    // The names of the known classes, in registration order.
    std::vector<std::string> knownTypes() const;

    // A new fill from {"type", "settings"}. An empty dictionary, a missing or
    // non-text "type", a name no class has, or nesting deeper than
    // foundation::maxJsonDepth: QRCodeException (cannotCreateGenerator). A missing or mistyped "settings" is passed on
    // as an empty dictionary; the class's own error passes through unchanged.
    QRCodeFillStylePtr Create(const foundation::SettingsDict& archive) const;

private:
    struct Entry {
        std::string_view name;
        QRCodeFillStylePtr (*create)(const foundation::SettingsDict& settings);
    };
    QRCodeFillStyleFactory();
    std::vector<Entry> entries_;
};

} // namespace QRCode

namespace QRCode::FillStyle {

// The base of the fill classes: name() is the class's Name, the key the
// factory makes it by.
template <class Self> class NamedFill : public QRCodeFillStyleGenerator {
public:
    std::string_view name() const override { return Self::Name; }
};

// One shared solid fill of generic grey 0 at alpha 0, made on first use.
const std::shared_ptr<Solid>& clear();

} // namespace QRCode::FillStyle
