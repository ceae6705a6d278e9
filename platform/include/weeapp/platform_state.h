#pragma once

#include <memory>

namespace sys {
class Application;
class DarwinNotifyCenter;
class NotificationCenter;
class RunLoop;
class UserDefaults;
}

namespace weeapp {

// Every object of the platform that a process has one of: the main run loop and its clock, the
// local and the system-wide notification centres, the application, the user defaults, the phone
// root, the random source, the animations being recorded and running, the alert presenter and
// the text measurer. Whoever runs the platform (a program's main, each test, a benchmark, a fuzz
// target) makes a state before using any of them and ends it when done; the frameworks'
// shared-object accessors (RunLoop::main(), NotificationCenter::defaultCenter(), ...) answer from
// the current state, and calling one while no state is current is a programmer error.
//
// Making a state while another is current puts the new one in front until it ends, so a test can
// start from nothing without touching what runs around it. Ending a state drops all it holds:
// none of its delayed calls, observers, pending posts or animations' ends is delivered afterwards.
// A fresh state starts with a manual clock at 0, no observers, tasks or animations, the
// registered defaults only, the phone root "/", no URL handler or alert presenter, and a random
// source seeded from the system's entropy. Main thread only; the plug-in shares the host's state,
// as both use the one platform library.
class PlatformState {
public:
    PlatformState();
    ~PlatformState();
    PlatformState(const PlatformState&) = delete;
    PlatformState& operator=(const PlatformState&) = delete;

    static bool exists();
    static PlatformState& current();

    sys::RunLoop& runLoop() { return *m_runLoop; }
    sys::NotificationCenter& notificationCenter() { return *m_notificationCenter; }
    sys::DarwinNotifyCenter& darwinNotifyCenter() { return *m_darwinNotifyCenter; }
    sys::Application& application() { return *m_application; }
    sys::UserDefaults& userDefaults() { return *m_userDefaults; }

    // What only the platform's own sources see (weeapp/platform_objects.h).
    struct Objects;
    Objects& objects() { return *m_objects; }

private:
    PlatformState* m_previous { nullptr };
    // Declared in the order they are made; they end in reverse, the run loop last, as the
    // others withdraw from it.
    std::unique_ptr<sys::RunLoop> m_runLoop;
    std::unique_ptr<sys::Application> m_application;
    std::unique_ptr<sys::UserDefaults> m_userDefaults;
    std::unique_ptr<sys::NotificationCenter> m_notificationCenter;
    std::unique_ptr<sys::DarwinNotifyCenter> m_darwinNotifyCenter;
    std::unique_ptr<Objects> m_objects;
};

}
