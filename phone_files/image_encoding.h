#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::phone_files {

using Bytes = std::vector<std::uint8_t>;

enum class PixelLayout { Rgb,
    Rgba };

// Rows of straight (not premultiplied) 8-bit pixels, three or four bytes each, without padding,
// encoded as a PNG of that layout.
std::optional<Bytes> encodePng(int width, int height, PixelLayout, const Bytes& pixels);
// A Cairo ARGB32 or RGB24 image surface encoded as an 8-bit RGBA PNG (alpha un-premultiplied).
std::optional<Bytes> encodePng(cairo_surface_t*);
// The same surface as a baseline RGB JPEG; transparent parts come out over black.
std::optional<Bytes> encodeJpeg(cairo_surface_t*, int quality);

// Straight RGBA rows of the surface, 4 bytes a pixel.
Bytes straightRgba(cairo_surface_t*);

// Replaces the file atomically: a reader or an interruption never meets half a picture.
bool writeBytes(const std::string& filePath, const Bytes&);

}
