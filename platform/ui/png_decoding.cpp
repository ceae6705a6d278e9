#include "ui/image_decoding.h"

#include <png.h>

#include <vector>

#include <algorithm>

namespace ui {

namespace {

// The decoder stops once it has the pixels, so a stream cut off after its image data would
// still decode; a whole stream ends with the image-end chunk, its type and its fixed CRC.
bool hasImageEnd(std::span<const std::uint8_t> bytes)
{
    constexpr std::uint8_t kImageEnd[] = { 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82 };
    return std::search(bytes.begin(), bytes.end(), std::begin(kImageEnd), std::end(kImageEnd)) != bytes.end();
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

    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> straight(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, straight.data(), 0, nullptr)) {
        png_image_free(&image);
        return nullptr;
    }

    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = static_cast<int>(image.width);
    bitmap->height = static_cast<int>(image.height);
    bitmap->pixels.resize(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height));
    for (std::size_t i = 0; i < bitmap->pixels.size(); ++i) {
        const std::uint8_t* rgba = &straight[i * 4];
        bitmap->pixels[i] = premultipliedPixel(rgba[0], rgba[1], rgba[2], rgba[3]);
    }
    png_image_free(&image);
    return bitmap;
}

}
