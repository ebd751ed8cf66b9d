// A window that answers menu commands before they reach the application, and the router
// that passes them along.
#pragma once

#include <optional>

class QString;

/// Something on the command route of a frame: a view, a frame or the application.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  /// Runs command `id`; false when this target does not handle it.
  virtual bool runCommand(int id) = 0;
  /// Whether command `id` is enabled; empty when this target does not handle it.
  virtual std::optional<bool> commandEnabled(int id) = 0;
};

/// What routes the commands of a frame's menus: the application. Frames opened from a
/// frame with a router share it; a frame without one routes to its own target only.
class CommandRouter {
 public:
  virtual ~CommandRouter() = default;
  /// Routes command `id`: to help in context-help mode, else to `first`, then onwards.
  virtual void routeCommand(int id, CommandTarget* first) = 0;
  /// Whether command `id` is enabled for a frame whose own target is `first`.
  virtual bool isEnabled(int id, CommandTarget* first) = 0;
  /// Shift+F1 mode: the next command opens its help topic instead of running.
  virtual bool contextHelpMode() const = 0;
  virtual void setContextHelpMode(bool on) = 0;
  /// Shows help: 0 the contents, otherwise the topic of command `id`.
  virtual void showHelp(int id) = 0;
  /// Opens the map file `fileName` in a window (or brings its window forward); false
  /// when it could not be opened.
  virtual bool openMapFile(const QString& fileName) = 0;
};
