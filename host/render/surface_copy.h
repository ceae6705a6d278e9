#pragma once

#include <weeapp/c_handles.h>

#include <cairo.h>

namespace kavrin::host {

// A new ARGB32 image of the given size holding the source surface's pixels at its origin, pixel
// for pixel whatever the source's device scale, replaced rather than blended.
weeapp::CairoSurface copyOnCanvas(cairo_surface_t* source, int width, int height);

}
