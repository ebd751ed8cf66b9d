// Point-in-outline tests of ellipses and rounded rectangles.
#include "drawing/Outline.h"

#include <gtest/gtest.h>

TEST(OutlineTest, PointInEllipseIncludesTheOutlineAndExcludesTheCorners) {
  const RECT r{0, 0, 100, 50};
  EXPECT_TRUE(pointInEllipse(r, {50, 25}));
  EXPECT_TRUE(pointInEllipse(r, {0, 25}));
  EXPECT_TRUE(pointInEllipse(r, {50, 50}));
  EXPECT_FALSE(pointInEllipse(r, {5, 5}));
  EXPECT_FALSE(pointInEllipse({10, 10, 10, 30}, {10, 20}));  // no width, no inside
}

TEST(OutlineTest, PointInRoundRectCutsOnlyTheCorners) {
  const RECT r{0, 0, 100, 50};
  EXPECT_FALSE(pointInRoundRect(r, 20, 20, {1, 1}));
  EXPECT_TRUE(pointInRoundRect(r, 20, 20, {4, 4}));
  EXPECT_TRUE(pointInRoundRect(r, 20, 20, {0, 25}));
  EXPECT_TRUE(pointInRoundRect(r, 20, 20, {50, 0}));
  EXPECT_FALSE(pointInRoundRect(r, 20, 20, {99, 49}));
  EXPECT_FALSE(pointInRoundRect(r, 20, 20, {101, 25}));
  // Corners larger than the rectangle make it an ellipse.
  EXPECT_FALSE(pointInRoundRect(r, 400, 400, {10, 5}));
  EXPECT_TRUE(pointInRoundRect(r, 0, 0, {0, 0}));
}
