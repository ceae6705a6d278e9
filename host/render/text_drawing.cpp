#include "render/text_drawing.h"

#include "render/drawing_geometry.h"
#include "render/text_layouts.h"
#include <weeapp/ui/text_layout.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

namespace kavrin::host {

namespace {

// How far past its advances a glyph's ink, or the ellipsis after a cut, may reach, in ems.
constexpr double kGlyphReachEms = 2;

// Room around a text's ink extents for where the rasteriser may still touch a pixel.
constexpr int kInkMargin = 4;

void showText(cairo_t* cr, const LaidOutText& text, double x, double y, const ui::Color& color)
{
    // Only text whose ink reaches into the clip is drawn.
    const PangoRectangle& ink = text.ink;
    if (ink.width <= 0 || ink.height <= 0
        || !meetsClip(cr, x + ink.x - kInkMargin, y + ink.y - kInkMargin, ink.width + 2 * kInkMargin, ink.height + 2 * kInkMargin))
        return;
    setSourceColor(cr, color);
    if (text.layout) {
        cairo_save(cr);
        if (text.last) {
            const double clipTop = y + ink.y - kInkMargin;
            cairo_rectangle(cr, x + ink.x - kInkMargin, clipTop, ink.width + 2 * kInkMargin, y + text.wholeBottom - clipTop);
            cairo_clip(cr);
        }
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, text.layout.get());
        cairo_restore(cr);
    }
    if (text.last) {
        const double left = x + text.lastX, top = y + text.wholeBottom;
        cairo_save(cr);
        if (text.cut >= 0) {
            const double clipLeft = std::min(x + ink.x, left) - kInkMargin;
            cairo_rectangle(cr, clipLeft, y + ink.y - kInkMargin, left + text.cut - clipLeft, ink.height + 2 * kInkMargin);
            cairo_clip(cr);
        }
        cairo_move_to(cr, left, top);
        pango_cairo_show_layout(cr, text.last.get());
        cairo_restore(cr);
        if (text.cut >= 0) {
            cairo_move_to(cr, left + text.cut, top + text.ellipsisY);
            pango_cairo_show_layout(cr, text.ellipsis.get());
        }
    }
    cairo_new_path(cr);
}

}

std::optional<double> cutLineWidth(cairo_t* cr, TextLayouts& layouts, const ui::Label& label)
{
    if (!label.font() || label.text().empty() || !(label.frame().width() > 0))
        return std::nullopt;
    TextStyle style;
    style.font = ui::Font(label.font()->fontName(), label.fittedFontSize());
    style.alignment = label.textAlignment();
    style.lines = label.numberOfLines();
    const LaidOutText& laidOut = layouts.layout(cr, label.text(), style, label.frame().width());
    if (laidOut.cut < 0 || !laidOut.last)
        return std::nullopt;
    PangoRectangle logical;
    pango_layout_get_extents(laidOut.last.get(), nullptr, &logical);
    return static_cast<double>(logical.width) / PANGO_SCALE;
}

double textReachPastFrame(const ui::Label& label)
{
    if (!label.font())
        return 0;
    const double em = label.font()->pointSize();
    const double shadow = std::abs(label.shadowOffset().width);
    if (!std::isfinite(em) || !std::isfinite(shadow))
        return std::numeric_limits<double>::infinity();
    double reach = kGlyphReachEms * std::max(0.0, em) + kInkMargin + shadow;
    // A wrapped line that cannot be broken is no wider than the whole text on one line, which
    // has no more characters than bytes.
    if (label.numberOfLines() != 1)
        reach += kGlyphReachEms * std::max(0.0, em) * static_cast<double>(label.text().size());
    return reach;
}

void setSourceColor(cairo_t* cr, const ui::Color& color)
{
    cairo_set_source_rgba(cr, color.red(), color.green(), color.blue(), color.alpha());
}

double textHeight(cairo_t* cr, TextLayouts& layouts, std::string_view text, const TextStyle& style, double width)
{
    if (text.empty())
        return 0;
    return layouts.layout(cr, text, style, static_cast<float>(width)).height;
}

void drawText(cairo_t* cr, TextLayouts& layouts, std::string_view text, const TextStyle& style, ui::Rect box)
{
    if (text.empty() || !style.color || !(box.width() > 0))
        return;
    double top = 0;
    if (style.baselineSize > 0 && style.baselineSize != style.font.pointSize()) {
        // Centred as at the label's own size, standing on that size's baseline.
        TextStyle unshrunk = style;
        unshrunk.font = ui::Font(style.font.fontName(), style.baselineSize);
        const LaidOutText& full = layouts.layout(cr, text, unshrunk, box.width());
        top = box.y() + (box.height() - static_cast<double>(full.height)) / 2 + full.baseline;
        top -= layouts.layout(cr, text, style, box.width()).baseline;
    } else {
        top = box.y() + (box.height() - static_cast<double>(layouts.layout(cr, text, style, box.width()).height)) / 2;
    }
    const LaidOutText& laidOut = layouts.layout(cr, text, style, box.width());
    if (style.shadowColor && style.shadowColor->alpha() > 0)
        showText(cr, laidOut, box.x() + style.shadowOffset.width, top + style.shadowOffset.height, *style.shadowColor);
    showText(cr, laidOut, box.x(), top, *style.color);
}

void drawLabel(cairo_t* cr, TextLayouts& layouts, const ui::Label& label)
{
    if (!label.font())
        return;
    TextStyle style;
    style.font = ui::Font(label.font()->fontName(), label.fittedFontSize());
    style.baselineSize = label.font()->pointSize();
    style.color = label.textColor();
    style.alignment = label.textAlignment();
    style.lines = label.numberOfLines();
    style.shadowColor = label.shadowColor();
    style.shadowOffset = label.shadowOffset();
    drawText(cr, layouts, label.text(), style, { 0, 0, label.frame().width(), label.frame().height() });
}

}
