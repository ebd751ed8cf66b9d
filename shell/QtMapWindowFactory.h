// The map windows of the editor as the application asks for them: New View, Open and the start-up file.
#pragma once

#include <memory>

#include "shell/MapWindowFactory.h"

class QtInteraction;

/// Makes CMapFrame windows and keeps the Qt interaction services installed while it lives.
/// Make it after the QApplication and drop it before the QApplication goes.
class QtMapWindowFactory : public MapWindowFactory {
 public:
  QtMapWindowFactory();
  ~QtMapWindowFactory() override;

  /// The standard shapes, lines and connectors, then the component prototypes.
  void registerPrototypes() override;
  /// An empty map window owned by `mainWindow`.
  QWidget* newMap(QWidget* mainWindow) override;
  /// A map window on `fileName`; null when the file could not be read, so that the
  /// application reports it and no partly read map can be saved over the file.
  QWidget* openMap(QWidget* mainWindow, const QString& fileName) override;
  QWidget* restoreMap(QWidget* mainWindow, const QString& copyFile, const QString& original,
                      unsigned slot) override;
  QWidget* windowOf(QWidget* mainWindow, const QString& fileName) override;

 private:
  std::unique_ptr<QtInteraction> interaction_;
};
