// Geometry of arrowheads.
#include "drawing/ArrowHead.h"

#include <cmath>

std::array<POINT, 3> ArrowHead::corners(const POINT& tip, const POINT& from) {
  // atan2 answers 0 for coinciding points, so a zero-length line still gets a head.
  const double a = std::atan2(double(from.y) - tip.y, double(from.x) - tip.x);
  auto corner = [&](double theta) {
    return POINT{static_cast<std::int32_t>(tip.x - kLength * std::cos(a + theta)),
                 static_cast<std::int32_t>(tip.y - kLength * std::sin(a + theta))};
  };
  return {tip, corner(kSpread), corner(-kSpread)};
}

void ArrowHead::draw(DrawingContext& dc, const POINT& tip, const POINT& from) const {
  const auto triangle = corners(tip, from);
  dc.polygon(triangle, fillColor_, penColor_);
}
