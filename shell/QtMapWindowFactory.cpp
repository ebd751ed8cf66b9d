// Map windows for the application, with the prototypes they are built from.
#include "shell/QtMapWindowFactory.h"

#include <filesystem>

#include "file/MapTools.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/QtInteraction.h"

QtMapWindowFactory::QtMapWindowFactory() : interaction_(std::make_unique<QtInteraction>()) {}

QtMapWindowFactory::~QtMapWindowFactory() = default;

void QtMapWindowFactory::registerPrototypes() {
  registerPrototypesOnce();
}

namespace {

// Map windows open below the main window, each a little further on, so that the
// main window and its console stay in sight.
QWidget* placed(QWidget* frame, QWidget* mainWindow) {
  if (!mainWindow) return frame;
  static int next = 0;
  const int step = 24 * (next++ % 8);
  const QRect main = mainWindow->frameGeometry();
  frame->move(main.left() + step, main.bottom() + 8 + step);
  return frame;
}

}  // namespace

QWidget* QtMapWindowFactory::newMap(QWidget* mainWindow) { return placed(new CMapFrame(mainWindow), mainWindow); }

QWidget* QtMapWindowFactory::openMap(QWidget* mainWindow, const QString& fileName) {
  auto frame = std::make_unique<CMapFrame>(mainWindow, fileName);
  if (!frame->view()->isOk()) return nullptr;
  return placed(frame.release(), mainWindow);
}

QWidget* QtMapWindowFactory::windowOf(QWidget* mainWindow, const QString& fileName) {
  if (!mainWindow) return nullptr;
  const std::filesystem::path wanted(fileName.toLocal8Bit().toStdString());
  for (CMapFrame* frame : mainWindow->findChildren<CMapFrame*>()) {
    const std::string& shown = frame->view()->fileName();
    std::error_code error;
    // The same file under another name (a link, a relative path) is the same map.
    if (!shown.empty() && std::filesystem::equivalent(wanted, shown, error) && !error) return frame;
  }
  return nullptr;
}
