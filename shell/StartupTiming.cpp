// Watches the first painting of a map window, and its closing, for the log.
#include "shell/StartupTiming.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "shell/CMapClient.h"
#include "support/ErrorReporter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Taken while the program's statics are made, before main.
const Clock::time_point gProcessStart = Clock::now();

long long millisecondsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

class FirstFrameWatch : public QObject {
 public:
  FirstFrameWatch(QObject* parent, bool closeAfter) : QObject(parent), closeAfter_(closeAfter) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (done_ || event->type() != QEvent::Paint) return false;
    auto* view = qobject_cast<CMapClient*>(watched);
    if (!view) return false;
    done_ = true;
    // Queued now, the timer runs once this paint is over.
    QTimer::singleShot(0, this, [this, view] { firstFramePainted(view); });
    return false;
  }

 private:
  void firstFramePainted(CMapClient* view) {
    reportError(nullptr, 'I', "first frame after %lld ms", millisecondsSince(gProcessStart));
    if (!closeAfter_) return;
    const Clock::time_point closing = Clock::now();
    // The view goes last of the window's parts, after the map it holds.
    connect(view, &QObject::destroyed, qApp, [closing] {
      reportError(nullptr, 'I', "window closed in %lld ms", millisecondsSince(closing));
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    view->QWidget::window()->close();
  }

  bool closeAfter_;
  bool done_ = false;
};

}  // namespace

void watchStartupTiming(QApplication& app) {
  const char* timing = std::getenv("BRENLO_TIMING");
  if (!timing) return;
  app.installEventFilter(new FirstFrameWatch(&app, std::strcmp(timing, "close") == 0));
}
