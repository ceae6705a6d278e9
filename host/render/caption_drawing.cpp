#include "render/caption_drawing.h"

#include "render/surface_copy.h"
#include "render/text_drawing.h"

#include <cmath>

namespace kavrin::host {

namespace {

constexpr double kMargin = 8;

}

weeapp::CairoSurface withCaption(cairo_surface_t* frame, std::string_view text, int scale, TextLayouts& layouts)
{
    const int width = cairo_image_surface_get_width(frame);
    const int frameHeight = cairo_image_surface_get_height(frame);
    const int height = frameHeight + static_cast<int>(std::lround(kCaptionHeight * scale));
    weeapp::CairoSurface picture = copyOnCanvas(frame, width, height);
    const weeapp::CairoContext context(cairo_create(picture.get()));
    cairo_t* cr = context.get();

    cairo_scale(cr, scale, scale);
    const double pointsWide = width / double(scale);
    const double top = frameHeight / double(scale);
    cairo_rectangle(cr, 0, top, pointsWide, kCaptionHeight);
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
    cairo_fill(cr);
    if (!text.empty()) {
        TextStyle style;
        style.font = ui::Font("Helvetica", 13);
        style.color = ui::Color::whiteColor();
        drawText(cr, layouts, text, style,
            { static_cast<float>(kMargin), static_cast<float>(top), static_cast<float>(pointsWide - 2 * kMargin), static_cast<float>(kCaptionHeight) });
    }
    cairo_surface_flush(picture.get());
    cairo_surface_set_device_scale(picture.get(), scale, scale);
    return picture;
}

}
