// The shapes' outline data against the coordinates their outlines are
// defined by. Each row names one stated outline (or one subpath of it) by
// its start point, its sequence of steps (M move, L line, C cubic, Z close)
// and the sum of all its stated coordinates, end and control points alike;
// the path the library draws must contain that run of steps from that start
// point. Any single moved coordinate changes the sum, so it fails its row.
// Tiles are drawn with 10 units per module and read back in their module's
// cell; outlines that are stored mirrored are read back unmirrored.
// Shapes with a corner-radius setting are drawn at their default setting.

#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/generators/eye/DrawnOutlineEyes.h"
#include "QRCode/generators/eye/FixedOutlineEyes.h"
#include "QRCode/generators/eye/FlippingEyes.h"
#include "QRCode/generators/eye/SpikyPegBars.h"
#include "QRCode/generators/pixel/detail/TemplateOutlines.h"
#include "pixel/PixelShapeTestSupport.h"
#include "platform/gfx/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace {

using QRCode::Flip;
using QRCode::PixelShape::PixelType;
using namespace QRCode;
using Kind = gfx::Path::ElementType;

const gfx::AffineTransform kAsIs{};
// Stored mirrored top to bottom in the 10-unit cell or the 90-unit eye box.
const gfx::AffineTransform kMirror10 =
    gfx::AffineTransform::scale(1, -1).then(gfx::AffineTransform::translation(0, 10));
const gfx::AffineTransform kMirror90 =
    gfx::AffineTransform::scale(1, -1).then(gfx::AffineTransform::translation(0, 90));
// Mirrored within the outline's own height (its box from lowest to highest
// point, control points included), not the cell's.
gfx::AffineTransform mirroredIn(double height) {
    return gfx::AffineTransform::scale(1, -1).then(gfx::AffineTransform::translation(0, height));
}

// Back from module (row, column) of a drawing with 10 units per module.
gfx::AffineTransform cell(int row, int column) {
    return gfx::AffineTransform::translation(-10.0 * column, -10.0 * row);
}

// How a row's outline is drawn: a pixel type's template, a tile drawn on a
// grid of rows ('#' on, rows split by '/'), an eye's ring or background, or a pupil.
using Draw = std::function<gfx::Path()>;

Draw tmpl(PixelType type, int index = 0) {
    return [=] {
        const gfx::Path* path = QRCode::PixelShape::templatePath(type, index);
        return path != nullptr ? *path : gfx::Path();
    };
}

Draw tile(std::string shape, std::string_view grid) {
    std::vector<std::string> rows;
    for (std::size_t start = 0; start <= grid.size();) {
        const std::size_t end = std::min(grid.find('/', start), grid.size());
        rows.emplace_back(grid.substr(start, end - start));
        start = end + 1;
    }
    return [=] {
        const double side = 10.0 * static_cast<double>(rows.size());
        return pixelshapetest::make(shape)->generatePath(pixelshapetest::grid(rows), gfx::Size{side, side});
    };
}

Draw ring(std::string name, SettingsDict settings = {}) {
    return [=] { return QRCodeEyeShapeFactory::shared().named(name, settings)->eyePath(); };
}
Draw background(std::string name) {
    return [=] { return QRCodeEyeShapeFactory::shared().named(name)->eyeBackgroundPath(); };
}
Draw pupil(std::string name, SettingsDict settings = {}) {
    return [=] { return QRCodePupilShapeFactory::shared().named(name, settings)->pupilPath(); };
}

struct StatedOutline {
    const char* name;
    Draw draw;
    gfx::AffineTransform back; // from the drawn path to the outline's own frame
    double startX, startY;
    const char* steps;
    double coordinateSum;
};

void PrintTo(const StatedOutline& stated, std::ostream* os) { *os << stated.name; }

char letter(Kind kind) {
    switch (kind) {
    case Kind::moveToPoint: return 'M';
    case Kind::addLineToPoint: return 'L';
    case Kind::addCurveToPoint: return 'C';
    case Kind::closeSubpath: return 'Z';
    case Kind::addQuadCurveToPoint: return 'Q';
    }
    return '?';
}

const StatedOutline kStatedOutlines[] = {
    {"template_arrow", tmpl(PixelType::arrow), kAsIs, 5, 0, "MLLLLLLZ", 67.0},
    {"template_crt", tmpl(PixelType::crt), kAsIs, 0, 5, "MCCCCCCCCZ", 245.0},
    {"template_diagonal", tmpl(PixelType::diagonal), kMirror10, 0, 10, "MLLLLLL", 70.0},
    {"template_diamond", tmpl(PixelType::diamond), kAsIs, 1, 1, "MLLLLZ", 42.0},
    {"template_flame", tmpl(PixelType::flame), kMirror10, 1, 1, "MCLCLCLCLZ", 162.0},
    {"template_flower", tmpl(PixelType::flower), kAsIs, 10, 7.5, "MCCCCCCCCCCCLCCCCCCCCCCCZ", 644.9},
    {"template_gear", tmpl(PixelType::gear), kAsIs, 10, 5.51,
     "MCLCCCLCLCLCCCLCLCLCCCLCLCLCCCLCLCLCCCLCLCLCCCLCLCLCCCLCLCLCCCLCLZ", 1455.52},
    {"template_heart", tmpl(PixelType::heart), mirroredIn(10.29), 9.24, 9.12, "MCLLCCLLLCZ", 235.16},
    {"template_hexa", tmpl(PixelType::hexa), kAsIs, 0, 5, "MLLLLLLZ", 65.0},
    {"template_hexagon", tmpl(PixelType::hexagon), kAsIs, 0, 2, "MLLLLLLLLZ", 82.0},
    {"template_koala", tmpl(PixelType::koala), mirroredIn(11.0), 0.82, 9.18, "MCCCZ", 100.0},
    {"template_leaf", tmpl(PixelType::leaf), kMirror10, 10, 5, "MCCCLLCZ", 136.68},
    {"template_roundedTriangle", tmpl(PixelType::roundedTriangle), kMirror10, 1.69, 0.5, "MCCCCLCCCCLCCCCCLZ", 385.43},
    {"template_sharp", tmpl(PixelType::sharp), kAsIs, 1, 5, "MCCCCCCCCZ", 246.0},
    {"template_spikyCircle", tmpl(PixelType::spikyCircle), kAsIs, 9, 1.87, "MCCCCCCCCCCCCCCCCCCCCZ", 610.91},
    {"template_squircle", tmpl(PixelType::squircle), kAsIs, 5, 0, "MCCCCCCCCZ", 245.0},
    {"template_star", tmpl(PixelType::star), kAsIs, 5, 0, "MLLLLLLLLLZ", 105.0},
    {"template_stitch", tmpl(PixelType::stitch), kAsIs, 5, 4.77, "MCCCCCCZMCCCCCCZ", 398.0},
    {"template_wave", tmpl(PixelType::wave), kAsIs, 0, 2, "MCCCCLCCCCLZ", 264.0},
    {"template_wex", tmpl(PixelType::wex), kAsIs, 0, 2, "MLLLLLLLLLLLLZ", 122.0},
    {"template_shinyFirst", tmpl(PixelType::shiny, 0), kAsIs, 1.47, 5.88, "MCLCLCLCLZ", 167.35},
    {"template_shinySecond", tmpl(PixelType::shiny, 1), kAsIs, 3, 5, "MCCCCCCCCZ", 248.0},
    {"tile_vortexDot", tile("vortex", "#.../..../..../...."), cell(0, 0), 9, 5, "MCCCCZ", 134.0},
    {"tile_vortexLeftCap", tile("vortex", "##../..../..../...."), cell(0, 0), 1, 5, "MCLLLCZ", 89.58},
    {"tile_vortexRightCap", tile("vortex", "##../..../..../...."), cell(0, 1), 0, 1, "MLCLCLLZ", 111.42},
    {"tile_vortexTopCap", tile("vortex", "#.../#.../..../...."), cell(0, 0), 1, 10, "MLLCLCLZ", 100.58},
    {"tile_vortexBottomCap", tile("vortex", "#.../#.../..../...."), cell(1, 0), 1, 5, "MCLCLLLZ", 116.42},
    {"tile_vortexHorizontalBar", tile("vortex", "###./..../..../...."), cell(0, 1), 0, 1, "MLLLLZ", 41.0},
    {"tile_vortexVerticalBar", tile("vortex", "#.../#.../#.../...."), cell(1, 0), 1, 0, "MLLLLZ", 41.0},
    {"tile_vortexTopLeftBend1", tile("vortex", "##/##"), cell(0, 0), 1, 9, "MLLLCLZ", 69.58},
    {"tile_vortexTopLeftBend2", tile("vortex", "##/##"), cell(0, 0), 1, 10, "MLLLLZ", 69.0},
    {"tile_vortexTopRightBend1", tile("vortex", "##/##"), cell(0, 1), 9, 9, "MLLLCLZ", 86.0},
    {"tile_vortexTopRightBend2", tile("vortex", "##/##"), cell(0, 1), 9, 10, "MLLLLZ", 77.0},
    {"tile_vortexBottomLeftBend1", tile("vortex", "##/##"), cell(1, 0), 1, 1, "MLLLCLZ", 74.0},
    {"tile_vortexBottomLeftBend2", tile("vortex", "##/##"), cell(1, 0), 1, 0, "MLLLLZ", 23.0},
    {"tile_vortexBottomRightBend1", tile("vortex", "##/##"), cell(1, 1), 9, 1, "MLLLCLZ", 90.42},
    {"tile_vortexBottomRightBend2", tile("vortex", "##/##"), cell(1, 1), 9, 0, "MLLLLZ", 31.0},
    {"tile_donutHole", tile("donut", "#"), cell(0, 0), 5, 6.5, "MCCCCCZ", 156.6},
    {"tile_donutOuter", tile("donut", "#"), cell(0, 0), 10, 5, "MCCCCCZ", 146.68},
    {"tile_diagonalStripes1", tile("diagonalStripes", "#"), cell(0, 0), 0, 7.56, "MCCLCZ", 106.29},
    {"tile_diagonalStripes2", tile("diagonalStripes", "#"), cell(0, 0), 0, 5.06, "MCCLCZ", 101.86},
    {"tile_diagonalStripes3", tile("diagonalStripes", "#"), cell(0, 0), 4.08, 5.63, "MCCCCLCZ", 177.66},
    {"tile_diagonalStripes4", tile("diagonalStripes", "#"), cell(0, 0), 10, 7.59, "MCLCCCCZ", 144.59},
    {"tile_diagonalStripes5", tile("diagonalStripes", "#"), cell(0, 0), 10, 1.32, "MCLLCZ", 91.37},
    {"tile_diagonalStripes6", tile("diagonalStripes", "#"), cell(0, 0), 10, 3.83, "MCCLCZ", 115.93},
    {"tile_diagonalStripes7", tile("diagonalStripes", "#"), cell(0, 0), 10, 5.08, "MCLCCZ", 118.07},
    {"tile_circuitLeft", tile("circuit", "##./.../..."), cell(0, 1), 0, 3.8, "MCCCCCCCCCLLZ", 255.47},
    {"tile_circuitRight", tile("circuit", "##./.../..."), cell(0, 0), 10, 3.8, "MCCCCCCCCCLLZ", 350.41},
    {"tile_circuitTop", tile("circuit", "#../#../..."), cell(1, 0), 6.2, 0, "MCCCCCCCCCLLZ", 249.59},
    {"tile_circuitBottom", tile("circuit", "#../#../..."), cell(0, 0), 6.2, 10, "MCCCCCCCCCLLZ", 344.53},
    {"tile_crosshatchTopLeft", tile("crosshatch", "#../.#./..."), cell(1, 1), 0.74, -0.74, "MCCCCCCCCCLZ", 187.95},
    {"tile_crosshatchBottomRight", tile("crosshatch", "#../.#./..."), cell(0, 0), 9, 5, "MCCLCCCCCCZ", 342.23},
    {"tile_crosshatchTopRight", tile("crosshatch", ".#./#../..."), cell(1, 0), 9.26, -0.74, "MCCCCCCCCCLZ", 290.13},
    {"tile_crosshatchBottomLeft", tile("crosshatch", ".#./#../..."), cell(0, 1), 9, 5, "MCCCCCCCCCZ", 283.96},
    {"tile_blobLone", tile("blob", "#"), cell(0, 0), 3, 0, "MLCLCLCLCZ", 163},
    {"tile_blobBottomRightRounded", tile("blob", "##/##"), cell(1, 1), 0, 0, "MLLCLLZ", 91},
    {"tile_blobFilletTopLeft", tile("blob", ".#./###/.#."), cell(2, 2), 0, 5, "MCCLLZ", 31.9},
    {"tile_blobFilletTopRight", tile("blob", ".#./###/.#."), cell(2, 0), 10, 5, "MCCLLZ", 95.3},
    {"tile_blobFilletBottomLeft", tile("blob", ".#./###/.#."), cell(0, 2), 0, 5, "MCCLLZ", 84.7},
    {"tile_blobFilletBottomRight", tile("blob", ".#./###/.#."), cell(0, 0), 10, 5, "MCCLLZ", 148.1},
    {"tile_dripHorizontalDot", tile("dripHorizontal", "#"), cell(0, 0), 9.5, 5, "MCCCCZ", 134.5},
    {"tile_dripVerticalDot", tile("dripVertical", "#"), cell(0, 0), 9.5, 5, "MCCCCZ", 134.5},
    {"tile_dripHorizontalRightJoin", tile("dripHorizontal", "###/.../..."), cell(0, 0).then(kMirror10), 5, 9.5,
     "MCCCLCCCCCCZ", 350.5},
    {"tile_dripHorizontalLeftJoin", tile("dripHorizontal", "###/.../..."), cell(0, 2).then(kMirror10), 5, 9.5,
     "MCCCLCCCCCCZ", 224.12},
    {"tile_dripHorizontalBothJoins", tile("dripHorizontal", "###/.../..."), cell(0, 1).then(kMirror10), 10.01, 3.1,
     "MCCCCCCLCCCCCCCLLZ", 432.43},
    {"tile_dripVerticalTopJoin", tile("dripVertical", "#../#../#.."), cell(2, 0).then(kMirror10), 9.5, 5,
     "MCCCLCCCCCCZ", 350.5},
    {"tile_dripVerticalBottomJoin", tile("dripVertical", "#../#../#.."), cell(0, 0).then(kMirror10), 9.51, 5,
     "MCCCLCCCCCCZ", 224.37},
    {"tile_dripVerticalBothJoins", tile("dripVertical", "#../#../#.."), cell(1, 0).then(kMirror10), 6.91, 10,
     "MCCCCCCLCCCCCCCLLZ", 426.08},
    {"tile_roundedPathTop", tile("roundedPath", ".#./###/.#."), cell(2, 1), 0, 0, "MLLCLCLZ", 117},
    {"tile_roundedPathLeft", tile("roundedPath", ".#./###/.#."), cell(1, 2), 0, 0, "MLCLCLLZ", 123.5},
    {"tile_roundedPathTopAndLeft", tile("roundedPath", "##/##"), cell(1, 1), 0, 0, "MLLCLLZ", 90.25},
    {"tile_roundedPathRight", tile("roundedPath", ".#./###/.#."), cell(1, 0), 3.25, 0, "MLLLCLCZ", 79.75},
    {"tile_roundedPathTopAndRight", tile("roundedPath", "##/##"), cell(1, 0), 0, 0, "MLLLCLZ", 66.75},
    {"tile_roundedPathBottom", tile("roundedPath", ".#./###/.#."), cell(0, 1), 3.25, 0, "MLCLLLCZ", 86.25},
    {"tile_roundedPathLeftAndBottom", tile("roundedPath", "##/##"), cell(0, 1), 0, 0, "MLCLLLZ", 73.25},
    {"tile_roundedPathRightAndBottom", tile("roundedPath", "##/##"), cell(0, 0), 3.25, 0, "MLLLLCZ", 53},
    {"tile_roundedPathFilletTopLeft", tile("roundedPath", ".#./###/.#."), cell(2, 2), 5.0 / 3 * 0.65, 0, "MLCCZ",
     4.875},
    {"tile_roundedPathFilletTopRight", tile("roundedPath", ".#./###/.#."), cell(2, 0), 10 - 5.0 / 3 * 0.65, 0, "MLCCZ",
     79.4583333333},
    {"tile_roundedPathFilletBottomLeft", tile("roundedPath", ".#./###/.#."), cell(0, 2), 5.0 / 3 * 0.65, 10, "MLCCZ",
     80.5416666667},
    {"tile_roundedPathFilletBottomRight", tile("roundedPath", ".#./###/.#."), cell(0, 0), 10 - 5.0 / 3 * 0.65, 10,
     "MLCCZ", 155.125},
    {"tile_roundedEndIndentFreeBottom", tile("roundedEndIndent", "#./#."), cell(1, 0), 0, 0, "MLLCCLZ", 109},
    {"tile_roundedEndIndentFreeTop", tile("roundedEndIndent", "#./#."), cell(0, 0), 0, 10, "MLLCCLZ", 81},
    {"tile_roundedEndIndentFreeRight", tile("roundedEndIndent", "##/.."), cell(0, 1), 0, 0, "MLCCLLZ", 109},
    {"tile_roundedEndIndentFreeLeft", tile("roundedEndIndent", "##/.."), cell(0, 0), 10, 0, "MLCCLLZ", 81},
    {"tile_curvePixelBottom", tile("curvePixel", ".#./###/.#."), cell(0, 1), 5, 0.5, "MLCLLLCZ", 96.5},
    {"tile_curvePixelTop", tile("curvePixel", ".#./###/.#."), cell(2, 1), 0.5, 0.5, "MLLCLCLZ", 110},
    {"tile_curvePixelRight", tile("curvePixel", ".#./###/.#."), cell(1, 0), 5, 0.5, "MLLLCLCZ", 87.5},
    {"tile_curvePixelRightAndBottom", tile("curvePixel", "##/##"), cell(0, 0), 5, 0.5, "MLLLLCZ", 62},
    {"tile_curvePixelRightAndTop", tile("curvePixel", "##/##"), cell(1, 0), 0.5, 0.5, "MLLLCLZ", 66.5},
    {"tile_curvePixelLeft", tile("curvePixel", ".#./###/.#."), cell(1, 2), 0.5, 0.5, "MLCLCLLZ", 119},
    {"tile_curvePixelLeftAndBottom", tile("curvePixel", "##/##"), cell(0, 1), 0.5, 0.5, "MLCLLLZ", 75.5},
    {"tile_curvePixelLeftAndTop", tile("curvePixel", "##/##"), cell(1, 1), 0.5, 0.5, "MLLCLLZ", 84.5},
    {"tile_circuitLeftRight", tile("circuit", ".../###/..."), cell(1, 1), 8, 7.65, "MCCLCCCCCCCLCLCCCCZ", 427.3},
    {"tile_circuitTopBottom", tile("circuit", ".#./.#./.#."), cell(1, 1), 7.65, 2, "MCCLCCCCCCCLCLCCCCZ", 457.8},
    {"tile_circuitTopLeft", tile("circuit", ".#./##./..."), cell(1, 1), 6.2, 0, "MCCCCCCCCLCCCCCLLZ", 331.15},
    {"tile_circuitTopRight", tile("circuit", ".#./.##/..."), cell(1, 1), 3.8, 0, "MCCCCCCCCLCCCCCLLZ", 433.47},
    {"tile_circuitBottomLeft", tile("circuit", ".../##./.#."), cell(1, 1), 6.2, 10, "MCCCCCCCCLCCCCCLLZ", 426.53},
    {"tile_circuitBottomRight", tile("circuit", ".../.##/.#."), cell(1, 1), 10, 3.8, "MCCCCCCCCLCCCCCLLZ", 528.85},
    {"tile_circuitLeftTopRight", tile("circuit", ".#./###/..."), cell(1, 1), 6.2, 0, "MCCCCCLCCCCCCCLCLCCCCCLZ",
     539.46},
    {"tile_circuitLeftBottomRight", tile("circuit", ".../###/.#."), cell(1, 1), 6.2, 10, "MCCCCCLCCCCCCCLCLCCCCCLZ",
     606.32},
    {"tile_circuitTopLeftBottom", tile("circuit", ".#./##./.#."), cell(1, 1), 0, 6.2, "MCCCCCLCCCCCCCLCLCCCCCLZ",
     539.46},
    {"tile_circuitTopRightBottom", tile("circuit", ".#./.##/.#."), cell(1, 1), 10, 6.2, "MCCCCCLCCCCCCCLCLCCCCCLZ",
     606.32},
    {"tile_circuitAllFour", tile("circuit", ".#./###/.#."), cell(1, 1), 6.2, 10, "MCCCCCLCCCCCLCLCCCCCLCCCCCLZ",
     673.64},
    {"tile_crosshatchTopLeftTopRight", tile("crosshatch", "#.#/.#./..."), cell(1, 1), 9.26, -0.74, "MLCCCCCCCCLCCCCZ",
     295.78},
    {"tile_crosshatchTopLeftBottomLeft", tile("crosshatch", "#../.#./#.."), cell(1, 1), 0.74, -0.74,
     "MCCCCCCCLCCCCCCCLZ", 338.94},
    {"tile_crosshatchBottomLeftBottomRight", tile("crosshatch", ".../.#./#.#"), cell(1, 1), 9, 5, "MCCLCCCCCCCCCCZ",
     457.79},
    {"tile_crosshatchTopRightBottomRight", tile("crosshatch", "..#/.#./..#"), cell(1, 1), 9.26, -0.74,
     "MLCCCCLCCLLLCLCLLLLLLLCCCCCCZ", 788.24},
    {"tile_crosshatchTopRightBottomLeft", tile("crosshatch", "..#/.#./#.."), cell(1, 1), 9.26, -0.74, "MLCCCCCCCCCCCCZ",
     377.1},
    {"tile_crosshatchTopLeftBottomRight", tile("crosshatch", "#../.#./..#"), cell(1, 1), 0.74, -0.74,
     "MCCCCCLCCCCCCCLZ", 361.7},
    {"tile_crosshatchTopLeftTopRightBottomLeft", tile("crosshatch", "#.#/.#./#.."), cell(1, 1), 9.26, -0.74,
     "MLCCCCCCCCCCCCLCCCCZ", 411.16},
    {"tile_crosshatchTopLeftTopRightBottomRight", tile("crosshatch", "#.#/.#./..#"), cell(1, 1), 9.26, -0.74,
     "MCCCCCLCCCCCCCLCCCCLZ", 497.94},
    {"tile_crosshatchTopRightBottomLeftBottomRight", tile("crosshatch", "..#/.#./#.#"), cell(1, 1), 9.26, -0.74,
     "MLCCCCLCCCCCCCCCCCZ", 551.62},
    {"tile_crosshatchTopLeftBottomLeftBottomRight", tile("crosshatch", "#../.#./#.#"), cell(1, 1), 0.74, -0.74,
     "MCCCCCLCCCCCLCCCCCCCLZ", 512.69},
    {"tile_crosshatchAllFour", tile("crosshatch", "#.#/.#./#.#"), cell(1, 1), 9.26, -0.74, "MLCCCCLCCCCCCCCCCCLCCCCCZ",
     594.75},
    {"tile_pointyTowardsY0", tile("pointy", "#./#."), cell(0, 0), 0, 10, "MLLLLZ", 55},
    {"tile_pointyTowardsY10", tile("pointy", "#./#."), cell(1, 0), 0, 0, "MLLLLZ", 45},
    {"tile_pointyTowardsX0", tile("pointy", "##/.."), cell(0, 0), 10, 0, "MLLLLZ", 55},
    {"tile_pointyTowardsX10", tile("pointy", "##/.."), cell(0, 1), 0, 0, "MLLLLZ", 45},
    {"tile_grid2x2", tile("grid2x2", "#"), cell(0, 0), 0.5, 0, "MLLLLZMLLLLZMLLLLZMLLLLZ", 182},
    {"tile_grid3x3", tile("grid3x3", "#"), cell(0, 0), 0.33, 0,
     "MLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZ", 422.55},
    {"tile_grid4x4", tile("grid4x4", "#"), cell(0, 0), 5.25, 0.25,
     "MLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZMLLLLZ", 784},
    {"tile_razorCut10_0", tile("razor", "#./#."), cell(0, 0), 0, 0, "MCCLLLZ", 92},
    {"tile_razorCut0_10", tile("razor", "#./#."), cell(1, 0), 0, 0, "MLLCCLZ", 88},
    {"tile_razorCut0_0", tile("razor", "##/.."), cell(0, 0), 2, 2, "MCLLLCZ", 78},
    {"tile_razorCut10_10", tile("razor", "##/.."), cell(0, 1), 0, 0, "MLCCLLZ", 106},
    {"tile_razorRounded0_0", tile("razor", "##/#."), cell(0, 0), 10, 10, "MCCLCCLLLZ", 163.02},
    {"tile_razorRounded10_0", tile("razor", "##/.#"), cell(0, 1), 0, 10, "MCCLCCLLLZ", 135.5},
    {"tile_razorRounded0_10", tile("razor", "#./##"), cell(1, 0), 10, 0, "MCCLCCLLLZ", 204.5},
    {"tile_razorRounded10_10", tile("razor", ".#/##"), cell(1, 1), 0, 0, "MCCLCCLLLZ", 176.98},
    {"tile_razorFillet0_0", tile("razor", "##/#."), cell(1, 1), 1.25, 0, "MLCCZ", 5.625},
    {"tile_razorFillet10_0", tile("razor", "##/.#"), cell(1, 0), 8.75, 0, "MLCCZ", 79.375},
    {"tile_razorFillet0_10", tile("razor", "#./##"), cell(0, 1), 1.25, 10, "MLCCZ", 80.625},
    {"tile_razorFillet10_10", tile("razor", ".#/##"), cell(0, 0), 8.75, 10, "MLCCZ", 154.375},
    {"eye_barsBackground", background("barsHorizontal"), kAsIs, 90, 77.14, "MLCLCLCLCZ", 1607.14},
    {"eye_crtBackground", background("crt"), kAsIs, 0, 45, "MCCCCCCCCZ", 2205.0},
    {"eye_dotDragHorizontalUpperBar", ring("dotDragHorizontal"), kAsIs, 20, 75, "MCLCLCLCZ", 1920.0},
    {"eye_dotDragVerticalRightBar", ring("dotDragVertical"), kAsIs, 75, 70, "MCLCLCLCZ", 1920.0},
    {"eye_arcBackground", background("arc"), kAsIs, 0.01, 40.6, "MCCCCLCCCCCCCCLCCCZ", 4256.47},
    {"eye_cloudBackground", background("cloud"), kAsIs, 90, 75, "MCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCZ", 9972.93},
    {"eye_cloudCircleBackground", background("cloudCircle"), kAsIs, 90, 45, "MCCCCZ", 1215.0},
    {"eye_roundedOuterHole", ring("roundedOuter"), kAsIs, 20, 70, "MLLLCLZ", 601.84},
    {"eye_roundedOuterEdge", ring("roundedOuter"), kAsIs, 10, 80, "MCCLCLZ", 948.24},
    {"eye_roundedOuterBackground", background("roundedOuter"), kAsIs, 0, 0, "MCCLCLZ", 963.85},
    {"eye_headlightHole", ring("headlight"), kAsIs, 45, 20, "MCCCCCZ", 1451.78},
    {"eye_headlightEdge", ring("headlight"), kAsIs, 80, 10, "MCLLCLZ", 861.34},
    {"eye_headlightBackground", background("headlight"), kAsIs, 0, 0, "MLLLCLZ", 630.0},
    {"eye_eyeCircularHole", ring("eye"), kAsIs, 45, 70, "MCCCCCZ", 1376.72},
    {"eye_eyeSquaredFarCornerHole", ring("eye", {{"eyeInnerStyle", 1}}), kAsIs, 70, 70, "MLCCCLZ", 1102.38},
    {"eye_eyeSquaredNearCornerHole", ring("eye", {{"eyeInnerStyle", 2}}), kAsIs, 45, 70, "MCLLCCZ", 1132.62},
    {"eye_eyeBackground", background("eye"), kAsIs, 90, 0, "MCCLLCLZ", 1215.0},
    {"eye_leafHole", ring("leaf"), kAsIs, 20, 20, "MLCLLCLZ", 940.0},
    {"eye_leafEdge", ring("leaf"), kAsIs, 10, 10, "MCCLLCLZ", 1010.0},
    {"eye_leafBackground", background("leaf"), kAsIs, 90, 0, "MCCLLCLZ", 1234.29},
    {"eye_explodeHole", ring("explode"), kAsIs, 75, 75, "MCCCCCCCCZ", 2310.0},
    {"eye_explodeEdge", ring("explode"), kAsIs, 80, 80, "MCLLLZ", 770.0},
    {"eye_explodeBackground", background("explode"), kAsIs, 0, 0, "MLLLLZ", 360.0},
    {"eye_flameHole", ring("flame"), kAsIs, 21, 20, "MLCLLCLZ", 975.02},
    {"eye_flameEdge", ring("flame"), kAsIs, 10, 10, "MCCLLCLZ", 1054.1},
    {"eye_flameBackground", background("flame"), kAsIs, 5, 76, "MCLLCLLZ", 1021.0},
    {"eye_holePunchEdge", ring("holePunch"), kAsIs, 80, 80, "MCLLLZ", 770.0},
    {"eye_holePunchBackground", background("holePunch"), kAsIs, 0, 0, "MLLLLZ", 360.0},
    {"eye_pinchEdge", ring("pinch"), kAsIs, 80, 80, "MCCCCCCCCZ", 2320.0},
    {"eye_pinchHole", ring("pinch"), kAsIs, 70, 70, "MCCCCCCCCZ", 2300.0},
    {"eye_pinchBackground", background("pinch"), kAsIs, 3, 45, "MCCCCCCCCZ", 2208.0},
    {"eye_squircleHole", ring("squircle"), kAsIs, 45, 70, "MCCCCCCCCCZ", 2511.4},
    {"eye_squircleEdge", ring("squircle"), kAsIs, 74.43, 74.43, "MCCCCCCCCCZ", 2550.86},
    {"eye_squircleBackground", background("squircle"), kAsIs, 82.84, 82.84, "MCCCCCCCCCZ", 2559.68},
    {"eye_shieldBackground", background("shield"), kAsIs, 90, 77.14, "MLCLCLCLCZ", 1607.14},
    {"eye_roundedPointingInRing", ring("roundedPointingIn"), kAsIs, 57, 20, "MLCLCLLCZMLLCLCLCZ", 2274.24},
    {"eye_roundedPointingInBackground", background("roundedPointingIn"), kAsIs, 90, 60.43, "MLLCLCLCZ", 1320.43},
    {"eye_teardropRing", ring("teardrop"), kAsIs, 45, 70, "MCLLCCZMCLLCCZ", 2286.28},
    {"eye_teardropBackground", background("teardrop"), kAsIs, 90, 45, "MCLLCCZ", 1125.0},
    {"eye_ufoRing", ring("ufo"), kAsIs, 70, 70, "MLCLLCCCZMCCCLLCLZ", 3480.86},
    {"eye_ufoBackground", background("ufo"), kAsIs, 90, 0, "MCCLLCLZ", 1215.0},
    {"eye_ufoRoundedRing", ring("ufoRounded"), kAsIs, 62, 70, "MLCLCCLCLCZMLCLCCCLCLCZ", 3491.77},
    {"eye_ufoRoundedBackground", background("ufoRounded"), kAsIs, 90, 22.5, "MLCLCCLCLCZ", 1836.22},
    {"eye_squarePegRing", ring("squarePeg"), kAsIs, 45, 70, "MCCCCCZMLCLCLCLCZ", 2966.72},
    {"eye_squarePegBackground", background("squarePeg"), kAsIs, 90, 77.14, "MLCLCLCLCZ", 1607.14},
    {"eye_surroundingBarsBackground", background("surroundingBars"), kAsIs, 79.55, 79.55, "MCLCCLCCLCCLCZ", 2679.1},
    {"eye_arcHole", ring("arc"), kMirror90, 52, 70, "MLCCCCCCCCLCLCZ", 3103.86},
    {"eye_crtRing", ring("crt"), kAsIs, 45, 70, "MCCCCCCCCZMCCCCCCCCLZ", 4743},
    {"eye_circleRing", ring("circle"), kAsIs, 45, 20, "MCCCCCZMCCCCCZ", 2778.3},
    {"eye_barsRing", ring("barsHorizontal"), kAsIs, 65, 20, "MLCLCLCLCZMLCLCLCLCZ", 3065},
    // The shield's quarters are one table mirrored four ways, under which a
    // moved coordinate leaves the whole ring's sum as it was: the top-left
    // quarter, drawn as stated, is pinned.
    {"eye_shieldNotchedQuarter", ring("shield"), kAsIs, 22.9, 78.06, "MCCCCLCCCCCCLLCZ", 3292.18},
    {"eye_shieldRoundedQuarter", ring("shield", {{"corners", 0}}), kAsIs, 45, 80, "MCLCCCCCCCCCLCCLZ", 3334.98},
    {"eye_arcRing", ring("arc"), kAsIs, 51.07, 10.04, "MCCLCCCLCLLLCCZMLCCCCCCCCLCLCZ", 6175.57},
    {"eye_fireballRing", ring("fireball"), kAsIs, 45, 70, "MCLLCCZMLCLLCLZ", 2192.62},
    {"eye_peacockRing", ring("peacock"), kAsIs, 70, 70, "MLCCCLZMLCLLCLZ", 2162.38},
    {"pupil_arc", pupil("arc"), kMirror90, 30, 37, "MLCLCCCCCLCCCZ", 3079.18},
    {"pupil_blade", pupil("blade"), kAsIs, 60, 39, "MCCCCCCCCCCCCZ", 3338.79},
    {"pupil_blobby", pupil("blobby"), kAsIs, 60, 55, "MCLCCLCCCCCCCCLCCCCLCCCLCCCLCCLCCZ", 7290.3},
    {"pupil_crt", pupil("crt"), kAsIs, 30, 45, "MCCCCCCCCZ", 2235.0},
    {"pupil_cloud", pupil("cloud"), kAsIs, 60, 55, "MCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCZ", 8505.08},
    {"pupil_cloudCircle", pupil("cloudCircle"), kMirror90, 50.13, 57.39, "MCCCCCCCCCCCCCCCCCCCZ", 5084.79},
    {"pupil_cross", pupil("cross"), kAsIs, 30, 50, "MLLLLLLLLLLLLLLLLZ", 1520.0},
    {"pupil_crossCurved", pupil("crossCurved"), kAsIs, 30, 50, "MCCLLCCLLCCLLCCLLZ", 2960.0},
    {"pupil_dotDragHorizontal1", pupil("dotDragHorizontal"), kAsIs, 30, 55, "MCLCLCLCZ", 1600.0},
    {"pupil_dotDragHorizontal2", pupil("dotDragHorizontal"), kAsIs, 30, 45, "MCLCLCLCZ", 1440.0},
    {"pupil_dotDragHorizontal3", pupil("dotDragHorizontal"), kAsIs, 30, 35, "MCLCLCLCZ", 1280.0},
    {"pupil_dotDragVertical1", pupil("dotDragVertical"), kAsIs, 55, 60, "MCLCLCLCZ", 1600.0},
    {"pupil_dotDragVertical2", pupil("dotDragVertical"), kAsIs, 45, 60, "MCLCLCLCZ", 1440.0},
    {"pupil_dotDragVertical3", pupil("dotDragVertical"), kAsIs, 35, 60, "MCLCLCLCZ", 1280.0},
    {"pupil_explode", pupil("explode"), kAsIs, 32.5, 45.5, "MCCCCCCCCZ", 2239.5},
    {"pupil_orbits", pupil("orbits"), kAsIs, 52, 53, "MCLCCLCCCCLCCLCCCZ", 3705.0},
    {"pupil_flame", pupil("flame"), kMirror90, 32.62, 34.67, "MCLLCLLZ", 971.69},
    {"pupil_heart", pupil("heart"), kMirror90, 60, 50.29, "MCCCCCCZ", 1815.54},
    {"pupil_forest", pupil("forest"), kMirror90, 36.68, 33.18, "MCCCCCZ", 1437.45},
    {"pupil_koala", pupil("koala"), kMirror90, 31.62, 58.38, "MCCCZ", 900.0},
    {"pupil_leaf", pupil("leaf"), kAsIs, 30, 30, "MLCLLCLZ", 960.0},
    {"pupil_roundedOuter", pupil("roundedOuter"), kAsIs, 36, 30, "MLLLLCZ", 624.0},
    {"pupil_roundedPointingIn", pupil("roundedPointingIn"), kAsIs, 36, 30, "MLCLLCLCZ", 1164.0},
    {"pupil_teardrop", pupil("teardrop"), kAsIs, 60, 45, "MCLLCCZ", 1111.56},
    {"pupil_ufo", pupil("ufo"), kAsIs, 60, 60, "MCCLLCLLZ", 1365.0},
    {"pupil_ufoRounded", pupil("ufoRounded"), kAsIs, 60, 56, "MLCLCCLCLCZ", 1745.95},
    {"pupil_roundedPointingOut", pupil("roundedPointingOut"), kAsIs, 54, 60, "MLCLLCLCZ", 1356.0},
    {"pupil_pinch", pupil("pinch"), kAsIs, 30.5, 45, "MCCCCCCCCZ", 2235.5},
    {"pupil_squircle", pupil("squircle"), kAsIs, 45, 30, "MCCCCCCCCZ", 2235.0},
    {"pupil_seal", pupil("seal"), kAsIs, 37.04, 33.54, "MCCLCLCCLCLCCLCLCCLCLCCLCLCCLCLCCLCLCCLCLZ", 7990.47},
    {"pupil_spikyCircle", pupil("spikyCircle"), kAsIs, 55.32, 33.92, "MCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCZ",
     10361.01},
    {"pupil_arrow", pupil("arrow"), kAsIs, 60, 37.5,
     "MCCCCCCCLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLC", 6690.13},
    // The gear's teeth are one tooth turned about the centre, which leaves
    // the sum over all of them unchanged: the first tooth, unturned, is pinned.
    {"pupil_gearFirstTooth", pupil("gear"), kMirror90, 60, 46.54, "MCLCCCLCL", 2036.09},
    {"pupil_fabricScissors", pupil("fabricScissors"), kAsIs, 34.95, 59.9, "MLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLZ",
     3331.25},
    // The stripes run at 45 degrees: a band moved along them shifts its ends
    // by as much in x as in y, which x + y does not see; read with y doubled.
    {"pupil_diagonalStripes", pupil("diagonalStripes"), gfx::AffineTransform::scale(1, 2), 36.38, 120,
     "MLCLCLZMLLLZMLLLZMLLLZMLLLZMCLCZMCLCZMLCLCLZMLLLZMLLLZMLLLZMLLLZ", 9175.9653677654715},
    {"pupil_barsHorizontal", pupil("barsHorizontal"), kAsIs, 60, 34, "MLCLCLCLCZMLCLCLCLCZMLCLCLCLCZ", 4632.75},
    {"pupil_shieldCut", pupil("shield"), kAsIs, 37.58, 60, "MCCLLLZMCCLLLZMCCLLLZMCCLLLZ", 3600},
    {"pupil_shieldRounded", pupil("shield", {{"corners", 0}}), kAsIs, 45, 45, "MLLCLLZMLLCLLZMLLCLLZMLLCLLZ", 2880},
};

class OutlineData : public ::testing::TestWithParam<StatedOutline> {};

TEST_P(OutlineData, MatchesTheStatedOutline) {
    const StatedOutline& stated = GetParam();
    const gfx::Path drawn = stated.draw().transformed(stated.back);
    const auto& elements = drawn.elements();
    const std::string steps = stated.steps;
    std::string nearest = "no subpath starts there";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const auto& e = elements[i];
        if (e.type != Kind::moveToPoint || std::abs(e.points[0].x - stated.startX) > 1e-6 ||
            std::abs(e.points[0].y - stated.startY) > 1e-6) {
            continue;
        }
        std::string found;
        double sum = 0;
        for (std::size_t k = i; k < elements.size() && found.size() < steps.size(); ++k) {
            found += letter(elements[k].type);
            for (int p = 0; p < gfx::Path::pointCount(elements[k].type); ++p) {
                sum += elements[k].points[static_cast<std::size_t>(p)].x +
                       elements[k].points[static_cast<std::size_t>(p)].y;
            }
        }
        if (found == steps && std::abs(sum - stated.coordinateSum) < 1e-6) return;
        nearest = "steps " + found + ", coordinate sum " + std::to_string(sum);
    }
    ADD_FAILURE() << stated.name << ": expected steps " << steps << " with coordinate sum " << stated.coordinateSum
                  << " from (" << stated.startX << ", " << stated.startY << "); found " << nearest;
}

INSTANTIATE_TEST_SUITE_P(Shapes, OutlineData, ::testing::ValuesIn(kStatedOutlines),
                         [](const ::testing::TestParamInfo<StatedOutline>& info) {
                             return std::string(info.param.name);
                         });

// Outlines traced by hand, held to their stated features rather than to
// every point: start points, step counts, bounds, tooth and wave positions.

std::vector<std::vector<gfx::Path::Element>> subpaths(const gfx::Path& path) {
    std::vector<std::vector<gfx::Path::Element>> result;
    for (const auto& e : path.elements()) {
        if (e.type == Kind::moveToPoint) result.emplace_back();
        if (!result.empty()) result.back().push_back(e);
    }
    return result;
}

int count(const std::vector<gfx::Path::Element>& steps, Kind kind) {
    return static_cast<int>(
        std::count_if(steps.begin(), steps.end(), [kind](const auto& e) { return e.type == kind; }));
}

gfx::Point endPoint(const gfx::Path::Element& e) {
    return e.points[static_cast<std::size_t>(std::max(0, gfx::Path::pointCount(e.type) - 1))];
}

bool passesThrough(const std::vector<gfx::Path::Element>& steps, gfx::Point p, double tolerance = 1e-9) {
    return std::any_of(steps.begin(), steps.end(), [&](const auto& e) {
        return e.type != Kind::closeSubpath && std::abs(endPoint(e).x - p.x) <= tolerance &&
               std::abs(endPoint(e).y - p.y) <= tolerance;
    });
}

TEST(TracedOutlines, FabricScissorsTeethStartsAndCounts) {
    EyeShape::FabricScissors eye;
    const gfx::Path ring = eye.eyePath();
    const auto parts = subpaths(ring);
    ASSERT_EQ(parts.size(), 2u);
    const auto& outer = parts[0];
    const auto& hole = parts[1];
    EXPECT_EQ(endPoint(outer.front()), (gfx::Point{59.97, 80.07}));
    EXPECT_EQ(count(outer, Kind::addCurveToPoint), 93);
    EXPECT_EQ(count(outer, Kind::addLineToPoint), 5);
    EXPECT_EQ(endPoint(hole.front()), (gfx::Point{47.46, 72.5}));
    EXPECT_EQ(count(hole, Kind::addCurveToPoint), 85);
    EXPECT_EQ(count(hole, Kind::addLineToPoint), 0);
    // Tips on the edges every 5 units from 20 to 70, notches 2.5 inside
    // between them; the corner notches' inner corners 3 units in.
    for (double t = 20; t <= 70; t += 5) {
        EXPECT_TRUE(passesThrough(outer, {t, 10}) && passesThrough(outer, {t, 80}) && passesThrough(outer, {10, t}) &&
                    passesThrough(outer, {80, t}))
            << t;
        EXPECT_TRUE(passesThrough(hole, {t, 20}) && passesThrough(hole, {t, 70}) && passesThrough(hole, {20, t}) &&
                    passesThrough(hole, {70, t}))
            << t;
    }
    for (double t = 22.5; t < 70; t += 5) {
        EXPECT_TRUE(passesThrough(outer, {t, 12.5}) && passesThrough(outer, {t, 77.5}) &&
                    passesThrough(outer, {12.5, t}) && passesThrough(outer, {77.5, t}))
            << t;
        EXPECT_TRUE(passesThrough(hole, {t, 17.5}) && passesThrough(hole, {t, 72.5}) &&
                    passesThrough(hole, {17.5, t}) && passesThrough(hole, {72.5, t}))
            << t;
    }
    for (const gfx::Point corner : {gfx::Point{77, 77}, gfx::Point{77, 13}, gfx::Point{13, 13}, gfx::Point{13, 77}}) {
        EXPECT_TRUE(passesThrough(outer, corner)) << corner.x << "," << corner.y;
    }
    // The hole stays open under both rules; the ring is solid between the
    // notches of its two edges.
    for (const auto rule : {gfx::FillRule::nonZero, gfx::FillRule::evenOdd}) {
        EXPECT_FALSE(ring.contains({45, 45}, rule));
        EXPECT_FALSE(ring.contains({45, 20.5}, rule));
        EXPECT_TRUE(ring.contains({15, 45}, rule));
        EXPECT_TRUE(ring.contains({45, 15}, rule));
    }

    const auto background = subpaths(eye.eyeBackgroundPath());
    ASSERT_EQ(background.size(), 1u);
    EXPECT_EQ(endPoint(background[0].front()), (gfx::Point{79.61, 89.55}));
    EXPECT_EQ(count(background[0], Kind::addCurveToPoint), 133);
    EXPECT_EQ(count(background[0], Kind::addLineToPoint), 3);
    const gfx::Rect box = eye.eyeBackgroundPath().pathBoundingBox();
    EXPECT_NEAR(box.minX(), 0.45, 1e-9);
    EXPECT_NEAR(box.maxX(), 89.55, 1e-9);
    EXPECT_NEAR(box.minY(), 0.45, 1e-9);
    EXPECT_NEAR(box.maxY(), 89.55, 1e-9);
    for (const double t : {5.4, 10.32, 15.3, 84.6}) EXPECT_TRUE(passesThrough(background[0], {t, 89.55})) << t;
    // The corner chamfers run at 45 degrees from 84.6 to 89.55.
    EXPECT_TRUE(passesThrough(background[0], {89.55, 84.6}));
}

TEST(TracedOutlines, SpikyCircleTipsValleysAndSteps) {
    constexpr double pitch = 360.0 / 19;
    const auto tipDirection = [](gfx::Point p) {
        const double degrees = std::atan2(p.y - 45, p.x - 45) * 180 / std::numbers::pi;
        const double k = std::round((degrees - 84.8) / pitch);
        return std::abs(degrees - 84.8 - k * pitch);
    };
    struct Edge {
        double tipLow, tipHigh, valleyLow, valleyHigh;
    };
    const auto checkSpikes = [&](const std::vector<gfx::Path::Element>& steps, Edge edge, const char* what) {
        int tips = 0, valleys = 0;
        for (const auto& e : steps) {
            if (e.type != Kind::addCurveToPoint) continue;
            const gfx::Point p = endPoint(e);
            const double r = std::hypot(p.x - 45, p.y - 45);
            if (r >= edge.tipLow - 1e-6 && r <= edge.tipHigh + 1e-6) {
                ++tips;
                EXPECT_LT(tipDirection(p), 0.02) << what << " tip at " << p.x << "," << p.y;
            } else if (r >= edge.valleyLow && r <= edge.valleyHigh) {
                ++valleys;
            }
        }
        EXPECT_EQ(tips, 19) << what;
        EXPECT_EQ(valleys, 19) << what;
    };

    EyeShape::SpikyCircle eye;
    const auto ring = subpaths(eye.eyePath());
    ASSERT_EQ(ring.size(), 2u);
    EXPECT_EQ(endPoint(ring[0].front()), (gfx::Point{48.18, 80}));
    EXPECT_EQ(count(ring[0], Kind::addCurveToPoint), 42);
    ASSERT_GE(ring[0].size(), 2u);
    EXPECT_EQ(ring[0][ring[0].size() - 2].type, Kind::addLineToPoint); // the line back to the start
    EXPECT_EQ(endPoint(ring[0][ring[0].size() - 2]), endPoint(ring[0].front()));
    checkSpikes(ring[0], {35.0, 35.5, 31.8, 32.6}, "outer edge");
    EXPECT_EQ(endPoint(ring[1].front()), (gfx::Point{47.27, 70}));
    EXPECT_EQ(count(ring[1], Kind::addCurveToPoint), 42);
    EXPECT_EQ(count(ring[1], Kind::addLineToPoint), 0);
    checkSpikes(ring[1], {24.9, 25.35, 22.7, 23.1}, "hole");
    const gfx::Rect outerBox = eye.eyePath().pathBoundingBox();
    EXPECT_NEAR(outerBox.minX(), 10, 1e-9);
    EXPECT_NEAR(outerBox.maxX(), 80, 1e-9);
    EXPECT_NEAR(outerBox.minY(), 10, 1e-9);
    EXPECT_NEAR(outerBox.maxY(), 80, 1e-9);
    // The hole runs the other way, so it stays open under either rule.
    EXPECT_FALSE(eye.eyePath().contains({45, 45}, gfx::FillRule::nonZero));

    // The background is stored for rendering's mirror: mirrored back, its
    // tips stand behind the ring's.
    const auto background = subpaths(eye.eyeBackgroundPath().transformed(kMirror90));
    ASSERT_EQ(background.size(), 1u);
    EXPECT_EQ(count(background[0], Kind::addCurveToPoint), 38);
    checkSpikes(background[0], {45.0, 45.6, 40.9, 41.5}, "background");
    const gfx::Point start = endPoint(subpaths(eye.eyeBackgroundPath())[0].front());
    EXPECT_NEAR(start.x, 75.94, 0.1);
    EXPECT_NEAR(start.y, 11.76, 0.1);
}

TEST(TracedOutlines, CloudWavesSwingInTheirBands) {
    const auto ring = subpaths(EyeShape::Cloud().eyePath());
    ASSERT_EQ(ring.size(), 2u);
    EXPECT_EQ(endPoint(ring[0].front()), (gfx::Point{80, 75}));
    // On-curve points of each side between the corners, by side: the band
    // they swing in.
    struct Band {
        int contour;
        bool vertical; // a left or right side (x varies), else top or bottom
        double where;  // the side's line, to pick its points
        double low, high;
    };
    const Band bands[] = {
        {0, true, 80, 77.75, 79.75}, {0, true, 10, 9.75, 11.75},  {0, false, 10, 10, 12}, {0, false, 80, 78, 80},
        {1, true, 70, 69.75, 71.75}, {1, true, 20, 17.75, 19.75}, {1, false, 20, 18, 20}, {1, false, 70, 70, 72},
    };
    for (const Band& band : bands) {
        double low = 1e9, high = -1e9;
        for (const auto& e : ring[static_cast<std::size_t>(band.contour)]) {
            if (e.type != Kind::addCurveToPoint) continue;
            const gfx::Point p = endPoint(e);
            const double across = band.vertical ? p.x : p.y, along = band.vertical ? p.y : p.x;
            if (std::abs(across - band.where) > 2.5 || along < 22 || along > 68) continue;
            low = std::min(low, across);
            high = std::max(high, across);
        }
        EXPECT_NEAR(low, band.low, 1e-9) << band.contour << " " << band.where;
        EXPECT_NEAR(high, band.high, 1e-9) << band.contour << " " << band.where;
    }
}

} // namespace
