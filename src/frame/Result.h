#pragma once

#include <QString>
#include <optional>
#include <utility>

// Why a call gave no value: the text shown to the user or written to standard error.
struct Failure {
    QString why;
};

// A value, or the reason there is none. The one shape in which opening a song and reading or
// writing a playlist report failure, so that no caller can take a failed call's value unseen.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {} // NOLINT(google-explicit-constructor)
    Result(Failure failure) : m_error(std::move(failure.why)) {} // NOLINT

    explicit operator bool() const { return m_value.has_value(); }
    T& operator*() { return *m_value; }
    T* operator->() { return &*m_value; }
    [[nodiscard]] T valueOr(T fallback) const { return m_value.value_or(std::move(fallback)); }
    // Empty when there is a value.
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

// Success, or why not.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_error(std::move(failure.why)), m_failed(true) {} // NOLINT

    explicit operator bool() const { return !m_failed; }
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};
