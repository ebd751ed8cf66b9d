// Replacing a file's content so that a failure never tears it and never passes for success.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Why a file could not be replaced.
struct SaveFailure {
  /// True when the file may not be written at all (protected, or no way to reach it);
  /// false when writing was tried and went wrong.
  bool cannotOpen = false;
  /// The system's reason, as shown after "Can't save file '...': ".
  std::string reason;
};

/// Makes `bytes` the content of `fileName`. A symbolic link is followed to the file it
/// names; anything but a regular file (a folder, a pipe, a device, a link to nothing) is
/// refused, and so is a file its mode does not let the saver write. The new content goes
/// into a temporary file beside the target that replaces it when all is written; where
/// that would lose a hard link, the owner or the group, or the folder takes no new files,
/// the content is written into the file itself, after its room is reserved, and the old
/// content is put back when writing fails. Temporaries that killed saves of the same
/// target left behind are removed; a failed save leaves none.
bool replaceFileContent(const std::string& fileName, std::string_view bytes, SaveFailure& failure);

/// What a file held when it was read or written: enough to notice that another program
/// has changed it since.
struct FileStamp {
  bool exists = false;
  std::uintmax_t size = 0;
  std::int64_t modifiedNs = 0;
  std::uint64_t hash = 0;
  bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file `fileName` now (a link is followed); `exists` false when there is none.
FileStamp stampOfFile(const std::string& fileName);
