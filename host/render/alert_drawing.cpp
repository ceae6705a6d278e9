#include "render/alert_drawing.h"

#include "render/drawing_geometry.h"
#include "render/text_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kavrin::host {

namespace {

constexpr double kBoxWidth = 284;
constexpr double kPadding = 16;
constexpr double kButtonHeight = 44;
constexpr double kButtonGap = 8;
constexpr double kTextGap = 8;

TextStyle titleStyle()
{
    TextStyle style;
    style.font = ui::Font("Helvetica-Bold", 17);
    style.color = ui::Color::whiteColor();
    style.alignment = ui::TextAlignmentCenter;
    style.lines = 0;
    return style;
}

TextStyle messageStyle()
{
    TextStyle style = titleStyle();
    style.font = ui::Font("Helvetica", 15);
    return style;
}

struct ButtonPlace {
    int index;
    double x, y, width;
};

// Button rectangles relative to the top of the button area.
std::vector<ButtonPlace> placeButtons(const ui::AlertView& alert, double& areaHeight)
{
    std::vector<ButtonPlace> places;
    int count = alert.numberOfButtons();
    double inner = kBoxWidth - 2 * kPadding;
    if (count == 2) {
        double width = (inner - kButtonGap) / 2;
        int first = alert.cancelButtonIndex() == 1 ? 1 : 0;
        places.push_back({ first, kPadding, 0, width });
        places.push_back({ 1 - first, kPadding + width + kButtonGap, 0, width });
        areaHeight = kButtonHeight;
        return places;
    }
    std::vector<int> order;
    for (int index = 0; index < count; ++index)
        if (index != alert.cancelButtonIndex())
            order.push_back(index);
    if (alert.cancelButtonIndex() >= 0 && alert.cancelButtonIndex() < count)
        order.push_back(alert.cancelButtonIndex());
    double y = 0;
    for (int index : order) {
        places.push_back({ index, kPadding, y, inner });
        y += kButtonHeight + kButtonGap;
    }
    areaHeight = order.empty() ? 0 : y - kButtonGap;
    return places;
}

double textBlockHeight(cairo_t* cr, TextLayouts& layouts, const ui::AlertView& alert)
{
    double inner = kBoxWidth - 2 * kPadding;
    double height = 0;
    if (alert.title() && !alert.title()->empty())
        height += textHeight(cr, layouts, *alert.title(), titleStyle(), inner);
    if (alert.message() && !alert.message()->empty())
        height += (height > 0 ? kTextGap : 0) + textHeight(cr, layouts, *alert.message(), messageStyle(), inner);
    return height;
}

}

std::vector<int> alertButtonsInDrawingOrder(const ui::AlertView& alert)
{
    double areaHeight = 0;
    std::vector<ButtonPlace> places = placeButtons(alert, areaHeight);
    std::stable_sort(places.begin(), places.end(), [](const ButtonPlace& a, const ButtonPlace& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    std::vector<int> order;
    for (const ButtonPlace& place : places)
        order.push_back(place.index);
    return order;
}

double alertHeight(cairo_t* cr, TextLayouts& layouts, const ui::AlertView& alert)
{
    double buttons = 0;
    placeButtons(alert, buttons);
    double text = textBlockHeight(cr, layouts, alert);
    return kPadding + text + (text > 0 && buttons > 0 ? kPadding : 0) + buttons + kPadding;
}

std::vector<AlertButtonFrame> alertButtonFrames(cairo_t* cr, TextLayouts& layouts, const ui::AlertView& alert, double pictureWidth, double pictureHeight)
{
    double height = alertHeight(cr, layouts, alert);
    double left = std::round((pictureWidth - kBoxWidth) / 2), top = std::round((pictureHeight - height) / 2);
    double buttonsHeight = 0;
    std::vector<ButtonPlace> places = placeButtons(alert, buttonsHeight);
    double buttonsTop = top + height - kPadding - buttonsHeight;
    std::vector<AlertButtonFrame> frames;
    for (const ButtonPlace& place : places) {
        frames.push_back({ place.index, { static_cast<float>(left + place.x), static_cast<float>(buttonsTop + place.y), static_cast<float>(place.width), static_cast<float>(kButtonHeight) } });
    }
    return frames;
}

int alertButtonAt(cairo_t* cr, TextLayouts& layouts, const ui::AlertView& alert, double pictureWidth, double pictureHeight, ui::Point point)
{
    for (const AlertButtonFrame& button : alertButtonFrames(cr, layouts, alert, pictureWidth, pictureHeight)) {
        const ui::Rect& frame = button.frame;
        if (point.x >= frame.x() && point.x < frame.maxX() && point.y >= frame.y() && point.y < frame.maxY())
            return button.index;
    }
    return -1;
}

void drawAlert(cairo_t* cr, TextLayouts& layouts, const ui::AlertView& alert, double pictureWidth, double pictureHeight)
{
    cairo_save(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_paint(cr);

    double height = alertHeight(cr, layouts, alert);
    double left = std::round((pictureWidth - kBoxWidth) / 2), top = std::round((pictureHeight - height) / 2);

    roundedRectangle(cr, left + 1, top + 1, kBoxWidth - 2, height - 2, 9);
    const weeapp::CairoPattern fill(cairo_pattern_create_linear(0, top, 0, top + height));
    cairo_pattern_add_color_stop_rgba(fill.get(), 0, 0.20, 0.27, 0.50, 0.94);
    cairo_pattern_add_color_stop_rgba(fill.get(), 1, 0.03, 0.08, 0.28, 0.94);
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    double inner = kBoxWidth - 2 * kPadding;
    double y = top + kPadding;
    if (alert.title() && !alert.title()->empty()) {
        double h = textHeight(cr, layouts, *alert.title(), titleStyle(), inner);
        drawText(cr, layouts, *alert.title(), titleStyle(), { static_cast<float>(left + kPadding), static_cast<float>(y), static_cast<float>(inner), static_cast<float>(h) });
        y += h + kTextGap;
    }
    if (alert.message() && !alert.message()->empty()) {
        double h = textHeight(cr, layouts, *alert.message(), messageStyle(), inner);
        drawText(cr, layouts, *alert.message(), messageStyle(), { static_cast<float>(left + kPadding), static_cast<float>(y), static_cast<float>(inner), static_cast<float>(h) });
    }

    double buttonsHeight = 0;
    std::vector<ButtonPlace> places = placeButtons(alert, buttonsHeight);
    double buttonsTop = top + height - kPadding - buttonsHeight;
    TextStyle buttonStyle = titleStyle();
    buttonStyle.lines = 1;
    buttonStyle.shadowColor = ui::Color::colorWithRedGreenBlueAlpha(0, 0, 0, 0.5f);
    buttonStyle.shadowOffset = { 0, -1 };
    for (const ButtonPlace& place : places) {
        double x = left + place.x, by = buttonsTop + place.y;
        bool cancel = place.index == alert.cancelButtonIndex();
        roundedRectangle(cr, x + 0.5, by + 0.5, place.width - 1, kButtonHeight - 1, 6);
        const weeapp::CairoPattern face(cairo_pattern_create_linear(0, by, 0, by + kButtonHeight));
        double lift = cancel ? 0.10 : 0.22;
        cairo_pattern_add_color_stop_rgba(face.get(), 0, 1, 1, 1, lift + 0.18);
        cairo_pattern_add_color_stop_rgba(face.get(), 0.5, 1, 1, 1, lift);
        cairo_pattern_add_color_stop_rgba(face.get(), 1, 1, 1, 1, lift * 0.6);
        cairo_set_source(cr, face.get());
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        const std::string& title = alert.buttonTitles()[static_cast<std::size_t>(place.index)];
        drawText(cr, layouts, title, buttonStyle, { static_cast<float>(x + 6), static_cast<float>(by), static_cast<float>(place.width - 12), static_cast<float>(kButtonHeight) });
    }
    cairo_restore(cr);
}

}
