#pragma once

#include "ui/alert_view.h"
#include "ui/animation.h"
#include "ui/view.h"
#include "ui/window.h"

#include <cairo.h>


namespace kavrin::host {

// Draws a view tree as the phone shows it at one moment: backgrounds, alpha, hidden views,
// rounded corners with clipping, borders, images, stretchable images, labels, the scroll view's
// clip and offset, page dots, and the running animations (alpha fades and flip transitions) at
// their progress at that moment, as the platform's animation model presents each view then.
class Renderer {
public:
    explicit Renderer(double time);

    // The window as wide as it is and as high as the widget's area (the content view with the
    // same margin below as above), or the alert needs, with the alert on top when given.
    // The caller destroys the surface.
    cairo_surface_t* renderWindow(const ui::Window&, const ui::View* content, const ui::AlertView* alert);

    // One view and its subtree at the current transform of the context (its frame's origin
    // taken into account).
    void drawView(cairo_t*, const ui::View&);

    // The colour behind every widget: the notification centre's dark ground.
    static constexpr double kGroundRed = 0.16, kGroundGreen = 0.17, kGroundBlue = 0.19;

private:
    void drawBody(cairo_t*, const ui::View&);
    void drawTransition(cairo_t*, const ui::View&, const ui::Presentation&);

    double m_time;
};

}
