// The filled triangle drawn at the end of a line.
#pragma once

#include <array>

#include "drawing/DrawingContext.h"
#include "support/Geometry.h"

/// An arrowhead look. One arrowhead is shared by many lines, so it is
/// immutable once made and lives as long as the last line that shows it.
class ArrowHead {
 public:
  /// Distance from the tip to each back corner.
  static constexpr double kLength = 10.0;
  /// Turn from the direction back along the line to each corner: the sides run 15.86 degrees off the line.
  static constexpr double kSpread = 2.8648;

  ArrowHead(Color fill, Color pen) : fillColor_(fill), penColor_(pen) {}
  virtual ~ArrowHead() = default;

  /// Draws the head with its tip at `tip`, pointing away from `from`.
  virtual void draw(DrawingContext& dc, const POINT& tip, const POINT& from) const;
  /// The tip and the two back corners of the head drawn at `tip` coming from `from`.
  static std::array<POINT, 3> corners(const POINT& tip, const POINT& from);

  Color fillColor() const { return fillColor_; }
  Color penColor() const { return penColor_; }

 private:
  Color fillColor_;
  Color penColor_;
};
