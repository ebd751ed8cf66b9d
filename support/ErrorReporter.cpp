// Formats reports, appends them to the log and shows them through a handler or a box.
#include "support/ErrorReporter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReportRoom = 4000;  // including the prefix and the terminating zero
constexpr std::size_t kFatalRoom = 320;

int gTraceDepth = 0;
ReportPlatform gDefaultPlatform;
ReportPlatform* gPlatform = nullptr;
ReportBatch* gBatch = nullptr;
std::string gLastLogTrouble;

// Tells a trouble with the log once: the same trouble again stays quiet.
void tellLogTrouble(const std::string& text) {
  if (text == gLastLogTrouble) return;
  gLastLogTrouble = text;
  reportPlatform().logTrouble(text);
}

std::string logTroubleText(const std::string& path, int error) {
  return "cannot write the log '" + path + "': " + std::strerror(error) + "; reports are not logged";
}

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

// Control characters copied from files into a report (line ends, escapes) must not
// make lines of their own or drive a terminal that shows the log.
std::string escapedForLog(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Opens the log for appending; the folders we chose ourselves are never followed
// through a symbolic link, a log the user named is.
int openLog(const std::string& path, bool chosenByUs) {
  int flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | (chosenByUs ? O_NOFOLLOW : 0);
  return ::open(path.c_str(), flags, 0600);
}

// Writes the whole line or nothing: a short write is taken back, so that a full disk
// never leaves half a line behind.
bool writeWhole(int fd, const std::string& line) {
  struct stat before {};
  const bool regular = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
  std::size_t done = 0;
  while (done < line.size()) {
    ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int error = n < 0 ? errno : ENOSPC;
      if (done > 0 && regular) {
        struct stat now {};
        if (::fstat(fd, &now) == 0) (void)::ftruncate(fd, now.st_size - static_cast<off_t>(done));
      }
      errno = error;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void appendToLog(int severity, const std::string& text) {
  std::string path = logFilePath();
  if (path.empty()) return;  // nowhere to log: told once by logFilePath
  const char* env = std::getenv("BRENLO_LOG");
  const bool chosenByUs = !(env && *env);
  int fd = openLog(path, chosenByUs);
  if (fd < 0) {
    tellLogTrouble(logTroubleText(path, errno));  // an unwritable log loses only the log line
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= kLogRotationSize) {
    // One older copy is kept; the log starts afresh.
    ::close(fd);
    std::string old = path + ".1";
    if (std::rename(path.c_str(), old.c_str()) != 0) {
      tellLogTrouble(logTroubleText(path, errno));
      return;
    }
    fd = openLog(path, chosenByUs);
    if (fd < 0) {
      tellLogTrouble(logTroubleText(path, errno));
      return;
    }
  }
  std::string when = calendarTimeText(std::time(nullptr));
  std::string shown = escapedForLog(text);
  char head[96];
  std::string line;
  if (severity == 't' || severity == 'T') {
    if (severity == 't' && gTraceDepth > 0) --gTraceDepth;
    std::snprintf(head, sizeof head, "[%s] %3.3s", when.c_str(), shown.c_str());
    line = head;
    line.append(static_cast<std::size_t>(std::max(gTraceDepth, 0)), ' ');
    if (shown.size() > 3) line.append(shown, 3);
    if (severity == 'T') ++gTraceDepth;
  } else {
    std::snprintf(head, sizeof head, "[%s] ", when.c_str());
    line = head + shown;
  }
  line += '\n';
  if (!writeWhole(fd, line)) tellLogTrouble(logTroubleText(path, errno));
  ::close(fd);
}

// Makes the private folder of the user's under the temporary folder, or refuses one
// that somebody else could have planted or can write into.
bool privateFolder(const std::filesystem::path& dir) {
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
    errno = EPERM;
    return false;
  }
  return true;
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

void ReportPlatform::logTrouble(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", executableBaseName().c_str(), text.c_str());
}

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

std::string stateFolder() {
  namespace fs = std::filesystem;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) return (fs::path(state) / "brenlo").string();
  if (const char* home = std::getenv("HOME"); home && *home)
    return (fs::path(home) / ".local" / "state" / "brenlo").string();
  return {};
}

std::string logFilePath() {
  if (const char* env = std::getenv("BRENLO_LOG"); env && *env) return env;
  namespace fs = std::filesystem;
  const std::string file = executableBaseName() + ".log";
  fs::path dir = stateFolder();
  if (!dir.empty()) {
    std::error_code ec;
    fs::create_directories(dir.parent_path(), ec);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
      tellLogTrouble(logTroubleText((dir / file).string(), errno));
      return {};
    }
    return (dir / file).string();
  }
  // Without a home the log goes to a folder only this user can enter, never one
  // shared with others, where somebody could have put a link in its place.
  const char* tmp = std::getenv("TMPDIR");
  fs::path base = (tmp && *tmp) ? fs::path(tmp) : fs::path("/tmp");
  dir = base / ("brenlo-" + std::to_string(::geteuid()));
  if (!privateFolder(dir)) {
    tellLogTrouble(logTroubleText((dir / file).string(), errno));
    return {};
  }
  return (dir / file).string();
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

ReportBatch::ReportBatch(std::string subject, std::size_t limit) : subject_(std::move(subject)), limit_(limit) {
  if (gBatch) return;
  gBatch = this;
  active_ = true;
}

ReportBatch::~ReportBatch() {
  if (!active_) return;
  if (suppressed_ > 0) {
    closing_ = true;  // the closing line is not counted, but still shares the one box
    reportError(nullptr, worstSuppressed_, "... and %zu more problems in '%s'", suppressed_, subject_.c_str());
  }
  gBatch = nullptr;
}

namespace {

// The severity a batch's closing line takes from what it held back.
int closingSeverity(int worst, int severity) {
  auto rank = [](int s) { return s == 'E' ? 3 : s == 'W' ? 2 : s == 'I' ? 1 : 0; };
  int kind = (severity == 'F' || severity == 'E') ? 'E' : severity == 'W' ? 'W' : 'I';
  return rank(kind) > rank(worst) ? kind : worst;
}

}  // namespace

void reportErrorV(NativeWindow target, int severity, const char* format, va_list args) {
  ReportBatch* batch = gBatch;
  if (batch && !batch->closing_ && severity != 'T' && severity != 't') {
    if (batch->made_ >= batch->limit_) {
      ++batch->suppressed_;
      batch->worstSuppressed_ = closingSeverity(batch->worstSuppressed_, severity);
      return;
    }
    ++batch->made_;
  }
  // One task shows at most one box; what would open another is logged and shown in
  // the console only.
  auto mayOpenBox = [batch] {
    if (!batch || !reportPlatform().boxesAreModal()) return true;
    if (batch->boxShown_) return false;
    batch->boxShown_ = true;
    return true;
  };

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
    if (!mayOpenBox()) {
      if (handler) handler->showReport(severity, text.c_str());
      return;
    }
    if (platform.askYesNo(target, prompt, name)) platform.exitProcess(1);
    platform.debugBreak(prompt);
    platform.beep(icon);
    return;
  }
  if (!handler) {
    if (mayOpenBox()) platform.messageBox(target, text, name, icon);
  } else {
    const char* shown = upper == 'Z' ? text.c_str() + 3 : text.c_str();
    if (handler->showReport(severity, shown) != 0 && mayOpenBox()) platform.messageBox(target, text, name, icon);
  }
  if (icon != ReportIcon::Question) platform.beep(icon);
}

void reportError(NativeWindow target, int severity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  reportErrorV(target, severity, format, args);
  va_end(args);
}
