// Fuzz target: GraphML read with readGraphML, then written as GraphML and read back to the same map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "file/GraphML.h"
#include "file/MapFile.h"
#include "fuzz/FuzzSupport.h"
#include "model/RootMap.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setUpFuzzing();
  return 0;
}

namespace {

// The map saved as a .CM file, with the centres of maplets that keep their centre between
// their ends left out: such a centre is worked out again from where the ends meet the
// elements as the map is read, and may come out a few pixels away.
std::string comparable(const CMap& map) {
  std::ostringstream saved;
  writeMapFile(map, saved, 0);
  std::istringstream in(saved.str());
  std::string out, line;
  while (std::getline(in, line)) {
    if (line.rfind("2,\"SMaplet\",", 0) == 0) {
      const unsigned long flags = std::strtoul(line.c_str() + line.find_last_of(',') + 1, nullptr, 16);
      // The centre follows the quoted type name, which may hold a ','.
      const std::size_t id = line.find(',', 12);
      const std::size_t name = id == std::string::npos ? id : line.find("\",", id + 2);
      const std::size_t to = name == std::string::npos ? name : line.find(',', name + 2);
      if ((flags & 2) && to != std::string::npos) line.replace(name + 2, to - name - 2, "*");
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  RootMap map;
  std::string error;
  if (!readGraphML(map, text, "fuzz.graphml", error)) return 0;
  // Whatever was read is written, and what was written reads back to the same map.
  std::ostringstream written;
  if (!writeGraphML(map, written, error)) std::abort();
  RootMap again;
  if (!readGraphML(again, written.str(), "fuzz.graphml", error)) std::abort();
  if (comparable(again) != comparable(map)) std::abort();
  return 0;
}
