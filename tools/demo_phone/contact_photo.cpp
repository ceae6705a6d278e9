#include "contact_photo.h"

#include <cmath>

namespace kavrin::tooling {

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
    case 0: return { value, t, p };
    case 1: return { q, value, p };
    case 2: return { p, value, t };
    case 3: return { p, q, value };
    case 4: return { t, p, value };
    default: return { value, p, q };
    }
}

}

cairo_surface_t* drawContactPhoto(int side, double hue)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(surface);
    double s = side;

    Rgb light = fromHsv(hue, 0.45, 0.95), dark = fromHsv(hue, 0.75, 0.55);
    cairo_pattern_t* ground = cairo_pattern_create_linear(0, 0, s, s);
    cairo_pattern_add_color_stop_rgb(ground, 0, light.red, light.green, light.blue);
    cairo_pattern_add_color_stop_rgb(ground, 1, dark.red, dark.green, dark.blue);
    cairo_set_source(cr, ground);
    cairo_paint(cr);
    cairo_pattern_destroy(ground);

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

    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

std::optional<Bytes> contactPhotoPng(int side, double hue)
{
    cairo_surface_t* surface = drawContactPhoto(side, hue);
    auto bytes = encodePng(surface);
    cairo_surface_destroy(surface);
    return bytes;
}

std::optional<Bytes> contactPhotoJpeg(int side, double hue)
{
    cairo_surface_t* surface = drawContactPhoto(side, hue);
    auto bytes = encodeJpeg(surface, 88);
    cairo_surface_destroy(surface);
    return bytes;
}

}
