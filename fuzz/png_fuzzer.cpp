// Any bytes after the PNG signature as a contact's thumbnail: an image of sane size or none.
#include <weeapp/ui/images/image.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::uint8_t kSignature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<std::uint8_t> bytes(std::begin(kSignature), std::end(kSignature));
    bytes.insert(bytes.end(), data, data + size);
    const weeapp::ui::ImagePtr image = weeapp::ui::Image::imageWithData(bytes);
    if (image && !(image->size().width > 0 && image->size().height > 0 && image->size().width <= 4096 && image->size().height <= 4096))
        std::abort();
    return 0;
}
