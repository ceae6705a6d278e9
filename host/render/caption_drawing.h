#pragma once

#include <weeapp/c_handles.h>

#include <cairo.h>

#include <string_view>

namespace kavrin::host {

class TextLayouts;

// The height of the caption strip, in points.
constexpr double kCaptionHeight = 22;

// A new picture: the frame with a strip under it holding the text on one line, white on dark
// grey, cut with an ellipsis when it is too long, at the frame's scale. The caller destroys it.
weeapp::CairoSurface withCaption(cairo_surface_t* frame, std::string_view text, int scale, TextLayouts&);

}
