// The map view: painting what changed, passing the mouse to elements, Undo, Redo, Save and Save As.
#include "shell/CMapClient.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <fstream>

#include "commands/Command.h"
#include "commands/CommandTypes.h"
#include "file/MapFile.h"
#include "model/SensitiveGraphic.h"
#include "shell/Commands.h"
#include "shell/QtDrawingContext.h"

namespace {

// Mouse key-state flags as elements expect them.
constexpr unsigned kKeyLeft = 0x0001;
constexpr unsigned kKeyRight = 0x0002;
constexpr unsigned kKeyShift = 0x0004;
constexpr unsigned kKeyMiddle = 0x0010;

unsigned keysOf(const QMouseEvent* e) {
  unsigned keys = 0;
  if (e->buttons() & Qt::LeftButton) keys |= kKeyLeft;
  if (e->buttons() & Qt::RightButton) keys |= kKeyRight;
  if (e->buttons() & Qt::MiddleButton) keys |= kKeyMiddle;
  if (e->modifiers() & Qt::ShiftModifier) keys |= kKeyShift;
  if (e->modifiers() & Qt::ControlModifier) keys |= kKeyControl;
  return keys;
}

POINT pointOf(const QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  return POINT{p.x(), p.y()};
}


// A map rectangle (right and bottom edges inside) as a widget area, clamped to `bounds`.
QRect widgetArea(const RECT& r, const QRect& bounds) {
  const auto clamp = [](long long v, int lo, int hi) { return static_cast<int>(std::clamp<long long>(v, lo, hi)); };
  const int left = clamp(r.left, bounds.left(), bounds.right() + 1);
  const int top = clamp(r.top, bounds.top(), bounds.bottom() + 1);
  const int right = clamp(r.right, bounds.left() - 1, bounds.right());
  const int bottom = clamp(r.bottom, bounds.top() - 1, bounds.bottom());
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

template <class F>
void CMapClient::guarded(F&& f) {
  // Nothing thrown by an element may cross the window system.
  try {
    f();
  } catch (const Graphic::Exception& e) {
    e.report(nullptr, 'E');
  } catch (const std::exception& e) {
    reportError(nullptr, 'E', "CMapClient: %s", e.what());
  }
}

CMapClient::CMapClient(QWidget* parent) : QWidget(parent) { setUp(); }

CMapClient::CMapClient(QWidget* parent, const std::string& fileName) : QWidget(parent), fileName_(fileName) {
  setUp();
  setWindowTitle(QString::fromLocal8Bit(fileName.c_str()));
  // Stamped before reading: a change made while it is read is noticed at the next save.
  stamp_ = stampOfFile(fileName);
  std::ifstream in(fileName, std::ios::binary);
  load(in, fileName);
}

CMapClient::CMapClient(QWidget* parent, std::istream& in) : QWidget(parent) {
  setUp();
  setWindowTitle(QStringLiteral("QOR Brenlo"));
  load(in, {});
}

// The elements go before the widget, and none of them repaints on the way out.
CMapClient::~CMapClient() { document_.closeDown(); }

void CMapClient::setUp() {
  setWindowTitle(QStringLiteral("New Map"));
  setObjectName(QStringLiteral("CMapClient"));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  document_.setView(this);
  // The history moved, or the map was saved or changed past undoing: captions and enablers follow.
  document_.history().setChangeCallback([this] { emit historyChanged(); });
}

void CMapClient::load(std::istream& in, const std::string& name) {
  loadFailed_ = !init(document_, in, name);
  document_.history().markClean();
}

QString CMapClient::documentName() const {
  return fileName_.empty() ? QStringLiteral("New View") : QString::fromLocal8Bit(fileName_.c_str());
}

bool CMapClient::save() {
  if (fileName_.empty()) return saveAs();
  return saveTo(fileName_);
}

bool CMapClient::saveAs() {
  QFileDialog dialog(this, QStringLiteral("Save As"), QStringLiteral("."));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("CMap Files (*.CM)"));
  dialog.setDefaultSuffix(QStringLiteral("CM"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  // The dialog has asked already whether an existing file may be replaced.
  return writeTo(dialog.selectedFiles().first().toLocal8Bit().toStdString());
}

namespace {

enum class Overwrite { Yes, Elsewhere, No };

// Asks whether a save may overwrite a file that holds more than, or other than, the map.
Overwrite askOverwrite(QWidget* window, const QString& question) {
  QMessageBox box(QMessageBox::Warning, window->windowTitle(), question, QMessageBox::NoButton, window);
  box.setTextFormat(Qt::PlainText);
  QPushButton* overwrite = box.addButton(QStringLiteral("Overwrite"), QMessageBox::AcceptRole);
  QPushButton* elsewhere = box.addButton(QStringLiteral("Save As..."), QMessageBox::ActionRole);
  box.setDefaultButton(box.addButton(QMessageBox::Cancel));
  box.exec();
  if (box.clickedButton() == overwrite) return Overwrite::Yes;
  return box.clickedButton() == elsewhere ? Overwrite::Elsewhere : Overwrite::No;
}

}  // namespace

bool CMapClient::saveTo(const std::string& fileName) {
  const bool ownFile = !fileName_.empty() && fileName == fileName_;
  const QString name = QString::fromLocal8Bit(fileName.c_str());
  QString question;
  if (ownFile && document_.readIncompletely()) {
    question = QStringLiteral("'%1' could not be read completely: saving replaces it with what was read. Overwrite it?")
                   .arg(name);
  } else if (ownFile) {
    // A file that is gone has nothing to lose; one that another program wrote has.
    const FileStamp now = stampOfFile(fileName);
    if (now.exists && now != stamp_)
      question = QStringLiteral("'%1' was changed by another program since it was opened. Overwrite it?").arg(name);
  }
  if (!question.isEmpty()) {
    switch (askOverwrite(this, question)) {
      case Overwrite::Yes:
        break;
      case Overwrite::Elsewhere:
        return saveAs();
      case Overwrite::No:
        return false;
    }
  }
  return writeTo(fileName);
}

bool CMapClient::writeTo(const std::string& fileName) {
  std::string why;
  if (!::save(document_, fileName, &why)) {
    emit historyChanged();
    // The console line is easily hidden behind this window: the window tells it too.
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromLocal8Bit(why.c_str()), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return false;
  }
  fileName_ = fileName;
  stamp_ = stampOfFile(fileName);
  document_.setReadIncompletely(false);  // the file holds the map now
  setWindowTitle(QString::fromLocal8Bit(fileName.c_str()));
  document_.history().markClean();
  return true;
}

void CMapClient::deleteSelection() {
  guarded([this] {
    if (std::unique_ptr<Command> all = document_.doGenerateCommand(kCmdDelete, nullptr, nullptr))
      document_.submitCommand(std::move(all));
  });
}

bool CMapClient::runCommand(int id) {
  switch (id) {
    case cm::ObjectResize:
      return true;
    case cm::EditUndo:
      document_.history().undo();
      return true;
    case cm::EditRedo:
      document_.history().redo();
      return true;
    case cm::FileSave:
      save();
      return true;
    case cm::FileSaveAs:
      saveAs();
      return true;
    case cm::EditDelete:
      deleteSelection();
      return true;
    default:
      return false;
  }
}

std::optional<bool> CMapClient::commandEnabled(int id) {
  switch (id) {
    case cm::ObjectResize:
    case cm::FileSave:
    case cm::FileSaveAs:
      return true;
    case cm::EditUndo:
      return document_.history().undoCount() > 0;
    case cm::EditRedo:
      return document_.history().canRedo();
    case cm::EditDelete:
      return !document_.selection().empty();
    default:
      return std::nullopt;
  }
}

void CMapClient::repaintArea(const RECT& r) {
  if (r.left == kWholeArea.left && r.top == kWholeArea.top && r.right == kWholeArea.right &&
      r.bottom == kWholeArea.bottom) {
    update();
    return;
  }
  const QRect area = widgetArea(r, rect());
  if (!area.isEmpty()) update(area);
}

void CMapClient::paintArea(QPainter& painter, const RECT& area) {
  // The map's area index gives the elements near the area; nothing else is visited.
  QtDrawingContext dc(painter);
  document_.drawArea(dc, area);
}

void CMapClient::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect r = event->rect();
  guarded([&] { paintArea(painter, RECT{r.left(), r.top(), r.right(), r.bottom()}); });
}

void CMapClient::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (setUpDone_) return;
  setUpDone_ = true;
  // Once shown, a map without a file is a "New View" in its frame's caption.
  if (fileName_.empty() && parentWidget()) emit historyChanged();
}

void CMapClient::mousePressEvent(QMouseEvent* event) {
  const unsigned keys = keysOf(event);
  const POINT p = pointOf(event);
  guarded([&] {
    switch (event->button()) {
      case Qt::LeftButton:
        if (SensitiveGraphic* s = document_.findSensitiveAt(p)) {
          s->leftButtonDown(keys, p);
        } else {
          document_.setCaptured(nullptr);
          document_.rubberBandSelect(keys, p);  // a press on empty space selects by a rubber band
        }
        break;
      case Qt::RightButton:
        document_.rightButtonDown(keys, p);  // the walk through the elements, then the map's popup
        break;
      default:
        break;  // the middle button has no meaning here
    }
  });
}

void CMapClient::mouseReleaseEvent(QMouseEvent* event) {
  const unsigned keys = keysOf(event);
  const POINT p = pointOf(event);
  guarded([&] {
    SensitiveGraphic* s = document_.findSensitiveAt(p);
    if (event->button() == Qt::LeftButton) {
      if (s) s->leftButtonUp(keys, p); else document_.setCaptured(nullptr);
    } else if (event->button() == Qt::RightButton) {
      if (s) s->rightButtonUp(keys, p); else document_.setCaptured(nullptr);
    }
  });
}

void CMapClient::mouseDoubleClickEvent(QMouseEvent* event) {
  const unsigned keys = keysOf(event);
  const POINT p = pointOf(event);
  guarded([&] {
    SensitiveGraphic* s = document_.findSensitiveAt(p);
    switch (event->button()) {
      case Qt::LeftButton:
      case Qt::MiddleButton:  // both answered by the element's left double click
        if (s) s->leftDoubleClick(keys, p);
        else if (event->button() == Qt::LeftButton) document_.leftDoubleClick(keys, p);  // empty space: a new node
        else document_.setCaptured(nullptr);
        break;
      case Qt::RightButton:
        if (s) s->rightDoubleClick(keys, p); else document_.setCaptured(nullptr);
        break;
      default:
        break;
    }
  });
}

void CMapClient::linkNewConcept() {
  guarded([&] {
    if (!document_.quickLinkSelection()) QApplication::beep();
  });
}

void CMapClient::mouseMoveEvent(QMouseEvent* event) {
  const unsigned keys = keysOf(event);
  const POINT p = pointOf(event);
  guarded([&] {
    if (SensitiveGraphic* s = document_.findSensitiveAt(p)) s->mouseMove(keys, p);
  });
}
