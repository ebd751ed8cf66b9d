// Menu 100, accelerator table 100 and the control bar of a frame, with their enablers.
#pragma once

#include <QObject>
#include <map>

class CommandRouter;
class CommandTarget;
class QAction;
class QMainWindow;
class QMenu;
class QTimer;
class QToolBar;

/// Builds the menus of a frame and routes their commands: first to the frame's
/// target, then to the application. Items nobody handles are greyed.
class CommandMenus : public QObject {
  Q_OBJECT
 public:
  /// Builds menu 100 with accelerators and hints into `frame`; `target` is not owned. A
  /// frame whose parent window has menus routes through the same router as they do.
  CommandMenus(QMainWindow* frame, CommandTarget* target);

  /// Routes every command through `router` (not owned; null: to the target only).
  void setRouter(CommandRouter* router);
  CommandRouter* router() const { return router_; }

  /// The action of command `id`, or null.
  QAction* action(int id) const;
  /// The popup whose title is `title` (with its '&'), or null.
  QMenu* popup(const QString& title) const;
  /// Adds the control bar at the top of the frame and answers it.
  QToolBar* addControlBar();
  /// Asks every enabler again and greys the actions accordingly.
  void updateEnablers();
  /// Routes command `id` as if chosen from the menu.
  void trigger(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// "Open Recent" after Open: the maps opened or saved last.
  void addRecentFiles();
  QMainWindow* frame_;
  CommandTarget* target_;
  CommandRouter* router_ = nullptr;
  std::map<int, QAction*> actions_;
  std::map<QString, QMenu*> popups_;
  QTimer* idle_;
  QAction* greyHovered_ = nullptr;  // the greyed item whose hint is shown
};
