// Outline geometry shared by the hit tests and attach points of every primitive.
#pragma once

#include <cstdint>

#include "support/Geometry.h"

// Hit tests run without a drawing context at hand, so these questions are
// answered by plain geometry, the same on every platform.

/// True when `p` lies inside the ellipse inscribed in `bounds` (its outline included).
bool pointInEllipse(const RECT& bounds, const POINT& p);
/// True when `p` lies inside the rectangle whose corners are quarters of a
/// cornerWidth × cornerHeight ellipse (the outline a context draws with roundRect).
bool pointInRoundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t cornerHeight,
                      const POINT& p);
/// True when `a` and `b` are less than `reach` apart on both axes.
bool isNear(const POINT& a, const POINT& b, std::int32_t reach);
/// True when the rectangle has no area (right ≤ left or bottom ≤ top).
inline bool isEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
/// The smallest rectangle holding both.
RECT unionRect(const RECT& a, const RECT& b);
/// The point of `r` for a side code: x is the left edge for left, else the
/// right edge for right, else the middle; y the bottom edge for bottom, else
/// the top edge for top, else the middle. A combination gives a corner.
POINT sidePoint(const RECT& r, unsigned side);

// Where a line toward the middle of an outline meets it. The outlines are those drawn with a
// one-pixel pen just inside right and bottom; `from` may lie inside as well (the line then
// runs on from the middle through it); from the middle itself the answer is the top middle.

/// On a rectangle.
POINT rectEdgeToward(const RECT& r, const POINT& from);
/// On the ellipse inscribed in `r`.
POINT ellipseEdgeToward(const RECT& r, const POINT& from);
/// On the rectangle whose corners are quarters of a cornerWidth × cornerHeight ellipse.
POINT roundRectEdgeToward(const RECT& r, std::int32_t cornerWidth, std::int32_t cornerHeight, const POINT& from);
