#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/GeneratorRegistry.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/OutlineSink.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <optional>
#include <string_view>

namespace QRCode {

// A pixel shape: turns the on-modules of a matrix into one path.
//
// Every shape class also has class-level members, which registries and
// callers use without an instance:
//   static constexpr std::string_view Name;   // unique, stored in documents
//   static constexpr std::string_view Title;  // shown in pickers
//   static std::shared_ptr<Class> Create(const QRCode::SettingsDict& settings);
// Create never fails: unknown keys are ignored, missing keys or values of the
// wrong kind take the class's defaults (a null SettingsDict means none).
//
// A shape may keep state while drawing (random insets restart and advance),
// so one shape serves one rendering at a time; concurrent renderings draw
// with copies (copyShape).
class QRCodePixelShapeGenerator : public QRCodeShapeGenerator {
public:
    // An independent shape of the same class with the same settings.
    virtual std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const = 0;
    // The path of every on-module, laid out in `size`: cells of
    // min(width, height) / n, the grid centred, row 0 at the top (y down).
    virtual gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) = 0;
    // The outlines generatePath draws, in the same order and places, handed
    // to `sink` instead of kept: each module's figures end with
    // sink.endFigure(). The default hands over generatePath's whole path as
    // one group.
    virtual void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) {
        sink.append(generatePath(matrix, size), gfx::AffineTransform());
        sink.endFigure();
    }
    // Whether every module's figures stay inside the module's cell (grown
    // by outlinesReach() on every side) and overlap neither one another (a
    // hole lies inside its figure) nor any other module's: then the figures
    // of a whole code can be summed into coverage module by module, with no
    // check for overlaps.
    virtual bool outlinesStayInModules() const { return false; }
    // Whether generateOutlines hands the figures over module by module (the
    // default hands over generatePath's whole path): a renderer may then
    // take them as they come, even where they overlap, instead of building
    // the path first.
    virtual bool outlinesByModule() const { return false; }
    // For a shape whose outlines stay in their modules: how far, in cells, a
    // curve may bulge past its cell into a neighbour that draws nothing
    // there.
    virtual double outlinesReach() const { return 0; }
    // For a shape whose figures may reach past their module's cell but do
    // not vary from module to module (other than by the parity of row +
    // column): how far past their cell they reach, in cells. Any two modules
    // at one offset from each other then draw the same two figures, so
    // whether the figures of a whole code overlap shows in a few neighbouring
    // modules; where they do not, a renderer may sum the figures module by
    // module as for outlinesStayInModules. Nothing for any other shape.
    virtual std::optional<double> alikeModulesOverhang() const { return std::nullopt; }
    // Whether eye and pupil shapes may draw with this shape.
    virtual bool canGenerateEyeAndPupilShapes() const = 0;
};

} // namespace QRCode

namespace QRCode {

using PixelShapeClass = GeneratorClass<QRCodePixelShapeGenerator>;

// The stored form {"type": Name, "settings": settings()}.
inline SettingsDict pixelShapeArchive(const QRCodePixelShapeGenerator& generator) {
    return generatorArchive(generator);
}

} // namespace QRCode
