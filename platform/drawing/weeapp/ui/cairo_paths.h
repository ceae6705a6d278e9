#pragma once

#include <cairo.h>

namespace ui {

// Adds a rectangle with rounded corners to the current path; the radius is kept to half the
// shorter side, and a radius of 0 or less gives a plain rectangle.
void roundedRectangle(cairo_t*, double x, double y, double width, double height, double radius);

}
