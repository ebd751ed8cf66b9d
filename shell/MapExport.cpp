// Exporting a map: lay it out once, measure what it covers, then paint it on an image, SVG or PDF.
#include "shell/MapExport.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "commands/Command.h"
#include "file/MapFile.h"
#include "model/CMap.h"
#include "model/RootMap.h"
#include "shell/QtDrawingContext.h"
#include "support/ErrorReporter.h"

namespace {

// The PNG writer's quality that gives the first level of compression.
constexpr int kPngQuality = 85;

// The area the elements cover, once laid out: labels and automatic sizes need the fonts.
QRect coveredArea(CMap& map) {
  {
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter painter(&scratch);
    QtDrawingContext measuring(painter);
    map.layOutAll(measuring);
  }
  bool any = false;
  RECT all{};
  for (Graphic* g : map) {
    RECT r = g->invalidRect();
    const RECT b = g->boundingRect();
    r = RECT{std::min(r.left, b.left), std::min(r.top, b.top), std::max(r.right, b.right), std::max(r.bottom, b.bottom)};
    all = any ? RECT{std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
                     std::max(all.bottom, r.bottom)}
              : r;
    any = true;
  }
  if (!any) return QRect(0, 0, 100, 100);
  return QRect(QPoint(all.left, all.top), QPoint(all.right, all.bottom))
      .adjusted(-kExportMargin, -kExportMargin, kExportMargin, kExportMargin);
}

std::function<QImage(QSize)>& imageMaker() {
  static std::function<QImage(QSize)> maker;
  return maker;
}

void paintMap(QPainter& painter, CMap& map, const QRect& area, double scale = 1) {
  painter.scale(scale, scale);
  painter.fillRect(QRect(QPoint(0, 0), area.size()), Qt::white);
  painter.translate(-area.topLeft());
  QtDrawingContext dc(painter);
  map.draw(dc);
}

}  // namespace

bool exportMap(CMap& map, const std::string& outFile, std::string& error) {
  const QString out = QString::fromLocal8Bit(outFile.c_str());
  const QString suffix = QFileInfo(out).suffix().toLower();
  const QRect area = coveredArea(map);
  if (suffix == QLatin1String("png")) {
    // An image of the elements' area only, at most kExportMaxSide on a side.
    QSize size = area.size();
    double scale = 1;
    if (size.width() > kExportMaxSide || size.height() > kExportMaxSide) {
      scale = std::min(double(kExportMaxSide) / size.width(), double(kExportMaxSide) / size.height());
      size = QSize(std::clamp(int(std::ceil(size.width() * scale)), 1, kExportMaxSide),
                   std::clamp(int(std::ceil(size.height() * scale)), 1, kExportMaxSide));
      reportError(nullptr, 'W', "exportMap: the map covers %d x %d pixels; the picture is scaled down to %d x %d",
                  area.width(), area.height(), size.width(), size.height());
    }
    QImage image = imageMaker() ? imageMaker()(size) : QImage(size, QImage::Format_RGB32);
    if (image.isNull()) {
      error = "not enough memory for a picture of " + std::to_string(size.width()) + " x " +
              std::to_string(size.height()) + " pixels";
      return false;
    }
    {
      QPainter painter(&image);
      paintMap(painter, map, area, scale);
    }
    // The fastest compression: a large map's picture is written in seconds, not minutes.
    if (!image.save(out, "PNG", kPngQuality)) {
      error = "cannot write '" + outFile + "'";
      return false;
    }
    return true;
  }
  if (suffix == QLatin1String("svg")) {
    QSvgGenerator svg;
    svg.setFileName(out);
    svg.setSize(area.size());
    svg.setViewBox(QRect(QPoint(0, 0), area.size()));
    svg.setTitle(QStringLiteral("Concept map"));
    QPainter painter;
    if (!painter.begin(&svg)) {
      error = "cannot write '" + outFile + "'";
      return false;
    }
    paintMap(painter, map, area);
    return painter.end();
  }
  if (suffix == QLatin1String("pdf")) {
    QPdfWriter pdf(out);
    pdf.setResolution(72);  // one map pixel is one point
    pdf.setPageSize(QPageSize(QSizeF(area.size()), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) {
      error = "cannot write '" + outFile + "'";
      return false;
    }
    paintMap(painter, map, area);
    return painter.end();
  }
  error = "unknown picture type '" + QFileInfo(out).suffix().toStdString() + "' (use .png, .svg or .pdf)";
  return false;
}

void setExportImageMaker(std::function<QImage(QSize)> maker) { imageMaker() = std::move(maker); }

bool exportMapFile(const std::string& inFile, const std::string& outFile, std::string& error) {
  RootMap map;
  if (!openMapFile(map, inFile)) {
    error = "cannot read the map '" + inFile + "'";
    return false;
  }
  return exportMap(map, outFile, error);
}
