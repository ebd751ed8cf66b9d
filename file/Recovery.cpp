// Recovery copies: this editor's session under its lock, the index of its copies, and the
// orphans of editors that ended without closing their maps.
#include "file/Recovery.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/MapFile.h"
#include "file/SafeSave.h"
#include "support/ErrorReporter.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIndexSuffix = ".index";
constexpr std::string_view kLockSuffix = ".lock";

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

std::string utcText(std::time_t when) {
  std::tm tm{};
  gmtime_r(&when, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

std::optional<std::time_t> parseUtc(const std::string& text) {
  std::tm tm{};
  char zone = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                  &tm.tm_min, &tm.tm_sec, &zone) != 7 ||
      zone != 'Z')
    return std::nullopt;
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  return timegm(&tm);
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Opens (making it) and locks a session's lock file without waiting: -1 when another
// process holds it or it cannot be made.
int takeLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::vector<RecoveryCopy> parseRecoveryIndex(const std::string& text, const std::string& folder) {
  std::vector<RecoveryCopy> copies;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t a = line.find('\t');
    const std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
    if (b == std::string::npos) continue;
    const std::string file = line.substr(0, a);
    // A copy is a plain name in the folder, never a path that leads out of it.
    if (file.empty() || file.find('/') != std::string::npos || file == "." || file == "..") continue;
    const std::optional<std::time_t> when = parseUtc(line.substr(a + 1, b - a - 1));
    if (!when) continue;
    std::string original = unescaped(std::string_view(line).substr(b + 1));
    if (original == kUnsavedMapName) original.clear();
    copies.push_back({(fs::path(folder) / file).string(), std::move(original), *when});
  }
  return copies;
}

std::string recoveryIndexText(const std::vector<RecoveryCopy>& copies) {
  std::string text;
  for (const RecoveryCopy& c : copies) {
    text += fs::path(c.copyFile).filename().string() + '\t' + utcText(c.when) + '\t' +
            (c.original.empty() ? std::string(kUnsavedMapName) : escaped(c.original)) + '\n';
  }
  return text;
}

std::string RecoveryStore::defaultFolder() {
  const std::string state = stateFolder();
  return state.empty() ? std::string() : (fs::path(state) / "recovery").string();
}

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty()) return;
  std::error_code error;
  fs::create_directories(fs::path(folder_).parent_path(), error);
  if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
    reportError(nullptr, 'W', "No recovery copies: can't make the folder '%s'", folder_.c_str());
    return;
  }
  // The process id and the start time keep sessions apart, even when an id comes round again.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  char name[64];
  std::snprintf(name, sizeof name, "s%ld-%llx", long(::getpid()),
                static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
  session_ = name;
  // The lock comes first: an index is never seen without the lock of a running editor.
  lock_ = takeLock(pathOf(session_ + std::string(kLockSuffix)));
  if (lock_ < 0) reportError(nullptr, 'W', "No recovery copies: can't lock a session in '%s'", folder_.c_str());
}

RecoveryStore::~RecoveryStore() {
  releaseClaimed();
  if (lock_ < 0) return;
  if (entries_.empty()) removeSession(session_);
  ::close(lock_);
}

std::string RecoveryStore::pathOf(const std::string& name) const { return (fs::path(folder_) / name).string(); }

bool RecoveryStore::writeIndex(const std::string& session, const std::vector<RecoveryCopy>& copies) const {
  SaveFailure failure;
  return replaceFileContent(pathOf(session + std::string(kIndexSuffix)), recoveryIndexText(copies), failure);
}

bool RecoveryStore::writeOwnIndex() const {
  std::vector<RecoveryCopy> copies;
  for (const Entry& e : entries_) copies.push_back(e.copy);
  if (copies.empty()) {
    std::error_code error;
    fs::remove(pathOf(session_ + std::string(kIndexSuffix)), error);
    return true;
  }
  return writeIndex(session_, copies);
}

void RecoveryStore::removeSession(const std::string& session) const {
  std::error_code error;
  fs::remove(pathOf(session + std::string(kIndexSuffix)), error);
  fs::remove(pathOf(session + std::string(kLockSuffix)), error);
}

bool RecoveryStore::writeCopy(unsigned slot, const CMap& map, const std::string& original, std::string* why) {
  if (!isOpen()) {
    if (why) *why = "no recovery folder";
    return false;
  }
  std::ostringstream text;
  writeMapFile(map, text, std::time(nullptr));
  const std::string file = pathOf(session_ + "-" + std::to_string(slot) + ".CM");
  SaveFailure failure;
  if (!text || !replaceFileContent(file, text.str(), failure)) {
    if (why) *why = failure.reason.empty() ? "can't write '" + file + "'" : failure.reason;
    return false;
  }
  std::error_code error;
  const std::string absolute = original.empty() ? original : fs::absolute(original, error).lexically_normal().string();
  RecoveryCopy copy{file, error ? original : absolute, std::time(nullptr)};
  auto at = std::find_if(entries_.begin(), entries_.end(), [slot](const Entry& e) { return e.slot == slot; });
  if (at == entries_.end())
    entries_.push_back({slot, std::move(copy)});
  else
    at->copy = std::move(copy);
  if (!writeOwnIndex()) {
    if (why) *why = "can't write the recovery index in '" + folder_ + "'";
    return false;
  }
  return true;
}

void RecoveryStore::removeCopy(unsigned slot) {
  auto at = std::find_if(entries_.begin(), entries_.end(), [slot](const Entry& e) { return e.slot == slot; });
  if (at == entries_.end()) return;
  std::error_code error;
  fs::remove(at->copy.copyFile, error);
  entries_.erase(at);
  writeOwnIndex();
}

std::optional<RecoveryCopy> RecoveryStore::copyOf(unsigned slot) const {
  for (const Entry& e : entries_)
    if (e.slot == slot) return e.copy;
  return std::nullopt;
}

std::vector<RecoveryCopy> RecoveryStore::copies() const {
  std::vector<RecoveryCopy> out;
  for (const Entry& e : entries_) out.push_back(e.copy);
  return out;
}

std::vector<RecoveryCopy> RecoveryStore::claimOrphans() {
  std::vector<RecoveryCopy> found;
  if (!isOpen()) return found;
  std::error_code error;
  std::vector<std::string> sessions;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_, error)) {
    const std::string name = entry.path().filename().string();
    if (!endsWith(name, kIndexSuffix)) continue;
    const std::string session = name.substr(0, name.size() - kIndexSuffix.size());
    const bool known = session == session_ || std::any_of(claimed_.begin(), claimed_.end(), [&](const Claimed& c) {
                         return c.session == session;
                       });
    if (!known) sessions.push_back(session);
  }
  std::sort(sessions.begin(), sessions.end());
  for (const std::string& session : sessions) {
    const int lock = takeLock(pathOf(session + std::string(kLockSuffix)));
    if (lock < 0) continue;  // its editor is running
    Claimed claim{session, lock, {}};
    for (RecoveryCopy& c : parseRecoveryIndex(readWhole(pathOf(session + std::string(kIndexSuffix))), folder_))
      if (fs::is_regular_file(c.copyFile, error)) claim.copies.push_back(std::move(c));
    if (claim.copies.empty()) {
      // Nothing left to offer: the session is only litter.
      removeSession(session);
      ::close(lock);
      continue;
    }
    found.insert(found.end(), claim.copies.begin(), claim.copies.end());
    claimed_.push_back(std::move(claim));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.when < b.when; });
  return found;
}

std::optional<unsigned> RecoveryStore::adopt(const RecoveryCopy& copy) {
  if (!isOpen()) return std::nullopt;
  for (Claimed& claim : claimed_) {
    auto at = std::find_if(claim.copies.begin(), claim.copies.end(),
                           [&](const RecoveryCopy& c) { return c.copyFile == copy.copyFile; });
    if (at == claim.copies.end()) continue;
    const unsigned slot = openSlot();
    const std::string mine = pathOf(session_ + "-" + std::to_string(slot) + ".CM");
    std::error_code error;
    fs::rename(at->copyFile, mine, error);
    if (error) return std::nullopt;
    entries_.push_back({slot, RecoveryCopy{mine, at->original, at->when}});
    claim.copies.erase(at);
    // Ours is written before theirs loses it: a crash in between leaves two names for one
    // copy at worst, never none.
    writeOwnIndex();
    if (claim.copies.empty())
      fs::remove(pathOf(claim.session + std::string(kIndexSuffix)), error);
    else
      writeIndex(claim.session, claim.copies);
    return slot;
  }
  return std::nullopt;
}

void RecoveryStore::discardClaimed() {
  for (Claimed& claim : claimed_) {
    std::error_code error;
    for (const RecoveryCopy& c : claim.copies) fs::remove(c.copyFile, error);
    removeSession(claim.session);
    ::close(claim.lock);
  }
  claimed_.clear();
}

void RecoveryStore::releaseClaimed() {
  for (Claimed& claim : claimed_) {
    // A session emptied by adopting has nothing left to offer.
    if (claim.copies.empty()) removeSession(claim.session);
    ::close(claim.lock);
  }
  claimed_.clear();
}
