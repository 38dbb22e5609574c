// Shadows of paths along the axes (merged square modules) take their mask
// from rectilinearCoverage instead of Cairo; it must give Cairo's pixels.

#include "platform/gfx/Coverage.h"
#include "platform/gfx/GraphicsContext.h"

#include <cairo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

using gfx::AffineTransform;
using gfx::Path;
using gfx::Rect;

TEST(Coverage, RectilinearPathsGetTheScanConvertersPixels) {
    std::mt19937 rng(11);
    // Every third round on a grid of 1/512, halfway between fixed-point
    // steps; the last hundred on whole pixels, where edges begin and end on
    // the rows' own borders.
    bool onTies = false, onPixels = false;
    auto uniform = [&](double lo, double hi) {
        const double v = std::uniform_real_distribution<double>(lo, hi)(rng);
        return onPixels ? std::max(std::round(v), 1.0) : onTies ? std::round(v * 512) / 512 : v;
    };
    for (int round = 0; round < 400; ++round) {
        onPixels = round >= 300;
        onTies = onPixels || round % 3 == 0;
        const int w = 20 + int(rng() % 60), h = 20 + int(rng() % 60);
        // Rectangles and L shapes drawn in the other sense (holes, overlaps,
        // parts beyond the raster), under flips, scales and fractional moves.
        Path path;
        for (int k = 0; k < 6; ++k) {
            const double x = uniform(-20, 80), y = uniform(-20, 80), sw = uniform(0.01, 30), sh = uniform(0.01, 30);
            if (k % 2 == 0) {
                path.addRect(Rect(x, y, sw, sh));
            } else {
                path.moveTo({x, y});
                path.lineTo({x, y + sh});
                path.lineTo({x + sw, y + sh});
                path.lineTo({x + sw, y + sh / 2});
                path.lineTo({x + sw / 2, y + sh / 2});
                path.lineTo({x + sw / 2, y});
                path.closeSubpath();
            }
        }
        const double sx = (rng() % 2 ? 1 : -1) * (onTies ? 1 : uniform(0.3, 2));
        const double sy = (rng() % 2 ? 1 : -1) * (onTies ? 1 : uniform(0.3, 2));
        const AffineTransform userToDevice{
            sx, 0, 0, sy, (sx < 0 ? w : 0) + uniform(-5, 5), (sy < 0 ? h : 0) + uniform(-5, 5)};

        auto ctx = gfx::GraphicsContext::makeBitmap(w, h);
        ASSERT_TRUE(ctx);
        ctx->concatCTM(userToDevice);
        ctx->setFillColor(gfx::Color::sRGB(1, 1, 1));
        ctx->fillPath(path);
        const auto image = ctx->makeImage();
        // The context's device space has y up; rows of the plane run down.
        const AffineTransform toRows = userToDevice.then(AffineTransform{1, 0, 0, -1, 0, double(h)});
        std::vector<std::uint8_t> plane(std::size_t(w + 3) * h, 0xAB);
        ASSERT_TRUE(gfx::detail::rectilinearCoverage(path, toRows, plane.data(), w, h, w + 3));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(int(plane[std::size_t(y) * (w + 3) + x]), int(image->pixel(x, y).a))
                    << "round " << round << " at " << x << ", " << y;
            }
            EXPECT_EQ(plane[std::size_t(y) * (w + 3) + w], 0xAB);
        }
    }

    // Modules of a code, drawn one square each: neighbours' shared edges
    // cancel in either order, and most rows repeat the one above.
    for (const double module : {7.37, 4.0, 2.5}) {
        const int cells = 40, size = int(std::ceil(module * cells)) + 4;
        Path modules;
        for (int r = 0; r < cells; ++r)
            for (int c = 0; c < cells; ++c)
                if (rng() % 2) modules.addRect(Rect(1.3 + c * module, 2.6 + r * module, module, module));
        auto ctx = gfx::GraphicsContext::makeBitmap(size, size);
        ASSERT_TRUE(ctx);
        ctx->setFillColor(gfx::Color::sRGB(1, 1, 1));
        // Squares that do not overlap fill alike under either rule; the
        // even-odd one keeps this many elements with Cairo's scan converter.
        ctx->fillPath(modules, gfx::FillRule::evenOdd);
        const auto image = ctx->makeImage();
        const AffineTransform toRows{1, 0, 0, -1, 0, double(size)};
        std::vector<std::uint8_t> plane(std::size_t(size) * size, 0xAB);
        ASSERT_TRUE(gfx::detail::rectilinearCoverage(modules, toRows, plane.data(), size, size, size));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(int(plane[std::size_t(y) * size + x]), int(image->pixel(x, y).a))
                    << "module " << module << " at " << x << ", " << y;
    }

    // Curves, slanted lines and coordinates beyond doubles are refused before
    // anything is written.
    Path curve;
    curve.addEllipse(Rect(2, 2, 10, 10));
    Path slant;
    slant.moveTo({1, 1});
    slant.lineTo({10, 1});
    slant.lineTo({9, 10});
    Path square;
    square.addRect(Rect(1, 1, 5, 5));
    const double huge = std::numeric_limits<double>::max();
    std::vector<std::uint8_t> plane(16 * 16, 0xAB);
    EXPECT_FALSE(gfx::detail::rectilinearCoverage(curve, {}, plane.data(), 16, 16, 16));
    EXPECT_FALSE(gfx::detail::rectilinearCoverage(slant, {}, plane.data(), 16, 16, 16));
    EXPECT_FALSE(
        gfx::detail::rectilinearCoverage(square, AffineTransform{huge, 0, 0, huge, huge, 0}, plane.data(), 16, 16, 16));
    EXPECT_EQ(plane, std::vector<std::uint8_t>(16 * 16, 0xAB));
}

namespace {

// One figure per cell of a grid, each kept inside its cell: discs with a
// hole drawn the other way, squares drawn either way round, and rounded
// rectangles; each cell's figure ends a group.
void cellFigures(gfx::OutlineSink& sink, int columns, int rows, double cell, std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const double x = c * cell, y = r * cell;
            const AffineTransform at = AffineTransform::translation(x, y);
            Path figure;
            switch (rng() % 4) {
            case 0:
                figure.addEllipse(Rect(0.5, 0.5, cell - 1, cell - 1));
                // The hole runs the other way round.
                {
                    Path hole;
                    hole.addEllipse(Rect(cell * 0.3, cell * 0.3, cell * 0.4, cell * 0.4));
                    figure.addPath(hole.transformed(AffineTransform{1, 0, 0, -1, 0, cell}));
                }
                break;
            case 1: figure.addRect(Rect(0.2, 0.3, cell - 0.6, cell - 0.9)); break;
            case 2:
                // A square traced clockwise: it must add, not cancel its neighbours.
                figure.moveTo({0, 0});
                figure.lineTo({0, cell});
                figure.lineTo({cell, cell});
                figure.lineTo({cell, 0});
                figure.closeSubpath();
                break;
            default: figure.addRoundedRect(Rect(0.1, 0.1, cell - 0.2, cell - 0.2), cell / 4, cell / 4); break;
            }
            sink.append(figure, at);
            sink.endFigure();
        }
}

} // namespace

TEST(CoverageFill, FiguresStreamedCellByCellGetThePathsCoverage) {
    constexpr int size = 230, cells = 23;
    const double cell = 9.7;
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        Path whole;
        gfx::PathOutlineSink toPath(whole);
        cellFigures(toPath, cells, cells, cell, seed);
        ASSERT_GT(whole.size(), 2048u);
        const AffineTransform flip{1, 0, 0, -1, 0, double(size)};

        auto viaPath = gfx::GraphicsContext::makeBitmap(size, size);
        viaPath->concatCTM(flip);
        viaPath->translateBy(3.3, 2.1);
        viaPath->fillPath(whole);

        auto streamed = gfx::GraphicsContext::makeBitmap(size, size);
        streamed->concatCTM(flip);
        auto fill = streamed->makeCoverageFill(AffineTransform::translation(3.3, 2.1), Rect(0, 0, size, size));
        ASSERT_TRUE(fill);
        cellFigures(*fill, cells, cells, cell, seed);
        ASSERT_TRUE(streamed->fillCoverage(*fill));

        const auto a = viaPath->takeImage(), b = streamed->takeImage();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_LE(std::abs(int(a->pixel(x, y).a) - int(b->pixel(x, y).a)), 1) << x << ", " << y;
    }
}

TEST(CoverageFill, FixedOutlinesPlacedAgainGiveTheSamePixels) {
    // A fixed outline (a disc with a hole and a mirrored square) placed in
    // every cell, flattened once and moved, against the same handed over
    // element by element.
    Path outline;
    outline.addEllipse(Rect(0.5, 0.5, 8, 8));
    Path hole;
    hole.addEllipse(Rect(3, 3, 3, 3));
    outline.addPath(hole.transformed(AffineTransform{1, 0, 0, -1, 0, 9}));
    constexpr int size = 200;
    std::vector<gfx::ImagePtr> images;
    for (const bool fixed : {true, false}) {
        auto ctx = gfx::GraphicsContext::makeBitmap(size, size);
        auto fill = ctx->makeCoverageFill({}, Rect(0, 0, size, size));
        ASSERT_TRUE(fill);
        for (int r = 0; r < 21; ++r)
            for (int c = 0; c < 21; ++c) {
                const AffineTransform at = AffineTransform::scale(1.03, 1.03)
                                               .then(AffineTransform::translation(c * 9.41 + 0.37, r * 9.41 + 0.61));
                if (fixed) {
                    fill->appendFixed(outline, at);
                } else {
                    fill->append(outline, at);
                }
                fill->endFigure();
            }
        ASSERT_TRUE(ctx->fillCoverage(*fill));
        images.push_back(ctx->takeImage());
    }
    int covered = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            ASSERT_LE(std::abs(int(images[0]->pixel(x, y).a) - int(images[1]->pixel(x, y).a)), 1) << x << ", " << y;
            covered += images[0]->pixel(x, y).a > 128;
        }
    EXPECT_GT(covered, size * size / 3);
}

// Figures that reach into their neighbours (discs grown past their cells,
// each with a hole) streamed as overlapping are united as the
// path's fill unites them; squares that abut along whole sides meet too
// often, and are left to the path with nothing drawn; a clip that cuts
// pixels leaves overlapping figures to the path from the start.
TEST(CoverageFill, OverlappingFiguresStreamedAreUnitedAsThePathIs) {
    constexpr int size = 200, cells = 21;
    const double cell = 9.41;
    Path disc, hole;
    disc.addEllipse(Rect(-1.3, -1.1, cell + 2.5, cell + 2.2));
    hole.addEllipse(Rect(3.1, 2.9, 3.3, 3.4));
    disc.addPath(hole.transformed(AffineTransform{1, 0, 0, -1, 0, 9.2})); // the other sense
    Path square;
    square.addRect(Rect(0, 0, cell, cell));
    const auto place = [&](gfx::OutlineSink& sink, const Path& figure) {
        for (int r = 0; r < cells; ++r)
            for (int c = 0; c < cells; ++c) {
                if ((r * 7 + c * 3) % 5 == 0) continue;
                sink.appendFixed(figure, AffineTransform::translation(c * cell + 0.37, r * cell + 0.61));
                sink.endFigure();
            }
    };
    Path whole;
    gfx::PathOutlineSink toPath(whole);
    place(toPath, disc);
    ASSERT_GT(whole.size(), 2048u);

    auto viaPath = gfx::GraphicsContext::makeBitmap(size, size);
    viaPath->fillPath(whole);
    auto streamed = gfx::GraphicsContext::makeBitmap(size, size);
    auto fill = streamed->makeCoverageFill({}, Rect(0, 0, size, size), gfx::Figures::overlapping);
    ASSERT_TRUE(fill);
    place(*fill, disc);
    ASSERT_TRUE(streamed->fillCoverage(*fill));
    const auto a = viaPath->takeImage(), b = streamed->takeImage();
    int full = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            ASSERT_LE(std::abs(int(a->pixel(x, y).a) - int(b->pixel(x, y).a)), 1) << x << ", " << y;
            full += b->pixel(x, y).a == 255;
        }
    EXPECT_GT(full, size * size / 3);

    auto abutting = gfx::GraphicsContext::makeBitmap(size, size);
    auto squares = abutting->makeCoverageFill({}, Rect(0, 0, size, size), gfx::Figures::overlapping);
    ASSERT_TRUE(squares);
    for (int k = 0; k < 8; ++k) place(*squares, square);
    EXPECT_FALSE(abutting->fillCoverage(*squares));
    const auto untouched = abutting->takeImage();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) ASSERT_EQ(untouched->pixel(x, y).a, 0);

    auto clipped = gfx::GraphicsContext::makeBitmap(size, size);
    clipped->saveGState();
    clipped->clipToRect(Rect(10.5, 10, 100, 100));
    EXPECT_FALSE(clipped->makeCoverageFill({}, Rect(0, 0, size, size), gfx::Figures::overlapping));
    EXPECT_TRUE(clipped->makeCoverageFill({}, Rect(0, 0, size, size)));
    clipped->restoreGState();
    clipped->clipToRect(Rect(10, 10, 100, 100));
    EXPECT_TRUE(clipped->makeCoverageFill({}, Rect(0, 0, size, size), gfx::Figures::overlapping));
}

TEST(CoverageFill, TakenOnlyWhereThePathWouldBeSummedAndNeverDrawsNonFiniteFigures) {
    auto ctx = gfx::GraphicsContext::makeBitmap(64, 64);
    // Too few elements: nothing drawn, the caller fills the path (Cairo).
    auto small = ctx->makeCoverageFill({}, Rect(0, 0, 64, 64));
    ASSERT_TRUE(small);
    Path square;
    square.addRect(Rect(4, 4, 20, 20));
    small->append(square, {});
    EXPECT_FALSE(ctx->fillCoverage(*small));
    // A point that is not finite: taken, and nothing drawn, as fillPath does.
    auto broken = ctx->makeCoverageFill({}, Rect(0, 0, 64, 64));
    for (int i = 0; i < 600; ++i) broken->append(square, {});
    broken->lineTo({std::numeric_limits<double>::quiet_NaN(), 3});
    EXPECT_TRUE(ctx->fillCoverage(*broken));
    const auto image = ctx->makeImage();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(image->pixel(x, y).a, 0);

    // No coverage fill where fillPath would not sum: a PDF, antialiasing
    // off, a shadow under a fill that is not opaque (the shadow's mask holds
    // the fill's alpha, not the coverage alone), a transform that cannot be
    // inverted. An opaque fill casts its shadow from its coverage.
    auto pdf = gfx::GraphicsContext::makePDF({100, 100});
    EXPECT_FALSE(pdf->makeCoverageFill({}, Rect(0, 0, 10, 10)));
    ctx->setShouldAntialias(false);
    EXPECT_FALSE(ctx->makeCoverageFill({}, Rect(0, 0, 10, 10)));
    ctx->setShouldAntialias(true);
    ctx->setShadow({2, 2}, 3);
    EXPECT_TRUE(ctx->makeCoverageFill({}, Rect(0, 0, 10, 10)));
    ctx->setFillColor(gfx::Color::gray(0, 0.5));
    EXPECT_FALSE(ctx->makeCoverageFill({}, Rect(0, 0, 10, 10)));
    ctx->setFillColor(gfx::Color::gray(0, 1));
    ctx->clearShadow();
    EXPECT_FALSE(ctx->makeCoverageFill(AffineTransform::scale(0, 1), Rect(0, 0, 10, 10)));
    EXPECT_TRUE(ctx->makeCoverageFill({}, Rect(0, 0, 10, 10)));
}

// The check a caller runs on a few of the figures it is about to stream:
// figures apart, abutting or holding a hole may be summed; figures that
// overlap by more than a sliver may not, at the scale the context draws.
TEST(CoverageFill, OverlappingFiguresAreFilledOnceWhereverTheyComeInALongPath) {
    // A thin bar over a wide one's right edge: in the pixel column both
    // cut, their union covers 0.9 of each pixel, their sum more than all.
    auto pair = [](Path& path) {
        path.addRect(Rect(10, 10, 30.5, 50));
        path.addRect(Rect(40.3, 20, 0.6, 30));
    };
    Path specks;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 15; ++j) specks.addRect(Rect(3 + i * 6, 100 + j * 6, 2.5, 2.5));
    Path first, last;
    pair(first);
    first.addPath(specks);
    last.addPath(specks);
    pair(last);
    ASSERT_GT(last.size(), 2048u);
    std::shared_ptr<const gfx::Image> images[2];
    for (const Path* path : {&first, &last}) {
        auto ctx = gfx::GraphicsContext::makeBitmap(200, 200);
        ASSERT_TRUE(ctx);
        ctx->setFillColor(gfx::Color::sRGB(0, 0, 0));
        ctx->fillPath(*path);
        images[path == &last] = ctx->makeImage();
        // Device space has y up: the bars' rows run from 150 to 180 down.
        EXPECT_NEAR(int(images[path == &last]->pixel(40, 165).a), 230, 1) << (path == &last ? "last" : "first");
    }
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(images[0]->pixel(x, y).a, images[1]->pixel(x, y).a) << x << ", " << y;
}

TEST(CoverageFill, FiguresApartOnlyWhereNoneOverlapsAnotherAtTheDrawnScale) {
    auto ctx = gfx::GraphicsContext::makeBitmap(64, 64);
    const auto twoCircles = [](double gap) {
        Path p;
        p.addEllipse(Rect(0, 0, 10, 10));
        p.addEllipse(Rect(10 + gap, 0, 10, 10));
        return p;
    };
    EXPECT_TRUE(ctx->figuresApart(twoCircles(0.5)));
    EXPECT_TRUE(ctx->figuresApart(twoCircles(0)));
    EXPECT_FALSE(ctx->figuresApart(twoCircles(-1)));
    Path abutting;
    abutting.addRect(Rect(0, 0, 10, 10));
    abutting.addRect(Rect(10, 0, 10, 10));
    EXPECT_TRUE(ctx->figuresApart(abutting));
    // A square frame: its hole runs the other way round inside it.
    Path ring;
    ring.addRect(Rect(0, 0, 20, 20));
    ring.moveTo({5, 5});
    ring.lineTo({5, 15});
    ring.lineTo({15, 15});
    ring.lineTo({15, 5});
    ring.closeSubpath();
    EXPECT_TRUE(ctx->figuresApart(ring));
    // Circles a tenth of a unit into each other overlap by far less than a
    // pixel's 1/1020 when drawn at a hundredth of the size, by far more at
    // ten times it.
    ctx->scaleBy(0.01, 0.01);
    EXPECT_TRUE(ctx->figuresApart(twoCircles(-0.1)));
    ctx->scaleBy(1000, 1000);
    EXPECT_FALSE(ctx->figuresApart(twoCircles(-0.1)));
}

TEST(WindingEdges, SpansCountTheirExactWidthAndRowsTheirSampleLines) {
    // A rectangle from x = 2.25 to 6.75 and y = 1 to 3.5, drawn twice over
    // in the same sense (winding 2 is inside all the same), with a hole of
    // the other sense from x = 4 to 5 in the first row.
    Path p;
    for (int k = 0; k < 2; ++k) p.addRect(Rect(2.25, 1, 4.5, 2.5));
    p.moveTo({4, 1});
    p.lineTo({4, 2});
    p.lineTo({5, 2});
    p.lineTo({5, 1});
    p.closeSubpath();
    constexpr int w = 8, h = 5;
    gfx::detail::WindingEdges edges;
    ASSERT_TRUE(edges.build(p, AffineTransform(), 0.1, 0, 0, h, gfx::detail::kWindingSubrows));
    std::vector<std::uint8_t> out(w * h, 7);
    edges.resolve(w, out.data(), w);
    const auto at = [&](int x, int y) { return int(out[std::size_t(y * w + x)]); };
    for (int x = 0; x < w; ++x) EXPECT_EQ(at(x, 0), 0);
    EXPECT_EQ(at(1, 2), 0);
    EXPECT_EQ(at(2, 2), 191); // three quarters of the pixel
    EXPECT_EQ(at(3, 2), 255);
    EXPECT_EQ(at(6, 2), 191);
    EXPECT_EQ(at(7, 2), 0);
    // The hole leaves the inner rectangle's ends; a winding of 2 minus 1 still fills.
    EXPECT_EQ(at(4, 1), 255);
    // Seven of the fifteen sample lines of row 3 lie above y = 3.5.
    EXPECT_EQ(at(3, 3), 7 * 255 / 15);
    EXPECT_EQ(at(3, 4), 0);

    // Offsets move the raster; a point that is not finite refuses the path.
    ASSERT_TRUE(edges.build(p, AffineTransform(), 0.1, 2, 1, h, gfx::detail::kWindingSubrows));
    edges.resolve(w, out.data(), w);
    EXPECT_EQ(at(0, 0), 191);
    Path broken = p;
    broken.lineTo({std::numeric_limits<double>::quiet_NaN(), 1});
    EXPECT_FALSE(edges.build(broken, AffineTransform(), 0.1, 0, 0, h, 15));
}

namespace {

// An ellipse of 40 points about (cx, cy), `squash` times as tall as wide,
// counter-clockwise in y-down space unless `reversed`.
std::vector<gfx::Point> disc(double cx, double cy, double r, bool reversed, double squash = 1) {
    std::vector<gfx::Point> p;
    for (int i = 0; i < 40; ++i) {
        const double a = (reversed ? -1 : 1) * i * 2 * M_PI / 40;
        p.push_back({cx + r * std::cos(a), cy + r * squash * std::sin(a)});
    }
    return p;
}

// Cairo's non-zero fill of closed polygons at `scale` times the size,
// averaged back down: the reference coverage of a size x size raster.
std::vector<double> supersampled(const std::vector<std::vector<gfx::Point>>& polygons, int size, int scale) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, size * scale, size * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    for (const auto& polygon : polygons) {
        cairo_move_to(cr, polygon[0].x, polygon[0].y);
        for (const auto& p : polygon) cairo_line_to(cr, p.x, p.y);
        cairo_close_path(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<double> out(std::size_t(size) * size, 0);
    for (int y = 0; y < size * scale; ++y)
        for (int x = 0; x < size * scale; ++x)
            out[std::size_t(y / scale) * size + std::size_t(x / scale)] += data[y * stride + x];
    for (double& v : out) v /= scale * scale;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return out;
}

} // namespace

// Figures that overlap are filled as their union under the non-zero rule,
// within a level of the exact area wherever their edges meet: the same
// figure twice, bars overlapping along one line (their edges on top of each
// other), crossing bars, discs reaching into each other, a figure over
// another's hole, and two of opposite senses over each other (which cancel,
// as the rule has it), each placed off the pixel grid.
TEST(UnionCoverage, OverlappingFiguresGetTheNonZeroRulesArea) {
    constexpr int size = 48, scale = 32;
    const auto bar = [](gfx::Point from, gfx::Point to, double half) {
        const double dx = to.x - from.x, dy = to.y - from.y, l = std::hypot(dx, dy);
        const gfx::Point n{-dy / l * half, dx / l * half};
        return std::vector<gfx::Point>{from + n, to + n, to - n, from - n};
    };
    std::mt19937 rng(5);
    const auto jitter = [&] { return std::uniform_real_distribution<double>(0, 1)(rng); };
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const double ox = jitter(), oy = jitter();
        const gfx::Point o{ox, oy};
        std::vector<std::vector<gfx::Point>> polygons = {
            disc(8 + ox, 8 + oy, 5.3, false),
            disc(8 + ox, 8 + oy, 5.3, false), // the same again
            bar(gfx::Point{20.2, 3.1} + o, gfx::Point{30.7, 13.9} + o, 1.3),
            bar(gfx::Point{26.1, 9.1} + o, gfx::Point{38.3, 21.6} + o, 1.3), // along the first one's line
            bar(gfx::Point{3.3, 30.2} + o, gfx::Point{18.4, 41.7} + o, 1.7),
            bar(gfx::Point{3.1, 41.3} + o, gfx::Point{17.9, 29.6} + o, 0.9), // across it
            disc(30 + ox, 33 + oy, 6.1, false),
            disc(36.5 + ox, 36 + oy, 4.4, false), // reaching into it
            disc(42 + ox, 8 + oy, 4.5, false),
            disc(42 + ox, 8 + oy, 2.2, true), // a hole in it
            bar(gfx::Point{39.4, 3.9} + o, gfx::Point{44.6, 12.7} + o, 0.6), // across the hole
            disc(12 + ox, 22 + oy, 3.8, false),
            disc(14.5 + ox, 22.5 + oy, 3.1, true), // the other sense: the overlap cancels
        };
        gfx::detail::UnionCoverage raster(0, 0, size, size);
        for (const auto& p : polygons) raster.addPolygon(p.data(), p.size(), {0, 0});
        std::vector<std::uint8_t> plane(std::size_t(size + 3) * size, 0xAB);
        ASSERT_TRUE(raster.resolve(plane.data(), size + 3));
        EXPECT_GT(raster.meetings(), 0u);
        const auto reference = supersampled(polygons, size, scale);
        int worst = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const double expected = reference[std::size_t(y) * size + std::size_t(x)];
                const int got = plane[std::size_t(y) * (size + 3) + std::size_t(x)];
                worst = std::max(worst, int(std::ceil(std::abs(got - expected) - 0.5)));
            }
            EXPECT_EQ(plane[std::size_t(y) * (size + 3) + size], 0xAB);
        }
        EXPECT_LE(worst, 1);
        // The opposite senses cancel where they overlap: a hole at (13.2, 22.2).
        EXPECT_EQ(plane[std::size_t(22 + (oy > 0.8)) * (size + 3) + std::size_t(13 + (ox > 0.8))], 0);
    }
}

// A large raster is summed and united in bands of rows by several threads,
// with the pixels one thread gives: figures crossing the bands' borders,
// overlapping and meeting there too.
TEST(UnionCoverage, BandsSharedOutAmongThreadsGiveTheSamePixels) {
    constexpr int size = 300;
    std::mt19937 rng(9);
    const auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<std::vector<gfx::Point>> polygons;
    for (int k = 0; k < 500; ++k) {
        const double cx = uniform(-10, size + 10), cy = uniform(-10, size + 10), r = uniform(2, 14);
        polygons.push_back(disc(cx, cy, r, k % 7 == 0, k % 3 == 0 ? 0.3 : 1));
    }
    std::vector<std::vector<std::uint8_t>> planes;
    std::vector<std::size_t> meetings;
    for (const unsigned threads : {1u, 8u, 3u}) {
        gfx::detail::UnionCoverage raster(0, 0, size, size, threads);
        for (const auto& p : polygons) raster.addPolygon(p.data(), p.size(), {0.25, -0.5});
        ASSERT_GE(raster.points(), std::size_t(1) << 14); // enough to share out
        planes.emplace_back(std::size_t(size) * size, 0xAB);
        ASSERT_TRUE(raster.resolve(planes.back().data(), size));
        meetings.push_back(raster.meetings());
    }
    EXPECT_GT(meetings[0], 1000u);
    EXPECT_EQ(meetings[1], meetings[0]);
    EXPECT_EQ(meetings[2], meetings[0]);
    EXPECT_TRUE(planes[1] == planes[0]);
    EXPECT_TRUE(planes[2] == planes[0]);
    EXPECT_GT(std::count(planes[0].begin(), planes[0].end(), 255), size * size / 4);
}

// The signed area of `polygon` within the unit square at (x, y): the
// polygon clipped to the square's four sides in turn.
double signedAreaInPixel(const std::vector<gfx::Point>& polygon, int x, int y) {
    std::vector<gfx::Point> in = polygon, out;
    const auto clip = [&](auto inside, auto cross) {
        out.clear();
        for (std::size_t i = 0; i < in.size(); ++i) {
            const gfx::Point a = in[i], b = in[(i + 1) % in.size()];
            if (inside(a)) out.push_back(a);
            if (inside(a) != inside(b)) out.push_back(cross(a, b));
        }
        in.swap(out);
    };
    const auto along = [](gfx::Point a, gfx::Point b, double t) {
        return gfx::Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    };
    clip([&](gfx::Point p) { return p.x >= x; },
         [&](gfx::Point a, gfx::Point b) { return along(a, b, (x - a.x) / (b.x - a.x)); });
    clip([&](gfx::Point p) { return p.x <= x + 1; },
         [&](gfx::Point a, gfx::Point b) { return along(a, b, (x + 1 - a.x) / (b.x - a.x)); });
    clip([&](gfx::Point p) { return p.y >= y; },
         [&](gfx::Point a, gfx::Point b) { return along(a, b, (y - a.y) / (b.y - a.y)); });
    clip([&](gfx::Point p) { return p.y <= y + 1; },
         [&](gfx::Point a, gfx::Point b) { return along(a, b, (y + 1 - a.y) / (b.y - a.y)); });
    double twice = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const gfx::Point a = in[i], b = in[(i + 1) % in.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

// Figures known to be apart are only summed, band by band and shared out
// among threads as well: every pixel is the exact area the figures cover
// in it, holes counted against their figures, whatever the threads.
TEST(UnionCoverage, FiguresApartAreSummedExactlyInBands) {
    constexpr int size = 300;
    const gfx::Point shift{0.25, -0.5};
    // Rows of figures past the raster's top and bottom (columns within it:
    // an edge that leaves the raster sideways is held to its border).
    std::vector<std::pair<std::vector<gfx::Point>, float>> polygons;
    for (int r = 0; r < 24; ++r)
        for (int c = 0; c < 23; ++c) {
            const double cx = c * 12.7 + 7.0, cy = r * 12.7 - 2.3;
            const bool reversed = (r + c) % 3 == 0; // figures in either sense
            polygons.push_back({disc(cx, cy, 5.9, reversed), reversed ? -1.0f : 1.0f});
            polygons.push_back({disc(cx + 0.4, cy - 0.3, 2.1, !reversed), reversed ? -1.0f : 1.0f}); // its hole
        }
    std::vector<double> area(std::size_t(size) * size, 0.0);
    for (auto [p, sign] : polygons) {
        double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
        for (auto& q : p) {
            q = q + shift;
            x0 = std::min(x0, q.x), y0 = std::min(y0, q.y), x1 = std::max(x1, q.x), y1 = std::max(y1, q.y);
        }
        // Points turn the other way in device space (y down): a figure
        // drawn in the positive sense has a negative area here.
        for (int y = std::max(0, int(std::floor(y0))); y < std::min(size, int(std::ceil(y1))); ++y)
            for (int x = std::max(0, int(std::floor(x0))); x < std::min(size, int(std::ceil(x1))); ++x)
                area[std::size_t(y) * size + std::size_t(x)] += sign * signedAreaInPixel(p, x, y);
    }
    std::vector<std::uint8_t> plane(std::size_t(size) * size), first;
    for (const unsigned threads : {1u, 8u}) {
        gfx::detail::UnionCoverage banded(0, 0, size, size, threads, gfx::Figures::apart);
        for (const auto& [p, sign] : polygons) banded.addPolygon(p.data(), p.size(), shift, sign);
        ASSERT_GE(banded.points(), std::size_t(1) << 14);
        std::fill(plane.begin(), plane.end(), 0xAB);
        ASSERT_TRUE(banded.resolve(plane.data(), size));
        EXPECT_EQ(banded.meetings(), 0u);
        int worst = 0;
        for (std::size_t i = 0; i < plane.size(); ++i) {
            const int exact = int(std::lround(std::min(std::fabs(area[i]), 1.0) * 255));
            worst = std::max(worst, std::abs(int(plane[i]) - exact));
        }
        EXPECT_LE(worst, 1) << threads << " threads";
        if (first.empty()) first = plane;
        EXPECT_TRUE(plane == first) << threads << " threads";
    }
    EXPECT_GT(std::count(plane.begin(), plane.end(), 255), size * size / 5);
    EXPECT_GT(std::count(plane.begin(), plane.end(), 0), size * size / 5);
}

// A kept set of polygons placed again and again gives what its polygons
// added one by one give, pixel for pixel and meeting for meeting, summed or
// united, on one thread or several: placed off the pixel grid, past the
// raster's top and bottom, between polygons added alone, with a polygon of
// two points in the set that encloses nothing. Resolved again with every
// figure moved by a fraction of a pixel (a shadow's), it gives what the
// polygons added so moved give, within the level their sums may round
// apart by; and resolved once more unmoved, what it gave the first time.
TEST(UnionCoverage, PlacedSetsAreTheirPolygonsAddedOneByOne) {
    constexpr int size = 260;
    std::vector<gfx::Point> points;
    std::vector<std::size_t> ends;
    const std::vector<float> signs = {1, -1, 1, 1};
    for (const auto& polygon :
         {disc(6, 6, 5.2, false), disc(6.3, 5.8, 2.1, true), std::vector<gfx::Point>{{0, 0}, {3, 3}},
          std::vector<gfx::Point>{{-1.2, 9.1}, {4.4, 11.9}, {3.9, 12.8}, {-1.7, 10.0}}}) {
        points.insert(points.end(), polygon.begin(), polygon.end());
        ends.push_back(points.size());
    }
    const auto loose = disc(3, 3, 2.5, false);
    for (const gfx::Figures figures : {gfx::Figures::apart, gfx::Figures::overlapping}) {
        for (const unsigned threads : {1u, 8u}) {
            SCOPED_TRACE(testing::Message() << (figures == gfx::Figures::apart ? "apart" : "overlapping") << ", "
                                            << threads << " threads");
            gfx::detail::UnionCoverage placed(-3, 5, size, size, threads, figures);
            gfx::detail::UnionCoverage added(-3, 5, size, size, threads, figures);
            gfx::detail::UnionCoverage moved(-3, 5, size, size, threads, figures);
            const gfx::Point shift{0.43, 0.71};
            const std::uint32_t kept = placed.keep(points, ends, signs);
            for (int r = 0; r < 26; ++r)
                for (int c = 0; c < 22; ++c) {
                    // Overlapping figures reach into their neighbours.
                    const double step = figures == gfx::Figures::apart ? 12.1 : 9.3;
                    const gfx::Point at{c * step + 0.37 * (r % 3), r * step - 8.6 + 0.21 * (c % 4)};
                    placed.place(kept, at);
                    for (std::size_t k = 0, first = 0; k < ends.size(); first = ends[k++]) {
                        added.addPolygon(points.data() + first, ends[k] - first, at, signs[k]);
                        moved.addPolygon(points.data() + first, ends[k] - first, at + shift, signs[k]);
                    }
                    if ((r + c) % 5 == 0) {
                        placed.addPolygon(loose.data(), loose.size(), at + gfx::Point{5, 5});
                        added.addPolygon(loose.data(), loose.size(), at + gfx::Point{5, 5});
                        moved.addPolygon(loose.data(), loose.size(), at + gfx::Point{5, 5} + shift);
                    }
                }
            EXPECT_EQ(placed.points(), added.points());
            ASSERT_GE(placed.points(), std::size_t(1) << 14); // enough to share out
            std::vector<std::uint8_t> a(std::size_t(size) * size, 0xAB), b = a;
            ASSERT_TRUE(placed.resolve(a.data(), size, true));
            ASSERT_TRUE(added.resolve(b.data(), size, true));
            EXPECT_EQ(placed.meetings(), added.meetings());
            if (figures == gfx::Figures::overlapping) {
                EXPECT_GT(placed.meetings(), 1000u);
            }
            EXPECT_TRUE(a == b);
            EXPECT_GT(std::count(a.begin(), a.end(), 255), size * size / 5);

            std::vector<std::uint8_t> shifted(a.size(), 0xAB), reference = shifted, again = shifted;
            ASSERT_TRUE(placed.resolve(shifted.data(), size, true, shift));
            ASSERT_TRUE(moved.resolve(reference.data(), size, true));
            int worst = 0, changed = 0;
            for (std::size_t i = 0; i < a.size(); ++i) {
                worst = std::max(worst, std::abs(int(shifted[i]) - int(reference[i])));
                changed += std::abs(int(shifted[i]) - int(a[i])) > 16;
            }
            EXPECT_LE(worst, 1);
            EXPECT_GT(changed, size * size / 20);
            ASSERT_TRUE(placed.resolve(again.data(), size, true));
            EXPECT_TRUE(again == a);
        }
    }
}

// Figures made by the raster's threads give what their polygons added in
// turn give, between polygons added alone, whatever the threads: figures of
// one polygon, of a disc and its hole, of a polygon of two points, and past
// the raster's top and bottom. A figure whose making runs out of memory
// fails the resolve, on one thread or several, without waiting forever for
// it.
TEST(UnionCoverage, FiguresMadeByTheThreadsAreThoseAddedInTurn) {
    constexpr int size = 300;
    struct Figure {
        std::vector<std::vector<gfx::Point>> polygons;
        std::vector<float> signs;
        double low, high;
    };
    std::vector<Figure> figures;
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 24; ++c) {
            const double cx = c * 12.4 + 5.5, cy = r * 12.9 - 3.1;
            Figure f;
            if ((r + c) % 4 == 0) {
                f.polygons = {disc(cx, cy, 5.7, false), disc(cx + 0.3, cy, 2.2, true)};
                f.signs = {1, 1};
            } else if ((r + c) % 4 == 1) {
                f.polygons = {disc(cx, cy, 4.1, true, 1.3), {{cx, cy}, {cx + 1, cy + 1}}};
                f.signs = {-1, -1};
            } else {
                f.polygons = {disc(cx, cy, 5.1, false, 0.6)};
                f.signs = {1};
            }
            f.low = cy - 7.5, f.high = cy + 7.5;
            figures.push_back(f);
        }
    const gfx::Point shift{0.3, -0.45};
    const auto loose = disc(0, 0, 1.9, false);
    for (const unsigned threads : {1u, 8u}) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        gfx::detail::UnionCoverage made(0, 0, size, size, threads, gfx::Figures::apart);
        gfx::detail::UnionCoverage added(0, 0, size, size, threads, gfx::Figures::apart);
        made.makeLater(
            [&](std::size_t i, std::vector<gfx::Point>& scratch, const gfx::detail::UnionCoverage::Emit& emit) {
                for (std::size_t k = 0; k < figures[i].polygons.size(); ++k) {
                    scratch.assign(figures[i].polygons[k].begin(), figures[i].polygons[k].end());
                    emit(scratch.data(), scratch.size(), figures[i].signs[k]);
                }
            },
            shift);
        for (std::size_t i = 0; i < figures.size(); ++i) {
            made.addLater(i, figures[i].low + shift.y, figures[i].high + shift.y, 80);
            for (std::size_t k = 0; k < figures[i].polygons.size(); ++k) {
                const auto& p = figures[i].polygons[k];
                added.addPolygon(p.data(), p.size(), shift, figures[i].signs[k]);
            }
            if (i % 7 == 0) {
                const gfx::Point at{double(i % 24) * 12.4 + 11.7, double(i / 24) * 12.9 + 3.3};
                made.addPolygon(loose.data(), loose.size(), at);
                added.addPolygon(loose.data(), loose.size(), at);
            }
        }
        std::vector<std::uint8_t> a(std::size_t(size) * size, 0xAB), b = a;
        ASSERT_TRUE(made.resolve(a.data(), size));
        ASSERT_TRUE(added.resolve(b.data(), size));
        EXPECT_TRUE(a == b);
        EXPECT_GT(std::count(a.begin(), a.end(), 255), size * size / 8);

        gfx::detail::UnionCoverage failing(0, 0, size, size, threads, gfx::Figures::apart);
        failing.makeLater(
            [&](std::size_t i, std::vector<gfx::Point>&, const gfx::detail::UnionCoverage::Emit& emit) {
                if (i == figures.size() / 2) {
                    // Late, so that other threads wait for it.
                    std::this_thread::sleep_for(std::chrono::milliseconds(threads > 1 ? 30 : 0));
                    throw std::bad_alloc();
                }
                emit(figures[i].polygons[0].data(), figures[i].polygons[0].size(), 1);
            },
            shift);
        for (std::size_t i = 0; i < figures.size(); ++i) failing.addLater(i, figures[i].low, figures[i].high, 80);
        EXPECT_FALSE(failing.resolve(a.data(), size));
    }
    // Figures that may overlap are kept, to be worked out again where they meet.
    gfx::detail::UnionCoverage united(0, 0, size, size);
    EXPECT_THROW(united.makeLater([](std::size_t, std::vector<gfx::Point>&, const auto&) {}, {0, 0}), std::logic_error);
}

// Thousands of thin wedges through one small place meet in every pixel of
// it: working those pixels out would take minutes, so the union gives up
// within its budget (and the fill goes to Cairo), in a fraction of a second.
TEST(UnionCoverage, FiguresMeetingByTheThousandInAPixelAreGivenUp) {
    constexpr int size = 32;
    gfx::detail::UnionCoverage raster(0, 0, size, size);
    for (int i = 0; i < 3000; ++i) {
        const double a = i * 2 * M_PI / 3000, b = a + 0.003;
        const std::vector<gfx::Point> wedge = {{16 + 15 * std::cos(a), 16 + 15 * std::sin(a)},
                                               {16 + 15 * std::cos(b), 16 + 15 * std::sin(b)},
                                               {16.3 - 2 * std::cos(a), 15.8 - 2 * std::sin(a)}};
        raster.addPolygon(wedge.data(), wedge.size(), {0, 0});
    }
    std::vector<std::uint8_t> plane(std::size_t(size) * size);
    EXPECT_FALSE(raster.resolve(plane.data(), size));
}
