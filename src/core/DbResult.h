#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace tarvo {

// The outcome of a database or file operation: success, or a failure with the text to show.
class DbOutcome
{
public:
    static DbOutcome success() { return DbOutcome(); }
    static DbOutcome failure(QString error) { return DbOutcome(std::move(error)); }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }

private:
    DbOutcome() = default;
    explicit DbOutcome(QString error) : m_error(std::move(error)), m_failed(true) {}

    QString m_error;
    bool m_failed = false;
};

// A value or a failure.
template <class T>
class DbResult
{
public:
    DbResult(T value) : m_value(std::move(value)) {}
    DbResult(DbOutcome failure) : m_error(failure.error()) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }
    T& value() { return *m_value; }
    const T& value() const { return *m_value; }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    DbOutcome outcome() const { return ok() ? DbOutcome::success() : DbOutcome::failure(m_error); }

private:
    std::optional<T> m_value;
    QString m_error;
};

} // namespace tarvo
