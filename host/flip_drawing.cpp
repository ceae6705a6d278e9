#include "flip_drawing.h"

#include "drawing_geometry.h"

#include <algorithm>
#include <cmath>

namespace kavrin::host {

namespace {

// The eye's distance from the turning view, in view widths.
constexpr double kEyeDistance = 2.5;

}

void drawFlip(cairo_t* cr, cairo_surface_t* picture, double width, double height, double progress, double alpha)
{
    if (!(width > 0) || !(height > 0))
        return;
    progress = std::clamp(progress, 0.0, 1.0);
    // The old face turns from 0 to a quarter turn, the new one from minus a quarter turn to 0;
    // with a flip from the left, the left edge comes towards the eye.
    double angle = progress < 0.5 ? progress * kPi : (progress - 1) * kPi;
    double cosine = std::cos(angle), sine = std::sin(angle);
    if (std::abs(cosine) < 1e-3)
        return;

    double eye = kEyeDistance * width;
    double centerX = width / 2, centerY = height / 2;
    // Where a point u across the face (from the centre line) lands, and how much it is enlarged.
    auto project = [&](double u, double& x, double& scale) {
        double depth = u * sine; // positive: towards the far side
        scale = eye / (eye + depth);
        x = centerX + u * cosine * scale;
    };

    int columns = static_cast<int>(std::ceil(width));
    for (int column = 0; column < columns; ++column) {
        double left = column, right = std::min<double>(column + 1, width);
        double x0, x1, s0, s1;
        project(left - centerX, x0, s0);
        project(right - centerX, x1, s1);
        double scale = (s0 + s1) / 2;
        double drawnWidth = x1 - x0;
        if (std::abs(drawnWidth) < 1e-6)
            continue;
        cairo_save(cr);
        double clipLeft = std::min(x0, x1), clipWidth = std::abs(drawnWidth);
        cairo_rectangle(cr, clipLeft - 0.25, centerY - height * scale / 2, clipWidth + 0.5, height * scale);
        cairo_clip(cr);
        cairo_translate(cr, x0, centerY - height * scale / 2);
        cairo_scale(cr, drawnWidth / (right - left), scale);
        cairo_set_source_surface(cr, picture, -left, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint_with_alpha(cr, alpha);
        cairo_restore(cr);
    }
}

}
