#pragma once

#include <weeapp/c_handles.h>
#include <weeapp/ui/cairo_paths.h>

#include <cairo.h>

#include <numbers>

namespace kavrin::host {

inline constexpr double kPi = std::numbers::pi;

using ui::roundedRectangle;

// A context on a picture of one pixel, for measuring and laying out where nothing is drawn.
weeapp::CairoContext measuringContext();

// Whether any of the rectangle, in the current user space, reaches into the clip; one that only
// touches its edge does not.
bool meetsClip(cairo_t*, double x, double y, double width, double height);

}
