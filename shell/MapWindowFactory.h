// The seam through which the application makes map windows.
#pragma once

#include <QString>

class QWidget;

/// Makes map windows for New View, Open and the start-up file. The application
/// owns the installed factory; without one, map windows are reported as unavailable.
class MapWindowFactory {
 public:
  virtual ~MapWindowFactory() = default;
  /// Registers the shape, line and connector prototypes, then the component prototypes.
  /// Called once during start-up, before the console exists.
  virtual void registerPrototypes() {}
  /// Makes an empty map window owned by `mainWindow` (a top-level child); not yet shown.
  virtual QWidget* newMap(QWidget* mainWindow) = 0;
  /// Makes a map window on `fileName` owned by `mainWindow`; not yet shown.
  /// Answers null when the window could not be built; may throw.
  virtual QWidget* openMap(QWidget* mainWindow, const QString& fileName) = 0;
  /// Makes a map window showing the recovery copy `copyFile` as the changed map of the file
  /// `original` (empty for a map never saved), whose copies go on in the recovery store's
  /// `slot`; not yet shown. Null when the copy could not be read or windows cannot be made.
  virtual QWidget* restoreMap(QWidget* mainWindow, const QString& copyFile, const QString& original,
                              unsigned slot) {
    (void)mainWindow;
    (void)copyFile;
    (void)original;
    (void)slot;
    return nullptr;
  }
  /// The map window of `mainWindow` that shows `fileName` already, or null.
  virtual QWidget* windowOf(QWidget* mainWindow, const QString& fileName) {
    (void)mainWindow;
    (void)fileName;
    return nullptr;
  }
};
