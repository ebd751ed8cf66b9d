// The context frame: band, title strip and hits inside it.
#include "drawing/FrameShape.h"

#include <gtest/gtest.h>

#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

TEST(FrameShapeTest, DrawsABandAroundAHollowInsideAsOnePolygon) {
  FrameShape f({0, 0, 100, 80}, 0x0000FF, 0x00FF00);
  RecordingDC dc;
  layOutAndDraw(f, dc);
  auto polygons = dc.callsOf("polygon");
  ASSERT_EQ(polygons.size(), 1u);
  // Without a title the inside is (4, 3, 96, 76).
  EXPECT_EQ(polygons[0].points, (std::vector<POINT>{{0, 80}, {0, 0}, {100, 0}, {100, 80}, {4, 80},
                                                    {4, 3}, {96, 3}, {96, 76}, {4, 76}, {4, 80}}));
  EXPECT_EQ(polygons[0].fill, Color{0x0000FF});
  EXPECT_EQ(polygons[0].pen, Color{0x00FF00});
}


TEST(FrameShapeTest, AClickInsideTheFrameDoesNotHitIt) {
  FrameShape f({0, 0, 100, 80});
  EXPECT_EQ(f.hitTest({50, 40}), 0u);
  EXPECT_EQ(f.hitTest({96, 76}), 0u);  // the inner edge belongs to the inside
  EXPECT_EQ(f.hitTest({2, 40}), 0x11u);
  EXPECT_EQ(f.hitTest({50, 1}), 0x14u);
  EXPECT_EQ(f.hitTest({50, 78}), 0x18u);
}

// The title strip grows with the measured title, which stays on one line.
TEST(FrameShapeTest, ATitleStaysOnOneLineInAStripThatGrowsWithIt) {
  FrameShape f({0, 0, 300, 100});
  EXPECT_EQ(f.boundingRect(), (RECT{1, 1, 299, 3}));
  f.setLabel("one two three four five");
  EXPECT_EQ(f.label()->aspect(), TextDrawing::kTitleAspect);
  EXPECT_TRUE(f.isLayoutPending());
  RecordingDC dc;
  layOutAndDraw(f, dc);
  EXPECT_EQ(f.label()->lineCount(), 1);
  EXPECT_EQ(f.boundingRect(), (RECT{1, 1, 299, 17}));
  EXPECT_EQ(f.innerRect(), (RECT{4, 18, 296, 96}));
  EXPECT_EQ(f.getRect(), (RECT{0, 0, 300, 100}));  // a frame sized by hand keeps its size
  EXPECT_FALSE(f.isLayoutPending());
}
