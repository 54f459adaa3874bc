// SPDX-License-Identifier: GPL-3.0-or-later
// The one way every layer reports a failure: a value, or the reason there is none in words for people.
#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace vestra7 {

// Why something failed, as the user is to read it.
struct Error
{
    QString message;
};

// Either the value asked for or the error that stopped it. Callers test it (`if (!result)`) before
// they take the value; taking the value of a failure is a programming error. A caller that must say
// more than words about a failure (an exit code with them) gives its own error type.
template <typename T, typename E = Error> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(E error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    T &operator*() & { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }

    // Default-made for a value.
    const E &error() const { return m_error; }

private:
    std::optional<T> m_value;
    E m_error{};
};

// Success with nothing to hand back: `return {};`.
template <typename E> class [[nodiscard]] Result<void, E>
{
public:
    Result() = default;
    Result(E error)
        : m_error(std::move(error))
        , m_failed(true)
    {
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const E &error() const { return m_error; }

private:
    E m_error{};
    bool m_failed = false;
};

} // namespace vestra7
