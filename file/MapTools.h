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

/// How a tool ends: by returning, or by ending the process at once with its exit code
/// once its output is flushed, without taking the map apart (every byte of it goes
/// back to the system anyway). Sanitizer builds always return, so that the
/// sanitizers see everything freed.
enum class ToolEnd { Return, ExitProcess };

/// Reads `file` (reports go to the installed report platform) and writes one
/// summary line to `out`. 0 when the map was read whole, 1 when it was not read or
/// the file held elements that could not be read.
int checkMapFile(const std::string& file, std::ostream& out, ToolEnd end = ToolEnd::Return);

/// Reads `from` (a .CM map or GraphML, by its content) and saves it again as `to`: as
/// GraphML when `to` ends in ".graphml", else as a .CM map. 0 on success; 1 when nothing could be
/// written, or when `from` was read incompletely (what was read is written all the same).
int convertMapFile(const std::string& from, const std::string& to, ToolEnd end = ToolEnd::Return);

/// Makes the named prototypes known; the tools and the editor call it before reading.
void registerPrototypesOnce();
