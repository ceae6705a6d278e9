#pragma once

#include <cairo.h>

#include <numbers>

namespace kavrin::host {

inline constexpr double kPi = std::numbers::pi;

// Adds a rectangle with rounded corners to the current path; the radius is kept to half the
// shorter side, and a radius of 0 or less gives a plain rectangle.
void roundedRectangle(cairo_t*, double x, double y, double width, double height, double radius);

// Whether any of the rectangle, in the current user space, reaches into the clip; one that only
// touches its edge does not.
bool meetsClip(cairo_t*, double x, double y, double width, double height);

}
