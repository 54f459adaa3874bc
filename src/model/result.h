// SPDX-License-Identifier: GPL-3.0-or-later
// The one way every layer reports a failure: a value, or the reason there is none in words for people.
#pragma once

#include <QString>

#include <optional>
#include <utility>

// Why something failed, as the user is to read it.
struct Error
{
    QString message;
};

// Either the value asked for or the Error that stopped it. Callers test it (`if (!result)`) before
// they take the value; taking the value of a failure is a programming error.
template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_error(std::move(error.message)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    T &operator*() & { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }

    // Empty for a value.
    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

// Success with nothing to hand back: `return {};`.
template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error.message)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};
