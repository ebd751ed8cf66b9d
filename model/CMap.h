// The map: the container of nodes, contexts and maplets, its popup and the commands that add elements.
#pragma once

#include <memory>
#include <vector>

#include "model/SRGraphic.h"

class Node;
class Shape;

/// The sensitive, relationable graphic whose parts are the map's elements.
class CMap : public SRGraphic {
 public:
  CMap();
  /// A map holding clones of the other's elements.
  CMap(const CMap& other);
  ~CMap() override;

  const char* className() const override { return "CMap"; }

  /// Draws every element back to front; the map's own visual is not drawn.
  void draw(DrawingContext& dc) override { GraphicContainer::draw(dc); }
  /// A white rectangle, made on first request; a member of the map.
  VisualGraphic* getVisual() override;
  int changeShape(const char*) override { return -1; }

  /// A NEW NODE carrying `element` (a node or context), which the command owns.
  virtual std::unique_ptr<Command> generateNewNode(std::unique_ptr<Graphic> element);
  /// A NEW ARC carrying `element` (a maplet), which the command owns.
  virtual std::unique_ptr<Command> generateNewArc(std::unique_ptr<Graphic> element);
  /// Passed to the container above, or executed and destroyed without one.
  int submitCommand(std::unique_ptr<Command> cmd) override;

  /// NEW NODE and NEW ARC; the rest as any element.
  int execute(Command* cmd) override;
  int undo(Command* cmd) override;
  std::unique_ptr<Command> doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText) override;
  Menu buildPopupMenu() override;

  // The mouse goes to the elements under the pointer.
  int leftButtonDown(unsigned keys, const POINT& p) override;
  int leftButtonUp(unsigned keys, const POINT& p) override;
  int rightButtonDown(unsigned keys, const POINT& p) override;
  int rightButtonUp(unsigned keys, const POINT& p) override;
  int rightDoubleClick(unsigned keys, const POINT& p) override;
  int mouseMove(unsigned keys, const POINT& p) override;

  /// Repaints go to the container above, if any (the document answers them itself).
  void invalidateRect(const RECT& r) override;
  /// The map's own text form: id and prototype name.
  using SRGraphic::printOn;
  using SRGraphic::readFrom;

  /// The label a new node starts with while the user types its own.
  static constexpr const char* kNewNodeLabel = "Concept";
  /// A NEW NODE of a node at `at` sized to its label, which the user types at once; the
  /// starting label stays when the prompt is cancelled.
  std::unique_ptr<Command> generateLabelledNode(const POINT& at);
  /// One step that makes a node beside `from` (or with its top left at `at`), with the
  /// label the user types, joined to it by a "Directed" maplet; with `to`, only the maplet
  /// joining the two. The joined node's id goes to `made` when given.
  std::unique_ptr<Command> generateQuickLink(Node& from, std::uint32_t* made = nullptr, const POINT* at = nullptr,
                                             Node* to = nullptr);
  /// The link handle of `from` was dragged to `end`: on empty space a new joined node
  /// there, on another node a maplet joining the two, selected; false for anything else.
  bool linkDraggedTo(Node& from, const POINT& end);
  /// With one node selected: submits its quick link and selects the new node. False
  /// (doing nothing) without exactly one selected node.
  bool quickLinkSelection();

  /// A double click on empty space makes a labelled node there; on an element, the element's.
  int leftDoubleClick(unsigned keys, const POINT& p) override;

  /// The selected elements, back to front.
  std::vector<Graphic*> selection() const;

  /// True when the last file read into this map held elements that did not make it
  /// into the map: nothing could be read of a body that was not empty, element lines
  /// were refused, or the file was cut off. Saving would then replace the file with
  /// less than it holds, so a window should ask before Save overwrites it. Set by
  /// every file read (init); false for a new map.
  bool readIncompletely() const { return readIncompletely_; }
  void setReadIncompletely(bool lost) { readIncompletely_ = lost; }

 protected:
  using Handler = int (SensitiveGraphic::*)(unsigned, const POINT&);
  /// Offers the event to the elements under the pointer, front to back, until one takes it.
  int passToElements(Handler handler, unsigned keys, const POINT& p);
  /// Selects by a rubber band dragged from `p`.
  void rubberBandSelect(unsigned keys, const POINT& p);

 private:
  /// Where a node linked to one with rectangle `f` goes: beside it, on free space.
  POINT placeBeside(const RECT& f) const;

  std::unique_ptr<Shape> backdrop_;
  bool readIncompletely_ = false;
};
