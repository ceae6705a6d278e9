#include "phone_files/decoded_image.h"
#include "pictures/animated_png_writer.h"
#include "pictures/contact_sheet.h"
#include "pictures/picture_diff.h"
#include "pictures/png_writer.h"
#include "render/text_layouts.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kavrin::testing {
namespace {

using OwnedSurface = weeapp::CairoSurface;
using phone_files::Bytes;

// A picture of one premultiplied ARGB colour, with the pixels listed set to others.
OwnedSurface picture(int width, int height, std::uint32_t colour, const std::vector<std::tuple<int, int, std::uint32_t>>& others = {})
{
    OwnedSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = colour;
    for (const auto& [x, y, other] : others)
        reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = other;
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

std::uint32_t pixel(cairo_surface_t* surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    return reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x];
}

constexpr std::uint32_t kMagenta = 0xffff00ff;

// Changed pixels are counted and drawn magenta over the new picture faded three quarters of the
// way to white (each channel apart, premultiplied colours over white); rows are found by each
// picture's own stride.
TEST(PictureDiff, CountsAndMarksTheChangedPixels)
{
    OwnedSurface before = picture(4, 3, 0xff000000, { { 1, 0, 0xff102030 }, { 2, 0, 0x80800000 }, { 3, 0, 0x00000000 } });
    OwnedSurface same = picture(4, 3, 0xff000000, { { 1, 0, 0xff102030 }, { 2, 0, 0x80800000 }, { 3, 0, 0x00000000 } });
    host::PictureDifference none = host::comparePictures(before.get(), same.get());
    EXPECT_EQ(none.changedPixels, 0);
    EXPECT_EQ(none.changedShare, 0);
    EXPECT_FALSE(none.picture);

    // The new picture's rows are wider apart than its width.
    const int stride = 4 * 4 + 8;
    std::vector<unsigned char> data(static_cast<std::size_t>(stride) * 3);
    OwnedSurface padded(cairo_image_surface_create_for_data(data.data(), CAIRO_FORMAT_ARGB32, 4, 3, stride));
    {
        const weeapp::CairoContext cr(cairo_create(padded.get()));
        cairo_set_source_surface(cr.get(), before.get(), 0, 0);
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr.get());
    }
    EXPECT_FALSE(host::comparePictures(before.get(), padded.get()).picture);
    reinterpret_cast<std::uint32_t*>(data.data() + 2 * stride)[3] = 0xff00ff00;
    cairo_surface_mark_dirty(padded.get());

    host::PictureDifference one = host::comparePictures(before.get(), padded.get());
    EXPECT_EQ(one.changedPixels, 1);
    EXPECT_DOUBLE_EQ(one.changedShare, 1.0 / 12);
    ASSERT_TRUE(one.picture);
    EXPECT_EQ(cairo_image_surface_get_width(one.picture.get()), 4);
    EXPECT_EQ(cairo_image_surface_get_height(one.picture.get()), 3);
    EXPECT_EQ(pixel(one.picture.get(), 3, 2), kMagenta);
    EXPECT_EQ(pixel(one.picture.get(), 0, 0), 0xffc0c0c0u); // black
    EXPECT_EQ(pixel(one.picture.get(), 1, 0), 0xffc4c8ccu); // 0x10 0x20 0x30
    EXPECT_EQ(pixel(one.picture.get(), 2, 0), 0xffffdfdfu); // half-transparent red
    EXPECT_EQ(pixel(one.picture.get(), 3, 0), 0xffffffffu); // transparent
    EXPECT_EQ(pixel(one.picture.get(), 2, 2), 0xffc0c0c0u);
    // The other way round, the same pixel is the changed one.
    EXPECT_EQ(pixel(host::comparePictures(padded.get(), before.get()).picture.get(), 3, 2), kMagenta);

    OwnedSurface allChanged = picture(4, 3, 0xffffffff);
    host::PictureDifference all = host::comparePictures(before.get(), allChanged.get());
    EXPECT_EQ(all.changedPixels, 12);
    EXPECT_EQ(all.changedShare, 1);
}

// Pictures of different sizes differ in every pixel of the new one; a picture that is no image
// (a surface in error) differs wholly too.
TEST(PictureDiff, OtherSizesDifferEverywhere)
{
    OwnedSurface before = picture(4, 3, 0xff000000);
    for (const auto& [width, height] : { std::pair { 5, 3 }, std::pair { 4, 2 }, std::pair { 3, 4 } }) {
        OwnedSurface after = picture(width, height, 0xff000000);
        host::PictureDifference difference = host::comparePictures(before.get(), after.get());
        EXPECT_EQ(difference.changedShare, 1) << width << "x" << height;
        EXPECT_EQ(difference.changedPixels, width * height);
        ASSERT_TRUE(difference.picture);
        EXPECT_EQ(cairo_image_surface_get_width(difference.picture.get()), width);
        EXPECT_EQ(cairo_image_surface_get_height(difference.picture.get()), height);
        EXPECT_EQ(pixel(difference.picture.get(), width - 1, height - 1), kMagenta);
        EXPECT_EQ(pixel(difference.picture.get(), 0, 0), kMagenta);
    }

    OwnedSurface broken(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, -1, -1));
    ASSERT_NE(cairo_surface_status(broken.get()), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(host::comparePictures(before.get(), broken.get()).changedShare, 1);
    host::PictureDifference fromBroken = host::comparePictures(broken.get(), before.get());
    EXPECT_EQ(fromBroken.changedShare, 1);
    EXPECT_EQ(fromBroken.changedPixels, 12);

    // An empty picture (a view of no height) matches an empty one of its size and no other.
    OwnedSurface wide = picture(4, 1, 0xff000000);
    OwnedSurface empty = picture(4, 0, 0xff000000);
    host::PictureDifference bothEmpty = host::comparePictures(empty.get(), picture(4, 0, 0).get());
    EXPECT_EQ(bothEmpty.changedPixels, 0);
    EXPECT_EQ(bothEmpty.changedShare, 0);
    EXPECT_FALSE(bothEmpty.picture);
    EXPECT_EQ(host::comparePictures(wide.get(), empty.get()).changedShare, 1);
    EXPECT_EQ(host::comparePictures(picture(0, 0, 0).get(), empty.get()).changedShare, 1);
    host::PictureDifference grown = host::comparePictures(empty.get(), wide.get());
    EXPECT_EQ(grown.changedShare, 1);
    EXPECT_EQ(grown.changedPixels, 4);
}

// The PNG writer writes what libpng reads back as the picture, in straight colours; a file it
// cannot make is a failure.
TEST(PngWriter, WritesWhatLibpngReadsBack)
{
    TemporaryFolder folder;
    OwnedSurface surface = picture(3, 2, 0xff102030, { { 2, 1, 0x80400000 } });
    ASSERT_TRUE(host::writePng(surface.get(), folder.path() / "still.png"));
    const std::string bytes = fileBytes(folder.path() / "still.png");
    std::optional<phone_files::Decoded> decoded = phone_files::decodePng(Bytes(bytes.begin(), bytes.end()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 3);
    EXPECT_EQ(decoded->height, 2);
    EXPECT_EQ(Bytes(decoded->rgba.begin(), decoded->rgba.begin() + 4), (Bytes { 0x10, 0x20, 0x30, 0xff }));
    EXPECT_EQ(Bytes(decoded->rgba.end() - 4, decoded->rgba.end()), (Bytes { 0x80, 0x00, 0x00, 0x80 }));
    EXPECT_FALSE(host::writePng(surface.get(), folder.path() / "missing" / "still.png"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

struct Chunk {
    std::string type;
    Bytes data;
};

std::uint32_t bigEndian(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

// The file's chunks, each checked against its CRC; nothing when the file is no PNG.
std::optional<std::vector<Chunk>> readChunks(const std::string& file)
{
    static const std::string kSignature = "\x89PNG\r\n\x1a\n";
    if (!file.starts_with(kSignature))
        return std::nullopt;
    const Bytes bytes(file.begin(), file.end());
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at < bytes.size();) {
        if (at + 12 > bytes.size())
            return std::nullopt;
        const std::uint32_t length = bigEndian(&bytes[at]);
        if (at + 12 + length > bytes.size())
            return std::nullopt;
        const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, &bytes[at + 4], length + 4));
        if (crc != bigEndian(&bytes[at + 8 + length]))
            return std::nullopt;
        chunks.push_back({ std::string(&file[at + 4], 4), Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8), bytes.begin() + static_cast<std::ptrdiff_t>(at + 8 + length)) });
        at += 12 + length;
    }
    return chunks;
}

Bytes chunkBytes(const std::string& type, const Bytes& data)
{
    Bytes out;
    out.reserve(data.size() + 12);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(data.size() >> shift));
    for (const char letter : type)
        out.push_back(static_cast<std::uint8_t>(letter));
    out.insert(out.end(), data.begin(), data.end());
    const auto crc = static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(out.size() - 4)));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(crc >> shift));
    return out;
}

// A still PNG of one frame's image data, as libpng can read it.
std::optional<phone_files::Decoded> stillOf(const Chunk& header, const Bytes& imageData)
{
    const std::string signature = "\x89PNG\r\n\x1a\n";
    Bytes png(signature.begin(), signature.end());
    for (const Bytes& chunk : { chunkBytes("IHDR", header.data), chunkBytes("IDAT", imageData), chunkBytes("IEND", {}) })
        png.insert(png.end(), chunk.begin(), chunk.end());
    return phone_files::decodePng(png);
}

Bytes rgba(std::initializer_list<std::uint8_t> pixel, int count)
{
    Bytes out;
    for (int i = 0; i < count; ++i)
        out.insert(out.end(), pixel);
    return out;
}

// Runs of identical frames become one frame that stays as many periods; frames of other sizes
// are placed top left on a canvas as large as the largest; each chunk's CRC holds, the sequence
// numbers count up over frame controls and frame data (the first frame's data has none), and every frame decodes to its picture.
TEST(AnimatedPngWriter, WritesEachRunOfFramesOnce)
{
    TemporaryFolder folder;
    host::AnimatedPngWriter writer(25);
    EXPECT_FALSE(writer.write(folder.path() / "none.png"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "none.png"));

    OwnedSurface red = picture(2, 2, 0xffff0000);
    OwnedSurface blue = picture(3, 1, 0xff0000ff);
    writer.addFrame(red.get());
    writer.addFrame(picture(2, 2, 0xffff0000).get());
    writer.addFrame(red.get());
    writer.addFrame(blue.get());
    writer.addFrame(picture(1, 3, 0xff0000ff).get()); // as many pixels as the blue one, another shape
    EXPECT_EQ(writer.frameCount(), 3u);
    ASSERT_TRUE(writer.write(folder.path() / "clip.png"));

    std::optional<std::vector<Chunk>> chunks = readChunks(fileBytes(folder.path() / "clip.png"));
    ASSERT_TRUE(chunks);
    std::vector<std::string> types;
    for (const Chunk& chunk : *chunks)
        types.push_back(chunk.type);
    ASSERT_EQ(types, (std::vector<std::string> { "IHDR", "acTL", "fcTL", "IDAT", "fcTL", "fdAT", "fcTL", "fdAT", "IEND" }));
    const Chunk& header = (*chunks)[0];
    EXPECT_EQ(bigEndian(&header.data[0]), 3u);
    EXPECT_EQ(bigEndian(&header.data[4]), 3u);
    EXPECT_EQ((*chunks)[1].data, (Bytes { 0, 0, 0, 3, 0, 0, 0, 0 }));

    const Bytes controls[] = {
        { 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 25, 0, 0 },
        { 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 25, 0, 0 },
        { 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 25, 0, 0 },
    };
    EXPECT_EQ((*chunks)[2].data, controls[0]);
    EXPECT_EQ((*chunks)[4].data, controls[1]);
    EXPECT_EQ((*chunks)[6].data, controls[2]);
    EXPECT_EQ(bigEndian((*chunks)[5].data.data()), 2u);
    EXPECT_EQ(bigEndian((*chunks)[7].data.data()), 4u);

    const Bytes clear = rgba({ 0, 0, 0, 0 }, 1);
    std::optional<phone_files::Decoded> first = stillOf(header, (*chunks)[3].data);
    ASSERT_TRUE(first);
    Bytes redRow = rgba({ 255, 0, 0, 255 }, 2);
    redRow.insert(redRow.end(), clear.begin(), clear.end());
    Bytes expected = redRow;
    expected.insert(expected.end(), redRow.begin(), redRow.end());
    const Bytes clearRow = rgba({ 0, 0, 0, 0 }, 3);
    expected.insert(expected.end(), clearRow.begin(), clearRow.end());
    EXPECT_EQ(first->rgba, expected);

    const Bytes& secondData = (*chunks)[5].data;
    std::optional<phone_files::Decoded> second = stillOf(header, Bytes(secondData.begin() + 4, secondData.end()));
    ASSERT_TRUE(second);
    expected = rgba({ 0, 0, 255, 255 }, 3);
    expected.insert(expected.end(), clearRow.begin(), clearRow.end());
    expected.insert(expected.end(), clearRow.begin(), clearRow.end());
    EXPECT_EQ(second->rgba, expected);

    const Bytes& thirdData = (*chunks)[7].data;
    std::optional<phone_files::Decoded> third = stillOf(header, Bytes(thirdData.begin() + 4, thirdData.end()));
    ASSERT_TRUE(third);
    Bytes column = rgba({ 0, 0, 255, 255 }, 1);
    column.insert(column.end(), clear.begin(), clear.end());
    column.insert(column.end(), clear.begin(), clear.end());
    expected.clear();
    for (int row = 0; row < 3; ++row)
        expected.insert(expected.end(), column.begin(), column.end());
    EXPECT_EQ(third->rgba, expected);

    // A viewer without animation shows the first frame.
    const std::string file = fileBytes(folder.path() / "clip.png");
    std::optional<phone_files::Decoded> still = phone_files::decodePng(Bytes(file.begin(), file.end()));
    ASSERT_TRUE(still);
    EXPECT_EQ(still->rgba, first->rgba);

    EXPECT_FALSE(writer.write(folder.path() / "missing" / "clip.png"));
}

// A frame that stays longer than a frame control can say stays as long as it can.
TEST(AnimatedPngWriter, ALongStillFrameStaysAsLongAsItCan)
{
    TemporaryFolder folder;
    host::AnimatedPngWriter writer(10);
    OwnedSurface still = picture(1, 1, 0xff00ff00);
    for (int i = 0; i < 65537; ++i)
        writer.addFrame(still.get());
    ASSERT_EQ(writer.frameCount(), 1u);
    ASSERT_TRUE(writer.write(folder.path() / "still.png"));
    std::optional<std::vector<Chunk>> chunks = readChunks(fileBytes(folder.path() / "still.png"));
    ASSERT_TRUE(chunks);
    ASSERT_EQ((*chunks)[2].type, "fcTL");
    EXPECT_EQ((Bytes((*chunks)[2].data.begin() + 20, (*chunks)[2].data.begin() + 24)), (Bytes { 0xff, 0xff, 0, 10 }));
}

constexpr std::uint32_t kSheetGrey = 0xff202124;

// Pictures stand in rows of the given number of columns, each centred in a cell as wide as the
// widest, at a pixel a point, with a margin of 16 around and between them and the captions under
// them; an empty sheet is one margin square.
TEST(ContactSheet, LaysOutCellsInRowsOfColumns)
{
    host::TextLayouts layouts;
    EXPECT_EQ(host::ContactSheet(0).size(), 0u);
    OwnedSurface empty = host::ContactSheet(3).draw(layouts);
    EXPECT_EQ(cairo_image_surface_get_width(empty.get()), 16);
    EXPECT_EQ(cairo_image_surface_get_height(empty.get()), 16);

    host::ContactSheet sheet(2);
    OwnedSurface wide = picture(40, 10, 0xffff0000);
    OwnedSurface doubled = picture(40, 60, 0xff00ff00); // at scale 2: 20 by 30 points
    OwnedSurface odd = picture(5, 7, 0xff0000ff);       // at scale 2: 3 by 4
    sheet.add(wide.get(), 1, "");
    sheet.add(doubled.get(), 2, "");
    sheet.add(odd.get(), 2, "");
    sheet.add(odd.get(), 0, ""); // a scale below one is one
    ASSERT_EQ(sheet.size(), 4u);
    OwnedSurface drawn = sheet.draw(layouts);
    cairo_surface_t* s = drawn.get();
    // Two columns of 40; rows of 30 and 7 with empty captions.
    EXPECT_EQ(cairo_image_surface_get_width(s), 16 + 2 * (40 + 16));
    EXPECT_EQ(cairo_image_surface_get_height(s), 16 + (30 + 6 + 16) + (7 + 6 + 16));
    EXPECT_EQ(pixel(s, 0, 0), kSheetGrey);
    EXPECT_EQ(pixel(s, 16, 16), 0xffff0000u);
    EXPECT_EQ(pixel(s, 55, 25), 0xffff0000u);
    EXPECT_EQ(pixel(s, 55, 26), kSheetGrey);
    // The half-size picture, centred: 40 - 20 leaves 10 each side.
    EXPECT_EQ(pixel(s, 72 + 9, 16), kSheetGrey);
    EXPECT_EQ(pixel(s, 72 + 10, 16), 0xff00ff00u);
    EXPECT_EQ(pixel(s, 72 + 29, 45), 0xff00ff00u);
    EXPECT_EQ(pixel(s, 72 + 30, 16), kSheetGrey);
    EXPECT_EQ(pixel(s, 72 + 10, 46), kSheetGrey);
    // The second row: 3 wide (5 at scale 2) is centred at (40 - 3) / 2 = 18; 5 wide at 17.
    const int top = 16 + 30 + 6 + 16;
    EXPECT_EQ(pixel(s, 16 + 18, top) & 0xff, 0xffu);
    EXPECT_EQ(pixel(s, 16 + 17, top), kSheetGrey);
    EXPECT_EQ(pixel(s, 72 + 17, top + 6), 0xff0000ffu);
    EXPECT_EQ(pixel(s, 72 + 17 + 4, top), 0xff0000ffu);
    EXPECT_EQ(pixel(s, 72 + 17 + 5, top), kSheetGrey);
    EXPECT_EQ(pixel(s, 72 + 16, top), kSheetGrey);
    EXPECT_EQ(pixel(s, 72 + 17, top - 1), kSheetGrey);

    // One column of one picture is as wide as the picture and its margins.
    host::ContactSheet single(5);
    single.add(wide.get(), 1, "");
    EXPECT_EQ(cairo_image_surface_get_width(single.draw(layouts).get()), 16 + 40 + 16);
}

// A caption takes room under its picture, as much as the row's tallest caption, and is drawn
// there in a light colour.
TEST(ContactSheet, CaptionsStandUnderTheirPictures)
{
    host::TextLayouts layouts;
    OwnedSurface square = picture(60, 20, 0xff000000);
    host::ContactSheet bare(2);
    bare.add(square.get(), 1, "");
    bare.add(square.get(), 1, "");
    host::ContactSheet captioned(2);
    captioned.add(square.get(), 1, "");
    captioned.add(square.get(), 1, "Metro");
    OwnedSurface withCaption = captioned.draw(layouts);
    const int bareHeight = cairo_image_surface_get_height(bare.draw(layouts).get());
    const int height = cairo_image_surface_get_height(withCaption.get());
    EXPECT_GT(height, bareHeight + 8);
    int light = 0;
    for (int y = 16 + 20 + 6; y < height - 16; ++y)
        for (int x = 16 + 60 + 16; x < 16 + 2 * (60 + 16); ++x)
            light += (pixel(withCaption.get(), x, y) & 0xff) > 0x80 ? 1 : 0;
    EXPECT_GT(light, 5);
    for (int y = 16 + 20; y < height; ++y)
        for (int x = 16; x < 16 + 60; ++x)
            ASSERT_EQ(pixel(withCaption.get(), x, y), kSheetGrey) << x << "," << y;
}

}
}
