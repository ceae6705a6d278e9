#include "platform/ui/largest_allocation.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/ui/image.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

namespace {

using namespace ui;
using Bytes = std::vector<std::uint8_t>;

// A w x h RGBA picture: red on the left half, half-transparent blue on the right.
Bytes encodePng(int width, int height)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width * height * 4));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &rgba[static_cast<std::size_t>((y * width + x) * 4)];
            const bool left = x < width / 2;
            pixel[0] = left ? 255 : 0;
            pixel[1] = 0;
            pixel[2] = left ? 0 : 255;
            pixel[3] = left ? 255 : 128;
        }
    }
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
    Bytes bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

// A green w x h JPEG.
Bytes encodeJpeg(int width, int height)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    weeapp::CMemory<unsigned char> buffer;
    unsigned long size = 0;
    jpeg_mem_dest(&info, buffer.out(), &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * 3));
    for (int x = 0; x < width; ++x)
        row[static_cast<std::size_t>(x * 3 + 1)] = 255;
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = { row.data() };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer.get(), buffer.get() + size);
    jpeg_destroy_compress(&info);
    return bytes;
}

std::uint32_t pixelAt(const Image& image, int x, int y)
{
    const auto pixels = image.pixels();
    return pixels->pixels[static_cast<std::size_t>(y * pixels->width + x)];
}

// Whole PNG and JPEG pictures decode to premultiplied ARGB of their size.
TEST(Image, DecodesPngAndJpeg)
{
    const auto png = Image::imageWithData(encodePng(8, 4));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->size(), (Size { 8, 4 }));
    EXPECT_EQ(png->source(), "data");
    EXPECT_EQ(pixelAt(*png, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(*png, 7, 3), 0x80000080u); // blue at alpha 128, premultiplied

    const auto jpeg = Image::imageWithData(encodeJpeg(16, 9));
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(jpeg->size(), (Size { 16, 9 }));
    const std::uint32_t green = pixelAt(*jpeg, 5, 5);
    EXPECT_EQ(green >> 24, 0xFFu);
    EXPECT_LT((green >> 16) & 0xFF, 16u);
    EXPECT_GT((green >> 8) & 0xFF, 240u);
}

// A photo whose bytes are smaller than its pixels keeps only the bytes: its pixels are decoded
// while somebody holds them, shared by all who ask meanwhile, and the same when decoded again.
// A picture that compresses worse than its pixels keeps the pixels.
TEST(Image, KeepsSmallBytesAndDecodesThemWhenAsked)
{
    const auto image = Image::imageWithData(encodePng(64, 64));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), (Size { 64, 64 }));
    std::weak_ptr<const Bitmap> released;
    Bitmap first;
    {
        const auto held = image->pixels();
        EXPECT_EQ(image->pixels(), held);
        EXPECT_EQ(image->resizableImageWithCapInsets({ 1, 1, 1, 1 })->pixels(), held);
        first = *held;
        released = held;
    }
    EXPECT_TRUE(released.expired());
    const auto again = image->pixels();
    EXPECT_EQ(again->width, 64);
    EXPECT_EQ(again->pixels, first.pixels);

    // 2 x 2 pixels are 16 bytes, their PNG with its header and chunks far more.
    const auto tiny = Image::imageWithData(encodePng(2, 2));
    ASSERT_NE(tiny, nullptr);
    std::weak_ptr<const Bitmap> kept = tiny->pixels();
    EXPECT_FALSE(kept.expired());
}

// Empty, garbage, truncated and damaged bytes give no image at all, never part of one.
TEST(Image, RefusesBadBytes)
{
    EXPECT_EQ(Image::imageWithData({}), nullptr);
    const Bytes garbage { 'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e' };
    EXPECT_EQ(Image::imageWithData(garbage), nullptr);

    for (const Bytes& whole : { encodePng(32, 32), encodeJpeg(32, 32) }) {
        for (std::size_t keep : { std::size_t { 3 }, std::size_t { 8 }, whole.size() / 2, whole.size() - 2 }) {
            const Bytes truncated(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep));
            EXPECT_EQ(decodeImage(truncated), nullptr) << "kept " << keep << " of " << whole.size();
        }
        Bytes damaged = whole;
        for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 16; ++i)
            damaged[i] ^= 0x5A;
        EXPECT_EQ(decodeImage(damaged), nullptr);
    }
}

// A picture larger than the size cap is refused from its header, before any pixels are made.
TEST(Image, RefusesOversizedPictures)
{
    EXPECT_EQ(Image::imageWithData(encodePng(Image::kMaximumSide + 1, 1)), nullptr);
    EXPECT_NE(Image::imageWithData(encodePng(Image::kMaximumSide, 1)), nullptr);
    EXPECT_EQ(Image::imageWithData(encodeJpeg(1, Image::kMaximumSide + 1)), nullptr);
}

// A picture larger than 512 on a side decodes shrunk to fit 512 with its aspect kept, each pixel
// the average of the box it covers; one at or under 512 keeps its size. A large picture cut
// short or damaged still gives nothing.
TEST(Image, LargePicturesDecodeShrunkToFit)
{
    const auto png = decodeImage(encodePng(4096, 4096));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->width, 512);
    EXPECT_EQ(png->height, 512);
    EXPECT_EQ(png->pixels[0], 0xFFFF0000u);
    EXPECT_EQ(png->pixels[511 * 512 + 511], 0x80000080u);

    const std::pair<std::pair<int, int>, std::pair<int, int>> sizes[] = {
        { { 4096, 1024 }, { 512, 128 } },
        { { 600, 10 }, { 512, 9 } },
        { { 513, 4000 }, { 66, 512 } },
        { { 512, 512 }, { 512, 512 } },
    };
    for (const auto& [source, decoded] : sizes) {
        const auto shrunk = decodeImage(encodePng(source.first, source.second));
        ASSERT_NE(shrunk, nullptr);
        EXPECT_EQ(std::pair(shrunk->width, shrunk->height), decoded) << source.first << "x" << source.second;
    }

    const auto jpeg = decodeImage(encodeJpeg(4096, 4096));
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(std::pair(jpeg->width, jpeg->height), std::pair(512, 512));
    const std::uint32_t green = jpeg->pixels[300 * 512 + 200];
    EXPECT_LT((green >> 16) & 0xFF, 16u);
    EXPECT_GT((green >> 8) & 0xFF, 240u);
    const auto tall = decodeImage(encodeJpeg(1000, 3000));
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(std::pair(tall->width, tall->height), std::pair(171, 512));

    for (const Bytes& whole : { encodePng(1024, 700), encodeJpeg(1024, 700) }) {
        const Bytes truncated(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
        EXPECT_EQ(decodeImage(truncated), nullptr);
        Bytes damaged = whole;
        for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 16; ++i)
            damaged[i] ^= 0x5A;
        EXPECT_EQ(decodeImage(damaged), nullptr);
    }
}

// A PNG chunk with its length and CRC.
void appendChunk(Bytes& bytes, const char* type, const Bytes& data)
{
    Bytes chunk(type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const auto length = static_cast<std::uint32_t>(data.size());
    const auto crc = static_cast<std::uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size())));
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(length >> shift));
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(crc >> shift));
}

// A hundred-byte PNG that claims a large picture gives nothing, and nothing near the size of its
// claim is allocated on the way: no block above 64 KB for a claim of 4096 by 4096 (64 MB of
// pixels), at 512 by 512 (1 MB) or at 1000 by 1000, which would decode shrunk.
TEST(Image, HeaderOnlyClaimAllocatesNothingLarge)
{
    for (std::uint8_t side : { std::uint8_t { 0x10 }, std::uint8_t { 0x02 }, std::uint8_t { 0x03 } }) {
        const auto low = static_cast<std::uint8_t>(side == 0x03 ? 0xE8 : 0x00);
        Bytes claim { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
        appendChunk(claim, "IHDR", { 0, 0, side, low, 0, 0, side, low, 8, 6, 0, 0, 0 });
        appendChunk(claim, "IDAT", Bytes(40, 0x78));
        appendChunk(claim, "IEND", {});
        ASSERT_LE(claim.size(), 100u);
        kavrin::testing::LargestAllocation largest;
        EXPECT_EQ(decodeImage(claim), nullptr);
        EXPECT_LT(largest.bytes(), 64u << 10) << int { side };
    }
}

// A file is read under the phone root and remembers its phone path; a missing or bad file gives
// nothing. Stretchable copies share the pixels and keep their insets.
TEST(Image, ReadsFilesUnderThePhoneRoot)
{
    const auto root = std::filesystem::temp_directory_path() / ("ui-image-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "Bundle");
    const Bytes png = encodePng(10, 10);
    std::ofstream(root / "Bundle/bg.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    std::ofstream(root / "Bundle/bad.png") << "broken";
    sys::setPhoneRoot(root);

    const auto image = Image::imageWithContentsOfFile("/Bundle/bg.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->source(), "file:/Bundle/bg.png");
    EXPECT_EQ(Image::imageWithContentsOfFile("/Bundle/missing.png"), nullptr);
    EXPECT_EQ(Image::imageWithContentsOfFile("/Bundle/bad.png"), nullptr);
    EXPECT_EQ(Image::imageWithContentsOfFile("/Bundle"), nullptr);

    const auto stretchable = image->resizableImageWithCapInsets({ 5, 5, 5, 5 });
    EXPECT_TRUE(stretchable->isResizable());
    EXPECT_FALSE(image->isResizable());
    EXPECT_EQ(stretchable->capInsets(), (EdgeInsets { 5, 5, 5, 5 }));
    EXPECT_EQ(stretchable->pixels(), image->pixels());
    EXPECT_EQ(stretchable->source(), image->source());

    sys::setPhoneRoot("/");
    std::filesystem::remove_all(root);
}

}
