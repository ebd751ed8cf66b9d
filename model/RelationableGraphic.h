// Elements that maplets attach to: where a line meets them, and telling the maplets when they change.
#pragma once

#include <memory>
#include <string>

#include "model/Graphic.h"
#include "support/Subject.h"

class CompositeCommand;

/// An element whose observers are the maplets attached to it.
class RelationableGraphic : public Subject, public virtual BehaviouralGraphic {
 public:
  explicit RelationableGraphic(const std::string& prototypeName)
      : BehaviouralGraphic(prototypeName) {}
  /// Starts with no observers.
  RelationableGraphic(const RelationableGraphic& other)
      : CloneableObject(other), BehaviouralGraphic(other), Subject() {}

  /// Where a line coming from `p` meets this element.
  virtual POINT attachPointToward(const POINT& p);
  /// Sets the visual's rectangle, then tells the maplets.
  void setRect(const RECT& r) override;
  /// Moves the visual, then tells the maplets.
  void moveTo(const POINT& p) override;
  /// The commands that unhook every maplet terminal attached to this element.
  virtual std::unique_ptr<CompositeCommand> detachCommands();
  /// A part changed on its own; when it is the visual, the maplets are told.
  void memberChanged(std::uint32_t id) override;
};
