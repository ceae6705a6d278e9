#include "session/phone_watcher.h"

#include "sys/phone_paths.h"
#include "sys/phone_root.h"
#include "sys/run_loop.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace kavrin::host {

PhoneWatcher::PhoneWatcher(std::function<void()> onChange)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    , m_onChange(std::move(onChange))
{
    if (m_fd < 0)
        return;
    std::vector<std::string> folders;
    for (const char* phonePath : { sys::kFavoritesPath, sys::kAddressBookPath, sys::kAddressBookImagesPath }) {
        std::filesystem::path file = sys::resolvePhonePath(phonePath);
        m_names.push_back(file.filename().string());
        std::string folder = file.parent_path().string();
        if (std::find(folders.begin(), folders.end(), folder) != folders.end())
            continue;
        folders.push_back(folder);
        constexpr std::uint32_t kChanges = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_MODIFY;
        if (int watch = inotify_add_watch(m_fd, folder.c_str(), kChanges); watch >= 0)
            m_watched.push_back(watch);
    }
    sys::RunLoop::main().watchFileDescriptor(m_fd, [this] { readEvents(); });
}

PhoneWatcher::~PhoneWatcher()
{
    if (m_fd < 0)
        return;
    sys::RunLoop::main().unwatchFileDescriptor(m_fd);
    close(m_fd);
}

void PhoneWatcher::readEvents()
{
    // The databases' journals ("-wal", "-shm") count as changes of their database.
    bool changed = false;
    alignas(inotify_event) char buffer[8192];
    while (true) {
        ssize_t got = read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            std::string name = event->len > 0 ? std::string(event->name) : std::string();
            for (const std::string& watched : m_names)
                changed = changed || name == watched || name.starts_with(watched + "-");
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (changed && m_onChange)
        m_onChange();
}

}
