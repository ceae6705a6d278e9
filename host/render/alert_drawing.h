#pragma once

#include <weeapp/ui/geometry.h>
#include <weeapp/ui/views/alert_view.h>

#include <cairo.h>

#include <vector>

namespace kavrin::host {

class TextLayouts;

// The alert box's height for its title, message and buttons.
double alertHeight(cairo_t*, TextLayouts&, const weeapp::ui::AlertView&);

// Dims the picture and draws the alert box centred on it: the title, the message, and the
// buttons (side by side when there are two, else stacked with the cancel button last).
// The index of the button drawn under the point (in the picture's points), or -1.
int alertButtonAt(cairo_t*, TextLayouts&, const weeapp::ui::AlertView&, double pictureWidth, double pictureHeight, weeapp::ui::Point);

// Each button's index and where it is drawn, in the picture's points, in the order of placing.
struct AlertButtonFrame {
    int index;
    weeapp::ui::Rect frame;
};
std::vector<AlertButtonFrame> alertButtonFrames(cairo_t*, TextLayouts&, const weeapp::ui::AlertView&, double pictureWidth, double pictureHeight);

void drawAlert(cairo_t*, TextLayouts&, const weeapp::ui::AlertView&, double pictureWidth, double pictureHeight);

// The button indices in the order the buttons are drawn, top to bottom and left to right.
std::vector<int> alertButtonsInDrawingOrder(const weeapp::ui::AlertView&);

}
