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
#include <sstream>
#include <vector>

#include "commands/Command.h"
#include "file/GraphML.h"
#include "file/MapFile.h"
#include "file/SafeSave.h"
#include "model/CMap.h"
#include "model/RootMap.h"
#include "shell/QtDrawingContext.h"
#include "support/ErrorReporter.h"

namespace {

// The PNG writer's quality that gives the first level of compression.
constexpr int kPngQuality = 85;

// The elements a picture shows: the selected ones, or all, back to front.
std::vector<Graphic*> shown(CMap& map, bool selectionOnly) {
  if (selectionOnly) return map.selection();
  std::vector<Graphic*> all;
  for (Graphic* g : map) all.push_back(g);
  return all;
}

// Selection handles belong on the screen, not in a picture: they are off while it is painted.
class HandlesOff {
 public:
  explicit HandlesOff(CMap& map) {
    for (Graphic* g : map)
      if (g->isHighlighted()) {
        g->setHighlighted(false);
        off_.push_back(g);
      }
  }
  ~HandlesOff() {
    for (Graphic* g : off_) g->setHighlighted(true);
  }
  HandlesOff(const HandlesOff&) = delete;
  HandlesOff& operator=(const HandlesOff&) = delete;

 private:
  std::vector<Graphic*> off_;
};

std::function<QImage(QSize)>& imageMaker() {
  static std::function<QImage(QSize)> maker;
  return maker;
}

}  // namespace

QRect pictureArea(CMap& map, bool selectionOnly) {
  {
    // Labels and automatic sizes need the fonts.
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter painter(&scratch);
    QtDrawingContext measuring(painter);
    map.layOutAll(measuring);
  }
  // The selection is what is highlighted: it is known before the handles go off.
  const std::vector<Graphic*> elements = shown(map, selectionOnly);
  HandlesOff off(map);
  bool any = false;
  RECT all{};
  for (Graphic* g : elements) {
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

void paintPicture(QPainter& painter, CMap& map, const QRect& area, double scale, bool selectionOnly) {
  const std::vector<Graphic*> selected = selectionOnly ? map.selection() : std::vector<Graphic*>{};
  HandlesOff off(map);
  painter.save();
  painter.scale(scale, scale);
  painter.fillRect(QRect(QPoint(0, 0), area.size()), Qt::white);
  painter.translate(-area.topLeft());
  QtDrawingContext dc(painter);
  if (selectionOnly) {
    for (Graphic* g : selected) g->draw(dc);
  } else {
    map.draw(dc);
  }
  painter.restore();
}

bool exportMap(CMap& map, const std::string& outFile, std::string& error, const ExportOptions& options) {
  const QString out = QString::fromLocal8Bit(outFile.c_str());
  const QString suffix = QFileInfo(out).suffix().toLower();
  const bool only = options.selectionOnly;
  if (only && map.selection().empty()) {
    error = "nothing is selected";
    return false;
  }
  if (suffix == QLatin1String("graphml")) {
    // The elements themselves rather than a picture of them, written as safely as a map.
    std::ostringstream text;
    if (!(only ? writeGraphML(map, map.selection(), text, error) : writeGraphML(map, text, error))) return false;
    SaveFailure failure;
    if (!replaceFileContent(outFile, text.str(), failure)) {
      error = "cannot write '" + outFile + "': " + failure.reason;
      return false;
    }
    return true;
  }
  const QRect area = pictureArea(map, only);
  if (suffix == QLatin1String("png")) {
    // An image of the elements' area only, at most kExportMaxSide on a side.
    double scale = std::clamp(options.scale, 0.01, 100.0);
    QSize size(std::max(1, int(std::ceil(area.width() * scale))), std::max(1, int(std::ceil(area.height() * scale))));
    if (size.width() > kExportMaxSide || size.height() > kExportMaxSide) {
      const QSize wanted = size;
      scale = std::min(double(kExportMaxSide) / area.width(), double(kExportMaxSide) / area.height());
      size = QSize(std::clamp(int(std::ceil(area.width() * scale)), 1, kExportMaxSide),
                   std::clamp(int(std::ceil(area.height() * scale)), 1, kExportMaxSide));
      reportError(nullptr, 'W', "exportMap: the map covers %d x %d pixels; the picture is scaled down to %d x %d",
                  wanted.width(), wanted.height(), size.width(), size.height());
    }
    QImage image = imageMaker() ? imageMaker()(size) : QImage(size, QImage::Format_RGB32);
    if (image.isNull()) {
      error = "not enough memory for a picture of " + std::to_string(size.width()) + " x " +
              std::to_string(size.height()) + " pixels";
      return false;
    }
    {
      QPainter painter(&image);
      paintPicture(painter, map, area, scale, only);
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
    paintPicture(painter, map, area, 1, only);
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
    paintPicture(painter, map, area, 1, only);
    return painter.end();
  }
  error = "unknown picture type '" + QFileInfo(out).suffix().toStdString() + "' (use .png, .svg, .pdf or .graphml)";
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
