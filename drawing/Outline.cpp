// Outline geometry: inside tests and side points.
#include "drawing/Outline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

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

namespace {

// The drawn box of `r`: its middle and half sizes, in pixel centres.
struct Box {
  double cx, cy, hw, hh;
};

Box boxOf(const RECT& r) {
  const double right = std::max<double>(r.left, double(r.right) - 1), bottom = std::max<double>(r.top, double(r.bottom) - 1);
  return {(r.left + right) / 2, (r.top + bottom) / 2, (right - r.left) / 2, (bottom - r.top) / 2};
}

POINT rounded(double x, double y) {
  return {static_cast<std::int32_t>(std::lround(x)), static_cast<std::int32_t>(std::lround(y))};
}

// The direction from the middle to `from`, or none when they coincide.
bool directionOf(const Box& b, const POINT& from, double& dx, double& dy) {
  dx = from.x - b.cx;
  dy = from.y - b.cy;
  return std::abs(dx) > 1e-9 || std::abs(dy) > 1e-9;
}

// How far along (dx, dy) from the middle the rectangle's edge lies.
double rectReach(const Box& b, double dx, double dy) {
  double t = std::numeric_limits<double>::infinity();
  if (std::abs(dx) > 1e-9) t = std::min(t, b.hw / std::abs(dx));
  if (std::abs(dy) > 1e-9) t = std::min(t, b.hh / std::abs(dy));
  return t;
}

// The largest t where (x0, y0) + t (dx, dy) lies on the ellipse around (ex, ey) with radii rx, ry.
double ellipseExit(double x0, double y0, double dx, double dy, double ex, double ey, double rx, double ry) {
  const double ux = (x0 - ex) / rx, uy = (y0 - ey) / ry, vx = dx / rx, vy = dy / ry;
  const double a = vx * vx + vy * vy, bb = 2 * (ux * vx + uy * vy), c = ux * ux + uy * uy - 1;
  const double disc = std::max(0.0, bb * bb - 4 * a * c);
  return (-bb + std::sqrt(disc)) / (2 * a);
}

}  // namespace

POINT rectEdgeToward(const RECT& r, const POINT& from) {
  const Box b = boxOf(r);
  double dx, dy;
  if (!directionOf(b, from, dx, dy)) return rounded(b.cx, r.top);
  const double t = rectReach(b, dx, dy);
  return rounded(b.cx + t * dx, b.cy + t * dy);
}

POINT ellipseEdgeToward(const RECT& r, const POINT& from) {
  const Box b = boxOf(r);
  double dx, dy;
  if (!directionOf(b, from, dx, dy)) return rounded(b.cx, r.top);
  if (b.hw < 0.5 || b.hh < 0.5) return rectEdgeToward(r, from);
  const double t = 1 / std::sqrt((dx / b.hw) * (dx / b.hw) + (dy / b.hh) * (dy / b.hh));
  return rounded(b.cx + t * dx, b.cy + t * dy);
}

POINT roundRectEdgeToward(const RECT& r, std::int32_t cornerWidth, std::int32_t cornerHeight, const POINT& from) {
  const Box b = boxOf(r);
  double dx, dy;
  if (!directionOf(b, from, dx, dy)) return rounded(b.cx, r.top);
  const double t = rectReach(b, dx, dy);
  const double x = b.cx + t * dx, y = b.cy + t * dy;
  const double rx = std::min(cornerWidth / 2.0, b.hw), ry = std::min(cornerHeight / 2.0, b.hh);
  // Within a corner's reach on both axes the line meets the rounding instead.
  const double innerW = b.hw - rx, innerH = b.hh - ry;
  if (rx < 0.5 || ry < 0.5 || std::abs(x - b.cx) <= innerW || std::abs(y - b.cy) <= innerH) return rounded(x, y);
  const double ex = b.cx + (x > b.cx ? innerW : -innerW), ey = b.cy + (y > b.cy ? innerH : -innerH);
  const double s = ellipseExit(b.cx, b.cy, dx, dy, ex, ey, rx, ry);
  return rounded(b.cx + s * dx, b.cy + s * dy);
}
