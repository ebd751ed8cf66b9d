// What every fuzz target shares: silent reports, the registries filled, and input as a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "support/ErrorReporter.h"

/// Reports go nowhere: no boxes, no questions answered Yes, no log file growing.
class SilentReports : public ReportPlatform, public ErrorHandler {
 public:
  ErrorHandler* findHandler() override { return this; }
  int showReport(int, const char*) override { return 0; }
  void messageBox(NativeWindow, const std::string&, const std::string&, ReportIcon) override {}
  bool askYesNo(NativeWindow, const std::string&, const std::string&) override { return false; }
};

/// Installs the silent reports, points the log at the null device and registers
/// every prototype a map or a command text may name. Called once per process.
void setUpFuzzing();

/// The fuzzer's bytes as an input stream.
inline std::istringstream inputOf(const std::uint8_t* data, std::size_t size) {
  return std::istringstream(std::string(reinterpret_cast<const char*>(data), size));
}
