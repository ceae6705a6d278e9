#include "render/surface_copy.h"

namespace kavrin::host {

weeapp::CairoSurface copyOnCanvas(cairo_surface_t* source, int width, int height)
{
    weeapp::CairoSurface canvas(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const weeapp::CairoContext context(cairo_create(canvas.get()));
    cairo_t* cr = context.get();
    // Pixel for pixel, whatever scale the source was drawn at: a frame at 2x keeps its size.
    double scaleX = 1, scaleY = 1;
    cairo_surface_get_device_scale(source, &scaleX, &scaleY);
    cairo_scale(cr, scaleX, scaleY);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_surface_flush(canvas.get());
    return canvas;
}

}
