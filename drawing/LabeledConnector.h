// A connector that shows a small labelled shape at its centre.
#pragma once

#include <memory>

#include "drawing/Connector.h"
#include "drawing/Shape.h"

/// A connector with a label shape kept centred on its centre and drawn over
/// the legs. It owns the label shape.
class LabeledConnector : public Connector {
 public:
  /// A connector whose centre shows `labelShape` (which may be null).
  LabeledConnector(std::uint16_t legCount, std::unique_ptr<Shape> labelShape,
                   const Line& legPrototype = Line());
  /// A connector like `base` (its legs, arrowheads, centre and flags) that shows `labelShape`.
  LabeledConnector(const Connector& base, std::unique_ptr<Shape> labelShape);
  /// A copy with a copy of the other's label shape.
  LabeledConnector(const LabeledConnector& other);
  ~LabeledConnector() override;

  LabeledConnector* clone() const override { return new LabeledConnector(*this); }
  const char* className() const override { return "LabeledConnector"; }

  /// Draws the legs and the label over them.
  void draw(DrawingContext& dc) override;
  /// Lays the label out and centres it when needed.
  void layOut(DrawingContext& dc) override;
  /// The connector's rectangle joined with the label's repaint area once it has a size.
  RECT getRect() const override;
  /// The label shape's answer first, then the connector's.
  unsigned hitTest(const POINT& p) const override;
  /// Selects or deselects the label with the connector.
  void setHighlighted(bool on) override;

  /// The label shape, or null; the connector keeps owning it.
  Shape* labelShape() const { return labelShape_.get(); }
  /// The label text, or null.
  const char* getLabel() const { return labelShape_ ? labelShape_->getLabel() : nullptr; }
  /// Replaces the label text; the label sizes and centres itself again at the next drawing.
  void setLabel(const char* text);

 protected:
  /// Also keeps the label centred on the new centre.
  void placeCentre(const POINT& p) override;

 private:
  /// Puts the label's centre on the connector's centre, keeping its size.
  void centreLabel();

  std::unique_ptr<Shape> labelShape_;
};
