#include <weeapp/ui/images/image.h>

#include <weeapp/sys/files/file_reading.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/ui/images/image_decoding.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace weeapp::ui {

namespace {

// No picture within the size cap needs more bytes than this, even stored uncompressed.
constexpr std::uintmax_t kLargestImageFile = 96u * 1024u * 1024u;

std::shared_ptr<const Bitmap> orEmpty(std::shared_ptr<const Bitmap> bitmap)
{
    return bitmap ? std::move(bitmap) : std::make_shared<const Bitmap>();
}

std::size_t pixelBytes(const Bitmap& bitmap)
{
    return bitmap.pixels.size() * sizeof(std::uint32_t);
}

}

struct Image::Pixels {
    int width { 0 };
    int height { 0 };
    // Held for as long as the image lives when it is not kept as bytes.
    std::shared_ptr<const Bitmap> kept;
    // The stored bytes, already decoded once without fault; empty when the pixels are kept.
    std::vector<std::uint8_t> bytes;
    // The pixels last decoded from the bytes, while anybody holds them.
    std::weak_ptr<const Bitmap> inUse;
};

Image::Image(std::shared_ptr<const Bitmap> bitmap, std::string source, EdgeInsets capInsets, bool resizable)
    : m_pixels(std::make_shared<Pixels>())
    , m_source(std::move(source))
    , m_capInsets(capInsets)
    , m_resizable(resizable)
{
    m_pixels->kept = orEmpty(std::move(bitmap));
    m_pixels->width = m_pixels->kept->width;
    m_pixels->height = m_pixels->kept->height;
}

Image::Image(std::shared_ptr<Pixels> pixels, std::string source, EdgeInsets capInsets, bool resizable)
    : m_pixels(std::move(pixels))
    , m_source(std::move(source))
    , m_capInsets(capInsets)
    , m_resizable(resizable)
{
}

Size Image::size() const
{
    return { static_cast<float>(m_pixels->width), static_cast<float>(m_pixels->height) };
}

std::shared_ptr<const Bitmap> Image::pixels() const
{
    if (m_pixels->kept)
        return m_pixels->kept;
    if (auto decoded = m_pixels->inUse.lock())
        return decoded;
    // The bytes decoded before, so they decode to the same pixels now; a decoder that failed
    // all the same (out of memory) leaves the image empty rather than wrong.
    std::shared_ptr<const Bitmap> decoded = decodeImage(m_pixels->bytes);
    if (!decoded || decoded->width != m_pixels->width || decoded->height != m_pixels->height)
        decoded = std::make_shared<const Bitmap>();
    m_pixels->inUse = decoded;
    return decoded;
}

std::shared_ptr<Bitmap> decodeImage(std::span<const std::uint8_t> bytes)
{
    if (auto bitmap = decodePng(bytes))
        return bitmap;
    return decodeJpeg(bytes);
}

ImagePtr Image::fromBytes(std::span<const std::uint8_t> bytes, std::string source)
{
    // Decoded whole here, so that bad bytes give nil at once and never a partial picture later.
    std::shared_ptr<const Bitmap> bitmap = decodeImage(bytes);
    if (!bitmap)
        return nullptr;
    if (bytes.size() >= pixelBytes(*bitmap))
        return std::make_shared<const Image>(std::move(bitmap), std::move(source));
    auto pixels = std::make_shared<Pixels>();
    pixels->width = bitmap->width;
    pixels->height = bitmap->height;
    pixels->bytes.assign(bytes.begin(), bytes.end());
    return ImagePtr(new Image(std::move(pixels), std::move(source), {}, false));
}

ImagePtr Image::imageWithData(std::span<const std::uint8_t> bytes)
{
    return fromBytes(bytes, "data");
}

ImagePtr Image::imageWithContentsOfFile(const std::string& phonePath)
{
    const std::optional<std::string> bytes = sys::readWholeFile(sys::resolvePhonePath(phonePath), kLargestImageFile);
    if (!bytes)
        return nullptr;
    return fromBytes({ reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size() }, "file:" + phonePath);
}

ImagePtr Image::resizableImageWithCapInsets(EdgeInsets insets) const
{
    auto sane = [](float inset) { return std::isfinite(inset) ? std::max(inset, 0.0f) : 0.0f; };
    const EdgeInsets kept { sane(insets.top), sane(insets.left), sane(insets.bottom), sane(insets.right) };
    return ImagePtr(new Image(m_pixels, m_source, kept, true));
}

}
