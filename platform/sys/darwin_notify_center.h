#pragma once

#include "sys/value.h"

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

class DarwinNotifyCenter;

// A system-wide notification callback: a plain function, handed the centre, the observer
// pointer it was registered with, the name, the object and the user information (always nil
// for system-wide notifications).
using CFNotificationCallback = void (*)(DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const Dictionary* userInfo);

enum class CFNotificationSuspensionBehavior {
    Drop = 1,
    Coalesce = 2,
    Hold = 3,
    DeliverImmediately = 4,
};

// The system-wide centre. A post is not delivered at once: it is queued and delivered by the
// main run loop, and posts of one name that arrive before the run loop delivers them coalesce
// into one delivery. With a transport directory, a post touches a file named after the
// notification in that folder, and an observing process watches the folder (inotify) from its
// run loop, so posts reach other processes as well; without one, posts stay in this process.
class DarwinNotifyCenter {
public:
    static DarwinNotifyCenter& shared();

    void addObserver(void* observer, CFNotificationCallback callback, std::string name, const void* object, CFNotificationSuspensionBehavior);
    void postNotification(std::string_view name);

    // Starts the cross-process transport in that folder (created when missing). False when the
    // folder cannot be made or watched; posts then stay in this process.
    bool setTransportDirectory(const std::filesystem::path& folder);
    const std::filesystem::path& transportDirectory() const { return m_directory; }

    // Runs each callback once for every name that has a delivery pending. Called by the run loop.
    void deliverPending();
    bool hasPending() const { return !m_pending.empty(); }

    void removeAllObservers() { m_observers.clear(); }
    void reset(); // forgets observers, pending posts and the transport

    ~DarwinNotifyCenter();

private:
    DarwinNotifyCenter() = default;
    void readTransportEvents();

    struct Observer {
        void* observer;
        CFNotificationCallback callback;
        std::string name;
        const void* object;
    };
    std::vector<Observer> m_observers;
    std::set<std::string, std::less<>> m_pending;
    std::filesystem::path m_directory;
    int m_inotify { -1 };
};

// The frameworks' spellings.
DarwinNotifyCenter* CFNotificationCenterGetDarwinNotifyCenter();
void CFNotificationCenterAddObserver(DarwinNotifyCenter*, void* observer, CFNotificationCallback, std::string_view name, const void* object, CFNotificationSuspensionBehavior);
void CFNotificationCenterPostNotification(DarwinNotifyCenter*, std::string_view name, const void* object, const Dictionary* userInfo, bool deliverImmediately);

}
