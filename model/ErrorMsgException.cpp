// Text and report of the model's message exception.
#include "model/ErrorMsgException.h"

std::string ErrorMsgException::text() const {
  std::string out = name();
  out += message_ ? ": " : ".";
  if (message_) out += *message_;
  return out;
}

void ErrorMsgException::report(NativeWindow target, int severity) const {
  reportError(target, severity, "%s", text().c_str());
}

const char* ErrorMsgException::what() const noexcept {
  what_ = text();
  return what_.c_str();
}
