// A bitmap's shadows are composited by our own code; every pixel must be the
// one Cairo's OVER with a solid colour through an A8 mask gives.

#include "platform/gfx/Composite.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Surface {
    cairo_surface_t* s;
    ~Surface() { cairo_surface_destroy(s); }
};

} // namespace

TEST(Composite, MaskedColourOverPixelsIsCairosToTheByte) {
    std::mt19937 rng(5);
    auto unit = [&] { return std::uniform_real_distribution<double>(0, 1)(rng); };
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + int(rng() % 70), h = 1 + int(rng() % 4);
        // Premultiplied destinations: opaque, translucent and clear pixels,
        // in half of the rounds mostly one background, as under a shadow.
        auto randomPixel = [&] {
            const unsigned a = rng() % 3 == 0 ? 255 : rng() % 5 == 0 ? 0 : rng() % 256;
            auto channel = [&] { return a == 0 ? 0u : unsigned(rng() % (a + 1)); };
            return a << 24 | channel() << 16 | channel() << 8 | channel();
        };
        const std::uint32_t background = randomPixel();
        const bool mostlyBackground = round % 2 == 0;
        std::vector<std::uint32_t> pixels(std::size_t(w) * h);
        for (auto& p : pixels) p = mostlyBackground && rng() % 8 != 0 ? background : randomPixel();
        const int maskStride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
        std::vector<std::uint8_t> mask(std::size_t(maskStride) * h, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned kind = rng() % 4;
                mask[std::size_t(y) * maskStride + x] = std::uint8_t(kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256);
            }
        }
        // Colours as shadows come: opaque black, the default shadow, anything.
        double r = unit(), g = unit(), b = unit(), a = unit();
        if (round % 4 == 0) r = g = b = 0, a = 1;
        if (round % 4 == 1) r = g = b = 0, a = 0.8 * unit();
        if (round % 8 == 2) a = 1;
        // Channels a quarter step of 16 bits below a step of 8: only the
        // rounding to 16 bits lifts them to it.
        auto belowStep = [&] { return (256.0 * double(1 + rng() % 255) - 0.25) / 65535; };
        if (round % 8 == 3) r = belowStep(), g = belowStep(), b = belowStep(), a = 1;

        auto expected = pixels;
        Surface dst{cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(expected.data()),
                                                        CAIRO_FORMAT_ARGB32, w, h, w * 4)};
        Surface maskSurface{cairo_image_surface_create_for_data(mask.data(), CAIRO_FORMAT_A8, w, h, maskStride)};
        cairo_t* cr = cairo_create(dst.s);
        cairo_set_source_rgba(cr, r, g, b, a);
        cairo_mask_surface(cr, maskSurface.s, 0, 0);
        cairo_destroy(cr);
        cairo_surface_flush(dst.s);

        const std::uint32_t colour = gfx::detail::solidPixel(r, g, b, a);
        for (int y = 0; y < h; ++y) {
            gfx::detail::maskSolidOver(colour, mask.data() + std::size_t(y) * maskStride,
                                       pixels.data() + std::size_t(y) * w, std::size_t(w));
        }
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            ASSERT_EQ(pixels[i], expected[i]) << "pixel " << i << " of " << w << " x " << h << ", colour " << r << ", "
                                              << g << ", " << b << ", " << a;
        }
    }
}
