#pragma once

#include "image_encoding.h"

#include <cairo.h>

#include <filesystem>

namespace kavrin::host {

// Writes a Cairo image surface as an 8-bit RGBA PNG file.
bool writePng(cairo_surface_t*, const std::filesystem::path&);

}
