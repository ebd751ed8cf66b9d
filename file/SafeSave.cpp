// Replacing a file's content: through a temporary beside it, or in place where a rename would
// change the file's links, owner or group.
#include "file/SafeSave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Our temporaries are ".brenlo-" + eight hex digits naming the target + "-" + six random
// characters: short whatever the target's name, and recognisable as ours.
constexpr std::string_view kTemporaryStart = ".brenlo-";
constexpr std::size_t kTemporaryLength = kTemporaryStart.size() + 8 + 1 + 6;

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t hash = 1469598103934665603ull) {
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string temporaryPrefix(const std::string& targetName) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(fnv1a(targetName) & 0xffffffffu));
  return std::string(kTemporaryStart) + tag + "-";
}

bool fail(SaveFailure& failure, bool cannotOpen, std::string reason = {}) {
  failure.cannotOpen = cannotOpen;
  failure.reason = std::move(reason);
  return false;
}

bool failWith(SaveFailure& failure, int error) { return fail(failure, false, std::strerror(error)); }

// The saver may write the file: its mode grants writing to the saver's class. The
// superuser, whom the system lets write anything, is held to the mode's write bits too,
// so that a protected file stays protected for everybody.
bool mayWrite(const std::string& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writeAll(int fd, std::string_view bytes, off_t at) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Removes temporaries of this target that no running save holds: a save keeps a lock on
// its temporary until it is renamed or removed.
void removeStaleTemporaries(const fs::path& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name.size() != kTemporaryLength || name.substr(0, prefix.size()) != prefix) continue;
    int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

void syncFolder(const fs::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

enum class Outcome { Done, Failed, WriteInPlace };

// Writes a temporary beside the target and renames it over the target.
Outcome replaceByRename(const std::string& target, const struct stat* old, std::string_view bytes,
                        SaveFailure& failure) {
  fs::path path(target);
  fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  const std::string prefix = temporaryPrefix(path.filename().string());
  removeStaleTemporaries(folder, prefix);
  std::string temp = (folder / (prefix + "XXXXXX")).string();
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    // A folder that takes no new files still lets a writable file in it be saved.
    if (old && (error == EACCES || error == EPERM || error == EROFS)) return Outcome::WriteInPlace;
    fail(failure, true);
    return Outcome::Failed;
  }
  (void)::flock(fd, LOCK_EX);
  auto discard = [&](int error) {
    ::unlink(temp.c_str());
    ::close(fd);
    failWith(failure, error);
    return Outcome::Failed;
  };
  if (old) {
    ::fchmod(fd, old->st_mode & 07777);
    if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) && ::fchown(fd, old->st_uid, old->st_gid) != 0) {
      ::unlink(temp.c_str());
      ::close(fd);
      return Outcome::WriteInPlace;
    }
    // Setting the owner may clear the set-id bits: give the mode back once more.
    ::fchmod(fd, old->st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  if (!writeAll(fd, bytes, 0)) return discard(errno);
  if (::fsync(fd) != 0) return discard(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return discard(errno);
  ::close(fd);
  syncFolder(folder);
  return Outcome::Done;
}

// Writes the new content into the file itself. Its room is reserved first, so that a full
// disk is found before anything is overwritten; should writing still fail, the old content
// is written back.
bool replaceInPlace(const std::string& target, const struct stat& old, std::string_view bytes, SaveFailure& failure) {
  int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return fail(failure, true);
  struct stat now {};
  if (::fstat(fd, &now) != 0 || now.st_dev != old.st_dev || now.st_ino != old.st_ino || !S_ISREG(now.st_mode)) {
    ::close(fd);
    return fail(failure, false, "the file changed while it was being saved");
  }
  std::string previous(static_cast<std::size_t>(now.st_size), '\0');
  std::size_t got = 0;
  while (got < previous.size()) {
    ssize_t n = ::pread(fd, previous.data() + got, previous.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  previous.resize(got);
  int error = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
  if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
    ::close(fd);
    return failWith(failure, error);
  }
  if (writeAll(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0)
    return ::close(fd) == 0 || failWith(failure, errno);
  error = errno;
  if (writeAll(fd, previous, 0)) (void)::ftruncate(fd, static_cast<off_t>(previous.size()));
  (void)::fsync(fd);
  ::close(fd);
  return failWith(failure, error);
}

}  // namespace

bool replaceFileContent(const std::string& fileName, std::string_view bytes, SaveFailure& failure) {
  std::string target = fileName;
  struct stat st {};
  if (::lstat(fileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::error_code error;
    fs::path resolved = fs::canonical(fileName, error);
    if (error) {
      if (error == std::errc::no_such_file_or_directory) return fail(failure, false, "it is a link to a missing file");
      return fail(failure, true);
    }
    target = resolved.string();
  }
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return fail(failure, true);
  if (exists) {
    if (S_ISDIR(st.st_mode)) return failWith(failure, EISDIR);
    if (!S_ISREG(st.st_mode)) return fail(failure, false, "it is not a regular file");
    if (!mayWrite(target, st)) return fail(failure, true);
  }
  // A rename would split a hard link, and gives the file the saver as owner.
  const bool keepsLinks = !exists || st.st_nlink == 1;
  const bool keepsOwner = !exists || st.st_uid == ::geteuid() || ::geteuid() == 0;
  if (keepsLinks && keepsOwner) {
    Outcome outcome = replaceByRename(target, exists ? &st : nullptr, bytes, failure);
    if (outcome != Outcome::WriteInPlace) return outcome == Outcome::Done;
  }
  return replaceInPlace(target, st, bytes, failure);
}

FileStamp stampOfFile(const std::string& fileName) {
  FileStamp stamp;
  int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return stamp;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return stamp;
  }
  stamp.exists = true;
  stamp.size = static_cast<std::uintmax_t>(st.st_size);
  stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  std::uint64_t hash = fnv1a({});
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    hash = fnv1a(std::string_view(buffer, static_cast<std::size_t>(n)), hash);
  }
  stamp.hash = hash;
  ::close(fd);
  return stamp;
}
