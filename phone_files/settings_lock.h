#pragma once

#include <weeapp/c_handles.h>

#include <chrono>
#include <string>

namespace kavrin::phone_files {

// Held by every writer of the settings file (kavrin-prefs, the host's set and unset, the demo)
// around its read-change-replace, so that two writers at once cannot lose one's change. The
// lock is an flock on a hidden file in the phone's notification folder, which the tools own and
// whose watcher passes over hidden names; the widget never takes it. A writer waits for it a
// few seconds at most, so that a lock held for good (a stopped process) cannot hang it.
// Released on destruction.
class SettingsLock {
public:
    static constexpr std::chrono::milliseconds kLongestWait { 5000 };

    explicit SettingsLock(std::chrono::milliseconds longestWait = kLongestWait);
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    bool held() const { return static_cast<bool>(m_fd); }
    // Why it is not held, naming the lock file; empty when held.
    const std::string& failure() const { return m_failure; }

    // The lock file's real path under the current phone root.
    static std::string lockFilePath();

private:
    weeapp::FileDescriptor m_fd;
    std::string m_failure;
};

}
