#pragma once

#include <weeapp/sys/object.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace weeapp::sys {

// The process's local notification centre. Delivery is synchronous: every live observer
// registered for the name runs before postNotificationName returns, in the order of
// registration. Observers that are destroyed are skipped and forgotten.
class NotificationCenter {
public:
    static NotificationCenter& defaultCenter();

    // addObserver:selector:name:object: with object nil (any sender).
    template<typename Observer>
    void addObserver(Observer* observer, void (Observer::*selector)(), std::string name)
    {
        addObserverEntry(
            observer->lifetime(), [observer, selector] { (observer->*selector)(); }, std::move(name));
    }

    // postNotificationName:object: with object nil.
    void postNotificationName(std::string_view name);

    void removeAllObservers() { m_observers.clear(); }
    std::size_t observerCount(std::string_view name) const; // live observers only

private:
    struct Entry {
        std::weak_ptr<const void> lifetime;
        std::function<void()> callback;
        std::string name;
    };
    void addObserverEntry(std::weak_ptr<const void> lifetime, std::function<void()> callback, std::string name);

    std::vector<Entry> m_observers;
};

}
