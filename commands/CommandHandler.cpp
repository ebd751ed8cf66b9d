// Recording, undoing and redoing commands, with failures kept out of the event loop.
#include "commands/CommandHandler.h"

#include "commands/Command.h"
#include "commands/CommandTypes.h"
#include "model/ErrorMsgException.h"

namespace {

// Runs one step of a command. A lookup of an id that is gone throws; the
// failure is reported here so that it never reaches the caller's event loop.
template <class Step>
int guarded(Step step) {
  try {
    return step();
  } catch (const ErrorMsgException& e) {
    e.report(nullptr, 'E');
    return kResultNotFound;
  }
}

}  // namespace

CommandHandler::~CommandHandler() { clear(); }

void CommandHandler::discardLast() {
  std::unique_ptr<Command> last = std::move(commands_.back());
  commands_.pop_back();
  last->release();
}

int CommandHandler::execute(std::unique_ptr<Command> cmd) {
  if (!cmd) return kResultDropped;
  int r = guarded([&] { return cmd->execute(); });
  if (r < 0) {
    cmd->release();
    return r;
  }
  while (commands_.size() > current_) discardLast();
  // The undone commands are gone: a clean place among them can never be reached again.
  if (cleanAt_ && *cleanAt_ > current_) cleanAt_.reset();
  commands_.push_back(std::move(cmd));
  ++current_;
  notify();
  return r;
}

int CommandHandler::undo() {
  if (current_ == 0) return kResultNothingToDo;
  --current_;
  Command* cmd = commands_[current_].get();
  const int r = guarded([&] { return cmd->undo(); });
  notify();
  return r;
}

int CommandHandler::redo() {
  if (current_ == commands_.size()) return kResultNothingToDo;
  Command* cmd = commands_[current_].get();
  ++current_;
  const int r = guarded([&] { return cmd->execute(); });
  notify();
  return r;
}

void CommandHandler::clear() {
  while (!commands_.empty()) discardLast();
  current_ = 0;
  cleanAt_ = 0u;
}

void CommandHandler::markClean() {
  cleanAt_ = current_;
  notify();
}

void CommandHandler::loseClean() {
  cleanAt_.reset();
  notify();
}
