// A straight line between two points, with optional arrowheads at either end.
#pragma once

#include <memory>

#include "drawing/ArrowHead.h"
#include "model/Graphic.h"

/// Hit codes of a line: near its start or its end point, and the grip bits that go with them.
inline constexpr unsigned kHitLineStart = 0x100;
inline constexpr unsigned kHitLineEnd = 0x200;
/// Added to an end-point hit when the line is selected (a handle) or not.
inline constexpr unsigned kHitEndHandle = 0x20;
inline constexpr unsigned kHitEndPlain = 0x50;

/// A line from `start` to `end` in one colour. Its arrowheads are shared with
/// other lines; a line keeps each alive while it shows it.
class Line : public VisualGraphic {
 public:
  /// How near (strictly, on both axes) a point must be to an end to hit it.
  static constexpr std::int32_t kEndReach = 5;
  /// How near (strictly) a point must be to the line itself.
  static constexpr std::int32_t kLineReach = 3;

  explicit Line(const POINT& start = {0, 0}, const POINT& end = {10, 10},
                Color color = kBlack);
  Line(const Line& other);

  Line* clone() const override { return new Line(*this); }
  const char* className() const override { return "Line"; }

  /// Draws the line, then the start arrowhead and the end arrowhead.
  void draw(DrawingContext& dc) override;
  /// The normalised rectangle spanned by the two points.
  RECT getRect() const override;
  /// Repaints, makes the rectangle's top-left the start and its bottom-right the end, repaints.
  void setRect(const RECT& r) override;
  /// An end-point code near an end, 0x10 on the line, else 0.
  unsigned hitTest(const POINT& p) const override;
  /// The point of the spanned rectangle for the side code, as for a rectangle.
  POINT attachPoint(unsigned side) const override;

  const POINT& start() const { return start_; }
  const POINT& end() const { return end_; }
  /// Moves one end, repainting the line before and after.
  void setStart(const POINT& p);
  void setEnd(const POINT& p);
  /// Moves both ends at once, repainting before and after.
  void setPoints(const POINT& start, const POINT& end);

  Color lineColor() const { return lineColor_; }
  /// Stores the colour and repaints.
  void setLineColor(Color c);

  const ArrowHead* startArrow() const { return startArrow_.get(); }
  const ArrowHead* endArrow() const { return endArrow_.get(); }
  /// Shows `head` (or nothing) at the start, pointing away from the end.
  void setStartArrow(std::shared_ptr<const ArrowHead> head) { startArrow_ = std::move(head); }
  /// Shows `head` (or nothing) at the end, pointing away from the start.
  void setEndArrow(std::shared_ptr<const ArrowHead> head) { endArrow_ = std::move(head); }

 private:
  POINT start_;
  POINT end_;
  Color lineColor_;
  std::shared_ptr<const ArrowHead> startArrow_;
  std::shared_ptr<const ArrowHead> endArrow_;
};
