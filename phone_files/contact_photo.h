#pragma once

#include "image_encoding.h"
#include <weeapp/c_handles.h>

#include <optional>
#include <string>

namespace kavrin::phone_files {

// A generated portrait, square, on a gradient of the given hue (0 ... 1): the initials of the
// name in large letters, or, for a name without any, a head-and-shoulders figure.
weeapp::CairoSurface drawContactPhoto(int side, double hue, const std::string& initials);

// The first letters of the first two words of a name ("Anna Lindqvist" gives "AL").
std::string initialsOf(const std::string& name);

std::optional<Bytes> contactPhotoPng(int side, double hue, const std::string& initials);
std::optional<Bytes> contactPhotoJpeg(int side, double hue, const std::string& initials);

}
