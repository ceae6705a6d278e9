#include "ui/image.h"

#include "sys/file_reading.h"
#include "sys/phone_root.h"
#include "ui/image_decoding.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace ui {

namespace {

// No picture within the size cap needs more bytes than this, even stored uncompressed.
constexpr std::uintmax_t kLargestImageFile = 96u * 1024u * 1024u;

std::shared_ptr<const Bitmap> orEmpty(std::shared_ptr<const Bitmap> bitmap)
{
    return bitmap ? std::move(bitmap) : std::make_shared<const Bitmap>();
}

}

Image::Image(std::shared_ptr<const Bitmap> bitmap, std::string source, EdgeInsets capInsets, bool resizable)
    : m_bitmap(orEmpty(std::move(bitmap)))
    , m_source(std::move(source))
    , m_capInsets(capInsets)
    , m_resizable(resizable)
{
}

std::shared_ptr<Bitmap> decodeImage(std::span<const std::uint8_t> bytes)
{
    if (auto bitmap = decodePng(bytes))
        return bitmap;
    return decodeJpeg(bytes);
}

ImagePtr Image::imageWithData(std::span<const std::uint8_t> bytes)
{
    auto bitmap = decodeImage(bytes);
    if (!bitmap)
        return nullptr;
    return std::make_shared<const Image>(std::move(bitmap), "data");
}

ImagePtr Image::imageWithContentsOfFile(const std::string& phonePath)
{
    const std::optional<std::string> bytes = sys::readWholeFile(sys::resolvePhonePath(phonePath), kLargestImageFile);
    if (!bytes)
        return nullptr;
    auto bitmap = decodeImage({ reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size() });
    if (!bitmap)
        return nullptr;
    return std::make_shared<const Image>(std::move(bitmap), "file:" + phonePath);
}

ImagePtr Image::resizableImageWithCapInsets(EdgeInsets insets) const
{
    auto sane = [](float inset) { return std::isfinite(inset) ? std::max(inset, 0.0f) : 0.0f; };
    const EdgeInsets kept { sane(insets.top), sane(insets.left), sane(insets.bottom), sane(insets.right) };
    return std::make_shared<const Image>(m_bitmap, m_source, kept, true);
}

}
