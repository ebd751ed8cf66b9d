// The command history of a map view: record, undo, redo.
#pragma once

#include <memory>
#include <vector>

class Command;

/// Owns the commands it has executed, oldest first; the first `undoCount()` are done.
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
  /// Releases and destroys every command, newest first.
  virtual void clear();

  std::size_t commandCount() const { return commands_.size(); }
  const Command* commandAt(std::size_t i) const { return commands_[i].get(); }

 private:
  void discardLast();
  std::vector<std::unique_ptr<Command>> commands_;
  unsigned current_ = 0;
};
