#pragma once

namespace kavrin::host {

// WCAG 2.1's relative luminance of an sRGB colour, its channels from 0 to 1: 0 for black, 1 for
// white. Contrast ratios and the choice of dark or light marks over a ground both start here.
double relativeLuminance(double red, double green, double blue);

}
