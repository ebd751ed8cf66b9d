// Lines: their rectangle, hit codes and arrowheads, and the arrowheads' corners.
#include "drawing/Line.h"

#include <gtest/gtest.h>

#include "tests/RecordingDC.h"

// Its rectangle is the normalised span of its points; hits near the ends and along the line.
TEST(LineTest, HitCodesNearTheEndsAndAlongTheLine) {
  EXPECT_EQ(Line({50, 10}, {10, 40}).getRect(), (RECT{10, 10, 50, 40}));
  Line l({0, 0}, {100, 50});
  for (const auto& [p, selected, expected] : std::vector<std::tuple<POINT, bool, unsigned>>{
           {{4, 4}, false, 0x150}, {{4, 4}, true, 0x120}, {{96, 46}, false, 0x250}, {{103, 52}, true, 0x220},
           {{20, 4}, false, 0}, {{50, 27}, false, 0x10}, {{50, 28}, false, 0}, {{-6, 0}, false, 0}}) {
    l.setHighlighted(selected);
    EXPECT_EQ(l.hitTest(p), expected) << p.x << "," << p.y;
  }
  Line steep({0, 0}, {2, 100});  // hit along its whole length
  for (std::int32_t y = 10; y <= 90; y += 40) EXPECT_EQ(steep.hitTest({y / 50, y}), 0x10u) << y;
  EXPECT_EQ(steep.hitTest({5, 20}), 0u);
}

// An arrowhead's corners lie ten pixels back on either side of the line; a line draws itself,
// then its arrowheads pointing outward as filled triangles in their colours. A shared arrowhead
// outlives the lines that show it.
TEST(LineTest, ArrowheadsAreDrawnPointingOutwardAndOutliveTheirLines) {
  const POINT tip{100, 50};
  for (const auto& [from, corner1, corner2] : std::vector<std::tuple<POINT, POINT, POINT>>{
           {{200, 50}, {109, 47}, {109, 52}}, {{100, 0}, {97, 40}, {102, 40}}, {{100, 50}, {109, 47}, {109, 52}}}) {
    EXPECT_EQ(ArrowHead::corners(tip, from), (std::array<POINT, 3>{tip, corner1, corner2})) << from.x << "," << from.y;
  }
  auto head = std::make_shared<const ArrowHead>(0x0000FF, 0x00FF00);
  auto first = std::make_unique<Line>(POINT{0, 0}, POINT{100, 0}, 0x0000FF);
  first->setStartArrow(std::make_shared<const ArrowHead>(kBlack, kBlack));
  first->setEndArrow(head);
  Line second(*first);
  head.reset();
  first.reset();
  RecordingDC dc;
  second.draw(dc);
  ASSERT_EQ(dc.drawingOps(), (std::vector<std::string>{"line", "polygon", "polygon"}));
  EXPECT_EQ(dc.calls[0].pen, Color{0x0000FF});
  EXPECT_EQ(dc.calls[1].points[1].x, 9);  // the start head points back past the start
  EXPECT_EQ(dc.calls[2].points[1].x, 90);
  EXPECT_EQ(dc.calls[2].fill, Color{0x0000FF});
  EXPECT_EQ(dc.calls[2].pen, Color{0x00FF00});
}
