// Lays a map out on printer pages and paints it with the export's renderer.
#include "shell/MapPrint.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "model/CMap.h"
#include "shell/MapExport.h"

MapPages layOutMapPages(const QRect& area, const QSizeF& page, double unitPixels, MapPrintScale how) {
  MapPages pages;
  if (area.isEmpty() || page.isEmpty() || unitPixels <= 0) return pages;
  if (how == MapPrintScale::FitToPage) {
    pages.scale = std::min(page.width() / area.width(), page.height() / area.height());
    pages.areas.push_back(QRectF(area));
    return pages;
  }
  pages.scale = unitPixels;
  const double w = page.width() / unitPixels, h = page.height() / unitPixels;
  const int columns = std::max(1, int(std::ceil(area.width() / w - 1e-9)));
  const int rows = std::max(1, int(std::ceil(area.height() / h - 1e-9)));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      pages.areas.push_back(QRectF(area.left() + c * w, area.top() + r * h, w, h).intersected(QRectF(area)));
  return pages;
}

bool printMap(CMap& map, QPrinter& printer, MapPrintScale how) {
  const QRect area = pictureArea(map);
  // One map unit is one pixel of a screen at 96 dots an inch.
  const MapPages pages = layOutMapPages(area, printer.pageRect(QPrinter::DevicePixel).size(),
                                        printer.resolution() / 96.0, how);
  int from = printer.fromPage(), to = printer.toPage();
  if (from <= 0) from = 1;
  if (to <= 0 || to > int(pages.areas.size())) to = int(pages.areas.size());
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  for (int page = from; page <= to; ++page) {
    if (page > from && !printer.newPage()) return false;
    const QRectF part = pages.areas[std::size_t(page - 1)];
    const QRect whole = part.toAlignedRect();
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), part.size() * pages.scale));
    painter.translate((whole.topLeft() - part.topLeft()) * pages.scale);
    paintPicture(painter, map, whole, pages.scale);
    painter.restore();
  }
  return painter.end();
}
