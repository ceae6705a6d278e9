#pragma once

#include <cairo.h>

#include <filesystem>

namespace kavrin::host {

// Writes a Cairo image surface as an 8-bit RGBA PNG file.
bool writePng(cairo_surface_t*, const std::filesystem::path&);

}
