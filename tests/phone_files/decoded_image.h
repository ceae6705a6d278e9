#pragma once

#include "image_encoding.h"

#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <cstring>
#include <optional>

namespace kavrin::phone_files {

struct Decoded {
    int width { 0 };
    int height { 0 };
    Bytes rgba; // straight RGBA, 4 bytes a pixel
};

// The PNG as libpng reads it, in straight RGBA whatever the file's layout.
inline std::optional<Decoded> decodePng(const Bytes& png)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    Decoded decoded { static_cast<int>(image.width), static_cast<int>(image.height), Bytes(PNG_IMAGE_SIZE(image)) };
    if (!png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr))
        return std::nullopt;
    return decoded;
}

// The JPEG as libjpeg reads it, in RGBA with every pixel opaque.
inline std::optional<Decoded> decodeJpeg(const Bytes& jpeg)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Decoded decoded { static_cast<int>(info.output_width), static_cast<int>(info.output_height), {} };
    Bytes row(static_cast<std::size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[] = { row.data() };
        jpeg_read_scanlines(&info, rows, 1);
        for (std::size_t x = 0; x < info.output_width; ++x) {
            decoded.rgba.insert(decoded.rgba.end(), row.begin() + static_cast<std::ptrdiff_t>(x * 3), row.begin() + static_cast<std::ptrdiff_t>(x * 3 + 3));
            decoded.rgba.push_back(255);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return decoded;
}

}
