// A map element the user can touch: it receives mouse events and its own commands.
#pragma once

#include <string>

#include "commands/CommandReceiver.h"
#include "model/Graphic.h"

/// An element that executes and undoes its own commands.
class SensitiveGraphic : public CommandReceiver, public virtual BehaviouralGraphic {
 public:
  static constexpr const char* kCommandPtrName = "CommandPtr1<SensitiveGraphic>";

  SensitiveGraphic(GraphicContainer* container, const std::string& prototypeName)
      : BehaviouralGraphic(container, prototypeName) {}
  SensitiveGraphic(const SensitiveGraphic& other, GraphicContainer* container)
      : CloneableObject(other), BehaviouralGraphic(other, container) {}

  const char* className() const override { return "SensitiveGraphic"; }
  int execute(Command* cmd) override = 0;
  int undo(Command* cmd) override = 0;
};
