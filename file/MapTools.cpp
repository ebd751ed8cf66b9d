// Checking and converting map files without a window.
#include "file/MapTools.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "commands/GraphicsFactory.h"
#include "file/GraphML.h"
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

namespace {

// The log is written line by line as reports come, so only the streams need flushing.
int finish(int code, ToolEnd end, std::ostream* out = nullptr) {
#ifndef BRENLO_SANITIZE
  if (end == ToolEnd::ExitProcess) {
    if (out) out->flush();
    std::fflush(nullptr);
    std::_Exit(code);
  }
#endif
  (void)end;
  (void)out;
  return code;
}

}  // namespace

MapCounts countElements(const CMap& map) {
  MapCounts counts;
  for (Graphic* g : map) {
    if (dynamic_cast<ContextBox*>(g)) ++counts.contexts;
    else if (dynamic_cast<Node*>(g)) ++counts.nodes;
    else if (dynamic_cast<Maplet*>(g)) ++counts.maplets;
  }
  return counts;
}

int checkMapFile(const std::string& file, std::ostream& out, ToolEnd end) {
  registerPrototypesOnce();
  RootMap map;
  bool ok = openMapFile(map, file);
  const bool whole = ok && !map.readIncompletely();
  MapCounts counts = countElements(map);
  out << file << ": " << (whole ? "read" : ok ? "read incompletely" : "not read") << ", " << counts.nodes
      << " nodes, " << counts.contexts << " contexts, " << counts.maplets << " maplets\n";
  return finish(whole ? 0 : 1, end, &out);
}

int convertMapFile(const std::string& from, const std::string& to, ToolEnd end) {
  registerPrototypesOnce();
  RootMap map;
  if (!openMapFile(map, from)) return finish(1, end);
  // What could be read is written, and the exit code tells that it is not all the file held.
  const bool whole = !map.readIncompletely();
  const bool saved = isGraphMLFileName(to) ? saveGraphML(map, to) : save(map, to);
  return finish(saved && whole ? 0 : 1, end);
}
