#pragma once

#include <weeapp/ui/images/image.h>

#include <cairo.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kavrin::host {

class ShownPixels;

// What the widget is seen on, around it at the screen's width: the notification centre's dark
// ground, a light one, a wallpaper picture under the centre's dimming veil, or nothing (the
// widget alone on a transparent ground).
class Backdrop {
public:
    enum class Kind { Dark,
        Light,
        Wallpaper,
        None };

    static Backdrop dark() { return Backdrop(Kind::Dark); }
    static Backdrop light() { return Backdrop(Kind::Light); }
    static Backdrop none() { return Backdrop(Kind::None); }
    // Nothing when the file is no readable picture.
    static std::optional<Backdrop> wallpaper(const std::filesystem::path&);
    // "dark", "light", "none" or a picture's file; nothing for a file that is no picture.
    static std::optional<Backdrop> named(const std::string&);

    Kind kind() const { return m_kind; }
    // The next one of dark, light, the wallpaper (when one was given) and none.
    Backdrop next(const std::optional<Backdrop>& wallpaper) const;
    const char* name() const;

    // Covers the picture, given in points, with the backdrop.
    void paint(cairo_t*, ShownPixels&, double width, double height) const;

    // The notification centre's dark ground.
    static constexpr double kDarkRed = 0.16, kDarkGreen = 0.17, kDarkBlue = 0.19;
    static constexpr double kLightRed = 0.92, kLightGreen = 0.93, kLightBlue = 0.95;

private:
    explicit Backdrop(Kind kind)
        : m_kind(kind) { }

    Kind m_kind;
    std::shared_ptr<const weeapp::ui::Image> m_wallpaper;
};

}
