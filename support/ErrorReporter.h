// The one report operation of the editor: log file, console or message box.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <ctime>
#include <string>

/// Opaque handle of a native window; the shell decides what it points at.
using NativeWindow = void*;

/// A report target that means "show through a handler only, never a box".
inline NativeWindow const kHandlerOnlyTarget = reinterpret_cast<NativeWindow>(-1);

/// Receives reports for display (the main window's console).
class ErrorHandler {
 public:
  virtual ~ErrorHandler() = default;
  /// Shows a report; 0 means shown, anything else asks for a message box.
  virtual int showReport(int severity, const char* text) = 0;
};

/// Icons of the message box, one per severity.
enum class ReportIcon { Exclamation, Stop, Information, Question };

/// What the reporter needs of the platform. The default writes to stderr.
class ReportPlatform {
 public:
  virtual ~ReportPlatform() = default;
  /// The handler that should show reports now, or null.
  virtual ErrorHandler* findHandler() { return nullptr; }
  /// Shows a box with OK; nothing is answered.
  virtual void messageBox(NativeWindow owner, const std::string& text, const std::string& caption,
                          ReportIcon icon);
  /// Asks the fatal question; true means Yes (end the program).
  virtual bool askYesNo(NativeWindow owner, const std::string& text, const std::string& caption);
  /// Sounds the system beep that goes with the icon.
  virtual void beep(ReportIcon icon) {}
  /// Hands a text to an attached debugger and asks it to stop.
  virtual void debugBreak(const std::string& text) {}
  /// Ends the process after a fatal report answered Yes.
  [[noreturn]] virtual void exitProcess(int code);
  /// True when a message box holds the user up until answered (a window system's
  /// box); the default's boxes are lines on standard error and hold nobody up.
  virtual bool boxesAreModal() const { return false; }
  /// Tells that reports cannot be logged (no log folder, a failed write); the default
  /// writes to standard error. Each distinct trouble is told once.
  virtual void logTrouble(const std::string& text);
};

/// Installs the platform hook (null restores the standard-error default).
/// The hook is not owned.
void setReportPlatform(ReportPlatform* platform);
ReportPlatform& reportPlatform();

/// Formats a report, appends it to the log and shows it.
/// severity: 'E', 'W', 'F', 'I', 'T', 't', 'Z'/'z' or any other letter.
void reportError(NativeWindow target, int severity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void reportErrorV(NativeWindow target, int severity, const char* format, va_list args);

/// The current nesting of trace reports.
int traceDepth();
void setTraceDepth(int depth);

/// The editor's own state folder: $XDG_STATE_HOME/brenlo, else ~/.local/state/brenlo;
/// empty without either variable. It is not made here.
std::string stateFolder();

/// Where reports are logged: $BRENLO_LOG, else <base>.log under the state folder
/// ($XDG_STATE_HOME/brenlo, ~/.local/state/brenlo), else in a private folder of the
/// user's under the temporary folder; empty when there is nowhere to log.
std::string logFilePath();

/// A log larger than this is moved aside to "<log>.1" (replacing the older copy)
/// before the next line is written.
inline constexpr long long kLogRotationSize = 10LL * 1024 * 1024;

/// Keeps the reports of one task, such as reading one file, within bounds: the first
/// `limit` reports are made as usual, with at most one message box among them; the
/// rest are only counted, and the end of the task reports one line
/// "... and N more problems in '<subject>'". A batch begun inside another adds nothing.
class ReportBatch {
 public:
  explicit ReportBatch(std::string subject, std::size_t limit = 100);
  ~ReportBatch();
  ReportBatch(const ReportBatch&) = delete;
  ReportBatch& operator=(const ReportBatch&) = delete;

  /// The reports that were counted but not made so far.
  std::size_t suppressed() const { return suppressed_; }

 private:
  friend void reportErrorV(NativeWindow, int, const char*, va_list);
  bool active_ = false;
  std::string subject_;
  std::size_t limit_;
  std::size_t made_ = 0;
  std::size_t suppressed_ = 0;
  int worstSuppressed_ = 0;  // 'E', 'W' or 'I' for the closing line
  bool boxShown_ = false;
  bool closing_ = false;
};

/// Base name of the running executable without folder and extension ("error" if unknown).
std::string executableBaseName();

/// The calendar-time text "Sun Dec  6 07:46:30 2026" in English, whatever the locale.
std::string calendarTimeText(std::time_t when);
/// English three-letter names of a day (0 Sunday) and a month (0 January).
const char* englishDayName(int weekday);
const char* englishMonthName(int month);
