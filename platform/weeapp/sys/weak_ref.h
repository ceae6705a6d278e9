#pragma once

#include <memory>

namespace weeapp::sys {

// A pointer to an Object that does not own it and reads as null once the object is destroyed,
// told by the object's lifetime(). Delegates, control targets and animation delegates are held
// this way, so a call never reaches an object that is gone.
template<typename T>
class WeakRef {
public:
    WeakRef() = default;
    WeakRef(T* object)
        : m_object(object)
    {
        if (object)
            m_lifetime = object->lifetime();
    }

    // The object, or nullptr once it has been destroyed (or when none was given).
    T* get() const { return m_lifetime.expired() ? nullptr : m_object; }
    explicit operator bool() const { return get() != nullptr; }
    // The object's lifetime token, empty when none was given; a caller that defers a call
    // hands it on so the deferred call is dropped with the object.
    const std::weak_ptr<const void>& lifetime() const { return m_lifetime; }

private:
    T* m_object { nullptr };
    std::weak_ptr<const void> m_lifetime;
};

}
