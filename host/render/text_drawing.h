#pragma once

#include <weeapp/ui/color.h>
#include <weeapp/ui/geometry.h>
#include <weeapp/ui/text/font.h>
#include <weeapp/ui/views/label.h>

#include <cairo.h>

#include <optional>
#include <string_view>

namespace kavrin::host {

class TextLayouts;

struct TextStyle {
    weeapp::ui::Font font { "Helvetica", 17 };
    weeapp::ui::ColorPtr color;
    int alignment { weeapp::ui::TextAlignmentLeft };
    int lines { 1 }; // 0: as many as it takes
    weeapp::ui::ColorPtr shadowColor;
    weeapp::ui::Size shadowOffset;
    float baselineSize { 0 }; // above 0: the text stands where it would at this size
};

// Draws the text in the box by the rules the toolkit measures it with, wrapped to the box's
// width and centred vertically; past the lines the style allows, the last line is cut at its
// visual end with an ellipsis.
void drawText(cairo_t*, TextLayouts&, std::string_view text, const TextStyle&, weeapp::ui::Rect box);

// The height the text takes in the style at that width.
double textHeight(cairo_t*, TextLayouts&, std::string_view text, const TextStyle&, double width);

// A label's text in its bounds, at its fitted font size and on the baseline of its font's size.
void drawLabel(cairo_t*, TextLayouts&, const weeapp::ui::Label&);

// When the label's text, as it is drawn, is cut with an ellipsis: how wide the cut line would
// be whole, in points; nothing when the text shows whole.
std::optional<double> cutLineWidth(cairo_t*, TextLayouts&, const weeapp::ui::Label&);

// How far a label's text may be drawn left or right of its frame (above and below it may reach
// further: its lines are centred on the frame, however many they are). It counts up to two ems
// for the ink of the first and last glyphs and an ellipsis, the shadow's offset and, for a text
// that wraps, a line that cannot be broken (at most two ems a byte of the text).
double textReachPastFrame(const weeapp::ui::Label&);

void setSourceColor(cairo_t*, const weeapp::ui::Color&);

}
