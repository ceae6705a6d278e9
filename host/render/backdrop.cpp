#include "render/backdrop.h"

#include "render/image_drawing.h"
#include <weeapp/sys/files/file_reading.h>

#include <algorithm>

namespace kavrin::host {

namespace {

// How much the notification centre darkens a wallpaper behind its widgets.
constexpr double kWallpaperVeil = 0.45;

}

std::optional<Backdrop> Backdrop::wallpaper(const std::filesystem::path& file)
{
    std::optional<std::string> bytes = weeapp::sys::readWholeFile(file.string());
    if (!bytes)
        return std::nullopt;
    weeapp::ui::ImagePtr image = weeapp::ui::Image::imageWithData({ reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size() });
    if (!image)
        return std::nullopt;
    Backdrop backdrop(Kind::Wallpaper);
    backdrop.m_wallpaper = std::move(image);
    return backdrop;
}

std::optional<Backdrop> Backdrop::named(const std::string& name)
{
    if (name == "dark")
        return dark();
    if (name == "light")
        return light();
    if (name == "none")
        return none();
    return wallpaper(name);
}

Backdrop Backdrop::next(const std::optional<Backdrop>& wallpaperBackdrop) const
{
    switch (m_kind) {
    case Kind::Dark:
        return light();
    case Kind::Light:
        return wallpaperBackdrop ? *wallpaperBackdrop : none();
    case Kind::Wallpaper:
        return none();
    case Kind::None:
        break;
    }
    return dark();
}

const char* Backdrop::name() const
{
    switch (m_kind) {
    case Kind::Dark:
        return "dark";
    case Kind::Light:
        return "light";
    case Kind::Wallpaper:
        return "wallpaper";
    case Kind::None:
        break;
    }
    return "none";
}

void Backdrop::paint(cairo_t* cr, ShownPixels& shown, double width, double height) const
{
    cairo_save(cr);
    switch (m_kind) {
    case Kind::Dark:
        cairo_set_source_rgb(cr, kDarkRed, kDarkGreen, kDarkBlue);
        cairo_paint(cr);
        break;
    case Kind::Light:
        cairo_set_source_rgb(cr, kLightRed, kLightGreen, kLightBlue);
        cairo_paint(cr);
        break;
    case Kind::Wallpaper: {
        // The wallpaper covers the picture, centred, as the phone fills its screen with it.
        const weeapp::ui::Size size = m_wallpaper->size();
        double scale = std::max(width / size.width, height / size.height);
        double w = size.width * scale, h = size.height * scale;
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        drawImage(cr, shown, *m_wallpaper, { static_cast<float>((width - w) / 2), static_cast<float>((height - h) / 2), static_cast<float>(w), static_cast<float>(h) }, ImageFit::Fill);
        cairo_set_source_rgba(cr, 0, 0, 0, kWallpaperVeil);
        cairo_paint(cr);
        break;
    }
    case Kind::None:
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        break;
    }
    cairo_restore(cr);
}

}
