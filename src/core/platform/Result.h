#pragma once

#include <string>
#include <utility>
#include <variant>

namespace shiori {

// A value or the reason there is none. The message names the file and the problem, so that a caller can show it
// to the reader as it stands.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : content_(std::move(value)) {}  // NOLINT(google-explicit-constructor): returns read naturally
  static Result Failure(std::string message) { return Result(Error{std::move(message)}); }

  [[nodiscard]] bool ok() const { return std::holds_alternative<T>(content_); }
  explicit operator bool() const { return ok(); }
  [[nodiscard]] const T& value() const { return std::get<T>(content_); }
  [[nodiscard]] T& value() { return std::get<T>(content_); }
  [[nodiscard]] const std::string& error() const { return std::get<Error>(content_).message; }

 private:
  struct Error {
    std::string message;
  };
  explicit Result(Error error) : content_(std::move(error)) {}
  std::variant<T, Error> content_;
};

// The result of an operation that yields nothing but success or a reason for failure.
struct Done {};
using Status = Result<Done>;

}  // namespace shiori
