// The base of nodes, maplets and the map: sensitive to the user and attachable by maplets.
#pragma once

#include "model/RelationableGraphic.h"
#include "model/SensitiveGraphic.h"

/// An element that is both sensitive and relationable, sharing one composite.
class SRGraphic : public SensitiveGraphic, public RelationableGraphic {
 public:
  explicit SRGraphic(const std::string& prototypeName)
      : BehaviouralGraphic(prototypeName),
        SensitiveGraphic(prototypeName),
        RelationableGraphic(prototypeName) {}
  SRGraphic(const SRGraphic& other)
      : CloneableObject(other),
        BehaviouralGraphic(other),
        SensitiveGraphic(other),
        RelationableGraphic(other) {}

  const char* className() const override { return "SRGraphic"; }
  /// Unhooks the attached maplets, then deletes: undo restores the element first.
  std::unique_ptr<Command> generateDelete() override;
  /// The same as one of several deletions made together: `gone` lists every element they
  /// take (this one included).
  std::unique_ptr<Command> generateDelete(std::vector<const Graphic*>& gone);
  /// Resizes, then tells the maplets.
  void applyResize(const RECT* r) override;
  void setRect(const RECT& r) override { RelationableGraphic::setRect(r); }
  void moveTo(const POINT& p) override { RelationableGraphic::moveTo(p); }
  void memberChanged(std::uint32_t id) override { RelationableGraphic::memberChanged(id); }
};
