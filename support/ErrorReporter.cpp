// Formats reports, appends them to the log and shows them through a handler or a box.
#include "support/ErrorReporter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr std::size_t kReportRoom = 4000;  // including the prefix and the terminating zero
constexpr std::size_t kFatalRoom = 320;

int gTraceDepth = 0;
ReportPlatform gDefaultPlatform;
ReportPlatform* gPlatform = nullptr;

ReportIcon iconFor(int severity) {
  switch (severity) {
    case 'E':
    case 'W':
      return ReportIcon::Exclamation;
    case 'F':
      return ReportIcon::Stop;
    case 'I':
      return ReportIcon::Information;
    default:
      return ReportIcon::Question;
  }
}

// Cuts a text to at most `room` bytes without splitting a UTF-8 character.
void cutToRoom(std::string& text, std::size_t room) {
  if (text.size() <= room) return;
  std::size_t end = room;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

std::string formatMessage(const char* format, va_list args) {
  std::string out(kReportRoom, '\0');
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(out.data(), out.size(), format ? format : "", copy);
  va_end(copy);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) >= out.size()) {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
  }
  out.resize(static_cast<std::size_t>(n));
  return out;
}

void appendToLog(int severity, const std::string& text) {
  std::string path = logFilePath();
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return;  // an unwritable log loses only the log line
  std::string when = calendarTimeText(std::time(nullptr));
  if (severity == 't' || severity == 'T') {
    if (severity == 't' && gTraceDepth > 0) --gTraceDepth;
    std::fprintf(f, "[%s] %3.3s%*s%s\n", when.c_str(), text.c_str(), gTraceDepth, "",
                 text.size() > 3 ? text.c_str() + 3 : "");
    if (severity == 'T') ++gTraceDepth;
  } else {
    std::fprintf(f, "[%s] %s\n", when.c_str(), text.c_str());
  }
  std::fclose(f);
}

}  // namespace

void ReportPlatform::messageBox(NativeWindow, const std::string& text, const std::string& caption,
                                ReportIcon) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

bool ReportPlatform::askYesNo(NativeWindow owner, const std::string& text,
                              const std::string& caption) {
  // Without a window nobody can answer: print the question and carry on as if No.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return false;
}

void ReportPlatform::exitProcess(int code) { std::exit(code); }

void setReportPlatform(ReportPlatform* platform) { gPlatform = platform; }

ReportPlatform& reportPlatform() { return gPlatform ? *gPlatform : gDefaultPlatform; }

int traceDepth() { return gTraceDepth; }
void setTraceDepth(int depth) { gTraceDepth = depth; }

std::string executableBaseName() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return "error";
  std::string stem = exe.stem().string();
  return stem.empty() ? "error" : stem;
}

std::string logFilePath() {
  if (const char* env = std::getenv("BRENLO_LOG"); env && *env) return env;
  std::filesystem::path dir;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) {
    dir = state;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    dir = std::filesystem::path(home) / ".local" / "state";
  } else {
    dir = std::filesystem::temp_directory_path();
  }
  dir /= "brenlo";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return (dir / (executableBaseName() + ".log")).string();
}

const char* englishDayName(int weekday) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  return kDays[((weekday % 7) + 7) % 7];
}

const char* englishMonthName(int month) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return kMonths[((month % 12) + 12) % 12];
}

std::string calendarTimeText(std::time_t when) {
  std::tm tm{};
  localtime_r(&when, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", englishDayName(tm.tm_wday),
                englishMonthName(tm.tm_mon), tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                1900 + tm.tm_year);
  return buf;
}

void reportErrorV(NativeWindow target, int severity, const char* format, va_list args) {
  std::string text;
  text.reserve(64);
  text += static_cast<char>(severity);
  text += ": ";
  text += formatMessage(format, args);
  cutToRoom(text, kReportRoom - 1);

  std::string name = executableBaseName();
  if (severity != 'Z' && severity != 'z') appendToLog(severity, text);

  ReportPlatform& platform = reportPlatform();
  ErrorHandler* handler = platform.findHandler();
  ReportIcon icon = iconFor(severity);
  int upper = (severity >= 'a' && severity <= 'z') ? severity - 'a' + 'A' : severity;

  if (target == kHandlerOnlyTarget) {
    if (handler) handler->showReport(upper, text.c_str());
    return;
  }
  if (severity == 'F') {
    // The question must survive a long report, so the report gives way.
    static const std::string kQuestion = "\n\nAbort Program?";
    std::string prompt = text;
    cutToRoom(prompt, kFatalRoom - 1 - kQuestion.size());
    prompt += kQuestion;
    if (platform.askYesNo(target, prompt, name)) platform.exitProcess(1);
    platform.debugBreak(prompt);
    platform.beep(icon);
    return;
  }
  if (!handler) {
    platform.messageBox(target, text, name, icon);
  } else {
    const char* shown = upper == 'Z' ? text.c_str() + 3 : text.c_str();
    if (handler->showReport(severity, shown) != 0) platform.messageBox(target, text, name, icon);
  }
  if (icon != ReportIcon::Question) platform.beep(icon);
}

void reportError(NativeWindow target, int severity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  reportErrorV(target, severity, format, args);
  va_end(args);
}
