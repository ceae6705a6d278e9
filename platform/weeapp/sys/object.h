#pragma once

#include <memory>
#include <string_view>

namespace weeapp::sys {

// The frameworks' 8-bit boolean, kept where the widget's fields are declared with it.
using BOOL = signed char;
constexpr BOOL YES = 1;
constexpr BOOL NO = 0;

// Root of every object that can receive a callback (a delayed call, a notification, a control
// action, a delegate call, an animation's did-stop). Whoever stores such a callback keeps the
// receiver's lifetime() and drops the callback once it has expired, so nothing ever reaches a
// destroyed object.
class Object {
public:
    Object() = default;
    Object(const Object&)
        : Object() { }
    Object& operator=(const Object&) { return *this; }
    virtual ~Object() = default;

    std::weak_ptr<const void> lifetime() const { return m_lifetime; }

    // The selectors this object answers, for callers that test before they send.
    virtual bool respondsToSelector(std::string_view) const { return false; }

private:
    std::shared_ptr<const char> m_lifetime { std::make_shared<const char>('\0') };
};

}
