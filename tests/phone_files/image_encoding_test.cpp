#include "decoded_image.h"
#include "image_encoding.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>
#include <weeapp/c_handles.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;

// A surface of one premultiplied pixel value, in Cairo's native word.
weeapp::CairoSurface filledSurface(cairo_format_t format, int width, int height, std::uint32_t pixel)
{
    weeapp::CairoSurface owner(cairo_image_surface_create(format, width, height));
    cairo_surface_t* surface = owner.get();
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = pixel;
    cairo_surface_mark_dirty(surface);
    return owner;
}

// Premultiplied pixels come out straight, in red, green, blue order, rounded: half-transparent
// red is full red at half alpha, a fully transparent pixel all zeros whatever its bytes, and an
// RGB24 surface opaque whatever its unused byte holds. Rows are read by the surface's stride, not
// its width.
TEST(ImageEncoding, StraightRgbaUndoesPremultiplication)
{
    struct Case {
        cairo_format_t format;
        std::uint32_t pixel;
        std::array<std::uint8_t, 4> expected;
    };
    const Case cases[] = {
        { CAIRO_FORMAT_ARGB32, 0xFF102030, { 0x10, 0x20, 0x30, 0xFF } },
        { CAIRO_FORMAT_ARGB32, 0x80800000, { 0xFF, 0x00, 0x00, 0x80 } },
        { CAIRO_FORMAT_ARGB32, 0x40201008, { 0x80, 0x40, 0x20, 0x40 } },
        { CAIRO_FORMAT_ARGB32, 0x00000000, { 0, 0, 0, 0 } },
        { CAIRO_FORMAT_RGB24, 0x00A0B0C0, { 0xA0, 0xB0, 0xC0, 0xFF } },
        { CAIRO_FORMAT_RGB24, 0x7F010203, { 0x01, 0x02, 0x03, 0xFF } },
    };
    for (const Case& c : cases) {
        const Bytes rgba = straightRgba(filledSurface(c.format, 3, 2, c.pixel).get());
        ASSERT_EQ(rgba.size(), 3u * 2u * 4u);
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            EXPECT_EQ((std::array<std::uint8_t, 4> { rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3] }), c.expected) << std::hex << c.pixel;
    }

    // Two pixels a row in a buffer of four a row: the padding never shows.
    std::uint32_t padded[] = { 0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF0000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF };
    const weeapp::CairoSurface surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(padded), CAIRO_FORMAT_ARGB32, 2, 2, 16));
    const Bytes rgba = straightRgba(surface.get());
    EXPECT_EQ(rgba, (Bytes { 0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 0, 0, 0, 255 }));
}

// A PNG of either layout reads back with libpng to the same pixels and size; pixels that do not
// fill the size, or no size at all, make no PNG. A surface's PNG holds its straight pixels,
// transparency kept.
TEST(ImageEncoding, PngsReadBackExactly)
{
    const Bytes rgb { 255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90 };
    const std::optional<Bytes> png = encodePng(3, 2, PixelLayout::Rgb, rgb);
    ASSERT_TRUE(png);
    const std::optional<Decoded> fromRgb = decodePng(*png);
    ASSERT_TRUE(fromRgb);
    EXPECT_EQ(fromRgb->width, 3);
    EXPECT_EQ(fromRgb->height, 2);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ((Bytes(fromRgb->rgba.begin() + static_cast<std::ptrdiff_t>(i * 4), fromRgb->rgba.begin() + static_cast<std::ptrdiff_t>(i * 4 + 3))),
            (Bytes(rgb.begin() + static_cast<std::ptrdiff_t>(i * 3), rgb.begin() + static_cast<std::ptrdiff_t>(i * 3 + 3))))
            << i;
        EXPECT_EQ(fromRgb->rgba[i * 4 + 3], 255) << i;
    }

    const Bytes rgba { 1, 2, 3, 0, 4, 5, 6, 128, 7, 8, 9, 255, 200, 100, 50, 25 };
    const std::optional<Decoded> fromRgba = decodePng(*encodePng(2, 2, PixelLayout::Rgba, rgba));
    ASSERT_TRUE(fromRgba);
    EXPECT_EQ(fromRgba->rgba, rgba);

    EXPECT_FALSE(encodePng(3, 2, PixelLayout::Rgba, rgb));
    EXPECT_FALSE(encodePng(2, 3, PixelLayout::Rgb, Bytes(17)));
    EXPECT_FALSE(encodePng(0, 2, PixelLayout::Rgb, {}));
    EXPECT_FALSE(encodePng(-1, -1, PixelLayout::Rgb, Bytes(3)));

    const weeapp::CairoSurface surface = filledSurface(CAIRO_FORMAT_ARGB32, 4, 3, 0x80008000);
    const std::optional<Bytes> surfacePng = encodePng(surface.get());
    const Bytes straight = straightRgba(surface.get());
    ASSERT_TRUE(surfacePng);
    const std::optional<Decoded> fromSurface = decodePng(*surfacePng);
    ASSERT_TRUE(fromSurface);
    EXPECT_EQ(fromSurface->width, 4);
    EXPECT_EQ(fromSurface->height, 3);
    EXPECT_EQ(fromSurface->rgba, straight);
}

// A JPEG reads back with libjpeg at the surface's size, each colour where it was (within what
// the compression changes of a flat area), transparent parts over black.
TEST(ImageEncoding, JpegsKeepColoursAndPutTransparencyOverBlack)
{
    const weeapp::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 16));
    weeapp::CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, 0, 16, 16);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
    cairo_rectangle(cr, 16, 0, 8, 16);
    cairo_fill(cr);
    context.reset();
    const std::optional<Bytes> jpeg = encodeJpeg(surface.get(), 95);
    ASSERT_TRUE(jpeg);
    const std::optional<Decoded> decoded = decodeJpeg(*jpeg);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->width, 32);
    ASSERT_EQ(decoded->height, 16);
    const auto near = [&decoded](int x, int y, std::array<int, 3> expected) {
        const std::uint8_t* pixel = &decoded->rgba[(static_cast<std::size_t>(y) * 32 + static_cast<std::size_t>(x)) * 4];
        for (int c = 0; c < 3; ++c) {
            if (std::abs(pixel[c] - expected[static_cast<std::size_t>(c)]) > 8)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(near(4, 8, { 255, 0, 0 }));
    EXPECT_TRUE(near(20, 8, { 128, 128, 128 }));
    EXPECT_TRUE(near(28, 8, { 0, 0, 0 }));
}

// Writing replaces the file whole, with no other file left beside it; a folder that is not there
// is a failure, and nothing is made.
TEST(ImageEncoding, WriteBytesReplacesTheFile)
{
    kavrin::testing::TemporaryFolder folder;
    const fs::path file = folder.path() / "photo.png";
    ASSERT_TRUE(writeBytes(file.string(), Bytes { 1, 2, 3, 4, 5 }));
    ASSERT_TRUE(writeBytes(file.string(), Bytes { 9 }));
    EXPECT_EQ(kavrin::testing::fileBytes(file), "\x09");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(writeBytes((folder.path() / "missing" / "photo.png").string(), Bytes { 1 }));
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));
}

}
}
