// Map windows for the application, with the prototypes they are built from.
#include "shell/QtMapWindowFactory.h"

#include <filesystem>

#include "file/MapTools.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/QtInteraction.h"
#include "shell/WindowPlace.h"

QtMapWindowFactory::QtMapWindowFactory() : interaction_(std::make_unique<QtInteraction>()) {}

QtMapWindowFactory::~QtMapWindowFactory() = default;

void QtMapWindowFactory::registerPrototypes() {
  registerPrototypesOnce();
}

namespace {

// Map windows open below the main window, each a little further on, so that the
// main window and its console stay in sight.
// A map window opens where the last one was when there was one.
QWidget* placed(QWidget* frame, QWidget* mainWindow) {
  // Each map window already open moves the new one a step on.
  int open = 0;
  if (mainWindow)
    for (CMapFrame* other : mainWindow->findChildren<CMapFrame*>(Qt::FindDirectChildrenOnly))
      open += other != frame && other->isVisible();
  const int step = 24 * (open % 8);
  if (std::optional<WindowPlace> last = rememberedPlace(QStringLiteral("MapWindow"))) {
    frame->move(last->framePos + QPoint(step, step));
    return frame;
  }
  if (!mainWindow) return frame;
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

QWidget* QtMapWindowFactory::restoreMap(QWidget* mainWindow, const QString& copyFile, const QString& original,
                                        unsigned slot) {
  auto frame = std::make_unique<CMapFrame>(mainWindow);
  if (!frame->restore(copyFile, original, slot)) return nullptr;
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
