#include "session/phone_watcher.h"

#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/run_loop.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace kavrin::host {

PhoneWatcher::PhoneWatcher(std::function<void()> onChange, const std::vector<std::filesystem::path>& alsoWatched)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    , m_onChange(std::move(onChange))
{
    if (!m_fd)
        return;
    // The phone's files change in every way; a program's file (a linker writes it in place, in
    // pieces) counts only once it is whole: closed after writing, or moved into place.
    constexpr std::uint32_t kAnyChange = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_MODIFY;
    constexpr std::uint32_t kWhole = IN_CLOSE_WRITE | IN_MOVED_TO;
    std::vector<std::pair<std::filesystem::path, std::uint32_t>> files;
    for (const std::filesystem::path& file : alsoWatched)
        files.emplace_back(file, kWhole);
    for (const char* phonePath : { sys::kFavoritesPath, sys::kAddressBookPath, sys::kAddressBookImagesPath })
        files.emplace_back(sys::resolvePhonePath(phonePath), kAnyChange);
    for (const auto& [file, changes] : files) {
        if (file.empty())
            continue;
        // Adding a folder's watch again gives the same descriptor.
        int watch = inotify_add_watch(m_fd.get(), file.parent_path().c_str(), kAnyChange);
        if (watch < 0)
            continue;
        m_names.push_back({ watch, file.filename().string(), changes });
        if (std::find(m_watched.begin(), m_watched.end(), watch) == m_watched.end())
            m_watched.push_back(watch);
    }
    sys::RunLoop::main().watchFileDescriptor(m_fd.get(), [this] { readEvents(); });
}

PhoneWatcher::~PhoneWatcher()
{
    if (m_fd)
        sys::RunLoop::main().unwatchFileDescriptor(m_fd.get());
}

void PhoneWatcher::readEvents()
{
    // The databases' journals ("-wal", "-shm") count as changes of their database.
    bool changed = false;
    alignas(inotify_event) char buffer[8192];
    while (true) {
        ssize_t got = read(m_fd.get(), buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            std::string name = event->len > 0 ? std::string(event->name) : std::string();
            for (const auto& [watch, watched, changes] : m_names)
                changed = changed || (event->wd == watch && (event->mask & changes) != 0 && (name == watched || name.starts_with(watched + "-")));
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (changed && m_onChange)
        m_onChange();
}

}
