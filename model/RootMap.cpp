// Lookups at the root of the map chain.
#include "model/RootMap.h"

#include "commands/Command.h"

Graphic* RootMap::operator[](std::uint32_t id) const {
  if (id == 0) return const_cast<RootMap*>(this);
  return CMap::operator[](id);
}

int RootMap::submitCommand(std::unique_ptr<Command> cmd) { return CommandHandler::execute(std::move(cmd)); }
