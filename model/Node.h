// Labelled shapes of a map and the contexts that carry what lies inside them.
#pragma once

#include <memory>
#include <string>

#include "model/SRGraphic.h"

class FrameShape;
class Shape;

/// A labelled shape with three colours and a size that may follow its label.
class Node : public SRGraphic {
 public:
  static constexpr const char* kCommandPtrName = "CommandPtr1<Node>";
  /// Edit buffer of the label prompt; a longer label is still offered whole.
  static constexpr std::size_t kLabelRoom = 2000;

  /// The shape is made from `shapeName` when first needed.
  Node(const std::string& shapeName, const char* label = nullptr,
       const RECT* rect = nullptr);
  Node(const Node& other);
  /// Repaints the area the node leaves.
  ~Node() override;

  Graphic* clone() const override { return new Node(*this); }
  const char* className() const override { return "Node"; }

  /// The node component text.
  void printOn(std::ostream& out) const override;
  void readFrom(std::istream& in, const Version* version) override;

  VisualGraphic* getVisual() override;
  /// The shape, made from the prototype name on first use; null when the visual is no shape.
  Shape* getShape();
  const Shape* getShape() const { return const_cast<Node*>(this)->getShape(); }
  /// The shape, or, while the node has none yet, the prototype its shape will be made from.
  const Shape* looks() const;
  /// Replaces the shape by a clone of the named one, keeping rectangle, depth and label.
  int changeShape(const char* prototypeName) override;
  const char* getLabel() const;
  /// Sets the label; the shape works out its size again at the next drawing.
  void setLabel(const char* text);
  /// A CHANGE LABEL to `text`, or to what the user types when null.
  virtual std::unique_ptr<Command> generateChangeLabel(const char* text);

  /// The resize, after a CLEAR FLAGS of automatic sizing, so that undo gives the size back to the label.
  std::unique_ptr<Command> generateResize(const RECT* newRect) override;
  /// A press on the link handle of a selected node drags out a link (see CMap::linkDraggedTo).
  int leftButtonDown(unsigned keys, const POINT& p) override;
  /// Draws the node, and the link handle while it is selected.
  void draw(DrawingContext& dc) override;
  /// The round handle at the middle of the right side that drags out a link; empty for a context.
  RECT linkHandle() const;
  int execute(Command* cmd) override;
  int undo(Command* cmd) override;
  std::unique_ptr<Command> doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText) override;
  Menu buildPopupMenu() override;

 private:
  int applyOwnCommand(Command* cmd, bool forward);
};

/// A node drawn as a frame; moving it moves what lies wholly inside it.
class ContextBox : public virtual Node {
 public:
  ContextBox(const std::string& shapeName, const char* label = nullptr,
             const RECT* rect = nullptr)
      : BehaviouralGraphic(shapeName), Node(shapeName, label, rect) {}
  ContextBox(const ContextBox& other)
      : CloneableObject(other), BehaviouralGraphic(other), Node(other) {}

  Graphic* clone() const override { return new ContextBox(*this); }
  const char* className() const override { return "ContextBox"; }
  /// The visual as a frame, or null when it is another kind of shape.
  FrameShape* getFrameShape();
  int execute(Command* cmd) override;
  int undo(Command* cmd) override;
};
