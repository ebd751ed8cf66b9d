// What a map document asks of the window that shows it.
#pragma once

#include "support/ErrorReporter.h"
#include "support/Geometry.h"

/// The window showing a document: it repaints areas of the map and is the window in
/// which the elements track the mouse and pop up their menus.
class MapView {
 public:
  virtual ~MapView() = default;
  /// Repaints an area in map coordinates; kWholeArea stands for all of it.
  virtual void repaintArea(const RECT& r) = 0;
  /// The window handed to the interaction services.
  virtual NativeWindow nativeWindow() const = 0;
  /// The one pair of conversions between map coordinates and the window's pixels; every
  /// point the elements hand to or get from the window passes through them. The same
  /// coordinates unless the view zooms or scrolls.
  virtual POINT mapToWindow(const POINT& p) const { return p; }
  virtual POINT windowToMap(const POINT& p) const { return p; }
};
