// Map windows for the application, with the prototypes they are built from.
#include "shell/QtMapWindowFactory.h"

#include "file/MapTools.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/QtInteraction.h"

QtMapWindowFactory::QtMapWindowFactory() : interaction_(std::make_unique<QtInteraction>()) {}

QtMapWindowFactory::~QtMapWindowFactory() = default;

void QtMapWindowFactory::registerPrototypes() {
  registerPrototypesOnce();
}

QWidget* QtMapWindowFactory::newMap(QWidget* mainWindow) { return new CMapFrame(mainWindow); }

QWidget* QtMapWindowFactory::openMap(QWidget* mainWindow, const QString& fileName) {
  auto frame = std::make_unique<CMapFrame>(mainWindow, fileName);
  if (!frame->view()->isOk()) return nullptr;
  return frame.release();
}
