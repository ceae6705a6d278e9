#include <weeapp/sys/file_reading.h>

#include <weeapp/c_handles.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sys {

std::optional<std::string> readWholeFile(const std::string& filePath, std::uintmax_t maximumSize, FinalLink finalLink)
{
    const weeapp::FileDescriptor file(::open(filePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (finalLink == FinalLink::Refuse ? O_NOFOLLOW : 0)));
    if (!file)
        return std::nullopt;
    const int fd = file.get();
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || static_cast<std::uintmax_t>(status.st_size) > maximumSize)
        return std::nullopt;
    // Room for the size the file has now, and one byte more to see whether it has grown since.
    const auto expected = static_cast<std::size_t>(status.st_size);
    std::string bytes(expected + 1, '\0');
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const std::size_t asked = bytes.size() - filled;
        const ssize_t got = ::read(fd, bytes.data() + filled, asked);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
        if (filled > maximumSize)
            return std::nullopt;
        // A read that stops short of what was asked, at the size the file had, has met its end:
        // no second read is needed to see it.
        if (static_cast<std::size_t>(got) < asked && filled == expected)
            break;
    }
    bytes.resize(filled);
    return bytes;
}

}
