// The main window "Brenlo": console, plain documents, status indicators and closing.
#include "shell/SDIDecFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextCursor>
#include <QTimer>

#include "shell/BrenloApp.h"
#include "shell/BrenloEditView.h"
#include "shell/CMapFrame.h"
#include "shell/HelpWindow.h"
#include "shell/LockKeys.h"
#include "shell/WindowPlace.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"

SDIDecFrame::SDIDecFrame(QWidget* parent) : QMainWindow(parent), console_(new QPlainTextEdit) {
  setObjectName(QStringLiteral("SDIDecFrame"));
  setWindowTitle(QStringLiteral("Brenlo"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/1001.svg")));
  // Opens where it was last time, else at the top left of the screen, large enough to read the console.
  const QRect area = availableArea(this);
  if (std::optional<WindowPlace> last = rememberedPlace(QStringLiteral("MainWindow"))) {
    resize(last->size.expandedTo(kMainWindowBase));
    move(last->framePos);
  } else {
    resize(kMainWindowBase.expandedTo(kMainWindowLeast));
    move(area.topLeft());
  }

  menus_ = new CommandMenus(this, this);
  menus_->addControlBar();

  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  // "EXT|CAPS|NUM|SCRL|OVR|REC": the four modes this window shows.
  for (const char* mode : {"CAPS", "NUM", "SCRL", "OVR"}) {
    auto* label = new QLabel(QString::fromLatin1(mode));
    label->setObjectName(QString::fromLatin1(mode));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setEnabled(false);
    bar->addPermanentWidget(label);
    indicators_[label->text()] = label;
  }

  updateLockIndicators();

  console_->setObjectName(QStringLiteral("console"));
  console_->setGeometry(0, 0, 100, 100);
  console_->setLineWrapMode(QPlainTextEdit::NoWrap);
  preferAccelerators(console_);
  setCentralWidget(console_);
  qApp->installEventFilter(this);
}

SDIDecFrame::~SDIDecFrame() { qApp->removeEventFilter(this); }

QWidget* SDIDecFrame::client() const {
  if (view_) return view_;
  return console_;
}

QLabel* SDIDecFrame::indicator(const QString& text) const {
  auto it = indicators_.find(text);
  return it == indicators_.end() ? nullptr : it->second;
}

int SDIDecFrame::showReport(int, const char* text) {
  // Reports never go into a user's document: while one is the client, the reporter shows a box.
  if (client() != console_) return -1;
  QTextCursor cursor(console_->document());
  if (console_->document()->characterCount() - 1 > kConsoleRoom) {
    console_->setPlainText(QStringLiteral("...Buffer flushed.\n"));
    cursor = QTextCursor(console_->document());
    cursor.movePosition(QTextCursor::Start);
  } else {
    cursor.movePosition(QTextCursor::End);
  }
  // A report is not an edit: Undo in the console never takes one back.
  console_->document()->setUndoRedoEnabled(false);
  cursor.insertText(QString::fromUtf8(text) + QLatin1Char('\n'));
  console_->document()->setUndoRedoEnabled(true);
  if (cursor.position() > 0 && console_->document()->characterCount() - 1 == cursor.position())
    console_->setTextCursor(cursor);  // keeps the newest line in sight
  return 0;
}

bool SDIDecFrame::newDocument() {
  if (!closeDocument()) return false;
  auto* view = new brenloEditView;
  takeCentralWidget();
  console_->setParent(this);  // the console stays ours, hidden, while the document is shown
  console_->hide();
  setCentralWidget(view);
  view_ = view;
  connect(view->document(), &QTextDocument::modificationChanged, this, &SDIDecFrame::updateCaption);
  view->installEventFilter(this);
  view->setFocus();
  updateCaption();
  return true;
}

bool SDIDecFrame::closeDocument() {
  if (!mayCloseDocument()) return false;
  dropDocument();
  return true;
}

bool SDIDecFrame::mayCloseDocument() {
  if (!view_) return true;
  if (view_->isChanged()) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Brenlo"),
                    QStringLiteral("The document has been changed.\n\nDo you want to save the changes?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    switch (box.exec()) {
      case QMessageBox::Yes:
        if (!saveDocument()) return false;
        break;
      case QMessageBox::No:
        break;
      default:
        return false;
    }
  }
  return true;
}

void SDIDecFrame::dropDocument() {
  if (!view_) return;
  QWidget* old = takeCentralWidget();
  view_ = nullptr;
  delete old;
  setCentralWidget(console_);
  console_->show();
  updateCaption();
}

bool SDIDecFrame::saveDocument() {
  if (!view_) return false;
  if (view_->fileName().isEmpty()) return saveDocumentAs();
  bool saved = view_->saveTo(view_->fileName());
  updateCaption();
  return saved;
}

bool SDIDecFrame::saveDocumentAs() {
  if (!view_) return false;
  QFileDialog dialog(this, QStringLiteral("Save As"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("All Files (*.*)"));
  dialog.setDefaultSuffix(QStringLiteral("TXT"));
  if (!view_->fileName().isEmpty()) dialog.selectFile(view_->fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  bool saved = view_->saveTo(dialog.selectedFiles().first());
  updateCaption();
  return saved;
}

bool SDIDecFrame::runCommand(int id) {
  if (view_ && view_->runSearchCommand(id)) return true;
  if (editCommandEnabled(qobject_cast<QPlainTextEdit*>(client()), id))
    return runEditCommand(qobject_cast<QPlainTextEdit*>(client()), id);
  return false;
}

std::optional<bool> SDIDecFrame::commandEnabled(int id) {
  if (view_ && (id == cm::EditFind || id == cm::EditReplace || id == cm::EditFindNext)) return true;
  return editCommandEnabled(qobject_cast<QPlainTextEdit*>(client()), id);
}

void SDIDecFrame::closeEvent(QCloseEvent* event) {
  // Every window is asked first; nothing closes unless all of them agree.
  QList<QPointer<QWidget>> windows;
  for (QObject* child : children()) {
    auto* window = qobject_cast<QWidget*>(child);
    if (window && window->isWindow() && window->isVisible()) windows.append(window);
  }
  for (const QPointer<QWidget>& window : windows) {
    auto* map = qobject_cast<CMapFrame*>(window.data());
    if (map && !map->mayClose()) {
      event->ignore();
      return;
    }
  }
  if (!mayCloseDocument()) {
    event->ignore();
    return;
  }
  // Other windows have no question: they are asked by closing them, before any map goes.
  for (const QPointer<QWidget>& window : windows) {
    if (window && !qobject_cast<CMapFrame*>(window.data()) && !window->close()) {
      event->ignore();
      return;
    }
  }
  for (const QPointer<QWidget>& window : windows)
    if (auto* map = qobject_cast<CMapFrame*>(window.data())) map->closeAgreed();
  dropDocument();
  rememberPlace(this, QStringLiteral("MainWindow"));
  event->accept();
  // Help does not outlive the program's main window.
  if (brenloApp* app = brenloApp::instance(); app && app->helpWindow()) app->helpWindow()->close();
}

void SDIDecFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  fitOnScreen(this);
  // The frame's size is known for certain only once the window is on the screen.
  QTimer::singleShot(0, this, [this] { fitOnScreen(this); });
}

bool SDIDecFrame::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      switch (key->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
          updateLockIndicators();
          break;
        case Qt::Key_Insert:
          if (event->type() == QEvent::KeyPress && watched == view_ && key->modifiers() == Qt::NoModifier) {
            view_->setOverwriteMode(!view_->overwriteMode());
            updateIndicators();
            return true;
          }
          break;
        default:
          break;
      }
      if (event->type() == QEvent::KeyPress) updateIndicators();
      break;
    }
    case QEvent::ApplicationActivate:
      // The lock keys may have changed while another program had the keyboard.
      if (watched == qApp) updateLockIndicators();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void SDIDecFrame::updateLockIndicators() {
  // The lock keys are shown as the keyboard has them, or not at all: counting key presses
  // cannot know how they stood when the program started.
  const std::optional<LockKeys> locks = readLockKeys();
  auto show = [this, &locks](const char* mode, bool LockKeys::*on) {
    QLabel* label = indicators_[QString::fromLatin1(mode)];
    label->setText(locks ? QString::fromLatin1(mode) : QString());
    label->setEnabled(locks && (*locks).*on);
  };
  show("CAPS", &LockKeys::caps);
  show("NUM", &LockKeys::num);
  show("SCRL", &LockKeys::scroll);
}

void SDIDecFrame::updateIndicators() { indicators_["OVR"]->setEnabled(view_ && view_->overwriteMode()); }

void SDIDecFrame::updateCaption() {
  if (!view_) {
    setWindowTitle(QStringLiteral("Brenlo"));
    setWindowModified(false);
    return;
  }
  QString doc = view_->fileName().isEmpty() ? QStringLiteral("Untitled") : QFileInfo(view_->fileName()).fileName();
  setWindowTitle(QStringLiteral("Brenlo - %1[*]").arg(doc));
  setWindowModified(view_->isChanged());
}
