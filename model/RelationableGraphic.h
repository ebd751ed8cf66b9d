// Elements that maplets attach to: where a line meets them, and telling the maplets when they change.
#pragma once

#include <vector>

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
  /// The commands that take this element's maplets off it before it is deleted: a maplet
  /// that would keep fewer than two hooked ends is deleted with it, the others are unhooked.
  virtual std::unique_ptr<CompositeCommand> detachCommands();
  /// The same, where `gone` lists the elements this deletion takes already (this one too);
  /// the maplets it deletes are added to it.
  std::unique_ptr<CompositeCommand> detachCommands(std::vector<const Graphic*>& gone);
  /// A part changed on its own; when it is the visual, the maplets are told.
  void memberChanged(std::uint32_t id) override;
};
