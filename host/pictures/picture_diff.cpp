#include "pictures/picture_diff.h"

#include <cstdint>

namespace kavrin::host {

namespace {

constexpr std::uint32_t kChangedColour = 0xffff00ff; // opaque magenta

// A pixel of the new picture faded three quarters of the way to white, kept opaque.
std::uint32_t faded(std::uint32_t pixel)
{
    const auto fade = [](std::uint32_t channel) { return 255 - (255 - channel) / 4; };
    const std::uint32_t alpha = pixel >> 24;
    // Premultiplied: the colour over white is the channel plus the white that shows through.
    const auto overWhite = [&](int shift) { return ((pixel >> shift) & 0xff) + (255 - alpha); };
    return 0xff000000u | fade(overWhite(16)) << 16 | fade(overWhite(8)) << 8 | fade(overWhite(0));
}

}

PictureDifference comparePictures(cairo_surface_t* before, cairo_surface_t* after)
{
    PictureDifference difference;
    cairo_surface_flush(before);
    cairo_surface_flush(after);
    const int width = cairo_image_surface_get_width(after), height = cairo_image_surface_get_height(after);
    const bool sameSize = width == cairo_image_surface_get_width(before) && height == cairo_image_surface_get_height(before);
    weeapp::CairoSurface picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const unsigned char* oldPixels = cairo_image_surface_get_data(before);
    const unsigned char* newPixels = cairo_image_surface_get_data(after);
    unsigned char* diffPixels = cairo_image_surface_get_data(picture.get());
    if (!newPixels || !diffPixels || (sameSize && !oldPixels)) {
        difference.changedShare = 1;
        return difference;
    }
    const int oldStride = cairo_image_surface_get_stride(before), newStride = cairo_image_surface_get_stride(after);
    const int diffStride = cairo_image_surface_get_stride(picture.get());
    for (int y = 0; y < height; ++y) {
        const auto* newRow = reinterpret_cast<const std::uint32_t*>(newPixels + static_cast<std::ptrdiff_t>(y) * newStride);
        const auto* oldRow = sameSize ? reinterpret_cast<const std::uint32_t*>(oldPixels + static_cast<std::ptrdiff_t>(y) * oldStride) : nullptr;
        auto* diffRow = reinterpret_cast<std::uint32_t*>(diffPixels + static_cast<std::ptrdiff_t>(y) * diffStride);
        for (int x = 0; x < width; ++x) {
            const bool changed = !oldRow || oldRow[x] != newRow[x];
            difference.changedPixels += changed ? 1 : 0;
            diffRow[x] = changed ? kChangedColour : faded(newRow[x]);
        }
    }
    cairo_surface_mark_dirty(picture.get());
    const long all = static_cast<long>(width) * height;
    difference.changedShare = !sameSize ? 1.0 : all > 0 ? static_cast<double>(difference.changedPixels) / static_cast<double>(all)
                                                        : 0.0;
    if (!sameSize)
        difference.changedPixels = all;
    if (difference.changedPixels > 0)
        difference.picture = std::move(picture);
    return difference;
}

}
