#pragma once

#include <weeapp/c_handles.h>

#include <cairo.h>

namespace kavrin::host {

// How two pictures of one state differ: the share of pixels that changed (every pixel when the
// sizes differ) and, when any did, a picture of the new one faded, the changed pixels in a strong
// colour over it.
struct PictureDifference {
    double changedShare { 0 };
    long changedPixels { 0 };
    weeapp::CairoSurface picture; // null when nothing changed
};

PictureDifference comparePictures(cairo_surface_t* before, cairo_surface_t* after);

}
