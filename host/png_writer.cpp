#include "png_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace kavrin::host {

bool writePng(cairo_surface_t* surface, const std::filesystem::path& file)
{
    std::optional<tooling::Bytes> png = tooling::encodePng(surface);
    return png && tooling::writeBytes(file.string(), *png);
}

bool replaceFileAtomically(const std::filesystem::path& file, const tooling::Bytes& bytes)
{
    std::string temporary = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0)
        return false;
    fchmod(descriptor, 0644);
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t got = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (got <= 0)
            break;
        written += static_cast<std::size_t>(got);
    }
    bool complete = written == bytes.size() && close(descriptor) == 0;
    if (!complete || std::rename(temporary.c_str(), file.c_str()) != 0) {
        if (!complete && written < bytes.size())
            close(descriptor);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}
