#include "settings_lock.h"

#include "phone_files.h"
#include "sys/phone_root.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace kavrin::tooling {

SettingsLock::SettingsLock()
{
    std::filesystem::path folder = sys::resolvePhonePath(kSystemNotificationFolder);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::string path = (folder / ".settings.lock").string();
    int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0)
        return;
    int locked = 0;
    do
        locked = ::flock(fd, LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

SettingsLock::~SettingsLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

}
