#include "contact_photo.h"

#include <pango/pangocairo.h>

#include <cmath>

namespace kavrin::phone_files {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double red, green, blue;
};

Rgb fromHsv(double hue, double saturation, double value)
{
    double h = std::fmod(hue, 1.0) * 6;
    int sector = static_cast<int>(h);
    double f = h - sector;
    double p = value * (1 - saturation), q = value * (1 - saturation * f), t = value * (1 - saturation * (1 - f));
    switch (sector) {
    case 0:
        return { value, t, p };
    case 1:
        return { q, value, p };
    case 2:
        return { p, value, t };
    case 3:
        return { p, q, value };
    case 4:
        return { t, p, value };
    default:
        return { value, p, q };
    }
}

}

std::string initialsOf(const std::string& name)
{
    std::string initials;
    int taken = 0;
    bool atWordStart = true;
    const char* end = name.data() + name.size();
    for (const char* at = name.data(); at < end && taken < 2;) {
        const char* next = g_utf8_find_next_char(at, end);
        if (!next)
            next = end;
        bool space = *at == ' ';
        if (!space && atWordStart) {
            gunichar upper = g_unichar_toupper(g_utf8_get_char_validated(at, next - at));
            char buffer[8];
            initials.append(buffer, static_cast<std::size_t>(g_unichar_to_utf8(upper, buffer)));
            ++taken;
        }
        atWordStart = space;
        at = next;
    }
    return initials;
}

namespace {

void drawInitials(cairo_t* cr, double side, const std::string& initials)
{
    const weeapp::GObjectRef<PangoLayout> owned(pango_cairo_create_layout(cr));
    PangoLayout* layout = owned.get();
    pango_cairo_context_set_resolution(pango_layout_get_context(layout), 72);
    pango_layout_context_changed(layout);
    {
        const weeapp::PangoFontDescriptionOwner font(pango_font_description_from_string("DejaVu Sans Bold"));
        pango_font_description_set_absolute_size(font.get(), side * 0.42 * PANGO_SCALE);
        pango_layout_set_font_description(layout, font.get());
    }
    pango_layout_set_text(layout, initials.c_str(), -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_move_to(cr, (side - width) / 2, (side - height) / 2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.92);
    pango_cairo_show_layout(cr, layout);
}

void drawPortrait(cairo_t* cr, double s, double hue, const std::string& initials)
{
    Rgb light = fromHsv(hue, 0.45, 0.95), dark = fromHsv(hue, 0.75, 0.55);
    {
        const weeapp::CairoPattern ground(cairo_pattern_create_linear(0, 0, s, s));
        cairo_pattern_add_color_stop_rgb(ground.get(), 0, light.red, light.green, light.blue);
        cairo_pattern_add_color_stop_rgb(ground.get(), 1, dark.red, dark.green, dark.blue);
        cairo_set_source(cr, ground.get());
        cairo_paint(cr);
    }

    if (!initials.empty()) {
        drawInitials(cr, s, initials);
        return;
    }
    Rgb figure = fromHsv(hue + 0.5, 0.25, 0.25);
    cairo_set_source_rgba(cr, figure.red, figure.green, figure.blue, 0.85);
    cairo_arc(cr, s * 0.5, s * 0.4, s * 0.19, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, s * 0.5, s * 1.08);
    cairo_scale(cr, s * 0.42, s * 0.4);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_fill(cr);
}

}

weeapp::CairoSurface drawContactPhoto(int side, double hue, const std::string& initials)
{
    weeapp::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side));
    drawPortrait(weeapp::CairoContext(cairo_create(surface.get())).get(), side, hue, initials);
    cairo_surface_flush(surface.get());
    return surface;
}

std::optional<Bytes> contactPhotoPng(int side, double hue, const std::string& initials)
{
    return encodePng(drawContactPhoto(side, hue, initials).get());
}

std::optional<Bytes> contactPhotoJpeg(int side, double hue, const std::string& initials)
{
    return encodeJpeg(drawContactPhoto(side, hue, initials).get(), 88);
}

}
