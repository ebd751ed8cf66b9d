// Points and rectangles in map coordinates, with their text form.
#pragma once

#include <climits>
#include <cstdint>
#include <iosfwd>

/// A point in map coordinates.
struct tagPOINT {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const tagPOINT&, const tagPOINT&) = default;
};

/// A rectangle; both edges count as inside.
struct tagRECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const tagRECT&, const tagRECT&) = default;
};

using POINT = tagPOINT;
using RECT = tagRECT;

/// The rectangle that stands for the whole map in repaint requests.
inline constexpr RECT kWholeArea{-2147483647, -2147483647, 2147483647, 2147483647};

/// Map coordinates stay within ±kCoordinateLimit, so that sums and differences of a
/// few coordinates and sizes, which drawing and hit tests take, never leave 32 bits.
inline constexpr std::int32_t kCoordinateLimit = (1 << 29) - 1;

/// The value brought within the coordinate limits.
inline std::int32_t clampCoordinate(std::int64_t v) {
  return static_cast<std::int32_t>(v < -kCoordinateLimit ? -kCoordinateLimit : v > kCoordinateLimit ? kCoordinateLimit : v);
}
/// Half of a sum of two coordinates, rounded toward minus infinity.
inline std::int32_t halfFloor(std::int64_t sum) {
  return static_cast<std::int32_t>(sum >= 0 ? sum / 2 : -((-sum + 1) / 2));
}
inline POINT clampPoint(const POINT& p) { return {clampCoordinate(p.x), clampCoordinate(p.y)}; }
inline RECT clampRect(const RECT& r) {
  return {clampCoordinate(r.left), clampCoordinate(r.top), clampCoordinate(r.right), clampCoordinate(r.bottom)};
}
/// The point moved by (dx, dy), within the limits.
inline POINT offsetPoint(const POINT& p, std::int64_t dx, std::int64_t dy) {
  return {clampCoordinate(p.x + dx), clampCoordinate(p.y + dy)};
}

/// The rectangle of this size whose top-left corner is `p`, within the limits.
inline RECT rectAt(const POINT& p, std::int32_t width, std::int32_t height) {
  const POINT at = clampPoint(p);
  return {at.x, at.y, clampCoordinate(std::int64_t{at.x} + width), clampCoordinate(std::int64_t{at.y} + height)};
}

/// True when the point lies inside the rectangle or on its edges.
inline bool pointInRect(const RECT& r, const POINT& p) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

/// True when the two rectangles overlap; touching edges count.
inline bool rectsIntersect(const RECT& a, const RECT& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

/// True when `inner` lies wholly within `outer`; edges may coincide.
inline bool rectInside(const RECT& inner, const RECT& outer) {
  return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
         inner.bottom <= outer.bottom;
}

/// The rectangle grown by `d` on every side.
inline RECT inflateRect(const RECT& r, std::int32_t d) {
  auto grown = [](std::int64_t v) {
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  return {grown(std::int64_t{r.left} - d), grown(std::int64_t{r.top} - d), grown(std::int64_t{r.right} + d),
          grown(std::int64_t{r.bottom} + d)};
}

/// Writes "x y" and "left top right bottom" as decimal numbers.
std::ostream& operator<<(std::ostream& out, const POINT& p);
std::ostream& operator<<(std::ostream& out, const RECT& r);
/// Reads them back; on a malformed field the target is left as it was.
std::istream& operator>>(std::istream& in, POINT& p);
std::istream& operator>>(std::istream& in, RECT& r);
