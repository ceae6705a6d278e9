#pragma once

#include <weeapp/c_handles.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/sys/value.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace weeapp {
class PlatformState;
}

namespace sys {

class DarwinNotifyCenter;

// A system-wide notification callback: a plain function, handed the centre, the observer
// pointer it was registered with, the name, the object and the user information (both always
// nil for system-wide notifications).
using CFNotificationCallback = void (*)(DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const Dictionary* userInfo);

enum class CFNotificationSuspensionBehavior {
    Drop = 1,
    Coalesce = 2,
    Hold = 3,
    DeliverImmediately = 4,
};

// The system-wide centre. A post is not delivered at once: it is queued, and the centre, a
// source of the main run loop, delivers it when the loop asks; posts of one name that arrive
// before then coalesce into one delivery. With a transport folder, a post also touches a file
// named after the notification in that folder, and the centre watches the folder (inotify) from
// the main run loop, so posts from other processes sharing the folder arrive here the same way;
// without one, posts stay in this process.
class DarwinNotifyCenter final : public RunLoopSource {
public:
    static DarwinNotifyCenter& shared();

    // Registering the same observer, callback, name and object again changes nothing. The
    // suspension behaviour only matters to a suspended process; this one is never suspended.
    void addObserver(void* observer, CFNotificationCallback callback, std::string name, const void* object, CFNotificationSuspensionBehavior);
    void postNotification(std::string_view name);

    // Starts the cross-process transport in that folder (created when missing): from then on
    // posts go out through the folder, and the folder is watched from the main run loop. False
    // when the folder cannot be made (posts then stay in this process) or cannot be watched
    // (posts still go out, none come in). An empty path stops the transport.
    bool setTransportDirectory(const std::filesystem::path& folder);
    // The watching descriptor (readable when posts arrived), or -1.
    int transportFileDescriptor() const { return m_inotify.get(); }

    // Reads what arrived through the transport, then runs each callback once for every name
    // that has a delivery pending. Called by the run loop.
    void performPending() override;
    // Posts queued in this process or already read from the transport.
    bool hasPending() const { return !m_pending.empty(); }

    void removeAllObservers();
    void reset(); // forgets observers, pending posts and the transport

    ~DarwinNotifyCenter();
    DarwinNotifyCenter(const DarwinNotifyCenter&) = delete;
    DarwinNotifyCenter& operator=(const DarwinNotifyCenter&) = delete;

private:
    friend class weeapp::PlatformState;
    explicit DarwinNotifyCenter(RunLoop&);
    void readTransportEvents();
    void touchTransportFile(std::string_view name) const;
    void stopTransport();

    struct Observer {
        void* observer;
        CFNotificationCallback callback;
        std::string name;
        const void* object;
    };
    RunLoop& m_runLoop; // the one of the same platform state, which outlives this
    std::vector<Observer> m_observers;
    std::set<std::string, std::less<>> m_pending;
    std::filesystem::path m_directory;
    weeapp::FileDescriptor m_inotify;
    std::uint64_t m_generation { 0 }; // changes when observers are dropped, to stop a delivery
};

// The file name that carries a notification name through the transport folder, and back; no
// file name for a name that cannot be one (empty, or too long), no name for a file that does
// not carry one (hidden files, which writers may use as temporaries).
std::optional<std::string> transportFileName(std::string_view notificationName);
std::optional<std::string> notificationNameOfTransportFile(std::string_view fileName);

// The frameworks' spellings.
DarwinNotifyCenter* CFNotificationCenterGetDarwinNotifyCenter();
void CFNotificationCenterAddObserver(DarwinNotifyCenter*, void* observer, CFNotificationCallback, std::string_view name, const void* object, CFNotificationSuspensionBehavior);
void CFNotificationCenterPostNotification(DarwinNotifyCenter*, std::string_view name, const void* object, const Dictionary* userInfo, bool deliverImmediately);

}
