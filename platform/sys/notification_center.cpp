#include <weeapp/sys/notification_center.h>

#include <weeapp/platform_state.h>

#include <algorithm>

namespace sys {

NotificationCenter& NotificationCenter::defaultCenter()
{
    return weeapp::PlatformState::current().notificationCenter();
}

void NotificationCenter::addObserverEntry(std::weak_ptr<const void> lifetime, std::function<void()> callback, std::string name)
{
    m_observers.push_back(Entry { std::move(lifetime), std::move(callback), std::move(name) });
}

void NotificationCenter::postNotificationName(std::string_view name)
{
    // Observers may register, post or be destroyed while this runs: deliver to the observers
    // registered at the time of the post, each checked just before its turn.
    std::vector<Entry> receivers;
    for (const Entry& entry : m_observers) {
        if (entry.name == name)
            receivers.push_back(entry);
    }
    for (const Entry& entry : receivers) {
        if (auto alive = entry.lifetime.lock())
            entry.callback();
    }
    std::erase_if(m_observers, [](const Entry& entry) { return entry.lifetime.expired(); });
}

std::size_t NotificationCenter::observerCount(std::string_view name) const
{
    return static_cast<std::size_t>(std::count_if(m_observers.begin(), m_observers.end(), [name](const Entry& entry) {
        return entry.name == name && !entry.lifetime.expired();
    }));
}

}
