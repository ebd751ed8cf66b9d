// The map window: caption with the change mark, menu 100, and saving before closing.
#include "shell/CMapFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "file/Recovery.h"
#include "shell/Autosave.h"
#include "shell/CMapClient.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "shell/WindowPlace.h"

namespace {

// The part of the map from its origin to the right and bottom edges of its elements, with a margin.
QSize mapExtent(CMapClient* view) {
  constexpr int kMargin = 20;
  long right = 0, bottom = 0;
  for (Graphic* g : view->document()) {
    const RECT b = g->boundingRect();
    const RECT i = g->invalidRect();
    right = std::max({right, long(b.right), long(i.right)});
    bottom = std::max({bottom, long(b.bottom), long(i.bottom)});
  }
  constexpr long kMost = 1 << 20;
  return QSize(int(std::min(right, kMost)) + kMargin, int(std::min(bottom, kMost)) + kMargin);
}

}  // namespace

CMapFrame::CMapFrame(QWidget* parent, CMapClient* view) : QMainWindow(parent, Qt::Window) {
  build(view ? view : new CMapClient(nullptr), QStringLiteral("New Map"));
}

CMapFrame::CMapFrame(QWidget* parent, const QString& fileName, CMapClient* view) : QMainWindow(parent, Qt::Window) {
  build(view ? view : new CMapClient(nullptr, fileName.toLocal8Bit().toStdString()), fileName);
}

void CMapFrame::build(CMapClient* view, const QString& caption) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("CMapFrame"));
  setWindowTitle(caption);
  view_ = view;
  setCentralWidget(view_);
  // Ctrl+Enter links a new concept to the selected node.
  auto* link = new QAction(this);
  link->setObjectName(QStringLiteral("linkNewConcept"));
  link->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  connect(link, &QAction::triggered, view_, &CMapClient::linkNewConcept);
  addAction(link);
  menus_ = new CommandMenus(this, view_);
  addViewCommands();
  // As large as the last map window, or the base size, and large enough for the whole
  // map up to a share of the screen.
  const QRect area = availableArea(this);
  const std::optional<WindowPlace> last = rememberedPlace(QStringLiteral("MapWindow"));
  const QSize most(int(area.width() * kMapWindowScreenShare), int(area.height() * kMapWindowScreenShare));
  const QSize wanted =
      mapExtent(view_) + QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
  resize((last ? last->size : kMapWindowBase).expandedTo(wanted.boundedTo(most)).boundedTo(area.size()));
  connect(view_, &CMapClient::historyChanged, this, &CMapFrame::historyChanged);
  if (RecoveryStore* store = Autosave::store()) autosave_ = new Autosave(view_, *store);
}

bool CMapFrame::restore(const QString& copyFile, const QString& original, unsigned slot) {
  if (!view_->restore(copyFile.toLocal8Bit().toStdString(), original.toLocal8Bit().toStdString())) return false;
  if (RecoveryStore* store = Autosave::store()) {
    delete autosave_;
    autosave_ = new Autosave(view_, *store, slot);
  }
  historyChanged();
  return true;
}

namespace {

QAction* addItem(QMenu* menu, const QString& text, QList<QKeySequence> keys, std::function<void()> run) {
  QAction* a = menu->addAction(text);
  a->setShortcuts(keys);
  a->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(a, &QAction::triggered, menu, [run = std::move(run)] { run(); });
  return a;
}

}  // namespace

void CMapFrame::addViewCommands() {
  CMapClient* v = view_;
  // View: zoom, before Help.
  auto* viewMenu = new QMenu(QStringLiteral("&View"), this);
  if (QMenu* help = menus_->popup(QStringLiteral("&Help")))
    menuBar()->insertMenu(help->menuAction(), viewMenu);
  else
    menuBar()->addMenu(viewMenu);
  addItem(viewMenu, QStringLiteral("Zoom &In"),
          {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)}, [v] { v->zoomIn(); });
  addItem(viewMenu, QStringLiteral("Zoom &Out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [v] { v->zoomOut(); });
  addItem(viewMenu, QStringLiteral("&Actual Size"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, [v] { v->actualSize(); });
  addItem(viewMenu, QStringLiteral("&Fit Map"), {QKeySequence(Qt::CTRL | Qt::Key_9)}, [v] { v->fitMap(); });
  for (QAction* a : viewMenu->actions()) addAction(a);

  // File: Export... after Save As.
  if (QAction* saveAs = menus_->action(cm::FileSaveAs); saveAs && !saveAs->associatedObjects().isEmpty())
    if (auto* file = qobject_cast<QMenu*>(saveAs->associatedObjects().constFirst())) {
      const QList<QAction*> items = file->actions();
      const qsizetype at = items.indexOf(saveAs);
      auto* exporting = new QAction(QStringLiteral("&Export..."), this);
      exporting->setObjectName(QStringLiteral("exportMap"));
      exporting->setStatusTip(QStringLiteral("Writes a picture of the map or of the selection, or GraphML"));
      exporting->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
      exporting->setShortcutContext(Qt::WindowShortcut);
      connect(exporting, &QAction::triggered, v, &CMapClient::exportWithDialog);
      file->insertAction(at + 1 < items.size() ? items[at + 1] : nullptr, exporting);
      addAction(exporting);
    }

  // Cut, Copy and Paste take the standard keys as well.
  for (auto [id, key] : {std::pair{cm::EditCut, QKeySequence::Cut}, std::pair{cm::EditCopy, QKeySequence::Copy},
                         std::pair{cm::EditPaste, QKeySequence::Paste}}) {
    if (QAction* a = menus_->action(id)) {
      QList<QKeySequence> keys = a->shortcuts();
      for (const QKeySequence& k : QKeySequence::keyBindings(key))
        if (!keys.contains(k)) keys.append(k);
      a->setShortcuts(keys);
    }
  }

  // Search: Find takes Control+F as well, and Find Previous goes after Next.
  if (QAction* find = menus_->action(cm::EditFind)) {
    QList<QKeySequence> keys = find->shortcuts();
    keys.append(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setShortcuts(keys);
  }
  if (QMenu* search = menus_->popup(QStringLiteral("&Search"))) {
    QAction* previous = addItem(search, QStringLiteral("Find &Previous"), {QKeySequence(Qt::SHIFT | Qt::Key_F3)},
                                [v] { v->findAgain(false); });
    addAction(previous);
  }

  // Object: aligning, spacing and sizing the selection, after the items already there.
  QMenu* object = menus_->popup(QStringLiteral("&Object"));
  if (!object) object = menuBar()->addMenu(QStringLiteral("&Object"));
  struct Row {
    const char* text;
    Arrangement how;
    std::size_t least;  // elements the item needs
  };
  static constexpr Row kRows[] = {
      {"Align &Left", Arrangement::AlignLeft, 2},
      {"Align &Centre", Arrangement::AlignCentre, 2},
      {"Align &Right", Arrangement::AlignRight, 2},
      {"Align &Top", Arrangement::AlignTop, 2},
      {"Align &Middle", Arrangement::AlignMiddle, 2},
      {"Align &Bottom", Arrangement::AlignBottom, 2},
      {"Distribute &Horizontally", Arrangement::DistributeHorizontally, 3},
      {"Distribute &Vertically", Arrangement::DistributeVertically, 3},
      {"Same &Width", Arrangement::SameWidth, 2},
      {"Same H&eight", Arrangement::SameHeight, 2},
  };
  std::vector<std::pair<QAction*, std::size_t>> needs;
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (i == 0 || i == 6 || i == 8) object->addSeparator();
    const Row& row = kRows[i];
    QAction* a = addItem(object, QString::fromLatin1(row.text), {}, [v, how = row.how] { v->arrangeSelection(how); });
    needs.emplace_back(a, row.least);
  }
  connect(object, &QMenu::aboutToShow, this, [v, needs] {
    const std::size_t chosen = v->document().selection().size();
    for (const auto& [a, least] : needs) a->setEnabled(chosen >= least);
  });

  // The zoom stands in the status bar; finds tell there when nothing matched.
  auto* zoom = new QLabel(QStringLiteral("100%"), this);
  zoom->setObjectName(QStringLiteral("zoomLabel"));
  statusBar()->addPermanentWidget(zoom);
  connect(v, &CMapClient::zoomChanged, zoom,
          [zoom](double z) { zoom->setText(QStringLiteral("%1%").arg(qRound(z * 100))); });
  connect(v, &CMapClient::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text, 4000); });
}

void CMapFrame::historyChanged() {
  // The view is shown by now: the caption names the map's file (or "New View"), '*' marks changes.
  QString caption = view_->documentName();
  if (view_->isChanged()) caption += QLatin1Char('*');
  setWindowTitle(caption);
  menus_->updateEnablers();
}

bool CMapFrame::mayClose() {
  if (!view_->isChanged()) return true;
  QMessageBox box(QMessageBox::Question, QStringLiteral("Brenlo"),
                  QStringLiteral("Save changes to '%1'?").arg(view_->documentName()),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Save);
  box.setTextFormat(Qt::PlainText);  // a file name is shown as it is
  const int answer = box.exec();
  // Cancelled, or the map could not be written: it stays open and changed.
  return answer == QMessageBox::Discard || (answer == QMessageBox::Save && view_->save());
}

void CMapFrame::closeAgreed() {
  agreed_ = true;
  if (!close()) agreed_ = false;
}

void CMapFrame::closeEvent(QCloseEvent* event) {
  if (!agreed_ && !mayClose()) {
    event->ignore();
    return;
  }
  rememberPlace(this, QStringLiteral("MapWindow"));
  event->accept();
}

void CMapFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  fitOnScreen(this);
  QTimer::singleShot(0, this, [this] { fitOnScreen(this); });
}
