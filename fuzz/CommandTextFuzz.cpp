// Fuzz target: command text read through the registries, written again and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "commands/Command.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setUpFuzzing();
  return 0;
}

namespace {

std::string textOf(const Command& c) {
  std::ostringstream out;
  c.printOn(out);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto in = inputOf(data, size);
  std::unique_ptr<Command> cmd = Command::readCommand(in);
  if (!cmd) return 0;
  // What a command writes it reads back, and then writes the same text again. (A copy
  // is made too, but not compared: a copied node marks its label for a new layout.)
  const std::string first = textOf(*cmd);
  std::unique_ptr<Command> copy(cmd->clone());
  (void)textOf(*copy);
  std::istringstream again(first);
  std::unique_ptr<Command> back = Command::readCommand(again);
  if (!back || textOf(*back) != first) std::abort();
  return 0;
}
