#include "settings_lock.h"

#include "system_notifications.h"
#include <weeapp/sys/phone_root.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

namespace kavrin::phone_files {

std::string SettingsLock::lockFilePath()
{
    return (std::filesystem::path(sys::resolvePhonePath(kSystemNotificationFolder)) / ".settings.lock").string();
}

SettingsLock::SettingsLock(std::chrono::milliseconds longestWait)
{
    constexpr std::chrono::milliseconds kRetryInterval { 20 };
    std::string path = lockFilePath();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    weeapp::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666));
    if (!fd) {
        m_failure = "cannot open the settings lock " + path + ": " + std::strerror(errno);
        return;
    }
    auto deadline = std::chrono::steady_clock::now() + longestWait;
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            if (errno == EWOULDBLOCK) {
                char waited[32];
                std::snprintf(waited, sizeof waited, "%g", static_cast<double>(longestWait.count()) / 1000);
                m_failure = "the settings lock " + path + " is held by another process; gave up after " + waited + " s";
            } else {
                m_failure = "cannot take the settings lock " + path + ": " + std::strerror(errno);
            }
            return;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    m_fd = std::move(fd);
}

}
