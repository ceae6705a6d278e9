#pragma once

#include "render/backdrop.h"
#include "render/render_cache.h"
#include <weeapp/c_handles.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/animation.h>
#include <weeapp/ui/view.h>
#include <weeapp/ui/window.h>

#include <cairo.h>

namespace kavrin::host {

// Draws a view tree as the phone shows it at one moment: backgrounds, alpha, hidden views,
// rounded corners with clipping, borders, images, stretchable images, labels, the scroll view's
// clip and offset, page dots, and the running animations (alpha fades and flip transitions) at
// their progress at that moment, as the platform's animation model presents each view then.
class Renderer {
public:
    // Pictures at the scale are that many device pixels to a point, drawn on the backdrop. A
    // new frame of the cache begins.
    Renderer(RenderCache&, double time, int scale = 1, Backdrop backdrop = Backdrop::dark());

    // The window as wide as it is and as high as the widget's area (the content view with the
    // same margin below as above), or the alert needs, with the alert on top when given, on
    // the backdrop; the picture is the scale times that size in points.
    weeapp::CairoSurface renderWindow(const ui::Window&, const ui::View* content, const ui::AlertView* alert);

    // One view and its subtree at the current transform of the context (its frame's origin
    // taken into account), when it can reach into the context's clip.
    void drawView(cairo_t*, const ui::View&);

    // Draws also the views that lie out of sight, which leaves every picture as it is, only
    // slower: for checking that leaving them out changes nothing.
    void setDrawsEverything(bool drawsEverything) { m_drawsEverything = drawsEverything; }

    static constexpr int kLargestScale = 3;

private:
    // An ARGB picture of the size in points at the scale.
    weeapp::CairoSurface createPicture(int width, int height) const;
    // The view, unless it is hidden, transparent or placed nowhere.
    void drawViewInSight(cairo_t*, const ui::View&);
    void drawBody(cairo_t*, const ui::View&);
    void drawTransition(cairo_t*, const ui::View&, const ui::Presentation&);

    RenderCache& m_cache;
    double m_time;
    int m_scale;
    Backdrop m_backdrop;
    bool m_drawsEverything { false };
};

}
