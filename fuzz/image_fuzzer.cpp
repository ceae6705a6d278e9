// Any bytes as a photo: an image of sane size or none, never a partial one.
#include <weeapp/ui/images/image.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const weeapp::ui::ImagePtr image = weeapp::ui::Image::imageWithData(std::span(data, size));
    if (image && !(image->size().width > 0 && image->size().height > 0))
        std::abort();
    return 0;
}
