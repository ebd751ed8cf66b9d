// Pictures of a map without a window: PNG, SVG and PDF.
#pragma once

#include <functional>
#include <string>

#include <QImage>
#include <QSize>

class CMap;

/// The margin, in pixels, around the elements in an exported picture.
inline constexpr int kExportMargin = 10;
/// The largest width and height of an exported image; a larger map is scaled down to fit.
inline constexpr int kExportMaxSide = 16384;

class QPainter;

/// What a picture shows and how large.
struct ExportOptions {
  /// Only the selected elements, when true; every element otherwise.
  bool selectionOnly = false;
  /// Image pixels per map unit (PNG only; SVG and PDF are drawn at one unit a pixel or point).
  double scale = 1.0;
};

/// Draws the map into `outFile`, whose suffix (png, svg or pdf, any case) chooses the
/// format; the picture covers the elements and a margin. Selection handles are not drawn.
/// False with `error` set when it failed.
bool exportMap(CMap& map, const std::string& outFile, std::string& error, const ExportOptions& options = {});

/// Lays the map out and answers the area (map units) its elements, or its selected ones,
/// cover with the margin around them.
QRect pictureArea(CMap& map, bool selectionOnly = false);
/// Paints `area` of the map on white into `painter` at `scale` device pixels per map unit,
/// the area's top-left at the painter's origin, without selection handles.
void paintPicture(QPainter& painter, CMap& map, const QRect& area, double scale = 1, bool selectionOnly = false);

/// Makes the image a PNG is painted on; a null image means the memory was not there.
/// Tests replace it (null restores the plain QImage).
void setExportImageMaker(std::function<QImage(QSize)> maker);

/// Reads `inFile` and exports it as exportMap does.
bool exportMapFile(const std::string& inFile, const std::string& outFile, std::string& error);
