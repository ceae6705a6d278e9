#pragma once

namespace kavrin::tooling {

// Held by every writer of the settings file (kavrin-prefs, the host's set and unset, the demo)
// around its read-change-replace, so that two writers at once cannot lose one's change. The
// lock is an flock on a hidden file in the phone's notification folder, which the tools own and
// whose watcher passes over hidden names; the widget never takes it. Released on destruction.
class SettingsLock {
public:
    SettingsLock();
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // False when the lock file could not be made or locked; the writer then goes on unlocked.
    bool held() const { return m_fd >= 0; }

private:
    int m_fd { -1 };
};

}
