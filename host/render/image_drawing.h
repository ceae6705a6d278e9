#pragma once

#include <weeapp/ui/geometry.h>
#include <weeapp/ui/images/image.h>

#include <cairo.h>

namespace kavrin::host {

class ShownPixels;

enum class ImageFit {
    Fill,   // stretched to the rectangle (an image view)
    Aspect, // as large as fits the rectangle with its proportions, centred (a button's image)
};

// Draws the image into the rectangle. A resizable image keeps its cap insets at their size and
// stretches the middle (and, where the rectangle is smaller than both caps, shrinks the caps).
void drawImage(cairo_t*, ShownPixels&, const weeapp::ui::Image&, weeapp::ui::Rect, ImageFit);

}
