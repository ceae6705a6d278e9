#include <weeapp/ui/cairo_paths.h>

#include <algorithm>
#include <numbers>

namespace ui {

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    constexpr double kPi = std::numbers::pi;
    radius = std::clamp(radius, 0.0, std::max(0.0, std::min(width, height) / 2));
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, width, height);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

}
