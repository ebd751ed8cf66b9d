// Pictures of a map without a window: PNG, SVG and PDF.
#pragma once

#include <string>

class CMap;

/// The margin, in pixels, around the elements in an exported picture.
inline constexpr int kExportMargin = 10;

/// Draws the map into `outFile`, whose suffix (png, svg or pdf, any case) chooses the
/// format; the picture covers the elements and a margin. False with `error` set when it failed.
bool exportMap(CMap& map, const std::string& outFile, std::string& error);

/// Reads `inFile` and exports it as exportMap does.
bool exportMapFile(const std::string& inFile, const std::string& outFile, std::string& error);
