// Checking and converting map files without a window.
#include "file/MapTools.h"

#include <ostream>

#include "commands/GraphicsFactory.h"
#include "file/MapFile.h"
#include "model/RootMap.h"
#include "model/Maplet.h"
#include "model/Node.h"

void registerPrototypesOnce() {
  static const bool done = [] {
    registerStandardPrototypes();
    registerComponentPrototypes();
    return true;
  }();
  (void)done;
}

MapCounts countElements(const CMap& map) {
  MapCounts counts;
  for (Graphic* g : map) {
    if (dynamic_cast<ContextBox*>(g)) ++counts.contexts;
    else if (dynamic_cast<Node*>(g)) ++counts.nodes;
    else if (dynamic_cast<Maplet*>(g)) ++counts.maplets;
  }
  return counts;
}

int checkMapFile(const std::string& file, std::ostream& out) {
  registerPrototypesOnce();
  RootMap map;
  bool ok = openMapFile(map, file);
  const bool whole = ok && !map.readIncompletely();
  MapCounts counts = countElements(map);
  out << file << ": " << (whole ? "read" : ok ? "read incompletely" : "not read") << ", " << counts.nodes
      << " nodes, " << counts.contexts << " contexts, " << counts.maplets << " maplets\n";
  return whole ? 0 : 1;
}

int convertMapFile(const std::string& from, const std::string& to) {
  registerPrototypesOnce();
  RootMap map;
  if (!openMapFile(map, from)) return 1;
  // What could be read is written, and the exit code tells that it is not all the file held.
  const bool whole = !map.readIncompletely();
  return save(map, to) && whole ? 0 : 1;
}
