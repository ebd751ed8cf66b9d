// The two ways a command reaches the model: an element or a container acting on its behalf.
#pragma once

class Command;

/// An element that executes and undoes its own commands.
class CommandReceiver {
 public:
  virtual ~CommandReceiver() = default;
  /// Applies the command; answers a result code (0 done, -1 not handled, ...).
  virtual int execute(Command* cmd) = 0;
  /// Takes the command back; answers a result code.
  virtual int undo(Command* cmd) = 0;
};

/// A container that acts for a member that is no longer in it.
class CommandReceiverContainer {
 public:
  virtual ~CommandReceiverContainer() = default;
  virtual int executeOnBehalf(Command* cmd) = 0;
  virtual int undoOnBehalf(Command* cmd) = 0;
};
