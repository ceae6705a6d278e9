#pragma once

#include <cairo.h>

#include <memory>

namespace kavrin::host {

struct SurfaceDestroyer {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

// A Cairo surface with one owner, destroyed with it. Every function that makes a picture hands
// it out as one; a plain cairo_surface_t* is only ever borrowed.
using OwnedSurface = std::unique_ptr<cairo_surface_t, SurfaceDestroyer>;

}
