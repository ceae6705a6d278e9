#include "image_encoding.h"

#include <weeapp/c_handles.h>
#include <weeapp/sys/file_writing.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace kavrin::phone_files {

Bytes straightRgba(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Bytes rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    if (!data)
        return {};
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = row[x];
            unsigned alpha = opaque ? 255u : pixel >> 24;
            unsigned channels[3] = { (pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff };
            std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(alpha == 0 ? 0 : (channels[c] * 255 + alpha / 2) / alpha);
            out[3] = static_cast<std::uint8_t>(alpha);
        }
    }
    return rgba;
}

std::optional<Bytes> encodePng(int width, int height, PixelLayout layout, const Bytes& pixels)
{
    const std::size_t channels = layout == PixelLayout::Rgb ? 3 : 4;
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels)
        return std::nullopt;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = layout == PixelLayout::Rgb ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        return std::nullopt;
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr))
        return std::nullopt;
    png.resize(size);
    return png;
}

std::optional<Bytes> encodePng(cairo_surface_t* surface)
{
    return encodePng(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface), PixelLayout::Rgba, straightRgba(surface));
}

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

}

std::optional<Bytes> encodeJpeg(cairo_surface_t* surface, int quality)
{
    Bytes rgba = straightRgba(surface);
    if (rgba.empty())
        return std::nullopt;
    auto width = static_cast<JDIMENSION>(cairo_image_surface_get_width(surface));
    auto height = static_cast<JDIMENSION>(cairo_image_surface_get_height(surface));
    Bytes rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
        unsigned alpha = rgba[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = static_cast<std::uint8_t>(rgba[i * 4 + c] * alpha / 255);
    }

    jpeg_compress_struct info;
    JpegError error;
    // Made before the jump's mark, so that a jump back to it leaves the owner as it is.
    weeapp::CMemory<unsigned char> buffer;
    unsigned long size = 0;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return std::nullopt;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer.out(), &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &rgb[static_cast<std::size_t>(info.next_scanline) * width * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return Bytes(buffer.get(), buffer.get() + size);
}

bool writeBytes(const std::string& filePath, const Bytes& bytes)
{
    return sys::writeFileAtomically(filePath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}
