#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

namespace tarvo {

// A failure of a database or file operation, with the text to show. Only a failure becomes a failed
// DbResult: an outcome that may have succeeded does not convert to one, so that a success can never
// turn into a result that holds neither a value nor a reason.
class DbFailure
{
public:
    explicit DbFailure(QString error) : m_error(std::move(error)) {}
    const QString& error() const { return m_error; }

private:
    QString m_error;
};

inline const QString MisusedFailureText =
    QStringLiteral("The operation reported success where a failure was expected.");

// The outcome of a database or file operation: success, or a failure with the text to show.
class DbOutcome
{
public:
    DbOutcome(DbFailure failure) : m_error(failure.error()), m_failed(true) {}
    static DbOutcome success() { return DbOutcome(); }
    static DbFailure failure(QString error) { return DbFailure(std::move(error)); }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }

    // The failure, to pass on as a result of another type. Asked of a success (a fault of the caller),
    // it still gives a failure with a reason rather than an empty one.
    DbFailure failure() const
    {
        Q_ASSERT(m_failed);
        return DbFailure(m_failed ? m_error : MisusedFailureText);
    }

private:
    DbOutcome() = default;

    QString m_error;
    bool m_failed = false;
};

// A failure's text (or any text) as a sentence of its own: with a full stop at its end, never two.
inline QString withFullStop(const QString& text)
{
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

// A value or a failure.
template <class T>
class DbResult
{
public:
    DbResult(T value) : m_value(std::move(value)) {}
    DbResult(DbFailure failure) : m_error(failure.error()) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }
    T& value() { return *m_value; }
    const T& value() const { return *m_value; }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    DbOutcome outcome() const { return ok() ? DbOutcome::success() : DbOutcome(DbFailure(m_error)); }

    // The failure, to pass on as a result of another type (see DbOutcome::failure()).
    DbFailure failure() const
    {
        Q_ASSERT(!ok());
        return DbFailure(ok() ? MisusedFailureText : m_error);
    }

private:
    std::optional<T> m_value;
    QString m_error;
};

} // namespace tarvo
