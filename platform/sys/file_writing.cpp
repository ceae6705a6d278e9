#include <weeapp/sys/file_writing.h>

#include <weeapp/c_handles.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

namespace sys {

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder)
{
    const weeapp::FileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

}

bool writeFileAtomically(const std::string& filePath, std::string_view bytes)
{
    std::filesystem::path target { filePath };
    std::filesystem::path folder = target.parent_path();
    if (!target.has_filename())
        return false;
    // A hidden name beside the target: same file system, so the rename is atomic.
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    weeapp::FileDescriptor fd(::mkstemp(temporary.data()));
    if (!fd)
        return false;

    mode_t mode = 0644;
    struct stat existing { };
    if (::stat(filePath.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    bool written = writeAll(fd.get(), bytes) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0;
    written = fd.close() == 0 && written;
    if (!written || ::rename(temporary.c_str(), filePath.c_str()) != 0) {
        const int reason = errno;
        ::unlink(temporary.c_str());
        errno = reason;
        return false;
    }
    syncFolder(folder);
    return true;
}

namespace {

// For a file system without unnamed files: the bytes go straight into the new name.
bool writeNewFileInPlace(const std::string& filePath, std::string_view bytes, unsigned mode)
{
    weeapp::FileDescriptor fd(::open(filePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, static_cast<mode_t>(mode)));
    if (!fd)
        return false;
    bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    written = fd.close() == 0 && written;
    if (!written) {
        int reason = errno;
        ::unlink(filePath.c_str());
        errno = reason;
        return false;
    }
    syncFolder(std::filesystem::path(filePath).parent_path());
    return true;
}

}

bool writeNewFile(const std::string& filePath, std::string_view bytes, unsigned mode)
{
    // An unnamed file in the folder, given its name only once it is whole: a process stopped
    // part-way leaves nothing, and no reader ever sees part of the file.
    const std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
    weeapp::FileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, static_cast<mode_t>(mode)));
    if (!fd)
        return errno == EOPNOTSUPP || errno == EISDIR ? writeNewFileInPlace(filePath, bytes, mode) : false;
    bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (written) {
        const std::string unnamed = "/proc/self/fd/" + std::to_string(fd.get());
        written = ::linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, filePath.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    const int reason = errno;
    fd.reset();
    errno = reason;
    if (written)
        syncFolder(folder);
    return written;
}

}
