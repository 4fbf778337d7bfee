// A value or an error message: how fallible core routines report failure without exceptions.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace kestra {

template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
    static Result failure(std::string message) {
        Result r;
        r.error_ = std::move(message);
        return r;
    }
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Checked, as std::optional::value: throws std::bad_optional_access on a failure.
    const T& value() const { return value_.value(); }
    T& value() { return value_.value(); }
    const T& operator*() const { return *value_; }
    T& operator*() { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    const std::string& error() const { return error_; }

  private:
    Result() = default;
    std::optional<T> value_;
    std::string error_;
};

// The outcome of an action that gives nothing back: done, or the error message.
class [[nodiscard]] Status {
  public:
    static Status done() { return Status(); }
    static Status failure(std::string message) {
        Status s;
        s.error_ = std::move(message);
        return s;
    }
    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Empty when done.
    const std::string& error() const {
        static const std::string none;
        return error_ ? *error_ : none;
    }

  private:
    Status() = default;
    std::optional<std::string> error_;
};

}  // namespace kestra
