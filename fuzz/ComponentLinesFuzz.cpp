// Fuzz target: the component lines of a map part read into a map, in the syntax the first byte picks.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "commands/Command.h"
#include "fuzz/FuzzSupport.h"
#include "model/RootMap.h"
#include "support/Version.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setUpFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // '0' picks the older syntax (version 0.0), anything else 0.1.
  const Version version = data[0] == '0' ? Version(0, 0) : Version(0, 1);
  auto in = inputOf(data + 1, size - 1);
  RootMap map;
  map.readComponentsFrom(in, &version);
  std::ostringstream out;
  map.printComponentsOn(out);
  return 0;
}
