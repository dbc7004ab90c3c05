// A value or a user-facing error message: what the edges of the system
// (opening an edition, loading a map, sending mail) hand back to their callers.
#pragma once

#include <QString>

#include <optional>
#include <utility>

template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(QString message) { return Result(std::move(message)); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const QString& error() const { return error_; }

private:
    explicit Result(QString message) : error_(std::move(message)) {}
    std::optional<T> value_;
    QString error_;
};

// For operations that give back nothing but success or a message.
struct Done {};
using Status = Result<Done>;
inline Status success() { return Done{}; }
