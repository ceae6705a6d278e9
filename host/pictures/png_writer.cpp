#include "pictures/png_writer.h"

namespace kavrin::host {

bool writePng(cairo_surface_t* surface, const std::filesystem::path& file)
{
    std::optional<phone_files::Bytes> png = phone_files::encodePng(surface);
    return png && phone_files::writeBytes(file.string(), *png);
}

}
