// The outlined, labelled shapes that nodes are drawn with: rectangle, ellipse, rounded and invisible.
#pragma once

#include <cstdint>
#include <memory>

#include "drawing/DrawingContext.h"
#include "drawing/TextDrawing.h"
#include "model/Graphic.h"

/// Hit codes of a shape beyond the zone codes: a corner handle of a selected shape.
inline constexpr unsigned kHitHandle = 0x20;

/// A rectangle with a word-wrapped label, three colours and, optionally, a
/// size that follows its label. Drawn as a rectangle; the kinds below draw
/// other outlines. It owns its label.
class Shape : public VisualGraphic {
 public:
  /// The shape fits itself to its label.
  static constexpr std::uint32_t kAutoSize = 0x1;
  /// The label size and automatic size are worked out at the next drawing.
  static constexpr std::uint32_t kLayoutPending = 0x80000000u;
  /// Side of the black squares drawn in the corners of a selected shape.
  static constexpr std::int32_t kHandleSize = 6;

  explicit Shape(const RECT& rect = {}, Color fill = kWhite, Color border = kBlack, Color text = kBlack);
  /// A copy in no container; the label is copied.
  Shape(const Shape& other);
  ~Shape() override;
  /// Takes the depth, rectangle, colours, label text and shape flags.
  Shape& operator=(const Shape& other);

  Shape* clone() const override { return new Shape(*this); }
  const char* className() const override { return "Shape"; }

  /// Draws outline, handles and label.
  void draw(DrawingContext& dc) override;
  /// When pending (or with no size yet): measures the label and, with automatic size,
  /// takes the label's size; the element's maplets are told.
  void layOut(DrawingContext& dc) override;
  RECT getRect() const override { return rect_; }
  /// Repaints the old area, stores the rectangle and repaints the new one.
  void setRect(const RECT& r) override;
  /// The rectangle grown by 3, and as far again as the label overflows it.
  RECT invalidRect() const override;
  /// The area the label is centred in.
  RECT boundingRect() const override;
  /// 0 outside the outline; a handle code on a corner of a selected shape; else the zone code.
  unsigned hitTest(const POINT& p) const override;
  /// Takes the depth and, from another shape, its rectangle and label text.
  void copyAttributes(const VisualGraphic& other) override;
  /// Where a line meets the outline for a side code (left 1, right 2, top 4, bottom 8).
  POINT attachPoint(unsigned side) const override;
  /// Where a line toward the middle meets the outline drawn.
  POINT outlinePointToward(const POINT& from) const override;

  /// Takes the other's rectangle and colours, repainting after each.
  virtual void copyLooks(const Shape& other);
  /// Draws the outline of this kind in the shape's colours.
  virtual void drawOutline(DrawingContext& dc);
  /// Sets and answers the rectangle that fits a label of this size, keeping the top-left corner.
  virtual RECT sizeForLabel(std::int32_t width, std::int32_t height);
  /// The label text, or null when the shape has none. Valid until the label changes.
  virtual const char* getLabel() const;
  /// Replaces the label text (null removes the label); it is measured again when next drawn.
  virtual void setLabel(const char* text);
  /// A handle code when `p` is on a corner handle of a selected shape, else 0.
  virtual unsigned hitHandle(const POINT& p) const;
  /// Draws the four corner handles.
  virtual void drawHandles(DrawingContext& dc);

  Color fillColor() const { return fillColor_; }
  Color borderColor() const { return borderColor_; }
  Color textColor() const { return textColor_; }
  /// Each setter stores the colour and repaints the shape.
  void setFillColor(Color c);
  void setBorderColor(Color c);
  void setTextColor(Color c);
  /// The colour the label is drawn in: the text colour, except that a text colour left
  /// as the shape kind gives it is replaced by black or white, whichever reads better,
  /// where it would be hard to read on the fill (contrast below 4.5 : 1).
  Color drawnTextColor() const;

  std::uint32_t shapeFlags() const { return shapeFlags_; }
  void setShapeFlags(std::uint32_t flags) { shapeFlags_ = flags; }
  bool isAutoSize() const { return (shapeFlags_ & kAutoSize) != 0; }
  /// True when the shape must be laid out before it is drawn: it was marked so, or its
  /// label has not been measured yet (a label read with flags saved after a layout).
  bool isLayoutPending() const {
    return (shapeFlags_ & kLayoutPending) != 0 || (label_ && !label_->isMeasured());
  }

  /// The label object, or null; the shape keeps owning it.
  const TextDrawing* label() const { return label_.get(); }

 protected:
  /// True when `p` (already inside the rectangle) lies on this kind's outline area.
  virtual bool outlineContains(const POINT& p) const { return true; }
  TextDrawing* mutableLabel() { return label_.get(); }

 private:
  RECT rect_;
  Color fillColor_;
  Color borderColor_;
  Color textColor_;
  Color presetTextColor_;  // the text colour the shape kind gave
  std::unique_ptr<TextDrawing> label_;
  std::uint32_t shapeFlags_ = 0;
};

/// The plain rectangle.
class RectangleShape : public Shape {
 public:
  using Shape::Shape;
  RectangleShape(const RectangleShape& other) : CloneableObject(other), Shape(other) {}
  RectangleShape* clone() const override { return new RectangleShape(*this); }
  const char* className() const override { return "RectangleShape"; }
};

/// An ellipse inscribed in the rectangle; the label sits in the square inside it.
class EllipseShape : public Shape {
 public:
  using Shape::Shape;
  EllipseShape(const EllipseShape& other) : CloneableObject(other), Shape(other) {}
  EllipseShape* clone() const override { return new EllipseShape(*this); }
  const char* className() const override { return "EllipseShape"; }

  void drawOutline(DrawingContext& dc) override;
  RECT boundingRect() const override;
  RECT sizeForLabel(std::int32_t width, std::int32_t height) override;
  /// Corners give the point of the ellipse on that diagonal.
  POINT attachPoint(unsigned side) const override;
  POINT outlinePointToward(const POINT& from) const override;

 protected:
  bool outlineContains(const POINT& p) const override;
};

/// A rectangle with rounded corners.
class RoundRectShape : public Shape {
 public:
  using Shape::Shape;
  RoundRectShape(const RoundRectShape& other) : CloneableObject(other), Shape(other) {}
  RoundRectShape* clone() const override { return new RoundRectShape(*this); }
  const char* className() const override { return "RoundRectShape"; }

  void drawOutline(DrawingContext& dc) override;
  RECT boundingRect() const override;
  RECT sizeForLabel(std::int32_t width, std::int32_t height) override;
  /// Corners move inward onto the rounding.
  POINT attachPoint(unsigned side) const override;
  POINT outlinePointToward(const POINT& from) const override;

  /// Width of the ellipse that rounds the corners: half the width of a narrow shape, else 15.
  std::int32_t cornerWidth() const;
  /// Height of the corner ellipse, likewise from the height.
  std::int32_t cornerHeight() const;

 protected:
  bool outlineContains(const POINT& p) const override;
};

/// No outline at all: only the label shows.
class NullShape : public Shape {
 public:
  using Shape::Shape;
  NullShape(const NullShape& other) : CloneableObject(other), Shape(other) {}
  NullShape* clone() const override { return new NullShape(*this); }
  const char* className() const override { return "NullShape"; }

  void drawOutline(DrawingContext& dc) override {}
  RECT sizeForLabel(std::int32_t width, std::int32_t height) override;
};
