// The headless map tools of the command line: checking and converting map files.
#pragma once

#include <iosfwd>
#include <string>

class CMap;

/// How many elements of each kind a map holds.
struct MapCounts {
  std::size_t nodes = 0;
  std::size_t contexts = 0;
  std::size_t maplets = 0;
};
MapCounts countElements(const CMap& map);

/// Reads `file` (reports go to the installed report platform) and writes one
/// summary line to `out`. 0 when the map was read whole, 1 when it was not read or
/// the file held elements that could not be read.
int checkMapFile(const std::string& file, std::ostream& out);

/// Reads `from` and saves it again as `to`. 0 on success; 1 when nothing could be
/// written, or when `from` was read incompletely (what was read is written all the same).
int convertMapFile(const std::string& from, const std::string& to);

/// Makes the named prototypes known; the tools and the editor call it before reading.
void registerPrototypesOnce();
