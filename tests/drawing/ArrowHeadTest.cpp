// Arrowhead corners and drawing.
#include "drawing/ArrowHead.h"

#include <gtest/gtest.h>

#include "tests/RecordingDC.h"

TEST(ArrowHeadTest, CornersLieTenPixelsBackOnEitherSideOfTheLine) {
  struct Case {
    const char* from;
    POINT fromPoint;
    POINT corner1, corner2;
  };
  const POINT tip{100, 50};
  for (const Case& c : {Case{"right", {200, 50}, {109, 47}, {109, 52}},
                        Case{"left", {0, 50}, {90, 52}, {90, 47}},
                        Case{"below", {100, 150}, {102, 59}, {97, 59}},
                        Case{"above", {100, 0}, {97, 40}, {102, 40}},
                        Case{"nowhere", {100, 50}, {109, 47}, {109, 52}}}) {
    auto corners = ArrowHead::corners(tip, c.fromPoint);
    EXPECT_EQ(corners[0], tip) << c.from;
    EXPECT_EQ(corners[1], c.corner1) << c.from;
    EXPECT_EQ(corners[2], c.corner2) << c.from;
  }
  // Drawn as a filled triangle in its colours.
  ArrowHead head(0x0000FF, 0x00FF00);
  RecordingDC dc;
  head.draw(dc, {0, 0}, {100, 0});
  auto polygons = dc.callsOf("polygon");
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].points.size(), 3u);
  EXPECT_EQ(polygons[0].fill, Color{0x0000FF});
  EXPECT_EQ(polygons[0].pen, Color{0x00FF00});
}
