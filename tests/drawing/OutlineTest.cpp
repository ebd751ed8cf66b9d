// Point-in-outline tests of ellipses and rounded rectangles.
#include "drawing/Outline.h"

#include <gtest/gtest.h>

// The outline itself is inside; of a rounded rectangle only the corners are cut, and corners larger
// than the rectangle make it an ellipse.
TEST(OutlineTest, PointsInEllipsesAndRoundedRectangles) {
  const RECT r{0, 0, 100, 50};
  struct Case {
    std::int32_t corner;  // -1: the ellipse
    RECT r;
    POINT p;
    bool inside;
  };
  for (const Case& c : {Case{-1, r, {50, 25}, true}, Case{-1, r, {0, 25}, true}, Case{-1, r, {50, 50}, true},
                        Case{-1, r, {5, 5}, false}, Case{-1, {10, 10, 10, 30}, {10, 20}, false},  // no width
                        Case{20, r, {1, 1}, false}, Case{20, r, {4, 4}, true}, Case{20, r, {0, 25}, true},
                        Case{20, r, {50, 0}, true}, Case{20, r, {99, 49}, false}, Case{20, r, {101, 25}, false},
                        Case{400, r, {10, 5}, false}, Case{0, r, {0, 0}, true}}) {
    const bool in = c.corner < 0 ? pointInEllipse(c.r, c.p) : pointInRoundRect(c.r, c.corner, c.corner, c.p);
    EXPECT_EQ(in, c.inside) << c.corner << " at " << c.p.x << "," << c.p.y;
  }
}
