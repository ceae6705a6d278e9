#include "render/drawing_geometry.h"

namespace kavrin::host {

weeapp::CairoContext measuringContext()
{
    // The context keeps its own reference to the picture.
    const weeapp::CairoSurface probe(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    return weeapp::CairoContext(cairo_create(probe.get()));
}

bool meetsClip(cairo_t* cr, double x, double y, double width, double height)
{
    double left = 0, top = 0, right = 0, bottom = 0;
    cairo_clip_extents(cr, &left, &top, &right, &bottom);
    return x < right && x + width > left && y < bottom && y + height > top;
}

}
