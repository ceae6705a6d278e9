#include <weeapp/sys/darwin_notify_center.h>

#include <weeapp/platform_state.h>

#include <weeapp/sys/run_loop.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace sys {

namespace {

constexpr std::uint32_t kTransportEvents = IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVED_TO;

bool isPlainFileNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}

// Names travel as file names: letters, digits, '-', '_' and '.' as they are, every other byte
// (and a leading '.') as %XX.
std::optional<std::string> transportFileName(std::string_view notificationName)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string fileName;
    for (std::size_t i = 0; i < notificationName.size(); ++i) {
        char c = notificationName[i];
        if (isPlainFileNameCharacter(c) && !(i == 0 && c == '.')) {
            fileName += c;
        } else {
            auto byte = static_cast<unsigned char>(c);
            fileName += '%';
            fileName += kHex[byte >> 4];
            fileName += kHex[byte & 0xf];
        }
    }
    if (fileName.empty() || fileName.size() > NAME_MAX)
        return std::nullopt;
    return fileName;
}

std::optional<std::string> notificationNameOfTransportFile(std::string_view fileName)
{
    if (fileName.empty() || fileName.front() == '.')
        return std::nullopt;
    std::string name;
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        char c = fileName[i];
        if (c != '%') {
            if (!isPlainFileNameCharacter(c))
                return std::nullopt;
            name += c;
            continue;
        }
        if (i + 2 >= fileName.size())
            return std::nullopt;
        int high = hexValue(fileName[i + 1]);
        int low = hexValue(fileName[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return name;
}

DarwinNotifyCenter& DarwinNotifyCenter::shared()
{
    return weeapp::PlatformState::current().darwinNotifyCenter();
}

DarwinNotifyCenter::DarwinNotifyCenter(RunLoop& runLoop)
    : m_runLoop(runLoop)
{
    m_runLoop.addSource(*this);
}

DarwinNotifyCenter::~DarwinNotifyCenter()
{
    stopTransport();
    m_runLoop.removeSource(*this);
}

void DarwinNotifyCenter::addObserver(void* observer, CFNotificationCallback callback, std::string name, const void* object, CFNotificationSuspensionBehavior)
{
    if (!callback)
        return;
    bool known = std::any_of(m_observers.begin(), m_observers.end(), [&](const Observer& entry) {
        return entry.observer == observer && entry.callback == callback && entry.name == name && entry.object == object;
    });
    if (!known)
        m_observers.push_back(Observer { observer, callback, std::move(name), object });
}

void DarwinNotifyCenter::postNotification(std::string_view name)
{
    m_pending.emplace(name);
    if (!m_directory.empty())
        touchTransportFile(name);
}

void DarwinNotifyCenter::touchTransportFile(std::string_view name) const
{
    std::optional<std::string> fileName = transportFileName(name);
    if (!fileName)
        return;
    std::string path = (m_directory / *fileName).string();
    // Opening for writing and closing is the whole signal (the watcher sees the close).
    const weeapp::FileDescriptor touched(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666));
}

bool DarwinNotifyCenter::setTransportDirectory(const std::filesystem::path& folder)
{
    stopTransport();
    if (folder.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return false;
    m_directory = folder;

    weeapp::FileDescriptor watcher(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!watcher || ::inotify_add_watch(watcher.get(), folder.c_str(), kTransportEvents) < 0)
        return false;
    m_inotify = std::move(watcher);
    m_runLoop.watchFileDescriptor(m_inotify.get(), [this] { readTransportEvents(); });
    return true;
}

void DarwinNotifyCenter::stopTransport()
{
    if (m_inotify) {
        m_runLoop.unwatchFileDescriptor(m_inotify.get());
        m_inotify.reset();
    }
    m_directory.clear();
}

void DarwinNotifyCenter::readTransportEvents()
{
    if (!m_inotify)
        return;
    alignas(inotify_event) char buffer[8 * (sizeof(inotify_event) + NAME_MAX + 1)];
    while (true) {
        ssize_t got = ::read(m_inotify.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        for (ssize_t offset = 0; offset < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were lost: any name may have been posted.
                for (const Observer& entry : m_observers)
                    m_pending.insert(entry.name);
                continue;
            }
            if (event->len == 0 || (event->mask & IN_ISDIR))
                continue;
            if (auto name = notificationNameOfTransportFile(event->name))
                m_pending.insert(std::move(*name));
        }
    }
}

void DarwinNotifyCenter::performPending()
{
    readTransportEvents();
    if (m_pending.empty())
        return;
    std::set<std::string, std::less<>> names;
    names.swap(m_pending);
    const std::uint64_t generation = m_generation;
    for (const std::string& name : names) {
        // Callbacks may register or post; they reach the observers registered now.
        std::vector<Observer> receivers;
        for (const Observer& entry : m_observers) {
            if (entry.name == name)
                receivers.push_back(entry);
        }
        for (const Observer& entry : receivers) {
            if (generation != m_generation)
                return;
            entry.callback(this, entry.observer, name, nullptr, nullptr);
        }
    }
}

void DarwinNotifyCenter::removeAllObservers()
{
    m_observers.clear();
    ++m_generation;
}

void DarwinNotifyCenter::reset()
{
    removeAllObservers();
    m_pending.clear();
    stopTransport();
}

DarwinNotifyCenter* CFNotificationCenterGetDarwinNotifyCenter()
{
    return &DarwinNotifyCenter::shared();
}

void CFNotificationCenterAddObserver(DarwinNotifyCenter* center, void* observer, CFNotificationCallback callback, std::string_view name, const void* object, CFNotificationSuspensionBehavior behavior)
{
    if (center)
        center->addObserver(observer, callback, std::string(name), object, behavior);
}

void CFNotificationCenterPostNotification(DarwinNotifyCenter* center, std::string_view name, const void*, const Dictionary*, bool)
{
    if (center)
        center->postNotification(name);
}

}
