#pragma once

#include "image_encoding.h"

#include <optional>

namespace kavrin::tooling {

// A generated portrait: a head-and-shoulders figure on a gradient of the given hue (0 ... 1),
// side by side pixels, square.
cairo_surface_t* drawContactPhoto(int side, double hue);

std::optional<Bytes> contactPhotoPng(int side, double hue);
std::optional<Bytes> contactPhotoJpeg(int side, double hue);

}
