// Points and rectangles in map coordinates, with their text form.
#pragma once

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
  return {r.left - d, r.top - d, r.right + d, r.bottom + d};
}

/// Writes "x y" and "left top right bottom" as decimal numbers.
std::ostream& operator<<(std::ostream& out, const POINT& p);
std::ostream& operator<<(std::ostream& out, const RECT& r);
/// Reads them back; on a malformed field the target is left as it was.
std::istream& operator>>(std::istream& in, POINT& p);
std::istream& operator>>(std::istream& in, RECT& r);
