#pragma once

#include "render/owned_surface.h"

#include <cairo.h>

namespace kavrin::host {

// A new ARGB32 image of the given size holding the source surface drawn at its origin, pixels
// replaced rather than blended; the caller destroys it.
OwnedSurface copyOnCanvas(cairo_surface_t* source, int width, int height);

}
