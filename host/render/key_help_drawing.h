#pragma once

#include <weeapp/c_handles.h>

#include <cairo.h>

#include <span>
#include <string_view>

namespace kavrin::host {

class TextLayouts;

// One key of the window and what it does, as its help shows it.
struct KeyHelp {
    std::string_view keys;
    std::string_view does;
};

// A new picture: the frame, dimmed, with the keys listed over it in two columns of white text,
// at the frame's scale.
weeapp::CairoSurface withKeyHelp(cairo_surface_t* frame, std::span<const KeyHelp> keys, int scale, TextLayouts&);

}
