// The message exception of the model and its report operation.
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "support/ErrorReporter.h"

/// An exception that carries an optional message and can report itself.
class ErrorMsgException : public std::exception {
 public:
  ErrorMsgException() = default;
  explicit ErrorMsgException(std::string message) : message_(std::move(message)) {}

  /// Reports "<name>: <message>" (or "<name>." without one) with this target and severity.
  void report(NativeWindow target, int severity) const;
  /// The kind of exception, first in the text.
  virtual const char* name() const = 0;
  /// The full text, as reported.
  std::string text() const;
  const std::optional<std::string>& message() const { return message_; }
  const char* what() const noexcept override;

 private:
  std::optional<std::string> message_;
  mutable std::string what_;
};
