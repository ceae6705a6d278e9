#include <weeapp/ui/color.h>

#include <algorithm>
#include <cmath>

namespace weeapp::ui {

namespace {

float clampComponent(float value)
{
    if (std::isnan(value))
        return 0;
    return std::clamp(value, 0.0f, 1.0f);
}

ColorPtr makeNamed(float red, float green, float blue, float alpha, const char* name)
{
    return std::make_shared<const Color>(red, green, blue, alpha, std::string(name));
}

}

Color::Color(float red, float green, float blue, float alpha, std::optional<std::string> name)
    : m_red(clampComponent(red))
    , m_green(clampComponent(green))
    , m_blue(clampComponent(blue))
    , m_alpha(clampComponent(alpha))
    , m_name(std::move(name))
{
}

ColorPtr Color::whiteColor()
{
    static const ColorPtr color = makeNamed(1, 1, 1, 1, "white");
    return color;
}

ColorPtr Color::blackColor()
{
    static const ColorPtr color = makeNamed(0, 0, 0, 1, "black");
    return color;
}

ColorPtr Color::yellowColor()
{
    static const ColorPtr color = makeNamed(1, 1, 0, 1, "yellow");
    return color;
}

ColorPtr Color::cyanColor()
{
    static const ColorPtr color = makeNamed(0, 1, 1, 1, "cyan");
    return color;
}

ColorPtr Color::greenColor()
{
    static const ColorPtr color = makeNamed(0, 1, 0, 1, "green");
    return color;
}

ColorPtr Color::magentaColor()
{
    static const ColorPtr color = makeNamed(1, 0, 1, 1, "magenta");
    return color;
}

ColorPtr Color::redColor()
{
    static const ColorPtr color = makeNamed(1, 0, 0, 1, "red");
    return color;
}

ColorPtr Color::clearColor()
{
    static const ColorPtr color = makeNamed(0, 0, 0, 0, "clear");
    return color;
}

ColorPtr Color::darkTextColor()
{
    static const ColorPtr color = makeNamed(0, 0, 0, 1, "darkText");
    return color;
}

ColorPtr Color::colorWithRedGreenBlueAlpha(float red, float green, float blue, float alpha)
{
    return std::make_shared<const Color>(red, green, blue, alpha);
}

}
