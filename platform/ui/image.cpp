#include "ui/image.h"

#include "sys/phone_root.h"
#include "ui/image_decoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>

namespace ui {

namespace {

// No picture within the size cap needs more bytes than this, even stored uncompressed.
constexpr std::uintmax_t kLargestImageFile = 96u * 1024u * 1024u;

// The whole of a regular, non-empty file within the size cap, as long as it was when opened.
// Non-blocking, so that a FIFO at the path cannot stall us.
std::optional<std::vector<std::uint8_t>> readImageFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::vector<std::uint8_t>> bytes;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0
        && static_cast<std::uintmax_t>(status.st_size) <= kLargestImageFile) {
        bytes.emplace(static_cast<std::size_t>(status.st_size));
        std::size_t filled = 0;
        while (filled < bytes->size()) {
            const ssize_t got = ::read(fd, bytes->data() + filled, bytes->size() - filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            filled += static_cast<std::size_t>(got);
        }
        if (filled < bytes->size())
            bytes.reset();
    }
    ::close(fd);
    return bytes;
}

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
    const std::optional<std::vector<std::uint8_t>> bytes = readImageFile(sys::resolvePhonePath(phonePath));
    if (!bytes)
        return nullptr;
    auto bitmap = decodeImage(*bytes);
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
