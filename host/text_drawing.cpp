#include "text_drawing.h"

#include "ui/text_layout.h"

#include <pango/pangocairo.h>

namespace kavrin::host {

namespace {

PangoLayout* layoutFor(cairo_t* cr, std::string_view text, const TextStyle& style, double width)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    ui::configurePangoContext(pango_layout_get_context(layout));
    pango_layout_context_changed(layout);
    ui::setLayoutText(layout, text, style.font, static_cast<float>(width), ui::LineBreakMode::WordWrap);
    if (style.lines == 1) {
        pango_layout_set_single_paragraph_mode(layout, TRUE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    } else if (style.lines > 1) {
        pango_layout_set_height(layout, -style.lines);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    PangoAlignment alignment = style.alignment == ui::TextAlignmentCenter ? PANGO_ALIGN_CENTER
        : style.alignment == ui::TextAlignmentRight                      ? PANGO_ALIGN_RIGHT
                                                                         : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout, alignment);
    return layout;
}

}

void setSourceColor(cairo_t* cr, const ui::Color& color)
{
    cairo_set_source_rgba(cr, color.red(), color.green(), color.blue(), color.alpha());
}

double textHeight(cairo_t* cr, std::string_view text, const TextStyle& style, double width)
{
    if (text.empty())
        return 0;
    PangoLayout* layout = layoutFor(cr, text, style, width);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    return h;
}

void drawText(cairo_t* cr, std::string_view text, const TextStyle& style, ui::Rect box)
{
    if (text.empty() || !style.color || !(box.width() > 0))
        return;
    PangoLayout* layout = layoutFor(cr, text, style, box.width());
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    double top = box.y() + (box.height() - static_cast<double>(h)) / 2;
    if (style.shadowColor && style.shadowColor->alpha() > 0) {
        cairo_move_to(cr, box.x() + style.shadowOffset.width, top + style.shadowOffset.height);
        setSourceColor(cr, *style.shadowColor);
        pango_cairo_show_layout(cr, layout);
    }
    cairo_move_to(cr, box.x(), top);
    setSourceColor(cr, *style.color);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

void drawLabel(cairo_t* cr, const ui::Label& label)
{
    if (!label.font())
        return;
    TextStyle style;
    style.font = ui::Font(label.font()->fontName(), label.fittedFontSize());
    style.color = label.textColor();
    style.alignment = label.textAlignment();
    style.lines = label.numberOfLines();
    style.shadowColor = label.shadowColor();
    style.shadowOffset = label.shadowOffset();
    drawText(cr, label.text(), style, { 0, 0, label.frame().width(), label.frame().height() });
}

}
