#include "tests/QRCode/render/RenderTestSupport.h"

#include "QRCode/fills/Solid.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "image-read-write/ImageLoading.h"
#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/Blur.h"
#include "platform/gfx/Coverage.h"
#include "tests/support/TestSupport.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

using namespace rendertest;

namespace {

// The SVG text drawn by rsvg-convert at d x d pixels.
gfx::ImagePtr rasteriseSVG(const testsupport::TempDir& dir, const std::string& svg, int d) {
    testsupport::writeTextFile(dir / "code.svg", svg);
    const std::string size = std::to_string(d);
    if (testsupport::runCommand("rsvg-convert -w " + size + " -h " + size + " -o '" + (dir / "svg.png").string() +
                                "' '" + (dir / "code.svg").string() + "'") != 0)
        return nullptr;
    return ImageReadWrite::loadFile(dir / "svg.png");
}

// The PDF drawn by pdftoppm at 72 dpi (one pixel a point).
gfx::ImagePtr rasterisePDF(const testsupport::TempDir& dir, const std::vector<std::uint8_t>& pdf) {
    testsupport::writeFile(dir / "code.pdf", pdf);
    if (testsupport::runCommand("pdftoppm -r 72 -png -singlefile '" + (dir / "code.pdf").string() + "' '" +
                                (dir / "pdf").string() + "'") != 0)
        return nullptr;
    return ImageReadWrite::loadFile(dir / "pdf.png");
}

// One design at d x d pixels as a PNG, as SVG and as PDF, each read back as
// a bitmap (null where a rasteriser failed).
struct ThreeFormats {
    gfx::ImagePtr png, svg, pdf;
};

ThreeFormats renderThreeWays(const QRCode::QRCode& code, const QRCode::Design& design, int d) {
    testsupport::TempDir dir;
    ThreeFormats out;
    out.png = ImageReadWrite::load(code.pngData(d, 72, design, nullptr));
    out.svg = rasteriseSVG(dir, code.svg(d, design, nullptr), d);
    out.pdf = rasterisePDF(dir, code.pdfData(d, 72, design, nullptr));
    return out;
}

} // namespace

// The same design as a bitmap, as SVG rasterised by rsvg-convert and as PDF
// rasterised by pdftoppm: every module centre (quiet zone included) is dark
// or light alike in all three.
TEST(RenderAgreement, BitmapSVGAndPDFAgreeAtEveryModuleCentre) {
    const QRCode::QRCode code(std::string("https://example.com/agreement"), QRCode::ErrorCorrection::medium);
    const auto n = static_cast<int>(code.current().dimension());
    auto design = blackOnWhite();
    design->setAdditionalQuietZonePixels(2);
    design->style()->setEye(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0.1, 0.1, 0.5)));
    design->style()->setEyeBackground(gfx::Color::sRGB(1, 1, 0.8));
    const int cells = n + 4;
    const int d = cells * 9 + 3; // module size 9.1: edges off the pixel grid

    const auto [png, svg, pdf] = renderThreeWays(code, *design, d);
    ASSERT_TRUE(png && svg && pdf);
    ASSERT_EQ(svg->width(), d);
    ASSERT_EQ(pdf->width(), d);

    const double m = double(d) / cells;
    int dark = 0;
    for (int r = 0; r < cells; ++r)
        for (int c = 0; c < cells; ++c) {
            const int x = int((c + 0.5) * m), y = int((r + 0.5) * m);
            const bool expected = greyOnWhite(*png, x, y) < 128;
            dark += expected;
            EXPECT_EQ(greyOnWhite(*svg, x, y) < 128, expected) << "svg " << r << "," << c;
            EXPECT_EQ(greyOnWhite(*pdf, x, y) < 128, expected) << "pdf " << r << "," << c;
        }
    EXPECT_GT(dark, cells * cells / 5);
}

// Eyes and pupils cast their shadows in the order they are painted: the
// eye first, so the eye's shadow falls under the pupil, never across it. A
// shadow long enough to reach from the eye's ring into the pupil leaves every
// pupil of the rasterised SVG the plain pupil colour, as in the bitmap.
TEST(RenderAgreement, ShadowedSVGPaintsPupilsOverTheEyesShadowLikeTheBitmap) {
    const QRCode::QRCode code(std::string("https://example.com/shadowed"), QRCode::ErrorCorrection::medium);
    const int n = static_cast<int>(code.current().dimension());
    auto design = blackOnWhite();
    constexpr int z = 2, m = 12;
    design->setAdditionalQuietZonePixels(z);
    design->style()->setEye(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0.2, 0.4, 0.9)));
    design->style()->setPupil(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(1, 0.8, 0.1)));
    design->style()->setShadow(
        QRCode::Shadow(QRCode::ShadowType::dropShadow, 1.3, -1.3, 4, gfx::Color::sRGB(0, 0, 0, 0.8)));
    const int d = (n + 2 * z) * m;

    testsupport::TempDir dir;
    const auto png = code.cgImage(d, *design, nullptr);
    const auto svg = rasteriseSVG(dir, code.svg(d, *design, nullptr), d);
    ASSERT_TRUE(svg);
    ASSERT_EQ(svg->width(), d);

    // Each pupil covers modules 3...5 of its eye block (the matrix's outer
    // ring is its first row and column); a pixel inside its edges is compared.
    const int near = (z + 3) * m, far = (z + n - 6) * m;
    const std::pair<int, int> pupils[] = {{near, near}, {far, near}, {near, far}};
    for (const auto& [left, top] : pupils)
        for (int y = top + 2; y < top + 3 * m - 2; ++y)
            for (int x = left + 2; x < left + 3 * m - 2; ++x) {
                const gfx::Pixel a = png->pixel(x, y), b = svg->pixel(x, y);
                const int difference = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
                ASSERT_LE(difference, 8) << "pupil at " << left << "," << top << ", pixel " << x << "," << y;
            }
}

// A drop shadow in a PDF is a raster at a resolution that follows its blur:
// the file stays small, and pdftoppm's picture of it matches the bitmap
// render (on average within a few levels; edges differ a little between the
// two rasterisers).
TEST(RenderAgreement, ShadowedPDFIsSmallAndMatchesTheBitmap) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += char('a' + (i * 7) % 26);
    const QRCode::QRCode code(text, QRCode::ErrorCorrection::low);
    auto design = blackOnWhite();
    design->style()->setShadow(QRCode::Shadow());
    constexpr int d = 1024;

    testsupport::TempDir dir;
    const auto bitmap = code.cgImage(d, *design, nullptr);
    const auto pdfBytes = code.pdfData(d, 72, *design, nullptr);
    EXPECT_LT(pdfBytes.size(), 400u * 1024);
    const auto pdf = rasterisePDF(dir, pdfBytes);
    ASSERT_TRUE(pdf);
    ASSERT_EQ(pdf->width(), d);
    double sum = 0;
    for (int y = 0; y < d; ++y)
        for (int x = 0; x < d; ++x) sum += std::abs(greyOnWhite(*pdf, x, y) - greyOnWhite(*bitmap, x, y));
    EXPECT_LT(sum / (double(d) * d), 8.0);
}

namespace {

// The mean grey (over white) of each m x m cell of an image `cells` cells a
// side, row by row.
std::vector<double> cellMeans(const gfx::Image& image, int cells, int m) {
    std::vector<double> means;
    means.reserve(std::size_t(cells) * std::size_t(cells));
    for (int r = 0; r < cells; ++r)
        for (int c = 0; c < cells; ++c) {
            int sum = 0;
            for (int y = r * m; y < (r + 1) * m; ++y)
                for (int x = c * m; x < (c + 1) * m; ++x) sum += greyOnWhite(image, x, y);
            means.push_back(double(sum) / (m * m));
        }
    return means;
}

} // namespace

// A shadow falls alike in the PNG, the SVG and the PDF, beyond the modules
// as well as on them: under shaped modules with a solid fill (which a
// bitmap may fill without building their path), nowhere under off pixels
// (drawn without one) and under pupils of their own colour. Every
// module-sized cell, quiet zone included, has the same mean grey in all
// three within a few levels (the PDF's shadow is an image, which pdftoppm
// draws with its edge up to a pixel further out), and the shadow darkens
// many cells that the modules leave light.
TEST(RenderAgreement, ShadowsFallAlikeInEveryFormat) {
    const QRCode::QRCode code(std::string("https://example.com/shadows/fall/alike/in/every/format/beyond/the/modules"),
                              QRCode::ErrorCorrection::medium);
    constexpr int z = 2, m = 10;
    const int cells = static_cast<int>(code.current().dimension()) + 2 * z, d = cells * m;
    const auto& factory = QRCode::QRCodePixelShapeFactory::shared();
    const auto solid = [](double r, double g, double b) {
        return QRCode::FillStyle::Solid::make(gfx::Color::sRGB(r, g, b));
    };
    const std::pair<const char*, std::function<void(QRCode::Design&)>> cases[] = {
        {"circles", [&](QRCode::Design& design) { design.shape()->setOnPixels(factory.named("circle")); }},
        {"hearts", [&](QRCode::Design& design) { design.shape()->setOnPixels(factory.named("heart")); }},
        {"off pixels",
         [&](QRCode::Design& design) {
             design.shape()->setOffPixels(factory.named("circle"));
             design.style()->setOffPixels(solid(0.3, 0.5, 0.9));
         }},
        {"pupils",
         [&](QRCode::Design& design) {
             design.style()->setEye(solid(0.2, 0.4, 0.9));
             design.style()->setPupil(solid(1, 0.8, 0.1));
         }},
    };
    for (const auto& [name, dress] : cases) {
        SCOPED_TRACE(name);
        auto design = blackOnWhite();
        design->setAdditionalQuietZonePixels(z);
        dress(*design);
        const auto plain = cellMeans(*code.cgImage(d, *design, nullptr), cells, m);
        design->style()->setShadow(
            QRCode::Shadow(QRCode::ShadowType::dropShadow, 0.4, -0.4, 3, gfx::Color::sRGB(0, 0, 0, 0.8)));
        const auto [png, svg, pdf] = renderThreeWays(code, *design, d);
        ASSERT_TRUE(png && svg && pdf);
        ASSERT_EQ(svg->width(), d);
        ASSERT_EQ(pdf->width(), d);
        const auto fromPNG = cellMeans(*png, cells, m), fromSVG = cellMeans(*svg, cells, m),
                   fromPDF = cellMeans(*pdf, cells, m);
        int shadowed = 0;
        double worstSVG = 0, worstPDF = 0;
        for (std::size_t i = 0; i < fromPNG.size(); ++i) {
            shadowed += plain[i] > 200 && fromPNG[i] < plain[i] - 30;
            worstSVG = std::max(worstSVG, std::abs(fromSVG[i] - fromPNG[i]));
            worstPDF = std::max(worstPDF, std::abs(fromPDF[i] - fromPNG[i]));
        }
        EXPECT_LE(worstSVG, 6);
        EXPECT_LE(worstPDF, 28);
        EXPECT_GT(shadowed, cells * 2);
    }
}

namespace {

// The outline with every curve replaced by 32 chords.
gfx::Path polygonOf(const gfx::Path& path) {
    gfx::Path out;
    gfx::Point current{};
    for (const auto& e : path.elements()) {
        const auto& p = e.points;
        switch (e.type) {
        case gfx::Path::ElementType::moveToPoint: out.moveTo(current = p[0]); break;
        case gfx::Path::ElementType::addLineToPoint: out.lineTo(current = p[0]); break;
        case gfx::Path::ElementType::addQuadCurveToPoint:
        case gfx::Path::ElementType::addCurveToPoint: {
            const bool cubic = e.type == gfx::Path::ElementType::addCurveToPoint;
            const gfx::Point c1 = cubic ? p[0] : current + (p[0] - current) * (2.0 / 3);
            const gfx::Point end = cubic ? p[2] : p[1];
            const gfx::Point c2 = cubic ? p[1] : end + (p[0] - end) * (2.0 / 3);
            for (int i = 1; i <= 32; ++i) {
                const double t = i / 32.0, u = 1 - t;
                out.lineTo(current * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + end * (t * t * t));
            }
            current = end;
            break;
        }
        case gfx::Path::ElementType::closeSubpath: out.closeSubpath(); break;
        }
    }
    return out;
}

} // namespace

namespace {

// Cairo's anti-aliased non-zero fill of a polygon into an A8 surface of
// size * scale pixels a side, drawn `scale` times larger.
struct CairoFill {
    CairoFill(const gfx::Path& polygon, int size, int scale)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_A8, size * scale, size * scale)) {
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        for (const auto& e : polygon.elements()) {
            if (e.type == gfx::Path::ElementType::moveToPoint) cairo_move_to(cr, e.points[0].x, e.points[0].y);
            if (e.type == gfx::Path::ElementType::addLineToPoint) cairo_line_to(cr, e.points[0].x, e.points[0].y);
            if (e.type == gfx::Path::ElementType::closeSubpath) cairo_close_path(cr);
        }
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        data = cairo_image_surface_get_data(surface);
        stride = cairo_image_surface_get_stride(surface);
    }
    ~CairoFill() { cairo_surface_destroy(surface); }
    CairoFill(const CairoFill&) = delete;
    CairoFill& operator=(const CairoFill&) = delete;
    int at(int x, int y) const { return data[y * stride + x]; }
    cairo_surface_t* surface;
    const unsigned char* data = nullptr;
    int stride = 0;
};

} // namespace

// Large anti-aliased fills are summed from pixel areas, each figure counted
// positively and holes against it; figures that overlap are united (the
// pixels where their edges meet worked out again), and what neither way
// takes goes to Cairo's scan converter. So every pixel shape's outline
// (figures of both senses, holes, mirrored and joined neighbours,
// overlapping strokes, arms joining into bars) comes out either as the
// non-zero rule's coverage within a level -- Cairo's fill of the same
// polygon at 32 times the resolution, averaged down, is within half a level
// of it -- or exactly as Cairo fills it.
TEST(RenderAgreement, PixelShapeCoverageIsTheNonZeroRulesArea) {
    constexpr int n = 33, kScale = 32;
    const double side = n * 7.37; // module edges off the pixel grid
    const int size = int(std::ceil(side));
    const auto matrix = randomMatrix(n);
    const auto& factory = QRCode::QRCodePixelShapeFactory::shared();
    int summed = 0;
    for (const auto& name : factory.availableGeneratorNames()) {
        SCOPED_TRACE(name);
        const gfx::Path polygon = polygonOf(factory.named(name)->generatePath(matrix, gfx::Size{side, side}));
        ASSERT_GT(polygon.size(), 2048u); // large enough to be summed

        auto ctx = gfx::GraphicsContext::makeBitmap(size, size);
        ctx->scaleBy(1, -1);
        ctx->translateBy(0, -size);
        ctx->setFillColor(gfx::Color::sRGB(0, 0, 0));
        ctx->fillPath(polygon);
        const auto image = ctx->takeImage();
        const CairoFill reference(polygon, size, kScale), scanConverted(polygon, size, 1);

        int fromArea = 0, fromScanConverter = 0, covered = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                int sum = 0;
                for (int j = 0; j < kScale; ++j)
                    for (int i = 0; i < kScale; ++i) sum += reference.at(x * kScale + i, y * kScale + j);
                const int a = image->premultipliedPixel(x, y).a;
                fromArea = std::max(fromArea, int(std::ceil(std::abs(a - double(sum) / (kScale * kScale)) - 0.5)));
                fromScanConverter = std::max(fromScanConverter, std::abs(a - scanConverted.at(x, y)));
                covered += a > 128;
            }
        EXPECT_TRUE(fromArea <= 1 || fromScanConverter == 0) << fromArea << " levels from the area";
        summed += fromScanConverter != 0;
        EXPECT_GT(covered, size * size / 10);
    }
    // Nearly every shape is summed or united.
    EXPECT_GE(summed, 40);
}

namespace {

// The largest channel difference between `shape`'s on-pixels (or their
// negation) rendered as they are and through the layer's path, which an
// invisible shadow forces (the style's shadow is cast by the path), with
// `quietZone` modules around the code.
template <typename Code>
int directAgainstPath(const Code& code, const QRCode::QRCodePixelShapeGenerator& shape, bool negated, int size,
                      int quietZone = 0) {
    auto direct = std::make_shared<QRCode::Design>();
    auto viaPath = std::make_shared<QRCode::Design>();
    for (const auto& d : {direct, viaPath}) {
        d->shape()->setOnPixels(shape.copyShape());
        d->shape()->setNegatedOnPixelsOnly(negated);
        d->setAdditionalQuietZonePixels(quietZone);
        d->style()->setOnPixels(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0.2, 0.4, 0.9, 0.8)));
    }
    viaPath->style()->setShadow(QRCode::Shadow(QRCode::ShadowType::dropShadow, 1, 1, 0, gfx::Color::sRGB(0, 0, 0, 0)));
    const auto a = code.cgImage(size, *direct, nullptr);
    const auto b = code.cgImage(size, *viaPath, nullptr);
    int worst = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const gfx::Pixel p = a->premultipliedPixel(x, y), q = b->premultipliedPixel(x, y);
            worst =
                std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
        }
    return worst;
}

} // namespace

// Pixel layers of shapes whose outlines stay in their modules are filled
// from the modules' outlines as the shape hands them over, not from the
// layer's path; both must give the same pixels. Also at a size whose path
// is too short for the summed fill, where both must leave the layer to
// Cairo.
TEST(RenderAgreement, PixelLayersFilledFromModuleOutlinesMatchTheirPaths) {
    const auto matrix = randomMatrix(57, 7);
    const auto code = holder(matrix);
    const auto& factory = QRCode::QRCodePixelShapeFactory::shared();
    int streamed = 0;
    for (const auto& name : factory.availableGeneratorNames()) {
        SCOPED_TRACE(name);
        const auto shape = factory.named(name);
        streamed += shape->outlinesStayInModules();
        // Razor's figures abut along whole sides, so many that its path is
        // left to Cairo's scan converter (fifteen sample lines a row): its
        // sum is held to the exact union of its path instead (below).
        const bool pathToCairo = name == "razor";
        for (const bool negated : {false, true}) {
            for (const int size : {431, 60}) {
                if (pathToCairo && size == 431) continue;
                EXPECT_LE(directAgainstPath(code, *shape, negated, size), 1)
                    << "at " << size << " px" << (negated ? ", negated" : "");
            }
        }
    }
    // Most shapes keep to their modules; the slowest to fill among them
    // must stay on the direct way.
    EXPECT_GE(streamed, 20);
    for (const char* name : {"gear", "flower", "spikyCircle", "sharp", "circle", "grid4x4", "diagonalStripes"}) {
        EXPECT_TRUE(factory.named(name)->outlinesStayInModules()) << name;
    }
}

// Shapes whose alike figures reach past their cells (heart, koala, shiny's
// odd modules) are filled from their outlines where a few neighbouring
// modules show no overlap at the drawn scale, and through the path (whose
// fill unites overlapping figures) where they do overlap: both ways give
// the path's pixels, with the figures in the outermost modules (of the
// negation, which covers the code's border) reaching into the quiet zone.
TEST(RenderAgreement, AlikeFiguresReachingPastTheirCellsAreSummedOnlyWhereApart) {
    const auto matrix = randomMatrix(41, 11);
    const auto code = holder(matrix);
    const auto& factory = QRCode::QRCodePixelShapeFactory::shared();
    const auto with = [&](const char* name, double inset) {
        auto shape = factory.named(name);
        EXPECT_TRUE(shape->setSettingValue(QRCode::SettingsValue(inset), "insetFraction"));
        return shape;
    };
    const std::pair<std::string, std::shared_ptr<QRCode::QRCodePixelShapeGenerator>> shapes[] = {
        {"heart", factory.named("heart")},
        {"koala", factory.named("koala")},
        {"shiny", factory.named("shiny")},
        {"heart inset", with("heart", 0.4)},
        {"koala grown", with("koala", -0.6)},
        {"heart grown", with("heart", -0.2)},
        {"koala grown a little", with("koala", -0.08)},
    };
    for (const auto& [name, shape] : shapes) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(shape->alikeModulesOverhang());
        for (const bool negated : {false, true}) {
            for (const int size : {512, 97}) {
                EXPECT_LE(directAgainstPath(code, *shape, negated, size, 1), 1)
                    << "at " << size << " px" << (negated ? ", negated" : "");
            }
        }
    }

    // What decides: the figures of 3 x 3 modules all on, at the drawn
    // scale. Hearts and koalas keep apart, koalas grown by 4% of a cell
    // too (reaching a tenth of a cell below theirs); grown by 30% they
    // overlap.
    auto ctx = gfx::GraphicsContext::makeBitmap(100, 100);
    const QRCode::BoolMatrix patch(3, std::vector<bool>(9, true));
    EXPECT_TRUE(ctx->figuresApart(factory.named("heart")->generatePath(patch, gfx::Size{27, 27})));
    EXPECT_TRUE(ctx->figuresApart(factory.named("koala")->generatePath(patch, gfx::Size{27, 27})));
    EXPECT_TRUE(ctx->figuresApart(with("koala", -0.08)->generatePath(patch, gfx::Size{27, 27})));
    EXPECT_FALSE(ctx->figuresApart(with("koala", -0.6)->generatePath(patch, gfx::Size{27, 27})));
}

// A shape that says its outlines stay in their modules is summed module by
// module with no check for overlaps: its figures must then only abut
// (razor's sweeps also bulge a little into the empty neighbour beside a
// line end). Summed, they give the exact union of its path's polygons at
// every scale, as the union raster works it out.
TEST(RenderAgreement, FiguresSummedModuleByModuleGiveTheUnionOfThePath) {
    constexpr int n = 33;
    constexpr double kCairoTolerance = 0.1; // what every context flattens curves to
    const auto matrix = randomMatrix(n, 5);
    const auto& factory = QRCode::QRCodePixelShapeFactory::shared();
    int checked = 0;
    for (const auto& name : factory.availableGeneratorNames()) {
        const auto shape = factory.named(name);
        if (!shape->outlinesStayInModules()) continue;
        ++checked;
        for (const double module : {3.1, 7.37, 29.3}) {
            SCOPED_TRACE(name + " at " + std::to_string(module) + " px a module");
            const double side = n * module;
            const int size = int(std::ceil(side));
            auto ctx = gfx::GraphicsContext::makeBitmap(size, size);
            ctx->scaleBy(1, -1);
            ctx->translateBy(0, -size);
            ctx->setFillColor(gfx::Color::sRGB(0, 0, 0));
            const double reach = shape->outlinesReach() * module;
            auto fill = ctx->makeCoverageFill(gfx::AffineTransform(),
                                              gfx::Rect(-reach, -reach, side + 2 * reach, side + 2 * reach));
            ASSERT_TRUE(fill);
            shape->generateOutlines(matrix, gfx::Size{side, side}, *fill);
            ASSERT_TRUE(ctx->fillCoverage(*fill));
            const auto image = ctx->takeImage();

            gfx::detail::UnionCoverage united(0, 0, size, size);
            gfx::detail::forEachPolygon(shape->generatePath(matrix, gfx::Size{side, side}), gfx::AffineTransform(),
                                        kCairoTolerance, [&](std::span<const gfx::Point> points) {
                                            united.addPolygon(points.data(), points.size(), {0, 0});
                                            return true;
                                        });
            std::vector<std::uint8_t> plane(std::size_t(size) * std::size_t(size));
            ASSERT_TRUE(united.resolve(plane.data(), size, true));
            int worst = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    worst = std::max(worst, std::abs(image->premultipliedPixel(x, y).a -
                                                     int(plane[std::size_t(y) * std::size_t(size) + std::size_t(x)])));
            EXPECT_LE(worst, 1);
        }
    }
    EXPECT_GE(checked, 20);
}

namespace {

// A shadow as Cairo casts it: the path (user space y up, under an identity
// transform on a size x size bitmap) filled anti-aliased into an A8 mask,
// moved by the offset (device space, y up); drawn `scale` times larger and
// averaged down to whole pixels. Returns the mask before the blur; `blurred`
// gets it blurred.
std::vector<std::uint8_t> cairoShadowMask(const gfx::Path& path, int size, int scale, gfx::Size offset, double blur,
                                          std::vector<std::uint8_t>& blurred) {
    const int big = size * scale;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, big, big);
    cairo_t* cr = cairo_create(surface);
    cairo_matrix_t m;
    cairo_matrix_init(&m, scale, 0, 0, -scale, offset.width * scale, (size - offset.height) * scale);
    cairo_set_matrix(cr, &m);
    gfx::Point at{};
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case gfx::Path::ElementType::moveToPoint: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
        case gfx::Path::ElementType::addLineToPoint: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
        case gfx::Path::ElementType::addQuadCurveToPoint: {
            const auto c = gfx::cubicControlsForQuad(at, e.points[0], e.points[1]);
            cairo_curve_to(cr, c[0].x, c[0].y, c[1].x, c[1].y, e.points[1].x, e.points[1].y);
            break;
        }
        case gfx::Path::ElementType::addCurveToPoint:
            cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                           e.points[2].y);
            break;
        case gfx::Path::ElementType::closeSubpath: cairo_close_path(cr); break;
        }
        double x = 0, y = 0;
        if (cairo_has_current_point(cr)) cairo_get_current_point(cr, &x, &y);
        at = {x, y};
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<std::uint8_t> sharp(std::size_t(size) * std::size_t(size), 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int sum = 0;
            for (int j = 0; j < scale; ++j)
                for (int i = 0; i < scale; ++i) sum += data[(y * scale + j) * stride + x * scale + i];
            sharp[std::size_t(y * size + x)] = std::uint8_t((sum + scale * scale / 2) / (scale * scale));
        }
    cairo_surface_destroy(surface);
    blurred = sharp;
    gfx::detail::blurAlpha(blurred.data(), size, size, size, blur / 2);
    return sharp;
}

} // namespace

// A drop shadow of figures filled from their coverage (shapes summed or
// united module by module) is cast from the same raster: the figures'
// coverage where the offset is whole pixels, worked out again moved by the
// offset's fraction otherwise, blurred and composited before the fill; a
// path of many elements casts its shadow from its summed or united areas
// too. Under the same fill either matches the shadow Cairo casts from the figures' path
// within a level wherever neither mask has an edge within the blur's reach,
// and everywhere the shadow of the path's area (Cairo's fill at eight times
// the resolution, averaged down) within the coverage's own level, one of
// compositing and one of the reference's own rounding.
TEST(RenderAgreement, ShadowsCastFromTheFillsCoverageMatchCairosShadowOfThePath) {
    constexpr int n = 41;
    constexpr double module = 7.37, margin = 40;
    const auto matrix = randomMatrix(n, 3);
    const double side = n * module;
    const int size = int(std::ceil(side + 2 * margin));
    const gfx::Color fillColour = gfx::Color::sRGB(0.2, 0.4, 0.9);
    const gfx::Color shadowColour = gfx::Color::sRGB(0.3, 0.1, 0, 0.8);
    const gfx::RGBA sc = shadowColour.toSRGB();
    struct Cast {
        gfx::Size offset; // device space, y up
        double blur;
    };
    const Cast casts[] = {{{2, -2}, 4},        {{1.37, 0.62}, 0}, {{-3, 2}, 1},
                          {{-0.45, -2.7}, 10}, {{0, 0}, 3},       {{-4, -1}, 0}};
    const auto& factory = QRCode::QRCodePixelShapeFactory::shared();
    const gfx::AffineTransform place = gfx::AffineTransform::translation(margin, margin);
    for (const char* name : {"circle", "roundedPath", "crosshatch", "flower"}) {
        const auto shape = factory.named(name);
        ASSERT_TRUE(shape->outlinesByModule()) << name;
        const auto figures = shape->outlinesStayInModules() ? gfx::Figures::apart : gfx::Figures::overlapping;
        const gfx::Path path = shape->generatePath(matrix, gfx::Size{side, side}).transformed(place);
        // The polygons the raster fills: curves flattened as Cairo flattens
        // them at the bitmap's own scale.
        gfx::Path polygons;
        gfx::detail::forEachPolygon(path, gfx::AffineTransform(), 0.1, [&](std::span<const gfx::Point> points) {
            polygons.moveTo(points[0]);
            for (std::size_t i = 1; i < points.size(); ++i) polygons.lineTo(points[i]);
            polygons.closeSubpath();
            return true;
        });
        // Fills from the shape's outlines or through its path, under
        // whatever shadow is set.
        const auto draw = [&](const Cast* cast, bool byPath) {
            auto ctx = gfx::GraphicsContext::makeBitmap(size, size);
            ctx->setFillColor(fillColour);
            if (cast) ctx->setShadow(cast->offset, cast->blur, shadowColour);
            if (byPath) {
                ctx->fillPath(path);
                return ctx->takeImage();
            }
            auto fill = ctx->makeCoverageFill(
                place, gfx::Rect(margin - module, margin - module, side + 2 * module, side + 2 * module), figures);
            EXPECT_TRUE(fill);
            if (!fill) return gfx::ImagePtr();
            shape->generateOutlines(matrix, gfx::Size{side, side}, *fill);
            EXPECT_TRUE(ctx->fillCoverage(*fill));
            return ctx->takeImage();
        };
        const gfx::ImagePtr plains[] = {draw(nullptr, false), draw(nullptr, true)};
        ASSERT_TRUE(plains[0] && plains[1]);
        for (const Cast& cast : casts) {
            SCOPED_TRACE(std::string(name) + ", offset " + std::to_string(cast.offset.width) + ", " +
                         std::to_string(cast.offset.height) + ", blur " + std::to_string(cast.blur));
            std::vector<std::uint8_t> today, area;
            const auto todaySharp = cairoShadowMask(path, size, 1, cast.offset, cast.blur, today);
            const auto areaSharp = cairoShadowMask(polygons, size, 8, cast.offset, cast.blur, area);
            // Pixels within the blur's reach of an edge of either mask.
            const int reach = gfx::detail::blurReach(cast.blur / 2) + 1;
            std::vector<std::uint8_t> nearEdge(today.size(), 0);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const std::size_t at = std::size_t(y * size + x);
                    if (todaySharp[at] % 255 == 0 && areaSharp[at] % 255 == 0) continue;
                    for (int yy = std::max(0, y - reach); yy <= std::min(size - 1, y + reach); ++yy)
                        for (int xx = std::max(0, x - reach); xx <= std::min(size - 1, x + reach); ++xx)
                            nearEdge[std::size_t(yy * size + xx)] = 1;
                }
            for (const bool byPath : {false, true}) {
                SCOPED_TRACE(byPath ? "through the path" : "from the outlines");
                const gfx::Image& plain = *plains[byPath];
                const auto shadowed = draw(&cast, byPath);
                ASSERT_TRUE(shadowed);
                // The largest channel difference from the shadow through `mask`
                // under the fill.
                const auto difference = [&](int x, int y, const std::vector<std::uint8_t>& mask) {
                    const gfx::Pixel f = plain.premultipliedPixel(x, y), got = shadowed->premultipliedPixel(x, y);
                    const double a = sc.a * mask[std::size_t(y * size + x)] / 255.0, under = 1 - f.a / 255.0;
                    const double want[4] = {f.r + under * sc.r * a * 255, f.g + under * sc.g * a * 255,
                                            f.b + under * sc.b * a * 255, f.a + under * a * 255};
                    const int have[4] = {got.r, got.g, got.b, got.a};
                    int worst = 0;
                    for (int k = 0; k < 4; ++k) worst = std::max(worst, int(std::lround(std::abs(have[k] - want[k]))));
                    return worst;
                };
                int fromToday = 0, fromArea = 0, shaded = 0;
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x) {
                        if (!nearEdge[std::size_t(y * size + x)])
                            fromToday = std::max(fromToday, difference(x, y, today));
                        fromArea = std::max(fromArea, difference(x, y, area));
                        shaded += plain.premultipliedPixel(x, y).a == 0 && shadowed->premultipliedPixel(x, y).a > 20;
                    }
                EXPECT_LE(fromToday, 1);
                EXPECT_LE(fromArea, 3);
                // The shadow shows beside the figures.
                EXPECT_GT(shaded, size);
            }
        }
    }
}
