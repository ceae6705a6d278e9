#include <weeapp/ui/images/image_decoding.h>
#include <weeapp/ui/images/image_downscaling.h>

#include <png.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace weeapp::ui {

namespace {

// The decoder stops once it has the pixels, so a stream cut off after its image data would
// still decode; a whole stream ends with the image-end chunk, its type and its fixed CRC.
bool hasImageEnd(std::span<const std::uint8_t> bytes)
{
    constexpr std::uint8_t kImageEnd[] = { 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82 };
    // From the back, where the chunk of a whole stream lies.
    return std::find_end(bytes.begin(), bytes.end(), std::begin(kImageEnd), std::end(kImageEnd)) != bytes.end();
}

std::uint64_t bigEndian32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return std::uint64_t { bytes[offset] } << 24 | std::uint64_t { bytes[offset + 1] } << 16 | std::uint64_t { bytes[offset + 2] } << 8 | bytes[offset + 3];
}

// Whether the stream's compressed image data could hold the rows its header claims. Deflate
// packs at most 1,032 bytes into one (a 258-byte match in two bits), so data smaller than that
// share of the rows cannot be a whole picture, and no pixels are made for it.
bool imageDataCanHoldRows(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height)
{
    constexpr std::size_t kHeaderDataOffset = 16;
    constexpr std::uint64_t kDeflateRatio = 1032;
    if (bytes.size() < kHeaderDataOffset + 13)
        return false;
    const std::uint64_t depth = bytes[kHeaderDataOffset + 8];
    const unsigned colourType = bytes[kHeaderDataOffset + 9];
    const std::uint64_t channels = colourType == 2 ? 3 : colourType == 4 ? 2
        : colourType == 6                                                ? 4
                                                                         : 1;
    const std::uint64_t rows = height * (1 + (width * channels * depth + 7) / 8);

    std::uint64_t imageData = 0;
    for (std::size_t offset = 8; offset + 12 <= bytes.size();) {
        const std::uint64_t length = bigEndian32(bytes, offset);
        if (length > bytes.size() - offset - 12)
            break;
        if (std::memcmp(&bytes[offset + 4], "IDAT", 4) == 0)
            imageData += length;
        offset += static_cast<std::size_t>(length) + 12;
    }
    return rows <= imageData * kDeflateRatio + kDeflateRatio;
}

void premultiply(std::vector<std::uint32_t>& pixels)
{
    for (std::uint32_t& pixel : pixels) {
        const std::uint32_t alpha = pixel >> 24;
        if (alpha != 255)
            pixel = premultipliedPixel((pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu, alpha);
    }
}

std::shared_ptr<Bitmap> decodeWhole(png_image& image)
{
    // Straight alpha in the bytes of a native ARGB32 word, premultiplied in place afterwards;
    // a picture without alpha (or transparency) comes out opaque, as it already is premultiplied.
    const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = static_cast<int>(image.width);
    bitmap->height = static_cast<int>(image.height);
    bitmap->pixels.resize(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height));
    if (!png_image_finish_read(&image, nullptr, bitmap->pixels.data(), 0, nullptr))
        return nullptr;
    if (hasAlpha)
        premultiply(bitmap->pixels);
    return bitmap;
}

// A picture too large to be kept whole is read a row at a time (a pass at a time when it is
// interlaced) straight into the shrinking boxes. The state lives on the heap, so nothing that
// libpng's error jump skips over is a local whose value setjmp would leave indeterminate.
struct ShrinkingRead {
    std::span<const std::uint8_t> bytes;
    std::size_t position { 0 };
    png_structp png { nullptr };
    png_infop info { nullptr };
    std::vector<png_byte> row;
    std::unique_ptr<BoxDownscaler> boxes;
};

void readFromMemory(png_structp png, png_bytep out, std::size_t length)
{
    auto* read = static_cast<ShrinkingRead*>(png_get_io_ptr(png));
    if (length > read->bytes.size() - read->position)
        png_error(png, "truncated");
    std::memcpy(out, read->bytes.data() + read->position, length);
    read->position += length;
}

[[noreturn]] void failReading(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) { }

bool runShrinkingRead(ShrinkingRead& read)
{
    png_structp png = read.png;
    png_infop info = read.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &read, readFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const bool interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
    // Eight-bit RGBA whatever the stored kind: palettes and small depths expanded, transparency
    // made alpha, grey made colour, sixteen bits scaled.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t { width } * 4)
        return false;
    read.row.resize(std::size_t { width } * 4);
    const PixelSize source { static_cast<int>(width), static_cast<int>(height) };
    read.boxes = std::make_unique<BoxDownscaler>(source, decodedSize(source.width, source.height));

    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const png_uint_32 columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
        const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        if (columns == 0 || rows == 0)
            continue;
        for (png_uint_32 r = 0; r < rows; ++r) {
            png_read_row(png, read.row.data(), nullptr);
            const png_uint_32 y = interlaced ? PNG_ROW_FROM_PASS_ROW(r, pass) : r;
            for (png_uint_32 c = 0; c < columns; ++c) {
                const png_byte* sample = &read.row[std::size_t { c } * 4];
                const png_uint_32 x = interlaced ? PNG_COL_FROM_PASS_COL(c, pass) : c;
                read.boxes->add(static_cast<int>(x), static_cast<int>(y), premultipliedPixel(sample[0], sample[1], sample[2], sample[3]));
            }
        }
    }
    png_read_end(png, nullptr);
    return true;
}

std::shared_ptr<Bitmap> decodeShrunk(std::span<const std::uint8_t> bytes)
{
    auto read = std::make_unique<ShrinkingRead>();
    read->bytes = bytes;
    read->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failReading, ignoreWarning);
    if (read->png)
        read->info = png_create_info_struct(read->png);
    const bool decoded = read->info && runShrinkingRead(*read);
    png_destroy_read_struct(&read->png, read->info ? &read->info : nullptr, nullptr);
    return decoded ? read->boxes->finish() : nullptr;
}

}

std::shared_ptr<Bitmap> decodePng(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0 || !hasImageEnd(bytes.subspan(8)))
        return nullptr;

    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return nullptr;
    std::shared_ptr<Bitmap> bitmap;
    if (acceptableImageSize(image.width, image.height) && imageDataCanHoldRows(bytes, image.width, image.height)) {
        if (std::max(image.width, image.height) <= static_cast<png_uint_32>(Image::kMaximumDecodedSide))
            bitmap = decodeWhole(image);
        else
            bitmap = decodeShrunk(bytes);
    }
    png_image_free(&image);
    return bitmap;
}

}
