#include "render/flip_drawing.h"

#include "render/drawing_geometry.h"

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
    // Where a point u across the face (from the centre line) lands, how much it is enlarged
    // there, and which point lands at a place d right of the centre line.
    auto project = [&](double u) { return centerX + u * cosine * eye / (eye + u * sine); };
    auto scaleAt = [&](double u) { return eye / (eye + u * sine); };
    auto unproject = [&](double d) { return d * eye / (cosine * eye - d * sine); };

    // The face is drawn in whole columns of the target, each painted once: a column shows the
    // strip of the picture that lands in it. The turned face is composed opaque and faded as a
    // whole, so no pixel takes the fade twice.
    const double faceLeft = project(-centerX), faceRight = project(centerX);
    cairo_push_group(cr);
    for (double column = std::floor(faceLeft); column < faceRight; ++column) {
        const double left = std::max(column, faceLeft), right = std::min(column + 1, faceRight);
        const double u0 = std::clamp(unproject(left - centerX), -centerX, centerX);
        const double u1 = std::clamp(unproject(right - centerX), -centerX, centerX);
        if (!(u1 - u0 > 1e-9))
            continue;
        const double scale = scaleAt((u0 + u1) / 2);
        cairo_save(cr);
        cairo_rectangle(cr, left, centerY - height * scale / 2, right - left, height * scale);
        cairo_clip(cr);
        cairo_translate(cr, left, centerY - height * scale / 2);
        cairo_scale(cr, (right - left) / (u1 - u0), scale);
        cairo_set_source_surface(cr, picture, -(u0 + centerX), 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
}

}
