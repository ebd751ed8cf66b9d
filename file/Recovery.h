// Recovery copies of changed maps: each running editor keeps its own under a lock, and finds
// the copies that a run which ended abnormally left behind.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

class CMap;

/// One recovery copy: the map as it was when the copy was written.
struct RecoveryCopy {
  std::string copyFile;  // where the copy is
  std::string original;  // the map's own file (absolute); empty for a map never saved
  std::time_t when = 0;  // when the copy was written
};

/// The text the index and the restore question give a map without a file.
inline constexpr const char* kUnsavedMapName = "New Map";

/// The recovery copies of this editor. Every running editor has a session of its own in
/// the folder, made of a lock file it holds while it runs, an index naming each copy's map
/// and time, and the copies ("<session>-<slot>.CM", written as a map file is saved, so a
/// crash while writing leaves the previous copy whole). A session whose lock nobody holds
/// belongs to an editor that ended without closing its maps: its copies are orphans, which
/// one starting editor claims (taking their lock) to restore, discard or leave for later.
class RecoveryStore {
 public:
  /// This editor's session in `folder`, made when missing and private to the user.
  /// isOpen() is false when the folder or the lock could not be made; the store then
  /// keeps no copies and finds no orphans.
  explicit RecoveryStore(std::string folder = defaultFolder());
  /// A normal end: the session goes. Copies still left in it stay, with their index, and
  /// are offered at the next start.
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  /// The folder under the editor's state folder: .../brenlo/recovery.
  static std::string defaultFolder();

  bool isOpen() const { return lock_ >= 0; }
  const std::string& folder() const { return folder_; }
  /// The session's name (unique among the sessions in the folder).
  const std::string& session() const { return session_; }

  /// A new place for the copies of one map.
  unsigned openSlot() { return nextSlot_++; }
  /// Writes `map` as the slot's copy, for the map file `original` (empty for a new map).
  /// False, with `why` set, when it could not be written (the previous copy then stays).
  bool writeCopy(unsigned slot, const CMap& map, const std::string& original, std::string* why = nullptr);
  /// Removes the slot's copy and its index line; nothing when it has none.
  void removeCopy(unsigned slot);
  /// The slot's copy, or none.
  std::optional<RecoveryCopy> copyOf(unsigned slot) const;
  /// Every copy of this session, in slot order.
  std::vector<RecoveryCopy> copies() const;

  /// Claims the copies of every session whose editor no longer runs, oldest first. They
  /// stay claimed (no other editor sees them) until adopted, discarded or released.
  std::vector<RecoveryCopy> claimOrphans();
  /// Moves a claimed copy into a new slot of this session: from now on it is this
  /// editor's copy of that map. Answers the slot, or none when the copy could not be moved.
  std::optional<unsigned> adopt(const RecoveryCopy& copy);
  /// Deletes the claimed copies that were not adopted, and their sessions.
  void discardClaimed();
  /// Lets go of the claimed sessions: their copies are offered again at a later start.
  void releaseClaimed();

 private:
  struct Entry {
    unsigned slot;
    RecoveryCopy copy;
  };
  struct Claimed {
    std::string session;
    int lock = -1;
    std::vector<RecoveryCopy> copies;
  };

  std::string pathOf(const std::string& name) const;
  bool writeIndex(const std::string& session, const std::vector<RecoveryCopy>& copies) const;
  bool writeOwnIndex() const;
  void removeSession(const std::string& session) const;

  std::string folder_;
  std::string session_;
  int lock_ = -1;
  unsigned nextSlot_ = 1;
  std::vector<Entry> entries_;
  std::vector<Claimed> claimed_;
};

/// Reads an index's text: one copy a line, "<copy file>\t<UTC time>\t<map file or New Map>",
/// copy files relative to `folder`. Lines that do not parse are skipped.
std::vector<RecoveryCopy> parseRecoveryIndex(const std::string& text, const std::string& folder);
/// The index text of `copies` (their files are written relative to the folder they are in).
std::string recoveryIndexText(const std::vector<RecoveryCopy>& copies);
