#pragma once

#include <cassert>
#include <concepts>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace kavrin {

// Why something the host or a tool tried did not happen, as a message for the user.
struct Error {
    std::string message;
};

// What makes a Result<T>'s value (anything but an Error).
template<typename U, typename T>
concept ResultValue = std::constructible_from<T, U&&> && !std::same_as<std::remove_cvref_t<U>, Error>;

// A value, or the error that stopped it: the one way the host and the tools hand back a
// failure. Result<void> carries only the error.
template<typename T>
class [[nodiscard]] Result {
public:
    template<ResultValue<T> U = T>
    Result(U&& value)
        : m_state(std::in_place_type<T>, std::forward<U>(value))
    {
    }
    Result(Error error)
        : m_state(std::move(error))
    {
    }

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    T& value()
    {
        assert(ok());
        return std::get<T>(m_state);
    }
    const T& value() const
    {
        assert(ok());
        return std::get<T>(m_state);
    }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const std::string& error() const
    {
        assert(!ok());
        return std::get<Error>(m_state).message;
    }

private:
    std::variant<T, Error> m_state;
};

template<>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
        , m_ok(false)
    {
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const
    {
        assert(!ok());
        return m_error.message;
    }

private:
    Error m_error;
    bool m_ok { true };
};

}
