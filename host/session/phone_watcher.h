#pragma once

#include <weeapp/c_handles.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kavrin::host {

// Watches the favorites list and the address-book databases of the phone root, and any other
// files given (the plug-in's executable, say), through their folders, so that files written
// atomically, or created later, are seen, and calls onChange from the main run loop when any of
// them is written, replaced or removed; the other files count only once written whole (closed
// after writing, or moved into place), so that a linker's output is not taken half-written.
// Changes that arrive together are reported once.
class PhoneWatcher {
public:
    explicit PhoneWatcher(std::function<void()> onChange, const std::vector<std::filesystem::path>& alsoWatched = {});
    ~PhoneWatcher();
    PhoneWatcher(const PhoneWatcher&) = delete;
    PhoneWatcher& operator=(const PhoneWatcher&) = delete;

    // False when inotify could not watch (the host then reloads only on r).
    bool watching() const { return m_fd && !m_watched.empty(); }

private:
    void readEvents();

    weeapp::FileDescriptor m_fd;
    std::vector<int> m_watched;
    struct Watched {
        int watch;
        std::string name;      // of a file in the watch's folder
        std::uint32_t changes; // the events that count for it
    };
    std::vector<Watched> m_names;
    std::function<void()> m_onChange;
};

}
