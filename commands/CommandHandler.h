// The command history of a map view: record, undo, redo.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Command;

/// Owns the commands it has executed, oldest first; the first `undoCount()` are done.
/// It also keeps one clean mark: the place in the history where the map was as it was
/// saved, so that undoing back to that place makes the map clean again.
class CommandHandler {
 public:
  CommandHandler() = default;
  CommandHandler(const CommandHandler&) = delete;
  CommandHandler& operator=(const CommandHandler&) = delete;
  virtual ~CommandHandler();

  /// Executes a new command and keeps it when it succeeds; the undone commands are discarded.
  virtual int execute(std::unique_ptr<Command> cmd);
  /// Undoes the newest done command; -589 when there is none.
  virtual int undo();
  /// Executes the oldest undone command again; -589 when there is none.
  virtual int redo();
  virtual unsigned undoCount() const { return current_; }
  virtual bool canRedo() const { return current_ < commands_.size(); }
  /// Releases and destroys every command, newest first. The map as it stands then
  /// counts as clean; the change callback is not called.
  virtual void clear();

  /// The present place in the history is the clean one (the map was just read or saved).
  void markClean();
  /// True while the history stands at its clean mark.
  bool isClean() const { return cleanAt_ == current_; }
  /// No place in the history holds the clean state any more (the map changed in a way
  /// no undo restores, or the clean place was among undone commands a new one dropped).
  void loseClean();
  /// Called after the history moved or its clean mark changed; empty for none.
  void setChangeCallback(std::function<void()> callback) { changed_ = std::move(callback); }

  std::size_t commandCount() const { return commands_.size(); }
  const Command* commandAt(std::size_t i) const { return commands_[i].get(); }

 private:
  void discardLast();
  void notify() const {
    if (changed_) changed_();
  }
  std::vector<std::unique_ptr<Command>> commands_;
  unsigned current_ = 0;
  std::optional<unsigned> cleanAt_ = 0u;  // empty when no place in the history is clean
  std::function<void()> changed_;
};
