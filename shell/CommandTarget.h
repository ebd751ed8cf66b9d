// A window that answers menu commands before they reach the application.
#pragma once

#include <optional>

/// Something on the command route of a frame: a view, a frame or the application.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  /// Runs command `id`; false when this target does not handle it.
  virtual bool runCommand(int id) = 0;
  /// Whether command `id` is enabled; empty when this target does not handle it.
  virtual std::optional<bool> commandEnabled(int id) = 0;
};
