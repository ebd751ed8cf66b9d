// The map window: caption with the change mark, menu 100, and saving before closing.
#include "shell/CMapFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include "shell/CMapClient.h"
#include "shell/CommandMenus.h"
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
  // As large as the last map window, or the base size, and large enough for the whole
  // map up to a share of the screen.
  const QRect area = availableArea(this);
  const std::optional<WindowPlace> last = rememberedPlace(QStringLiteral("MapWindow"));
  const QSize most(int(area.width() * kMapWindowScreenShare), int(area.height() * kMapWindowScreenShare));
  const QSize wanted = mapExtent(view_) + QSize(0, menuBar()->sizeHint().height());
  resize((last ? last->size : kMapWindowBase).expandedTo(wanted.boundedTo(most)).boundedTo(area.size()));
  connect(view_, &CMapClient::historyChanged, this, &CMapFrame::historyChanged);
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
