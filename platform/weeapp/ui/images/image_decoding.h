#pragma once

#include <weeapp/ui/images/image.h>

#include <cstdint>
#include <memory>
#include <span>

namespace weeapp::ui {

// Each gives the whole picture or nothing: a truncated or damaged stream, a picture larger than
// Image::kMaximumSide on a side, or an empty one gives nullptr.
std::shared_ptr<Bitmap> decodePng(std::span<const std::uint8_t> bytes);
std::shared_ptr<Bitmap> decodeJpeg(std::span<const std::uint8_t> bytes);

// One premultiplied ARGB32 pixel from straight components.
inline std::uint32_t premultipliedPixel(std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t alpha)
{
    if (alpha != 255) {
        red = (red * alpha + 127) / 255;
        green = (green * alpha + 127) / 255;
        blue = (blue * alpha + 127) / 255;
    }
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

inline bool acceptableImageSize(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= static_cast<std::uint64_t>(Image::kMaximumSide) && height <= static_cast<std::uint64_t>(Image::kMaximumSide);
}

}
