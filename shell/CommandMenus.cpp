// Builds menu 100 and the control bar and routes their commands along the frame's chain.
#include "shell/CommandMenus.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "shell/CommandTarget.h"
#include "shell/Commands.h"
#include "shell/RecentFiles.h"

// The icons live in the shell library's resources, which a static library must load itself.
static void loadShellResources() { Q_INIT_RESOURCE(brenlo); }

namespace {

QList<QKeySequence> keysOf(const char* keys) {
  QList<QKeySequence> out;
  for (const QString& k : QString::fromLatin1(keys).split(';', Qt::SkipEmptyParts))
    out.append(QKeySequence(k));
  return out;
}

// The control bar's label of a command: the menu text without '&' and dots.
QString plainText(const char* text) {
  QString t = QString::fromLatin1(text);
  t.remove('&');
  t.remove(QStringLiteral("..."));
  return t;
}

}  // namespace

CommandMenus::CommandMenus(QMainWindow* frame, CommandTarget* target)
    : QObject(frame), frame_(frame), target_(target), idle_(new QTimer(this)) {
  loadShellResources();
  if (QWidget* owner = frame->parentWidget())
    if (auto* theirs = owner->window()->findChild<CommandMenus*>(QString(), Qt::FindDirectChildrenOnly))
      router_ = theirs->router();
  QMenu* current = nullptr;
  for (const MenuItemInfo& row : menu100()) {
    if (row.id == 0) {
      current = frame->menuBar()->addMenu(QString::fromLatin1(row.text));
      current->menuAction()->setStatusTip(QString::fromLatin1(row.hint));
      current->installEventFilter(this);
      popups_[current->title()] = current;
      connect(current, &QMenu::aboutToShow, this, &CommandMenus::updateEnablers);
      continue;
    }
    auto* action = new QAction(QString::fromLatin1(row.text), frame);
    action->setData(row.id);
    action->setObjectName(QString::number(row.id));
    action->setStatusTip(QString::fromLatin1(row.hint));
    action->setShortcuts(keysOf(row.keys));
    action->setShortcutContext(Qt::WindowShortcut);
    if (const QString icon = QStringLiteral(":/icons/%1.svg").arg(row.id); QFile::exists(icon))
      action->setIcon(QIcon(icon));
    action->setIconVisibleInMenu(false);
    action->setToolTip(plainText(row.text));
    const int id = row.id;
    connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
    current->addAction(action);
    frame->addAction(action);
    actions_[id] = action;
    // Alt+F4 beside Exit closes the frame it is pressed in: in a map window only that window.
    if (id == cm::Exit) action->installEventFilter(this);
  }
  addRecentFiles();
  // F1 opens the help contents, Shift+F1 starts context help; neither is in a menu.
  auto* help = new QAction(frame);
  help->setShortcut(QKeySequence(Qt::Key_F1));
  connect(help, &QAction::triggered, this, [this] {
    if (router_) router_->showHelp(0);
  });
  frame->addAction(help);
  auto* context = new QAction(frame);
  context->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  connect(context, &QAction::triggered, this, [this] {
    if (router_) router_->setContextHelpMode(true);
  });
  frame->addAction(context);

  // The enablers are asked when a menu opens and whenever the program is idle for a moment.
  connect(idle_, &QTimer::timeout, this, &CommandMenus::updateEnablers);
  idle_->start(200);
  updateEnablers();
}

void CommandMenus::addRecentFiles() {
  QAction* open = action(cm::FileOpen);
  if (!open || open->associatedObjects().isEmpty()) return;
  auto* file = qobject_cast<QMenu*>(open->associatedObjects().constFirst());
  if (!file) return;
  auto* recent = new QMenu(QStringLiteral("Open &Recent"), frame_);
  recent->setObjectName(QStringLiteral("recentFiles"));
  const QList<QAction*> items = file->actions();
  const qsizetype at = items.indexOf(open);
  file->insertMenu(at + 1 < items.size() ? items[at + 1] : nullptr, recent);
  // The list is read when the menu opens: a map opened in another window shows at once.
  connect(recent, &QMenu::aboutToShow, this, [this, recent] {
    recent->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < files.size(); ++i) {
      QString shown = files[i];
      shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
      QAction* a = recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
      a->setStatusTip(files[i]);
      connect(a, &QAction::triggered, this, [this, name = files[i]] {
        if (router_) router_->openMapFile(name);
      });
    }
    if (files.isEmpty()) recent->addAction(QStringLiteral("(none)"))->setEnabled(false);
    recent->addSeparator();
    QAction* clear = recent->addAction(QStringLiteral("&Clear Recent Files"), this, [] { clearRecentFiles(); });
    clear->setEnabled(!files.isEmpty());
  });
}

void CommandMenus::setRouter(CommandRouter* router) {
  router_ = router;
  updateEnablers();
}

QAction* CommandMenus::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* CommandMenus::popup(const QString& title) const {
  auto it = popups_.find(title);
  return it == popups_.end() ? nullptr : it->second;
}

QToolBar* CommandMenus::addControlBar() {
  auto* bar = frame_->addToolBar(QStringLiteral("Control bar"));
  bar->setObjectName(QStringLiteral("controlBar"));
  bar->setMovable(false);
  bar->setIconSize(QSize(20, 20));
  QFont font = bar->font();
  font.setPointSize(10);
  bar->setFont(font);
  for (int id : controlBarLayout()) {
    if (id == 0)
      bar->addSeparator();
    else
      bar->addAction(action(id));
  }
  return bar;
}

void CommandMenus::updateEnablers() {
  for (auto& [id, action] : actions_) {
    bool enabled;
    if (router_) {
      enabled = router_->isEnabled(id, target_);
    } else {
      std::optional<bool> own = target_ ? target_->commandEnabled(id) : std::nullopt;
      enabled = own.value_or(false);
    }
    // In context-help mode every item can be chosen, so that its topic can be opened.
    if (router_ && router_->contextHelpMode()) enabled = true;
    action->setEnabled(enabled);
  }
}

void CommandMenus::trigger(int id) {
  if (router_)
    router_->routeCommand(id, target_);
  else if (target_)
    target_->runCommand(id);
  updateEnablers();
}

bool CommandMenus::eventFilter(QObject* watched, QEvent* event) {
  // A menu tells only its enabled items' hints: the greyed ones' are shown from here.
  if (event->type() == QEvent::MouseMove) {
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
      QAction* at = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (at && !at->isEnabled() && !at->isSeparator()) {
        if (at != greyHovered_) {
          QStatusTipEvent tip(at->statusTip());
          QApplication::sendEvent(frame_, &tip);
        }
        greyHovered_ = at;
      } else if (greyHovered_) {
        if (!at || at->isSeparator()) {
          QStatusTipEvent tip{QString()};
          QApplication::sendEvent(frame_, &tip);
        }
        greyHovered_ = nullptr;
      }
    }
  }
  if (event->type() == QEvent::Shortcut && watched == action(cm::Exit)) {
    frame_->close();
    return true;
  }
  // F1 on an open menu answers the highlighted item with its help topic.
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    if (auto* menu = qobject_cast<QMenu*>(watched); menu && router_) {
      router_->setContextHelpMode(true);
      updateEnablers();
      QApplication::postEvent(menu, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
