// The process-wide registries, made on first use.
#include "commands/ObjectLibrary.h"

#include "commands/Command.h"
#include "commands/ObjectLocator.h"
#include "model/Graphic.h"

ObjectLibrary<Command>& commandLibrary() {
  static ObjectLibrary<Command> library;
  return library;
}

ObjectLibrary<ObjectLocator>& objectLocatorLibrary() {
  static ObjectLibrary<ObjectLocator> library;
  return library;
}

ObjectLibrary<CloneableObject>& componentPrototypes() {
  static ObjectLibrary<CloneableObject> library;
  return library;
}
