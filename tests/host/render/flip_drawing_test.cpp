#include "render/flip_drawing.h"
#include <weeapp/c_handles.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kavrin::testing {
namespace {

// The green level of a pixel of an image surface.
int greenAt(cairo_surface_t* surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    std::uint32_t pixel;
    std::memcpy(&pixel, row + 4 * x, sizeof pixel);
    return static_cast<int>((pixel >> 8) & 0xff);
}

// A smooth gradient stays smooth at every moment of the flip's fade: across the turned face,
// neighbouring columns rise by no more than the gradient itself does, never falling back.
TEST(FlipDrawing, MidFlipGradientHasNoStripes)
{
    constexpr int kWidth = 106, kHeight = 40;
    const weeapp::CairoSurface picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight));
    {
        const weeapp::CairoContext painter(cairo_create(picture.get()));
        const weeapp::CairoPattern gradient(cairo_pattern_create_linear(0, 0, kWidth, 0));
        cairo_pattern_add_color_stop_rgb(gradient.get(), 0, 0, 0.2, 0);
        cairo_pattern_add_color_stop_rgb(gradient.get(), 1, 0, 0.8, 0);
        cairo_set_source(painter.get(), gradient.get());
        cairo_paint(painter.get());
    }

    for (double progress : { 0.1, 0.3, 0.45, 0.6, 0.85 }) {
        for (double alpha : { 0.5, 0.8 }) {
            const weeapp::CairoSurface owned(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight));
            cairo_surface_t* target = owned.get();
            {
                const weeapp::CairoContext cr(cairo_create(target));
                cairo_set_source_rgb(cr.get(), 0, 0, 0);
                cairo_paint(cr.get());
                host::drawFlip(cr.get(), picture.get(), kWidth, kHeight, progress, alpha);
            }

            // The middle row, from where the face begins to where it ends, less its edge pixels.
            const int y = kHeight / 2;
            int first = 0, last = kWidth - 1;
            while (first < kWidth && greenAt(target, first, y) == 0)
                ++first;
            while (last > first && greenAt(target, last, y) == 0)
                --last;
            ASSERT_LT(first + 10, last) << progress;
            // The gradient's own rise per column, as the turn compresses it.
            const double rise = static_cast<double>(greenAt(target, last - 1, y) - greenAt(target, first + 2, y)) / (last - 1 - first - 2);
            for (int x = first + 2; x < last - 1; ++x) {
                const int step = greenAt(target, x + 1, y) - greenAt(target, x, y);
                EXPECT_GE(step, 0) << "progress " << progress << " alpha " << alpha << " at " << x;
                EXPECT_LE(step, std::ceil(2 * rise) + 1) << "progress " << progress << " alpha " << alpha << " at " << x;
            }
        }
    }
}

}
}
