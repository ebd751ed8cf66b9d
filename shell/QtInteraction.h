// The Qt side of the interaction services: rubber-band drags, popup menus, the text prompt, the colour chooser.
#pragma once

#include <QObject>
#include <QPointer>

#include "model/Interaction.h"

class QEventLoop;
class QMenu;
class QWidget;
class TrackOverlay;

/// The interaction services on Qt Widgets. While it lives it is the installed backend.
/// A NativeWindow is a QWidget*; none means the widget with the keyboard focus.
class QtInteraction : public QObject, public InteractionBackend {
  Q_OBJECT
 public:
  QtInteraction();
  ~QtInteraction() override;

  /// A modal drag: the masked edges follow the pointer until the left button is
  /// released after a press (a press already held counts). Other input waits meanwhile.
  RECT trackRect(const RECT& r, unsigned edgeMask, NativeWindow window) override;
  /// The same drag for the moving end of a line from `fixed`.
  POINT trackLine(const POINT& fixed, const POINT& moving, NativeWindow window) override;
  /// A QMenu at `at` (client coordinates of the window); the chosen id or 0.
  unsigned trackPopupMenu(const Menu& menu, const POINT& at, NativeWindow window) override;
  /// A modal multi-line text dialog; true when ended with OK.
  bool askText(const std::string& title, const std::string& prompt, std::string& text) override;
  /// The colour dialog with the shared custom colours; nothing when cancelled.
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial, CustomColors& custom) override;

  /// True while a drag of trackRect or trackLine is in progress.
  bool tracking() const { return loop_ != nullptr; }
  /// True while the left mouse button is down, as far as the program has been told.
  bool leftButtonHeld() const { return leftHeld_; }

  /// Builds the Qt menu of a menu description; each command action carries its id as data.
  static QMenu* makeMenu(const Menu& menu, QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Gesture;
  void runGesture(Gesture& gesture);
  bool gestureEvent(QEvent* event);

  bool leftHeld_ = false;
  Gesture* gesture_ = nullptr;
  QEventLoop* loop_ = nullptr;
};
