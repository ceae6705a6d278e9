#include "render/key_help_drawing.h"

#include "render/surface_copy.h"
#include "render/text_drawing.h"

#include <algorithm>
#include <cmath>

namespace kavrin::host {

namespace {

constexpr double kMargin = 6;
constexpr double kKeysWide = 34;
constexpr float kFontSize = 9;
constexpr double kLongestLine = 12;
// A line of the 9-point font, ascent to descent, with room for nothing more.
constexpr double kShortestLine = 9;

}

weeapp::CairoSurface withKeyHelp(cairo_surface_t* frame, std::span<const KeyHelp> keys, int scale, TextLayouts& layouts)
{
    const std::size_t perColumn = std::max<std::size_t>((keys.size() + 1) / 2, 1);
    // The lines share the frame's height, up to kLongestLine each; a frame too low to give each
    // kShortestLine (five tiles a page, say) grows under them, as closer lines would overlap.
    const int width = cairo_image_surface_get_width(frame);
    const double fitting = (cairo_image_surface_get_height(frame) / double(scale) - 2 * kMargin) / static_cast<double>(perColumn);
    const double lineHigh = std::clamp(fitting, kShortestLine, kLongestLine);
    const int linesHigh = static_cast<int>(std::ceil((2 * kMargin + static_cast<double>(perColumn) * lineHigh) * scale));
    const int height = std::max(cairo_image_surface_get_height(frame), linesHigh);
    weeapp::CairoSurface picture = copyOnCanvas(frame, width, height);
    const weeapp::CairoContext context(cairo_create(picture.get()));
    cairo_t* cr = context.get();

    cairo_scale(cr, scale, scale);
    const double pointsWide = width / double(scale), pointsHigh = height / double(scale);
    cairo_rectangle(cr, 0, 0, pointsWide, pointsHigh);
    cairo_set_source_rgba(cr, 0.08, 0.08, 0.1, 0.88);
    cairo_fill(cr);

    const double columnWide = (pointsWide - 3 * kMargin) / 2;
    TextStyle keyStyle, doesStyle;
    keyStyle.font = ui::Font("Helvetica-Bold", kFontSize);
    keyStyle.color = ui::Color::colorWithRedGreenBlueAlpha(1, 0.85f, 0.4f, 1);
    doesStyle.font = ui::Font("Helvetica", kFontSize);
    doesStyle.color = ui::Color::whiteColor();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const double left = kMargin + static_cast<double>(i / perColumn) * (columnWide + kMargin);
        const double top = kMargin + static_cast<double>(i % perColumn) * lineHigh;
        drawText(cr, layouts, keys[i].keys, keyStyle, { static_cast<float>(left), static_cast<float>(top), static_cast<float>(kKeysWide), static_cast<float>(lineHigh) });
        drawText(cr, layouts, keys[i].does, doesStyle,
            { static_cast<float>(left + kKeysWide), static_cast<float>(top), static_cast<float>(columnWide - kKeysWide), static_cast<float>(lineHigh) });
    }
    cairo_surface_flush(picture.get());
    cairo_surface_set_device_scale(picture.get(), scale, scale);
    return picture;
}

}
