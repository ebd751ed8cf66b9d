// Outline geometry: inside tests and side points.
#include "drawing/Outline.h"

#include <algorithm>
#include <cstdlib>

#include "model/Graphic.h"

namespace {

// Inside (or on) the ellipse with this centre and these radii.
bool insideEllipse(double cx, double cy, double rx, double ry, const POINT& p) {
  double dx = (p.x - cx) / rx, dy = (p.y - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

}  // namespace

bool pointInEllipse(const RECT& bounds, const POINT& p) {
  double rx = (bounds.right - bounds.left) / 2.0, ry = (bounds.bottom - bounds.top) / 2.0;
  if (rx <= 0 || ry <= 0) return false;
  return insideEllipse(bounds.left + rx, bounds.top + ry, rx, ry, p);
}

bool pointInRoundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t cornerHeight,
                      const POINT& p) {
  if (!pointInRect(bounds, p)) return false;
  // A corner ellipse larger than the rectangle is drawn as the largest that fits.
  double rx = std::min(cornerWidth / 2.0, (bounds.right - bounds.left) / 2.0);
  double ry = std::min(cornerHeight / 2.0, (bounds.bottom - bounds.top) / 2.0);
  if (rx <= 0 || ry <= 0) return true;
  double cx, cy;
  if (p.x < bounds.left + rx)
    cx = bounds.left + rx;
  else if (p.x > bounds.right - rx)
    cx = bounds.right - rx;
  else
    return true;
  if (p.y < bounds.top + ry)
    cy = bounds.top + ry;
  else if (p.y > bounds.bottom - ry)
    cy = bounds.bottom - ry;
  else
    return true;
  return insideEllipse(cx, cy, rx, ry, p);
}

POINT sidePoint(const RECT& r, unsigned side) {
  std::int32_t x = side & kSideLeft ? r.left : side & kSideRight ? r.right : (r.left + r.right) / 2;
  std::int32_t y = side & kSideBottom ? r.bottom : side & kSideTop ? r.top : (r.top + r.bottom) / 2;
  return {x, y};
}

bool isNear(const POINT& a, const POINT& b, std::int32_t reach) {
  return std::llabs(std::int64_t{a.x} - b.x) < reach && std::llabs(std::int64_t{a.y} - b.y) < reach;
}

RECT unionRect(const RECT& a, const RECT& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}
