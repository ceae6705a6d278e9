#pragma once

#include "ui/color.h"
#include "ui/font.h"
#include "ui/geometry.h"
#include "ui/label.h"

#include <cairo.h>

#include <string_view>

namespace kavrin::host {

struct TextStyle {
    ui::Font font { "Helvetica", 17 };
    ui::ColorPtr color;
    int alignment { ui::TextAlignmentLeft };
    int lines { 1 };                 // 0: as many as it takes
    ui::ColorPtr shadowColor;
    ui::Size shadowOffset;
};

// Draws the text in the box, wrapped (or, on one line, cut with an ellipsis) to the box's width
// and centred vertically, with Pango at 72 dpi as the toolkit measures it.
void drawText(cairo_t*, std::string_view text, const TextStyle&, ui::Rect box);

// The height the text takes in the style at that width.
double textHeight(cairo_t*, std::string_view text, const TextStyle&, double width);

// A label's text in its bounds, at its fitted font size.
void drawLabel(cairo_t*, const ui::Label&);

void setSourceColor(cairo_t*, const ui::Color&);

}
