#pragma once

#include <QString>

#include <optional>
#include <utility>

// A value, or the reason why there is none, worded for the person running the service.
template <typename T> class Result
{
public:
    static Result success(T value) { return Result(std::move(value), {}); }
    static Result failure(QString reason) { return Result(std::nullopt, std::move(reason)); }

    explicit operator bool() const { return m_value.has_value(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    const QString& error() const { return m_error; }

private:
    Result(std::optional<T> value, QString error)
        : m_value(std::move(value))
        , m_error(std::move(error))
    {
    }

    std::optional<T> m_value;
    QString m_error;
};
