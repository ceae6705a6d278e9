#pragma once

#include "ui/geometry.h"
#include "ui/image.h"

#include <cairo.h>

namespace kavrin::host {

enum class ImageFit {
    Fill,   // stretched to the rectangle (an image view)
    Aspect, // as large as fits the rectangle with its proportions, centred (a button's image)
};

// Draws the image into the rectangle. A resizable image keeps its cap insets at their size and
// stretches the middle (and, where the rectangle is smaller than both caps, shrinks the caps).
void drawImage(cairo_t*, const ui::Image&, ui::Rect, ImageFit);

// The images drawn in a frame keep their pixels decoded until the end of the next, so that a
// frame like the one before finds them decoded; an image out of sight that long gives its
// pixels back. The renderer calls this at the start of every frame.
void startImageFrame();

}
