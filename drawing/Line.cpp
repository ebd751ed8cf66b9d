// Drawing and hit testing of straight lines.
#include "drawing/Line.h"

#include <algorithm>
#include <cstdlib>

#include "drawing/Outline.h"

Line::Line(const POINT& start, const POINT& end, Color color)
    : start_(start), end_(end), lineColor_(color) {}

Line::Line(const Line& other)
    : CloneableObject(other),
      VisualGraphic(other),
      start_(other.start_),
      end_(other.end_),
      lineColor_(other.lineColor_),
      startArrow_(other.startArrow_),
      endArrow_(other.endArrow_) {}

void Line::draw(DrawingContext& dc) {
  dc.line(start_, end_, lineColor_);
  if (startArrow_) startArrow_->draw(dc, start_, end_);
  if (endArrow_) endArrow_->draw(dc, end_, start_);
}

RECT Line::getRect() const {
  return {std::min(start_.x, end_.x), std::min(start_.y, end_.y), std::max(start_.x, end_.x),
          std::max(start_.y, end_.y)};
}

void Line::setRect(const RECT& r) { setPoints({r.left, r.top}, {r.right, r.bottom}); }

unsigned Line::hitTest(const POINT& p) const {
  const unsigned grip = isHighlighted() ? kHitEndHandle : kHitEndPlain;
  if (isNear(p, start_, kEndReach)) return kHitLineStart | grip;
  if (isNear(p, end_, kEndReach)) return kHitLineEnd | grip;
  if (!pointInRect(inflateRect(getRect(), kEndReach), p)) return 0;
  if (start_.x == end_.x) return kHitInside;
  const std::int64_t dx = std::int64_t{end_.x} - start_.x, dy = std::int64_t{end_.y} - start_.y;
  const double slope = double(dy) / double(dx);
  const auto yAtX = static_cast<std::int64_t>(start_.y + static_cast<std::int64_t>(slope * (p.x - start_.x)));
  if (std::llabs(p.y - yAtX) < kLineReach) return kHitInside;
  // A steep line has few points per column; asking for its point in the row
  // as well keeps it as easy to hit as a flat one.
  if (dy != 0) {
    const auto xAtY = static_cast<std::int64_t>(start_.x + static_cast<std::int64_t>((p.y - start_.y) / slope));
    if (std::llabs(p.x - xAtY) < kLineReach) return kHitInside;
  }
  return 0;
}

POINT Line::attachPoint(unsigned side) const { return sidePoint(getRect(), side); }

void Line::setStart(const POINT& p) { setPoints(p, end_); }

void Line::setEnd(const POINT& p) { setPoints(start_, p); }

void Line::setPoints(const POINT& start, const POINT& end) {
  invalidate();
  start_ = clampPoint(start);
  end_ = clampPoint(end);
  invalidate();
}

void Line::setLineColor(Color c) {
  lineColor_ = c;
  invalidate();
}
