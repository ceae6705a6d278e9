#include "render/colour_luminance.h"

#include <cmath>

namespace kavrin::host {

double relativeLuminance(double red, double green, double blue)
{
    auto linear = [](double channel) { return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue);
}

}
