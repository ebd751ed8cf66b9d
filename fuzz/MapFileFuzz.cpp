// Fuzz target: a whole map file read with init, then written again and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "commands/Command.h"
#include "file/MapFile.h"
#include "fuzz/FuzzSupport.h"
#include "model/RootMap.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setUpFuzzing();
  return 0;
}

namespace {

// The saved text with the centres of maplets that keep their centre between their ends
// blanked: such a centre is worked out again, from where its ends meet the nodes, as
// the file is read, and may come out a few pixels away.
std::string comparable(const std::string& text) {
  std::istringstream in(text);
  std::string out, line;
  while (std::getline(in, line)) {
    if (line.rfind("2,\"SMaplet\",", 0) == 0) {
      std::size_t flags = line.find_last_of(',');
      unsigned long bits = std::strtoul(line.c_str() + flags + 1, nullptr, 16);
      // The centre follows the quoted connector name, which may hold a ','.
      std::size_t id = line.find(',', 12);
      std::size_t name = id == std::string::npos ? id : line.find("\",", id + 2);
      std::size_t to = name == std::string::npos ? name : line.find(',', name + 2);
      if ((bits & 2) && to != std::string::npos) line.replace(name + 2, to - name - 2, "*");
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto in = inputOf(data, size);
  RootMap map;
  if (!init(map, in, "fuzz.CM")) return 0;
  // Whatever was read is saved, and the saved text reads back to the same text.
  std::ostringstream first;
  writeMapFile(map, first, 0);
  RootMap again;
  std::istringstream back(first.str());
  if (!init(again, back, "fuzz.CM")) std::abort();
  std::ostringstream second;
  writeMapFile(again, second, 0);
  if (comparable(second.str()) != comparable(first.str())) std::abort();
  return 0;
}
