#include "pictures/png_writer.h"

namespace kavrin::host {

bool writePng(cairo_surface_t* surface, const std::filesystem::path& file)
{
    std::optional<tooling::Bytes> png = tooling::encodePng(surface);
    return png && tooling::writeBytes(file.string(), *png);
}

}
