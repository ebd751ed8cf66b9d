// Rubber bands in a nested event loop that lets only the gesture's mouse events and painting through.
#include "shell/QtInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QEventLoop>
#include <QInputDialog>
#include <QMenu>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QWidget>

#include "shell/QtDrawingContext.h"

/// Draws the rubber band over the window it tracks in, inverting what lies below.
class TrackOverlay : public QWidget {
 public:
  explicit TrackOverlay(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(window->rect());
    raise();
    show();
  }
  void showRect(const QRect& r) {
    isLine_ = false;
    rect_ = r;
    update();
  }
  void showLine(const QPoint& a, const QPoint& b) {
    isLine_ = true;
    a_ = a;
    b_ = b;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::NoBrush);
    if (isLine_)
      p.drawLine(a_, b_);
    else
      p.drawRect(rect_.normalized());
  }

 private:
  bool isLine_ = false;
  QRect rect_;
  QPoint a_, b_;
};

struct QtInteraction::Gesture {
  QPointer<QWidget> window;
  bool line = false;
  unsigned mask = 0;
  RECT rect{};
  POINT fixed{}, moving{};
  RECT startRect{};  // what Escape goes back to
  POINT startMoving{};
  bool pressed = false;
  TrackOverlay* overlay = nullptr;

  void show() {
    if (!overlay) return;
    if (line)
      overlay->showLine(QPoint(fixed.x, fixed.y), QPoint(moving.x, moving.y));
    else
      overlay->showRect(QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom)));
  }
  void follow(const QPoint& p) {
    if (line) {
      moving = POINT{p.x(), p.y()};
    } else {
      if (mask & kEdgeLeft) rect.left = p.x();
      if (mask & kEdgeTop) rect.top = p.y();
      if (mask & kEdgeRight) rect.right = p.x();
      if (mask & kEdgeBottom) rect.bottom = p.y();
    }
    show();
  }
};

namespace {

QWidget* windowOf(NativeWindow window) {
  if (window) return static_cast<QWidget*>(window);
  if (QWidget* focus = QApplication::focusWidget()) return focus;
  return QApplication::activeWindow();
}

bool isInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
      return true;
    default:
      return false;
  }
}

}  // namespace

QtInteraction::QtInteraction() {
  qApp->installEventFilter(this);
  setInteractionBackend(this);
}

QtInteraction::~QtInteraction() {
  if (interactionBackend() == this) setInteractionBackend(nullptr);
  qApp->removeEventFilter(this);
}

bool QtInteraction::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonRelease) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) leftHeld_ = type != QEvent::MouseButtonRelease;
  }
  if (gesture_ && watched->isWidgetType()) return gestureEvent(event);
  return QObject::eventFilter(watched, event);
}

bool QtInteraction::gestureEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                     type == QEvent::MouseButtonRelease || type == QEvent::MouseMove;
  if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    // Escape ends the drag where it began.
    gesture_->rect = gesture_->startRect;
    gesture_->moving = gesture_->startMoving;
    if (loop_) loop_->quit();
    return true;
  }
  if (!mouse) return isInput(type);
  auto* e = static_cast<QMouseEvent*>(event);
  Gesture& g = *gesture_;
  if (!g.window) {
    if (loop_) loop_->quit();
    return true;
  }
  const QPoint p = g.window->mapFromGlobal(e->globalPosition().toPoint());
  if (type == QEvent::MouseMove) {
    g.follow(p);
    return true;
  }
  if (e->button() != Qt::LeftButton) return true;
  g.follow(p);
  if (type == QEvent::MouseButtonRelease) {
    if (g.pressed && loop_) loop_->quit();
  } else {
    g.pressed = true;
  }
  return true;
}

void QtInteraction::runGesture(Gesture& gesture) {
  if (!gesture.window || gesture_) return;  // no window to drag in, or a drag already running
  QWidget* w = gesture.window;
  gesture.pressed = leftHeld_;
  gesture.startRect = gesture.rect;
  gesture.startMoving = gesture.moving;
  gesture.overlay = new TrackOverlay(w);
  gesture.show();
  // The pointer starts on what it drags.
  const POINT at = gesture.line ? gesture.moving
                                : POINT{(gesture.mask & kEdgeLeft) ? gesture.rect.left : gesture.rect.right,
                                        (gesture.mask & kEdgeTop) ? gesture.rect.top : gesture.rect.bottom};
  QCursor::setPos(w->mapToGlobal(QPoint(at.x, at.y)));
  QEventLoop loop;
  gesture_ = &gesture;
  loop_ = &loop;
  w->grabMouse();
  loop.exec(QEventLoop::ExcludeSocketNotifiers);
  gesture_ = nullptr;
  loop_ = nullptr;
  if (gesture.window) {
    gesture.window->releaseMouse();
    delete gesture.overlay;
  }
}

RECT QtInteraction::trackRect(const RECT& r, unsigned edgeMask, NativeWindow window) {
  Gesture g;
  g.window = windowOf(window);
  g.mask = edgeMask;
  g.rect = r;
  runGesture(g);
  return g.rect;
}

POINT QtInteraction::trackLine(const POINT& fixed, const POINT& moving, NativeWindow window) {
  Gesture g;
  g.window = windowOf(window);
  g.line = true;
  g.fixed = fixed;
  g.moving = moving;
  runGesture(g);
  return g.moving;
}

namespace {

void fillMenu(QMenu* out, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Command:
        if (QAction* a = out->addAction(QString::fromStdString(item.text))) {
          a->setData(item.id);
          a->setEnabled(item.enabled);
        }
        break;
      case MenuItem::Kind::Separator:
        out->addSeparator();
        break;
      case MenuItem::Kind::Submenu:
        fillMenu(out->addMenu(QString::fromStdString(item.text)), item.items);
        break;
    }
  }
}

}  // namespace

QMenu* QtInteraction::makeMenu(const Menu& menu, QWidget* parent) {
  auto* out = new QMenu(parent);
  fillMenu(out, menu.items());
  return out;
}

unsigned QtInteraction::trackPopupMenu(const Menu& menu, const POINT& at, NativeWindow window) {
  QWidget* w = windowOf(window);
  QPointer<QMenu> popup = makeMenu(menu, w);
  const QPoint global = w ? w->mapToGlobal(QPoint(at.x, at.y)) : QPoint(at.x, at.y);
  QAction* chosen = popup->exec(global);
  const unsigned id = chosen ? chosen->data().toUInt() : 0;
  delete popup.data();
  return id;
}

namespace {

/// In the label prompt Enter presses OK; Shift+Enter or Ctrl+Enter breaks the line.
class EnterConfirms : public QObject {
 public:
  explicit EnterConfirms(QDialog* dialog) : QObject(dialog), dialog_(dialog) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    auto* edit = qobject_cast<QPlainTextEdit*>(watched);
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) {
      if (edit) edit->textCursor().insertText(QStringLiteral("\n"));
    } else {
      dialog_->accept();
    }
    return true;
  }

 private:
  QDialog* dialog_;
};

}  // namespace

bool QtInteraction::askText(const std::string& title, const std::string& prompt, std::string& text) {
  QInputDialog dialog(nullptr);
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setLabelText(QString::fromStdString(prompt));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setOption(QInputDialog::UsePlainTextEditForTextInput);
  dialog.setTextValue(QString::fromStdString(text));
  auto* confirms = new EnterConfirms(&dialog);
  // The text comes selected, so that typing replaces it.
  for (QPlainTextEdit* edit : dialog.findChildren<QPlainTextEdit*>()) {
    edit->installEventFilter(confirms);
    edit->selectAll();
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  text = dialog.textValue().toStdString();
  return true;
}

std::optional<std::uint32_t> QtInteraction::chooseColor(std::uint32_t initial, CustomColors& custom) {
  for (std::size_t i = 0; i < custom.size(); ++i)
    QColorDialog::setCustomColor(static_cast<int>(i), toQColor(custom[i]));
  QColorDialog dialog(toQColor(initial));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  const bool ok = dialog.exec() == QDialog::Accepted;
  // Custom colours set in the dialog stay for the next choice, chosen or not.
  for (std::size_t i = 0; i < custom.size(); ++i)
    custom[i] = fromQColor(QColorDialog::customColor(static_cast<int>(i)));
  if (!ok) return std::nullopt;
  return fromQColor(dialog.selectedColor());
}
