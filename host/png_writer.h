#pragma once

#include "image_encoding.h"

#include <cairo.h>

#include <filesystem>

namespace kavrin::host {

// Writes a Cairo image surface as an 8-bit RGBA PNG file.
bool writePng(cairo_surface_t*, const std::filesystem::path&);

// Writes the bytes into a new file beside the target and renames it over the target, so that a
// reader sees either the old file or the new one, complete; false (and the target untouched)
// when either step fails.
bool replaceFileAtomically(const std::filesystem::path&, const tooling::Bytes&);

}
