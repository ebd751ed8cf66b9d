// Quiet reports and filled registries for the fuzz targets.
#include "fuzz/FuzzSupport.h"

#include <cstdlib>
#include <memory>

#include "commands/Command.h"
#include "commands/GraphicsFactory.h"
#include "commands/ObjectLibrary.h"
#include "model/GraphicObjectLocator.h"
#include "model/Maplet.h"
#include "model/Node.h"

void setUpFuzzing() {
  static SilentReports reports;
  setReportPlatform(&reports);
  setenv("BRENLO_LOG", "/dev/null", 1);
  registerStandardPrototypes();
  registerComponentPrototypes();
  // Every command and locator class the editor makes, keyed by its class name.
  auto addCommand = [](std::unique_ptr<Command> c) {
    std::string name = c->className();
    commandLibrary().insert(name, std::move(c));
  };
  addCommand(std::make_unique<Command1<tagPOINT>>());
  addCommand(std::make_unique<Command1<tagRECT>>());
  addCommand(std::make_unique<Command1<std::string>>());
  addCommand(std::make_unique<Command1<unsigned long>>());
  addCommand(std::make_unique<Command1<unsigned int>>());
  addCommand(std::make_unique<Command2<unsigned int, unsigned long>>());
  addCommand(std::make_unique<CompositeCommand>());
  addCommand(std::make_unique<CommandPtr1<SensitiveGraphic>>());
  addCommand(std::make_unique<CommandPtr1<Node>>());
  addCommand(std::make_unique<CommandPtr1<SMaplet>>());
  auto addLocator = [](std::unique_ptr<ObjectLocator> l) {
    std::string name = l->className();
    objectLocatorLibrary().insert(name, std::move(l));
  };
  addLocator(std::make_unique<GraphicObjectLocator>());
  addLocator(std::make_unique<NullObjectLocator>());
}
