// A value or an error message: how fallible core routines report failure without exceptions.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace kestra {

template <class T>
class Result {
  public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
    static Result failure(std::string message) {
        Result r;
        r.error_ = std::move(message);
        return r;
    }
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
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

}  // namespace kestra
