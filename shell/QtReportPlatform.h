// The error reporter's hook into Qt: message boxes, the fatal question, the beep.
#pragma once

#include <functional>

#include "support/ErrorReporter.h"

/// Shows reports with Qt: the handler is the main window when it exists.
/// A NativeWindow target is a QWidget* (or null).
class QtReportPlatform : public ReportPlatform {
 public:
  /// `handler` answers the current ErrorHandler (the main window) or null.
  explicit QtReportPlatform(std::function<ErrorHandler*()> handler = {});
  ErrorHandler* findHandler() override;
  void messageBox(NativeWindow owner, const std::string& text, const std::string& caption,
                  ReportIcon icon) override;
  bool askYesNo(NativeWindow owner, const std::string& text, const std::string& caption) override;
  void beep(ReportIcon icon) override;
  void debugBreak(const std::string& text) override;

 private:
  std::function<ErrorHandler*()> handler_;
};
