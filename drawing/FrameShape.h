// The outline of a context: a border band with a title strip around a hollow inside.
#pragma once

#include "drawing/Shape.h"

/// A frame whose title is its label, kept on one line. Only the band
/// around the inside answers hit tests, so clicks inside reach what the
/// context holds.
class FrameShape : public Shape {
 public:
  /// Width of the band on the left, right and bottom sides.
  static constexpr std::int32_t kBand = 4;

  using Shape::Shape;
  FrameShape(const FrameShape& other) : CloneableObject(other), Shape(other) {}
  FrameShape* clone() const override { return new FrameShape(*this); }
  const char* className() const override { return "FrameShape"; }

  /// Draws the band and title strip as one polygon whose inside stays unfilled.
  void drawOutline(DrawingContext& dc) override;
  /// The title strip.
  RECT boundingRect() const override;
  /// Also keeps the title on one line and lays it out again at the next drawing.
  void setLabel(const char* text) override;

  /// The hollow inside the band and below the title.
  virtual RECT innerRect() const;

 protected:
  bool outlineContains(const POINT& p) const override { return !pointInRect(innerRect(), p); }

 private:
  /// True when the frame has a title; its height counts once it has been measured.
  /// An empty label shows no title strip: a context saved without a title reads back with "".
  bool hasTitle() const { return label() != nullptr && !label()->text().empty(); }
};
