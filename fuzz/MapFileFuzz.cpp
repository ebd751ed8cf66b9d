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
  if (second.str() != first.str()) std::abort();
  return 0;
}
