#include "ui/image_decoding.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <vector>

namespace ui {

namespace {

// The decoder stops once it has the pixels, so a stream cut off after its image data would
// still decode; a whole stream ends with the image-end chunk, its type and its fixed CRC.
bool hasImageEnd(std::span<const std::uint8_t> bytes)
{
    constexpr std::uint8_t kImageEnd[] = { 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82 };
    // From the back, where the chunk of a whole stream lies.
    return std::find_end(bytes.begin(), bytes.end(), std::begin(kImageEnd), std::end(kImageEnd)) != bytes.end();
}

}

std::shared_ptr<Bitmap> decodePng(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0 || !hasImageEnd(bytes.subspan(8)))
        return nullptr;

    png_image image { };
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return nullptr;
    if (!acceptableImageSize(image.width, image.height)) {
        png_image_free(&image);
        return nullptr;
    }

    // Straight alpha in the bytes of a native ARGB32 word, premultiplied in place afterwards.
    image.format = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = static_cast<int>(image.width);
    bitmap->height = static_cast<int>(image.height);
    bitmap->pixels.resize(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height));
    if (!png_image_finish_read(&image, nullptr, bitmap->pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    for (std::uint32_t& pixel : bitmap->pixels) {
        const std::uint32_t alpha = pixel >> 24;
        if (alpha != 255)
            pixel = premultipliedPixel((pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu, alpha);
    }
    png_image_free(&image);
    return bitmap;
}

}
