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

/// Draws the map into `outFile`, whose suffix (png, svg or pdf, any case) chooses the
/// format; the picture covers the elements and a margin. False with `error` set when it failed.
bool exportMap(CMap& map, const std::string& outFile, std::string& error);

/// Makes the image a PNG is painted on; a null image means the memory was not there.
/// Tests replace it (null restores the plain QImage).
void setExportImageMaker(std::function<QImage(QSize)> maker);

/// Reads `inFile` and exports it as exportMap does.
bool exportMapFile(const std::string& inFile, const std::string& outFile, std::string& error);
