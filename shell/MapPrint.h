// Printing a map: the whole map fitted to one page, or at actual size over as many pages as it takes.
#pragma once

#include <QRect>
#include <QSizeF>
#include <vector>

class CMap;
class QPrinter;
class QWidget;

/// How a map is laid on paper.
enum class MapPrintScale {
  FitToPage,   // the whole map on one page, as large as the page allows
  ActualSize,  // one map unit to one screen pixel's size on paper, over several pages
};

/// The pages of a map print.
struct MapPages {
  double scale = 1;             // printer pixels per map unit
  std::vector<QRectF> areas;    // each page's part of the map (map units), row by row
};

/// Lays `area` (map units) out on pages of `page` printer pixels, `unitPixels` printer
/// pixels making one map unit at actual size.
MapPages layOutMapPages(const QRect& area, const QSizeF& page, double unitPixels, MapPrintScale how);

/// Prints the map on `printer` (its page range is honoured); false when the printer failed.
bool printMap(CMap& map, QPrinter& printer, MapPrintScale how);

/// Something whose Print and Print Preview print a map rather than a window: a map view.
class PrintableMap {
 public:
  virtual ~PrintableMap() = default;
  virtual CMap& printedMap() = 0;
  /// The window the print dialogs belong to.
  virtual QWidget* printOwner() = 0;
};
