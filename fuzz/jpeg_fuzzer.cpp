// Any bytes after a JPEG start-of-image marker as a contact's thumbnail: an image of sane size
// or none.
#include <weeapp/ui/images/image.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes { 0xFF, 0xD8 };
    bytes.insert(bytes.end(), data, data + size);
    const weeapp::ui::ImagePtr image = weeapp::ui::Image::imageWithData(bytes);
    if (image && !(image->size().width > 0 && image->size().height > 0 && image->size().width <= 4096 && image->size().height <= 4096))
        std::abort();
    return 0;
}
