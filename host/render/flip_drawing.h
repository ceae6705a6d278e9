#pragma once

#include <cairo.h>

namespace kavrin::host {

// Draws a view's picture (a surface as large as the view, placed at 0, 0) turning about its
// vertical centre line, as a flip-from-left transition shows it at that progress (0 ... 1):
// the old face turns away until it stands edge-on at the half, then the new face turns in.
// The near edge grows and the far edge shrinks, in perspective.
void drawFlip(cairo_t*, cairo_surface_t* picture, double width, double height, double progress, double alpha);

}
