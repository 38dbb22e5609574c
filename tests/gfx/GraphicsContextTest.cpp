#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/Blur.h"
#include "platform/gfx/Coverage.h"
#include "image-read-write/ImageLoading.h"

#include "tests/support/TestSupport.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using gfx::Color;
using gfx::FillRule;
using gfx::GraphicsContext;
using gfx::Path;
using gfx::Pixel;
using gfx::Rect;

namespace {

// The pixel under the user-space point (x, y) of a fresh y-up context.
Pixel at(const gfx::Image& img, double x, double y) {
    return img.pixel(int(std::floor(x)), img.height() - 1 - int(std::floor(y)));
}

bool isRed(Pixel p) { return p.r > 240 && p.g < 15 && p.b < 15 && p.a > 240; }
bool isBlue(Pixel p) { return p.b > 240 && p.r < 15 && p.g < 15 && p.a > 240; }
bool isClear(Pixel p) { return p.a == 0; }

// What the user would see at a few points of a picture.
enum class Seen { red, blue, clear };
struct Probe {
    double x, y;
    Seen seen;
};
// At user-space points of a fresh y-up context (`userSpace`), or at pixels
// counted from the top-left corner.
void expectSeen(const gfx::Image& img, std::initializer_list<Probe> probes, bool userSpace = true) {
    for (const Probe& p : probes) {
        const Pixel px = userSpace ? at(img, p.x, p.y) : img.pixel(int(p.x), int(p.y));
        const bool ok = p.seen == Seen::red ? isRed(px) : p.seen == Seen::blue ? isBlue(px) : isClear(px);
        EXPECT_TRUE(ok) << "at " << p.x << ", " << p.y << ": " << int(px.r) << " " << int(px.g) << " " << int(px.b)
                        << " " << int(px.a);
    }
}

std::unique_ptr<GraphicsContext> bitmap(int w = 100, int h = 100) {
    auto ctx = GraphicsContext::makeBitmap(w, h);
    EXPECT_TRUE(ctx);
    return ctx;
}

Path ring() {
    Path p;
    p.addRect(Rect(10, 10, 80, 80));
    p.addRect(Rect(30, 30, 40, 40));
    return p;
}

// An n x n image: red top half, blue bottom half (rows run top to bottom).
gfx::ImagePtr twoRowImage(int n = 2) {
    auto img = std::make_shared<gfx::Image>(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x)
            img->setPixel(x, y, y < n / 2 ? gfx::Pixel{255, 0, 0, 255} : gfx::Pixel{0, 0, 255, 255});
    }
    return img;
}

} // namespace

TEST(GraphicsContext, BitmapCreationFailsCleanly) {
    EXPECT_FALSE(GraphicsContext::makeBitmap(0, 10));
    EXPECT_FALSE(GraphicsContext::makeBitmap(10, -1));
    EXPECT_FALSE(GraphicsContext::makeBitmap(40000, 10)); // beyond Cairo's limit
    EXPECT_FALSE(GraphicsContext::makeBitmap(100000, 100000));
    EXPECT_FALSE(GraphicsContext::makePDF({0, 10}));
    EXPECT_FALSE(GraphicsContext::makePDF({NAN, 10}));
    auto ctx = bitmap(3, 2);
    const auto img = ctx->makeImage();
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width(), 3);
    EXPECT_TRUE(isClear(img->pixel(2, 1)));
    EXPECT_FALSE(ctx->finishPDF());
    ctx->fillRect(Rect(0, 0, 1, 1));
    const auto taken = ctx->takeImage();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->pixel(0, 1).a, 255);
    EXPECT_FALSE(ctx->takeImage());
    EXPECT_FALSE(ctx->makeImage());
    ctx->fillRect(Rect(0, 0, 3, 2)); // ignored, no crash
    ctx->saveGState();
    ctx->restoreGState();
}

TEST(GraphicsContext, EvenOddLeavesHolesAndNonZeroFillsThem) {
    auto ctx = bitmap();
    ctx->setFillColor(Color::sRGB(1, 0, 0));
    ctx->fillPath(ring(), FillRule::evenOdd);
    expectSeen(*ctx->makeImage(), {{20, 20, Seen::red}, {50, 50, Seen::clear}, {5, 5, Seen::clear}});
    auto nz = bitmap();
    nz->setFillColor(Color::sRGB(1, 0, 0));
    nz->fillPath(ring(), FillRule::nonZero);
    expectSeen(*nz->makeImage(), {{50, 50, Seen::red}});
}

// A path of thousands of elements is filled by summing pixel areas, not by
// Cairo's scan converter (which the even-odd rule still uses). Separate
// shapes fill alike under both rules, so the two pictures must agree within
// the scan converter's sampling error (a sixteenth of a pixel's rows): ellipses and quadratic diamonds
// reaching past the bitmap's edges, under a round clip, and pairs of halves
// drawn in opposite senses with a gap narrower than a pixel between them
// (whose areas must not cancel).
TEST(GraphicsContext, LargeFillsAgreeWithTheScanConverter) {
    Path shapes;
    for (int i = 0; i < 24; ++i)
        for (int j = 0; j < 24; ++j) {
            const double x = -7 + i * 9.3, y = -7 + j * 9.3;
            if ((i + j) % 2) {
                shapes.addEllipse(Rect(x, y, 7.7, 6.1));
            } else {
                shapes.moveTo({x + 3.5, y});
                shapes.quadTo({x + 7, y}, {x + 7, y + 3.5});
                shapes.quadTo({x + 7, y + 7}, {x + 3.5, y + 7});
                shapes.quadTo({x, y + 7}, {x, y + 3.5});
                shapes.closeSubpath();
            }
        }
    Path halves;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 12; ++j) {
            const double x = 3.2 + i * 9.7, y = 2.6 + j * 16.3;
            halves.addRect(Rect(x, y, 4.1, 12)); // one sense
            halves.moveTo({x + 4.4, y});         // the other
            halves.lineTo({x + 4.4, y + 12});
            halves.lineTo({x + 8.5, y + 12});
            halves.lineTo({x + 8.5, y});
            halves.closeSubpath();
        }
    ASSERT_GT(shapes.size(), 2048u);
    ASSERT_GT(halves.size(), 2048u);

    for (const Path* path : {&shapes, &halves})
        for (bool clipped : {false, true}) {
            SCOPED_TRACE(std::string(path == &shapes ? "shapes" : "halves") + (clipped ? " clipped" : ""));
            std::shared_ptr<const gfx::Image> images[2];
            for (FillRule rule : {FillRule::nonZero, FillRule::evenOdd}) {
                auto ctx = bitmap(200, 200);
                if (clipped) {
                    Path circle;
                    circle.addEllipse(Rect(20.5, 20.5, 160, 160));
                    ctx->clip(circle);
                }
                ctx->setFillColor(Color::sRGB(0, 0, 1, 0.8));
                ctx->fillPath(*path, rule);
                images[rule == FillRule::evenOdd] = ctx->makeImage();
            }
            int maxDiff = 0;
            double sum = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 200; ++x) {
                    const int d = std::abs(int(images[0]->pixel(x, y).a) - int(images[1]->pixel(x, y).a));
                    maxDiff = std::max(maxDiff, d);
                    sum += d;
                }
            // Where the clip's edge crosses a shape's, the clip's coverage
            // multiplies the mask's instead of cutting the shape exactly.
            EXPECT_LE(maxDiff, clipped ? 64 : 32);
            EXPECT_LT(sum / (200 * 200), 1.0);
            if (clipped) {
                EXPECT_TRUE(isClear(images[0]->pixel(5, 5)));
            }
            // The gap of 0.3 pixels leaves most of its pixel covered.
            if (path == &halves && !clipped) {
                EXPECT_NEAR(images[0]->pixel(7, 200 - 1 - 5).a, 0.7 * 0.8 * 255, 12);
            }
        }
}

// Outlines along the axes of thousands of elements (merged square modules)
// are filled through the rectilinear raster's coverage instead of by Cairo,
// which gives the same coverage: the picture must be Cairo's own fill of the
// path, translucent colour over a gradient and under clips included.
TEST(GraphicsContext, FillsAlongTheAxesGetCairosPixels) {
    Path squares;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j) {
            if ((i * 7 + j * 3) % 5 == 0) continue;
            // Overlapping squares, every third one traced the other way round.
            const double x = 1.37 + i * 6.61, y = 2.9 + j * 6.61, side = 6.61 + (i % 3) * 1.7;
            if ((i + j) % 3) {
                squares.addRect(Rect(x, y, side, side));
            } else {
                squares.moveTo({x, y});
                squares.lineTo({x, y + side});
                squares.lineTo({x + side, y + side});
                squares.lineTo({x + side, y});
                squares.closeSubpath();
            }
        }
    ASSERT_GT(squares.size(), 2048u);
    constexpr int size = 200;
    const gfx::Gradient gradient({{0, Color::sRGB(1, 0.9, 0.2)}, {1, Color::sRGB(0.1, 0.6, 0.3, 0.5)}});

    // No clip, one of whole pixels, one cutting pixels, a round one.
    for (int clip = 0; clip < 4; ++clip) {
        SCOPED_TRACE(clip);
        auto ctx = bitmap(size, size);
        ctx->drawLinearGradient(gradient, {0, 0}, {200, 170});
        const auto background = ctx->makeImage();
        if (clip == 1) ctx->clipToRect(Rect(10, 20, 150, 121));
        if (clip == 2) ctx->clipToRect(Rect(10.5, 20.25, 150, 120.7));
        if (clip == 3) {
            Path circle;
            circle.addEllipse(Rect(20.5, 20.5, 160, 160));
            ctx->clip(circle);
        }
        ctx->scaleBy(0.93, 1.07);
        ctx->setFillColor(Color::sRGB(0.2, 0.4, 0.9, 0.8));
        ctx->fillPath(squares);
        const auto image = ctx->makeImage();

        // Cairo itself, from the same background, in the context's y-up space.
        std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size), cairo_surface_destroy);
        std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(surface.get()), cairo_destroy);
        cairo_surface_flush(surface.get());
        for (int y = 0; y < size; ++y)
            std::memcpy(cairo_image_surface_get_data(surface.get()) + y * cairo_image_surface_get_stride(surface.get()),
                        background->row(y), std::size_t(size) * 4);
        cairo_surface_mark_dirty(surface.get());
        cairo_matrix_t flip;
        cairo_matrix_init(&flip, 1, 0, 0, -1, 0, size);
        cairo_set_matrix(cr.get(), &flip);
        if (clip == 1) cairo_rectangle(cr.get(), 10, 20, 150, 121);
        if (clip == 2) cairo_rectangle(cr.get(), 10.5, 20.25, 150, 120.7);
        if (clip == 3) {
            cairo_save(cr.get());
            cairo_translate(cr.get(), 100.5, 100.5);
            cairo_arc(cr.get(), 0, 0, 80, 0, 2 * M_PI);
            cairo_restore(cr.get());
        }
        if (clip != 0) cairo_clip(cr.get());
        cairo_scale(cr.get(), 0.93, 1.07);
        for (const auto& e : squares.elements()) {
            if (e.type == Path::ElementType::moveToPoint) cairo_move_to(cr.get(), e.points[0].x, e.points[0].y);
            if (e.type == Path::ElementType::addLineToPoint) cairo_line_to(cr.get(), e.points[0].x, e.points[0].y);
            if (e.type == Path::ElementType::closeSubpath) cairo_close_path(cr.get());
        }
        cairo_set_source_rgba(cr.get(), 0.2, 0.4, 0.9, 0.8);
        cairo_fill(cr.get());
        cairo_surface_flush(surface.get());

        int worst = 0, differing = 0, painted = 0;
        for (int y = 0; y < size; ++y) {
            const auto* expected = reinterpret_cast<const std::uint32_t*>(
                cairo_image_surface_get_data(surface.get()) + y * cairo_image_surface_get_stride(surface.get()));
            for (int x = 0; x < size; ++x) {
                const std::uint32_t p = image->row(y)[x], q = expected[x], b = background->row(y)[x];
                int d = 0, fromBackground = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    d = std::max(d, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
                    fromBackground = std::max(fromBackground, std::abs(int((p >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
                }
                worst = std::max(worst, d);
                differing += d != 0;
                painted += fromBackground > 30;
            }
        }
        EXPECT_LE(worst, 1);
        EXPECT_LT(differing, size * size / 20);
        EXPECT_GT(painted, size * size / 4); // the squares are there to see
    }
}

TEST(GraphicsContext, ClipsIntersectAndRestore) {
    auto ctx = bitmap();
    ctx->setFillColor(Color::sRGB(1, 0, 0));
    ctx->saveGState();
    ctx->clipToRect(Rect(0, 0, 50, 100));
    ctx->clipToRect(Rect(0, 0, 100, 50));
    EXPECT_EQ(ctx->clipBoundingBox(), Rect(0, 0, 50, 50));
    ctx->fillRect(Rect(0, 0, 100, 100));
    ctx->setFillColor(Color::sRGB(0, 0, 1));
    ctx->translateBy(1000, 0);
    ctx->restoreGState();
    EXPECT_EQ(ctx->clipBoundingBox(), Rect(0, 0, 100, 100));
    EXPECT_TRUE(ctx->ctm().isIdentity());
    ctx->fillRect(Rect(90, 90, 10, 10)); // red again, where no clip was
    expectSeen(*ctx->makeImage(),
               {{25, 25, Seen::red}, {75, 25, Seen::clear}, {25, 75, Seen::clear}, {95, 95, Seen::red}});

    // An empty clip hides everything.
    auto none = bitmap();
    none->clip(Path());
    none->fillRect(Rect(0, 0, 100, 100));
    expectSeen(*none->makeImage(), {{50, 50, Seen::clear}});
}

TEST(GraphicsContext, GradientsPadPastTheirEndsWithinTheClip) {
    const gfx::Gradient g({{0, Color::sRGB(1, 0, 0)}, {1, Color::sRGB(0, 0, 1)}});
    auto ctx = bitmap();
    ctx->clipToRect(Rect(0, 0, 100, 50));
    ctx->drawLinearGradient(g, {25, 0}, {75, 0});
    auto img = ctx->makeImage();
    expectSeen(*img, {{2, 10, Seen::red}, {97, 10, Seen::blue}, {50, 75, Seen::clear}});
    const Pixel mid = at(*img, 50, 10);
    EXPECT_NEAR(mid.r, 128, 8);
    EXPECT_NEAR(mid.b, 128, 8);

    auto radial = bitmap();
    radial->drawRadialGradient(g, {50, 50}, 0, {50, 50}, 20);
    img = radial->makeImage();
    EXPECT_GT(at(*img, 50, 50).r, 230);
    expectSeen(*img, {{2, 2, Seen::blue}, {97, 50, Seen::blue}});
}

namespace {

// What Cairo itself paints for a linear (along x) or a centred radial
// gradient with every stop as given, in the bitmap's byte layout.
std::vector<std::uint8_t> cairoRamp(const std::vector<gfx::GradientStop>& stops, bool radial, int w, int h) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* pattern = radial ? cairo_pattern_create_radial(w / 2.0, h / 2.0, 0, w / 2.0, h / 2.0, w / 2.0)
                                      : cairo_pattern_create_linear(0, 0, w, 0);
    for (const auto& s : stops) {
        const auto c = s.color.toSRGB();
        cairo_pattern_add_color_stop_rgba(pattern, s.location, c.r, c.g, c.b, c.a);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_surface_flush(surface);
    const auto* data = cairo_image_surface_get_data(surface);
    std::vector<std::uint8_t> bytes(data, data + std::size_t(cairo_image_surface_get_stride(surface)) * h);
    cairo_pattern_destroy(pattern);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return bytes;
}

std::vector<std::uint8_t> drawnRamp(const gfx::Gradient& gradient, bool radial, int w, int h) {
    auto ctx = GraphicsContext::makeBitmap(w, h);
    if (radial)
        ctx->drawRadialGradient(gradient, {w / 2.0, h / 2.0}, 0, {w / 2.0, h / 2.0}, w / 2.0);
    else
        ctx->drawLinearGradient(gradient, {0, 0}, {double(w), 0});
    const auto image = ctx->makeImage();
    return std::vector<std::uint8_t>(image->data(), image->data() + image->byteCount());
}

} // namespace

TEST(GraphicsContext, GradientStopsInsideARunAtOneLocationAreDroppedWithoutChangingAPixel) {
    const Color red = Color::sRGB(1, 0, 0), green = Color::sRGB(0, 1, 0), blue = Color::sRGB(0, 0, 1);
    const Color white = Color::sRGB(1, 1, 1), clear = Color::sRGB(0, 0, 0, 0), grey = Color::gray(0.5);
    // Runs at the ends and inside, one of them given out of order.
    const std::vector<gfx::GradientStop> stops{
        {0, red},      {0, white},     {0, blue},     {0.3, green},  {0.3, clear}, {0.3, red},   {0.3, grey},
        {1, white},    {1, red},       {1, green},    {0.6, blue},   {0.6, white}, {0.6, green}, {0.45, grey},
        {-1, green},   {2, blue},
    };
    const gfx::Gradient gradient(stops);
    const auto& kept = gradient.stops();
    // Sorted stably; first and last of each run; clamped locations join runs.
    const std::vector<std::pair<double, Color>> expected{{0, red},   {0, green}, {0.3, green}, {0.3, grey},
                                                         {0.45, grey}, {0.6, blue}, {0.6, green}, {1, white},
                                                         {1, blue}};
    ASSERT_EQ(kept.size(), expected.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].location, expected[i].first) << i;
        EXPECT_EQ(kept[i].color, expected[i].second) << i;
    }
    for (const bool radial : {false, true}) {
        std::vector<gfx::GradientStop> sorted = stops;
        for (auto& s : sorted) s.location = std::clamp(s.location, 0.0, 1.0);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.location < b.location; });
        EXPECT_EQ(drawnRamp(gradient, radial, 200, 200), cairoRamp(sorted, radial, 200, 200)) << radial;
    }
}

TEST(GraphicsContext, AGradientDrawsAtMostItsStopCapKeepingEverySpansFirstAndLastStop) {
    // Ten thousand stops at distinct locations, a hard edge among them.
    std::vector<gfx::GradientStop> stops;
    std::uint64_t seed = 7;
    for (int i = 0; i < 10000; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        stops.push_back({i / 9999.0, Color::sRGB((seed >> 33) % 2, (seed >> 40) % 2, (seed >> 50) % 2)});
    }
    stops.push_back({0.5, Color::sRGB(1, 1, 1)});
    const gfx::Gradient gradient(stops);
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.location < b.location; });

    // Of every 1/128 of the ramp, its first and its last stop.
    std::vector<gfx::GradientStop> expected;
    for (std::size_t i = 0; i < stops.size();) {
        const int span = std::min(int(stops[i].location * 128), 127);
        std::size_t last = i;
        while (last + 1 < stops.size() && std::min(int(stops[last + 1].location * 128), 127) == span) ++last;
        expected.push_back(stops[i]);
        if (last > i) expected.push_back(stops[last]);
        i = last + 1;
    }
    ASSERT_EQ(gradient.stops().size(), expected.size());
    EXPECT_LE(gradient.stops().size(), gfx::Gradient::kMostStops);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(gradient.stops()[i].location, expected[i].location) << i;
        EXPECT_EQ(gradient.stops()[i].color, expected[i].color) << i;
    }
    EXPECT_EQ(drawnRamp(gradient, false, 300, 20), cairoRamp(expected, false, 300, 20));

    // At the cap nothing is given up.
    const std::vector<gfx::GradientStop> atCap(stops.begin(), stops.begin() + gfx::Gradient::kMostStops);
    EXPECT_EQ(gfx::Gradient(atCap).stops().size(), gfx::Gradient::kMostStops);
}

TEST(GraphicsContext, ImagesAreUprightInYUpAndFlippedContexts) {
    const auto image = twoRowImage();
    auto up = bitmap();
    up->drawImage(image, Rect(0, 0, 100, 100));
    auto img = up->makeImage();
    // Red on top, blue below, stretched without fading at the edges.
    expectSeen(*img, {{50, 0, Seen::red}, {50, 99, Seen::blue}, {0, 0, Seen::red}, {99, 99, Seen::blue}}, false);

    // A flipped (y-down) context draws it upside down, as the platform does;
    // flipping back around the image rectangle makes it upright.
    auto flipped = bitmap();
    flipped->scaleBy(1, -1);
    flipped->translateBy(0, -100);
    flipped->drawImage(image, Rect(0, 0, 100, 50));
    flipped->saveGState();
    flipped->translateBy(0, 100);
    flipped->scaleBy(1, -1);
    flipped->drawImage(image, Rect(0, 0, 100, 50)); // lower half in y-down space
    flipped->restoreGState();
    expectSeen(*flipped->makeImage(),
               {{50, 2, Seen::blue}, {50, 47, Seen::red}, {50, 52, Seen::red}, {50, 97, Seen::blue}}, false);
}

TEST(GraphicsContext, ShadowOffsetIsDeviceSpaceYUpWhateverTheTransform) {
    for (const bool flip : {false, true}) {
        SCOPED_TRACE(flip ? "flipped" : "y up");
        auto ctx = bitmap();
        if (flip) {
            ctx->scaleBy(1, -1);
            ctx->translateBy(0, -100);
        }
        ctx->setShadow({2, -2}, 0, Color::sRGB(0, 0, 1));
        ctx->setFillColor(Color::sRGB(1, 0, 0));
        ctx->fillRect(Rect(40, 40, 20, 20));
        // Rows top to bottom: the square covers rows and columns 40...59; the
        // shadow falls down and right, never up and left.
        expectSeen(*ctx->makeImage(),
                   {{50, 50, Seen::red},
                    {61, 61, Seen::blue},
                    {45, 61, Seen::blue},
                    {38, 38, Seen::clear},
                    {38, 50, Seen::clear},
                    {62, 62, Seen::clear}},
                   false);
    }
}

TEST(GraphicsContext, ShadowBlurIsAGaussianOfHalfTheBlur) {
    auto ctx = bitmap(200, 100);
    // The shape lies off the bitmap; its shadow's edge falls at x = 100.
    ctx->setShadow({-1000, 0}, 16, Color::sRGB(0, 0, 0)); // sigma 8
    ctx->setFillColor(Color::sRGB(1, 1, 1));
    ctx->fillRect(Rect(1100, -100, 1000, 300));
    auto img = ctx->makeImage();
    auto alphaAt = [&](int x) { return img->premultipliedPixel(x, 50).a / 255.0; };
    // 1 - Phi(d / sigma) outside the edge.
    EXPECT_NEAR(alphaAt(100), 0.5, 0.06);
    EXPECT_NEAR(alphaAt(92), 0.159, 0.04);
    EXPECT_NEAR(alphaAt(84), 0.023, 0.02);
    EXPECT_NEAR(alphaAt(116), 0.977, 0.03);
    // The shape's alpha of zero still casts nothing.
    auto none = bitmap();
    none->setShadow({0, 0}, 4, Color::sRGB(0, 0, 0));
    none->setFillColor(Color::sRGB(1, 0, 0, 0));
    none->fillRect(Rect(-10, -10, 1, 1));
    EXPECT_TRUE(isClear(none->makeImage()->pixel(0, 99)));
}

TEST(GraphicsContext, SharpShadowEdgesKeepTheirCoverage) {
    // The square spans x 5.5...15.5, its shadow 15.5...25.5: both edge
    // pixels of the shadow are half covered, whether a fill or a layer casts it.
    for (const bool layer : {false, true}) {
        SCOPED_TRACE(layer ? "layer" : "fill");
        auto ctx = bitmap(40, 40);
        ctx->setShadow({10, 0}, 0, Color::sRGB(0, 0, 1));
        ctx->setFillColor(Color::sRGB(1, 0, 0));
        if (layer) ctx->beginTransparencyLayer();
        ctx->fillRect(Rect(5.5, 10, 10, 10));
        if (layer) ctx->endTransparencyLayer();
        auto img = ctx->makeImage();
        EXPECT_NEAR(img->pixel(25, 25).a, 128, 1);
        EXPECT_NEAR(img->pixel(15, 25).a, 191, 1); // half red over half shadow
        EXPECT_EQ(img->pixel(20, 25).a, 255);
    }
}

TEST(GraphicsContext, ShadowIsClippedAndDrawnUnderTheShape) {
    auto ctx = bitmap();
    ctx->clipToRect(Rect(0, 0, 100, 50));
    ctx->setShadow({0, 20}, 0, Color::sRGB(0, 0, 1));
    ctx->setFillColor(Color::sRGB(1, 0, 0));
    ctx->fillRect(Rect(40, 20, 20, 20)); // shadow spans y 40...60, clip stops at 50
    ctx->fillRect(Rect(40, 40, 5, 5));   // this one is above the earlier shadow
    expectSeen(*ctx->makeImage(),
               {{55, 45, Seen::blue}, {55, 55, Seen::clear}, {50, 30, Seen::red}, {42, 42, Seen::red}});
}

TEST(GraphicsContext, InnerShadowStaysInsideItsPath) {
    auto ctx = bitmap();
    Path shape;
    shape.addRect(Rect(20, 20, 60, 60));
    ctx->setFillColor(Color::sRGB(1, 1, 1));
    ctx->fillPath(shape);
    ctx->saveGState();
    ctx->clip(shape);
    ctx->saveGState();
    Path outside;
    outside.addRect(Rect(-100000, -100000, 200000, 200000));
    outside.addPath(shape);
    ctx->setFillColor(Color::sRGB(0, 0, 1));
    ctx->setShadow({4, -4}, 4, Color::sRGB(0, 0, 1));
    ctx->fillPath(outside, FillRule::evenOdd);
    ctx->restoreGState();
    ctx->restoreGState();
    auto img = ctx->makeImage();
    expectSeen(*img, {{10, 50, Seen::clear}, {90, 50, Seen::clear}});
    const Pixel nearLeftEdge = at(*img, 21, 50), nearRightEdge = at(*img, 78, 50);
    EXPECT_LT(nearLeftEdge.r, 100);     // shadow from the left (offset right)
    EXPECT_GT(nearRightEdge.r, 240);    // not on the far side
    EXPECT_GT(at(*img, 50, 50).r, 240); // the middle is untouched
}

TEST(GraphicsContext, TransparencyLayerCastsOneShadow) {
    auto ctx = bitmap();
    ctx->setShadow({0, -30}, 0, Color::sRGB(0, 0, 0, 0.5));
    ctx->beginTransparencyLayer();
    EXPECT_FALSE(ctx->shadow().isSet);
    ctx->setFillColor(Color::sRGB(1, 0, 0));
    ctx->fillRect(Rect(40, 60, 20, 20));
    ctx->fillRect(Rect(50, 60, 20, 20)); // overlaps the first
    ctx->endTransparencyLayer();
    EXPECT_TRUE(ctx->shadow().isSet);
    auto img = ctx->makeImage();
    expectSeen(*img, {{55, 70, Seen::red}, {80, 40, Seen::clear}});
    EXPECT_NEAR(at(*img, 45, 40).a, 128, 2);
    EXPECT_NEAR(at(*img, 55, 40).a, 128, 2); // not darker where the squares overlap
}

TEST(GraphicsContext, UnusableInputDrawsNothingAndKeepsTheContextAlive) {
    auto ctx = bitmap();
    ctx->setFillColor(Color::sRGB(1, 0, 0));
    Path bad;
    bad.moveTo({0, 0});
    bad.lineTo({std::numeric_limits<double>::infinity(), 0});
    bad.lineTo({0, 100});
    ctx->fillPath(bad);
    ctx->saveGState();
    ctx->scaleBy(0, 0);
    ctx->fillRect(Rect(0, 0, 100, 100));
    ctx->drawImage(twoRowImage(), Rect(0, 0, 10, 10));
    ctx->restoreGState();
    ctx->setShadow({NAN, 1}, NAN, Color::sRGB(0, 0, 1));
    ctx->fillRect(Rect(0, 0, 10, 10));
    expectSeen(*ctx->makeImage(), {{50, 50, Seen::clear}, {5, 5, Seen::red}});
}

namespace {

// The first page of a PDF as pdftoppm renders it with `options`.
gfx::ImagePtr rasterise(const testsupport::TempDir& dir, const std::vector<std::uint8_t>& pdf,
                        const std::string& options) {
    testsupport::writeFile(dir / "page.pdf", pdf);
    const std::string base = (dir / "page").string();
    EXPECT_EQ(testsupport::runCommand("pdftoppm -png -singlefile " + options + " '" + base + ".pdf' '" + base + "'"),
              0);
    return ImageReadWrite::loadFile(base + ".png");
}

void drawScene(GraphicsContext& ctx) {
    // Flipped to y-down, as the renderers do.
    ctx.scaleBy(1, -1);
    ctx.translateBy(0, -512);
    ctx.setFillColor(Color::sRGB(1, 1, 1));
    ctx.fillRect(Rect(0, 0, 512, 512));
    ctx.setFillColor(Color::sRGB(1, 0, 0));
    Path r;
    r.addRect(Rect(50, 50, 300, 300));
    r.addRect(Rect(150, 150, 100, 100));
    ctx.fillPath(r, FillRule::evenOdd);
    ctx.saveGState();
    ctx.clipToRect(Rect(400, 0, 100, 512));
    ctx.drawLinearGradient(gfx::Gradient({{0, Color::sRGB(0, 0, 1)}, {1, Color::sRGB(0, 1, 0)}}), {0, 100}, {0, 400});
    ctx.restoreGState();
    // The image is released by the caller before the PDF is finished.
    ctx.saveGState();
    ctx.translateBy(0, 512);
    ctx.scaleBy(1, -1);
    ctx.drawImage(twoRowImage(16), Rect(200, 0, 80, 100)); // y-down 412...512, red on top
    ctx.restoreGState();
    ctx.setShadow({10, -10}, 0, Color::sRGB(0, 0, 0));
    ctx.setFillColor(Color::sRGB(0, 0, 1));
    ctx.fillRect(Rect(50, 400, 60, 60));
    ctx.setShadow({0, 0}, 20, Color::sRGB(0, 1, 0));
    ctx.fillRect(Rect(380, 20, 10, 10)); // a soft green glow around a small square
}

} // namespace

TEST(GraphicsContext, PdfIsReproducibleHasTheMediaBoxAndMatchesTheBitmap) {
    auto pdf = GraphicsContext::makePDF({512, 512});
    ASSERT_TRUE(pdf);
    drawScene(*pdf);
    const auto bytes = pdf->finishPDF();
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(pdf->finishPDF());
    // Reproducible (no creation date), with a fractional media box as given.
    auto again = GraphicsContext::makePDF({512, 512});
    drawScene(*again);
    EXPECT_EQ(*again->finishPDF(), *bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()).find("CreationDate"), std::string::npos);
    const auto odd = *GraphicsContext::makePDF({100.5, 200.25})->finishPDF();
    EXPECT_NE(std::string(odd.begin(), odd.end()).find("/MediaBox [ 0 0 100.5 200.25 ]"), std::string::npos);

    testsupport::TempDir dir;
    const auto page = rasterise(dir, *bytes, "-r 72");
    ASSERT_EQ(page->width(), 512);
    ASSERT_EQ(page->height(), 512);
    std::string info;
    ASSERT_EQ(testsupport::runCommand("pdfinfo '" + (dir / "page.pdf").string() + "'", &info), 0);
    EXPECT_NE(info.find(" 512 x 512 pts\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;

    auto bmp = GraphicsContext::makeBitmap(512, 512);
    drawScene(*bmp);
    const auto img = bmp->makeImage();
    const int probes[][2] = {{100, 100}, {200, 200}, {20, 20},   {450, 50}, {450, 250},
                             {450, 480}, {80, 430},  {115, 465}, {45, 395}, {300, 480},
                             {240, 437}, {240, 487}, {385, 37},  {385, 45}, {397, 25}};
    for (const auto& p : probes) {
        SCOPED_TRACE(testing::Message() << "at " << p[0] << "," << p[1]);
        const Pixel a = page->pixel(p[0], p[1]), b = img->pixel(p[0], p[1]);
        EXPECT_NEAR(a.r, b.r, 6);
        EXPECT_NEAR(a.g, b.g, 6);
        EXPECT_NEAR(a.b, b.b, 6);
    }
    EXPECT_TRUE(isRed(img->pixel(100, 100)));
    EXPECT_EQ(img->pixel(115, 465), (Pixel{0, 0, 0, 255})); // shadow down-right of the blue square
    EXPECT_TRUE(isRed(img->pixel(240, 437)));
    EXPECT_TRUE(isBlue(img->pixel(240, 487)));
    const Pixel glow = img->pixel(385, 37);
    EXPECT_GT(glow.g, 255 - glow.r + 40); // greenish, fading into white
    EXPECT_LT(glow.r, 250);
}

TEST(GraphicsContext, HugeShapesBlursAndOffsetsAreClampedAndStayCheap) {
    auto ctx = bitmap(64, 64);
    ctx->setShadow({1e300, -1e300}, 1e9, Color::sRGB(0, 0, 0));
    EXPECT_EQ(ctx->shadow().blur, 4096);
    EXPECT_EQ(ctx->shadow().offset.width, 1e7);
    EXPECT_EQ(ctx->shadow().offset.height, -1e7);
    // A blur far wider than the bitmap thins the shadow out to almost nothing.
    ctx->setShadow({0, 0}, 1e9, Color::sRGB(0, 0, 0));
    ctx->setFillColor(Color::sRGB(1, 0, 0));
    ctx->fillRect(Rect(16, 16, 32, 32));
    const auto img = ctx->makeImage();
    EXPECT_TRUE(isRed(img->pixel(32, 32)));
    EXPECT_LT(img->pixel(2, 2).a, 8);
    // A huge shape with a shadow, scaled up, stays within the clip.
    auto huge = bitmap(64, 64);
    huge->setShadow({3, -3}, 50, Color::sRGB(0, 0, 0));
    huge->setFillColor(Color::sRGB(1, 0, 0));
    huge->scaleBy(100, 100);
    huge->fillRect(Rect(-100000, -100000, 200000, 200000));
    EXPECT_TRUE(isRed(huge->makeImage()->pixel(32, 32)));

    // The blur itself: any sigma, work linear in the plane, no overflow.
    std::vector<std::uint8_t> plane(50 * 50, 255);
    gfx::detail::blurAlpha(plane.data(), 50, 50, 50, 1e12);
    EXPECT_LT(*std::max_element(plane.begin(), plane.end()), 2);
}

// Outlines along the axes like merged square modules: `blobs` skylines of
// random column heights (cells `cell` units wide), overlapping each other,
// each with a hole turning the other way.
Path skylines(int blobs, double cell, unsigned seed) {
    std::mt19937 rng(seed);
    Path p;
    for (int b = 0; b < blobs; ++b) {
        const double x0 = b * 7 * cell, y0 = b * 9 * cell;
        constexpr int kColumns = 40;
        p.moveTo({x0, y0});
        double top = 0;
        for (int c = 0; c < kColumns; ++c) {
            const double h = (4 + rng() % 12) * cell;
            p.lineTo({x0 + c * cell, y0 + h});
            p.lineTo({x0 + (c + 1) * cell, y0 + h});
            top = std::max(top, h);
        }
        p.lineTo({x0 + kColumns * cell, y0});
        p.closeSubpath();
        p.moveTo({x0 + cell, y0 + cell});
        p.lineTo({x0 + kColumns * cell / 2, y0 + cell});
        p.lineTo({x0 + kColumns * cell / 2, y0 + 3 * cell});
        p.lineTo({x0 + cell, y0 + 3 * cell});
        p.closeSubpath();
    }
    return p;
}

TEST(GraphicsContext, LargeShadowsDrawnInBandsWithTheirFillAreThoseDrawnWhole) {
    // A large shadow along the axes is drawn band by band with its fill on
    // several threads. The same outlines with one more figure far away
    // (off the bitmap, its shadow too) have two groups of figures whose
    // shadows are drawn apart, which is done whole, shadow before fill: the
    // pixels must be the same. Offsets of a fraction of a pixel, past the
    // bitmap's edge, and far enough for the fill to reach beyond the
    // shadow's rows; with and without a clip.
    struct Case {
        double dx, dy, blur;
        bool clipped;
    };
    for (const Case c : {Case{3.3, -2.7, 4, false}, Case{-0.6, 0.45, 2, true}, Case{0, 180.25, 7, false},
                         Case{-250, -90.5, 4, true}, Case{1, -1, 0.6, false}}) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy << " blur " << c.blur << (c.clipped ? " clipped" : ""));
        const Path outlines = skylines(6, 10.37, 5);
        Path apart = outlines;
        apart.addRect(Rect(1e5, 100, 10, 10));
        gfx::ImagePtr images[2];
        for (int k = 0; k < 2; ++k) {
            auto ctx = bitmap(640, 700);
            ctx->setFillColor(Color::sRGB(0.9, 0.9, 0.2));
            ctx->fillRect(Rect(0, 0, 640, 700));
            if (c.clipped) ctx->clipToRect(Rect(17, 23, 500, 600));
            ctx->translateBy(11.25, 20.5);
            ctx->setShadow({c.dx, c.dy}, c.blur, Color::sRGB(0.1, 0.2, 0.5, 0.7));
            ctx->setFillColor(Color::sRGB(0.8, 0.1, 0.3));
            ctx->fillPath(k == 0 ? outlines : apart);
            images[k] = ctx->makeImage();
        }
        int differing = 0, filled = 0, shaded = 0;
        for (int y = 0; y < images[0]->height(); ++y) {
            differing += std::memcmp(images[0]->row(y), images[1]->row(y), std::size_t(images[0]->width()) * 4) != 0;
            for (int x = 0; x < images[0]->width(); ++x) {
                const Pixel p = images[0]->pixel(x, y);
                filled += p.r == 204 && p.g == 25 && p.b == 76;
                shaded += p.g < 200 && p.g > 60 && p.b < 120;
            }
        }
        EXPECT_EQ(differing, 0);
        // Both were drawn: many pixels in the fill's colour, many in the
        // background's darkened by the shadow.
        EXPECT_GT(filled, 40000);
        EXPECT_GT(shaded, 10000);
    }
}

TEST(GraphicsContext, PdfShadowsOnHugePagesAreDrawnCoarserNotDroppedOrHuge) {
    // A 256-pixel code at 1 and at 0.1 dpi: 18,432 and 184,320 points a side.
    testsupport::TempDir dir;
    const std::size_t before = testsupport::peakResidentBytes();
    for (const double side : {18432.0, 184320.0}) {
        SCOPED_TRACE(side);
        auto pdf = GraphicsContext::makePDF({side, side});
        ASSERT_TRUE(pdf);
        pdf->setFillColor(Color::sRGB(1, 1, 1));
        pdf->fillRect(Rect(0, 0, side, side));
        pdf->setShadow({side * 0.2, -side * 0.2}, side / 50, Color::sRGB(0, 1, 0));
        pdf->setFillColor(Color::sRGB(1, 0, 0));
        pdf->fillRect(Rect(side * 0.25, side * 0.25, side * 0.3, side * 0.3));
        const auto bytes = pdf->finishPDF();
        ASSERT_TRUE(bytes);
        const auto page = rasterise(dir, *bytes, "-scale-to 512");
        ASSERT_EQ(page->width(), 512);
        EXPECT_TRUE(isRed(page->pixel(200, 300)));
        const Pixel shadow = page->pixel(333, 435); // below right of the square: shadow only
        EXPECT_GT(shadow.g, 200);
        EXPECT_LT(shadow.r, 60);
    }
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(256) << 20);
}

namespace {

// The alpha of an image drawn within `outline`: through drawImage's own
// clip outline, or (`cairo`) through Cairo's clip.
std::shared_ptr<const gfx::Image> clippedImage(const Path& outline, int side, bool cairo, double alpha = 1) {
    auto ctx = bitmap(side, side);
    ctx->setAlpha(alpha);
    const Rect rect(0, 0, side, side);
    if (cairo) {
        ctx->saveGState();
        ctx->clip(outline);
        ctx->drawImage(twoRowImage(), rect);
        ctx->restoreGState();
    } else {
        ctx->drawImage(twoRowImage(), rect, outline);
    }
    return ctx->makeImage();
}

struct Difference {
    int max = 0;
    double mean = 0;
};
Difference alphaDifference(const gfx::Image& a, const gfx::Image& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int e = std::abs(int(a.pixel(x, y).a) - int(b.pixel(x, y).a));
            d.max = std::max(d.max, e);
            d.mean += e;
        }
    d.mean /= double(a.width()) * a.height();
    return d;
}

// A closed spiral of `turns` half-turn cubics around (c, c), out to radius r:
// its winding number grows towards the centre and never changes sign.
Path spiral(int turns, double c, double r) {
    constexpr double k = 4.0 / 3;
    Path p;
    p.moveTo({c, c});
    for (int i = 0; i < turns; ++i) {
        const double ri = r * (i + 1) / turns, side = i % 2 == 0 ? 1 : -1;
        p.curveTo({c + side * ri, c + side * k * ri}, {c - side * ri, c + side * k * ri}, {c - side * ri, c});
    }
    p.closeSubpath();
    return p;
}

} // namespace

TEST(GraphicsContext, ImagesWithinHugeOutlinesAgreeWithCairosClip) {
    // Many small separate figures, as a logo traced from an image has.
    Path figures;
    for (int i = 0; i < 22; ++i)
        for (int j = 0; j < 22; ++j) figures.addEllipse(Rect(3.3 + i * 8.7, 2.9 + j * 8.7, 6.9, 5.2));
    // Discs that overlap their neighbours, turning either way.
    Path overlapping;
    for (int i = 0; i < 24; ++i)
        for (int j = 0; j < 24; ++j) {
            const Rect r(i * 7.9, j * 7.9, 14.3, 11.1);
            if ((i + j) % 3 == 0) {
                overlapping.moveTo({r.minX(), r.minY()});
                overlapping.lineTo({r.minX(), r.maxY()});
                overlapping.lineTo({r.maxX(), r.maxY()});
                overlapping.lineTo({r.maxX(), r.minY()});
                overlapping.closeSubpath();
            } else {
                overlapping.addEllipse(r);
            }
        }
    // One outline crossing itself thousands of times: a star of chords whose
    // points wind several times around the centre, and a figure eight whose
    // lobes wind opposite ways (summed signed areas would cancel them).
    Path crossing;
    constexpr int kChords = 2101;
    crossing.moveTo({100, 190});
    for (int i = 1; i <= kChords; ++i) {
        const double a = M_PI / 2 + i * 2 * M_PI * 700 / kChords;
        crossing.lineTo({100 + 90 * std::cos(a), 100 + 90 * std::sin(a)});
    }
    crossing.closeSubpath();
    Path eight;
    eight.moveTo({100, 100});
    for (int i = 1; i <= 2100; ++i) {
        const double t = 2 * M_PI * i / 2100;
        eight.lineTo({100 + 95 * std::sin(t), 100 + 60 * std::sin(t) * std::cos(t)});
    }
    eight.closeSubpath();

    for (const auto& [name, outline] : {std::pair{"figures", &figures}, std::pair{"overlapping", &overlapping},
                                        std::pair{"crossing", &crossing}, std::pair{"eight", &eight}}) {
        SCOPED_TRACE(name);
        ASSERT_GE(outline->size(), 2048u);
        for (double alpha : {1.0, 0.6}) {
            const auto ours = clippedImage(*outline, 200, false, alpha);
            const auto cairo = clippedImage(*outline, 200, true, alpha);
            const Difference d = alphaDifference(*ours, *cairo);
            // Both sample pixel rows on fifteen lines with exact spans along
            // them, Cairo taking exact areas where no edge ends in a row:
            // edge pixels differ by a sample line's share at most, and
            // only edge pixels differ (the overlapping discs are mostly
            // edges).
            EXPECT_LE(d.max, 32);
            EXPECT_LT(d.mean, 3.0);
        }
    }
    // The eight's lobes are both drawn.
    const auto eightImage = clippedImage(eight, 200, false);
    EXPECT_EQ(at(*eightImage, 40, 100).a, 255);
    EXPECT_EQ(at(*eightImage, 160, 100).a, 255);
    EXPECT_EQ(at(*eightImage, 100, 20).a, 0);
}

TEST(GraphicsContext, ImagesWithinOutlinesOfMillionsOfCrossingsAreDrawnBoundedAndRight) {
    // 10,000 turns out to radius 160: some 24 million crossings on fifteen
    // lines a row; Cairo's clip takes seconds on it. Its non-zero fill is the
    // disc within the outermost turn.
    const Path coil = spiral(10000, 200, 160);
    const auto image = clippedImage(coil, 400, false);
    int covered = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) {
            const double r = std::hypot(x + 0.5 - 200, y + 0.5 - 200);
            const int a = image->pixel(x, y).a;
            if (r < 150) {
                covered += a == 255;
            } else if (r > 172) {
                ASSERT_EQ(a, 0) << x << ", " << y;
            }
        }
    const double inner = M_PI * 150 * 150;
    EXPECT_GT(covered, 0.99 * inner);
    // The edge ring too: hundreds of turns pass through each pixel there,
    // which summed areas would count many times over (solid where the scan
    // gives a partial pixel). The scan's outline is flattened as drawImage
    // flattens it.
    gfx::detail::FlatOutline flat;
    ASSERT_TRUE(flat.flatten(coil, gfx::AffineTransform(), 0.1, Rect(-1, -1, 402, 402), std::size_t(1) << 20));
    gfx::detail::WindingEdges fine;
    ASSERT_TRUE(fine.build(flat, 0, 0, 400, gfx::detail::kWindingSubrows));
    std::vector<std::uint8_t> scan(std::size_t(400) * 400);
    fine.resolve(400, scan.data(), 400);
    int maxDiff = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) // the context is y-up, the raster y-down
            maxDiff = std::max(maxDiff, std::abs(int(image->pixel(x, 399 - y).a) - int(scan[std::size_t(y) * 400 + x])));
    EXPECT_LE(maxDiff, 8);
}

TEST(GraphicsContext, ImagesWithinOutlinesTooCrossedToScanFinelyAreScannedCoarserNotByCairo) {
    // 8,000 chords from top to bottom whose winding numbers take both signs:
    // some 36 million crossings on fifteen lines a row, where summed areas
    // would cancel. Drawn on fewer lines a row, it stays within that
    // sampling's error of the full scan.
    constexpr int side = 300;
    Path chords;
    std::uint32_t seed = 12345;
    const auto random = [&] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    chords.moveTo({150, 0});
    for (int i = 0; i < 8000; ++i) chords.lineTo({side * random(), i % 2 ? 0.0 : double(side)});
    chords.closeSubpath();
    gfx::detail::WindingEdges fine;
    ASSERT_TRUE(fine.build(chords, gfx::AffineTransform(), 0.1, 0, 0, side, gfx::detail::kWindingSubrows));
    ASSERT_GT(fine.crossings(), std::size_t(1) << 25);
    std::vector<std::uint8_t> exact(std::size_t(side) * side);
    fine.resolve(side, exact.data(), side);

    const auto image = clippedImage(chords, side, false);
    int maxDiff = 0, positive = 0, negative = 0;
    double sum = 0;
    const auto winding = chords.windingNumbersAtCellCentres(0, 0, side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            // The context is y-up, the raster y-down.
            const int d = std::abs(int(image->pixel(x, side - 1 - y).a) - int(exact[std::size_t(y) * side + x]));
            maxDiff = std::max(maxDiff, d);
            sum += d;
            const int w = winding[std::size_t(y) * side + x];
            positive += w > 0, negative += w < 0;
        }
    EXPECT_GT(positive, 1000);
    EXPECT_GT(negative, 1000);
    EXPECT_LE(maxDiff, 64);
    EXPECT_LT(sum / (side * side), 4.0);
}

namespace {

// `outline` with its straight edges cut into collinear pieces until it has
// at least `elements` elements: the same figure, large enough for the
// route that large outlines take.
Path withCollinearPoints(const Path& outline, std::size_t elements) {
    std::size_t lines = 0;
    for (const auto& e : outline.elements()) lines += e.type == Path::ElementType::addLineToPoint;
    const std::size_t pieces = elements / std::max<std::size_t>(lines, 1) + 1;
    Path out;
    gfx::Point current{};
    for (const auto& e : outline.elements()) {
        switch (e.type) {
        case Path::ElementType::moveToPoint: out.moveTo(current = e.points[0]); break;
        case Path::ElementType::addLineToPoint:
            for (std::size_t k = 1; k <= pieces; ++k) {
                const double t = double(k) / double(pieces);
                out.lineTo(k == pieces ? e.points[0] : current + (e.points[0] - current) * t);
            }
            current = e.points[0];
            break;
        case Path::ElementType::addQuadCurveToPoint: out.quadTo(e.points[0], current = e.points[1]); break;
        case Path::ElementType::addCurveToPoint: out.curveTo(e.points[0], e.points[1], current = e.points[2]); break;
        case Path::ElementType::closeSubpath: out.closeSubpath(); break;
        }
    }
    return out;
}

// An image of translucent stripes, so that what is drawn where shows.
gfx::ImagePtr stripedImage() {
    auto img = std::make_shared<gfx::Image>(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) img->setPixel(x, y, {std::uint8_t(x * 16), 90, std::uint8_t(y * 16), 170});
    return img;
}

} // namespace

TEST(GraphicsContext, ImagesWithinLargeOutlinesMatchCairosClipOfTheSameFigure) {
    // A logo drawn within its outline: the image fills the outline's bounds
    // (or less, when inset) and the outline cuts it. The same figure given
    // in a few elements (Cairo's clip) and in thousands (the large route)
    // must come out alike, edge pixels included.
    Path square;
    square.addRect(Rect(37.3, 41.6, 114.4, 97.55));
    Path triangle;
    triangle.moveTo({31.7, 40.2});
    triangle.lineTo({171.35, 77.9});
    triangle.lineTo({82.6, 163.45});
    triangle.closeSubpath();
    // A half disc: two curves and a straight side.
    Path curved;
    curved.moveTo({50.2, 100.3});
    curved.curveTo({50.2, 150.1}, {150.6, 150.1}, {150.6, 100.3});
    curved.curveTo({150.6, 80.4}, {120.2, 60.9}, {100.4, 60.9});
    curved.lineTo({50.2, 100.3});
    curved.closeSubpath();
    const auto twoColour = twoRowImage(8);
    const auto striped = stripedImage();
    struct Case {
        const char* name;
        const Path* figure;
        gfx::ImagePtr image;
        double inset, alpha;
    };
    for (const Case& c : {Case{"square", &square, twoColour, 0, 1}, Case{"triangle", &triangle, twoColour, 0, 1},
                          Case{"curved", &curved, twoColour, 0, 1}, Case{"translucent", &triangle, striped, 0, 0.6},
                          Case{"inset", &curved, striped, 9.3, 1}}) {
        SCOPED_TRACE(c.name);
        const Path large = withCollinearPoints(*c.figure, 2100);
        ASSERT_GE(large.size(), 2048u);
        const Rect rect = c.figure->pathBoundingBox().insetBy(c.inset, c.inset);
        const auto draw = [&](const Path& outline, bool cairo) {
            auto ctx = bitmap(200, 200);
            ctx->setAlpha(c.alpha);
            if (cairo) {
                ctx->saveGState();
                ctx->clip(outline);
                ctx->drawImage(c.image, rect);
                ctx->restoreGState();
            } else {
                ctx->drawImage(c.image, rect, outline);
            }
            return ctx->makeImage();
        };
        ASSERT_LT(c.figure->size(), 16u);
        const auto expected = draw(*c.figure, true);
        const auto drawn = draw(large, false);
        int worst = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                const Pixel a = expected->premultipliedPixel(x, y), b = drawn->premultipliedPixel(x, y);
                worst = std::max(
                    {worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b), std::abs(a.a - b.a)});
            }
        // Where the image's rectangle cuts the outline, the cut here ends
        // edges at points of Cairo's 1/256 grid and Cairo cuts them its own
        // way: a few levels apart along the cut edges.
        EXPECT_LE(worst, c.inset > 0 ? 4 : 2);
    }
}
