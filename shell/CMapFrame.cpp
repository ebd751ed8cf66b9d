// The map window: caption with the change mark, menu 100, and saving before closing.
#include "shell/CMapFrame.h"

#include <QCloseEvent>
#include <QMessageBox>

#include "shell/CMapClient.h"
#include "shell/CommandMenus.h"

CMapFrame::CMapFrame(QWidget* parent, CMapClient* view) : QMainWindow(parent, Qt::Window) {
  build(view ? view : new CMapClient(nullptr), QStringLiteral("New Map"));
}

CMapFrame::CMapFrame(QWidget* parent, const QString& fileName, CMapClient* view) : QMainWindow(parent, Qt::Window) {
  build(view ? view : new CMapClient(nullptr, fileName.toLocal8Bit().toStdString()), fileName);
}

void CMapFrame::build(CMapClient* view, const QString& caption) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("CMapFrame"));
  resize(400, 300);
  setWindowTitle(caption);
  view_ = view;
  setCentralWidget(view_);
  menus_ = new CommandMenus(this, view_);
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
  event->accept();
}
