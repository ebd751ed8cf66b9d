// Recovery copies of one map window: written a while after the first unsaved change and
// after every run of commands, removed when the map is saved or closed.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>

class CMapClient;
class RecoveryStore;

/// Keeps the recovery copy of the map shown by one view. The copy is written at most
/// kAutosaveDelay after the first change not yet in a copy, and at once when kAutosaveCommands
/// commands were done since the last copy. A save, undoing back to the saved map, or the
/// end of the window (a normal close) removes it.
class Autosave : public QObject {
  Q_OBJECT
 public:
  static constexpr std::chrono::milliseconds kAutosaveDelay{60'000};
  static constexpr int kAutosaveCommands = 50;

  /// Watches `view` (its child from now on); `slot` is the store's slot of a copy this
  /// window was restored from, none for a new one.
  Autosave(CMapClient* view, RecoveryStore& store, std::optional<unsigned> slot = std::nullopt);
  ~Autosave() override;

  /// The store of this running editor, null for none (no copies are kept then). Not owned.
  static void setStore(RecoveryStore* store);
  static RecoveryStore* store();
  /// Replaces kAutosaveDelay for the windows made from now on (tests); zero restores it.
  static void setDelay(std::chrono::milliseconds delay);

  /// True while the store holds a copy of this map.
  bool hasCopy() const;
  /// Writes the copy now; false when it could not be written.
  bool writeNow();

 private:
  void historyMoved();

  CMapClient* view_;
  RecoveryStore& store_;
  unsigned slot_;
  QTimer timer_;
  int commands_ = 0;      // commands since the last copy
  bool toldFailure_ = false;  // a failed copy is reported once, not every minute
};
