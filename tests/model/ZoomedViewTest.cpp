// A map shown zoomed: handles keep their size on the screen (the label and dot rules of far zooms are
// measured by the repaint benchmark).
#include <gtest/gtest.h>

#include "drawing/ViewScale.h"
#include "tests/MapFixture.h"

// (Popups, rubber bands and resizes through the view's conversions are driven with real
// events on a zoomed window in the shell's navigation tests.)
using ZoomedViewTest = MapFixture;

TEST_F(ZoomedViewTest, HandlesKeepTheirSizeOnTheScreen) {
  Node* n = node({0, 0, 100, 50});
  n->setHighlighted(true);
  // Six pixels: six units at actual size, two at 400% (1.5 rounded), twelve at 50%.
  const std::tuple<double, POINT, bool> cases[] = {{1, {5, 5}, true},    {4, {5, 5}, false},
                                                   {4, {2, 2}, true},    {0.5, {11, 3}, true},
                                                   {0.5, {14, 3}, false}, {1, {95, 45}, true}};
  for (const auto& [zoom, at, handle] : cases) {
    SCOPED_TRACE(testing::Message() << zoom << " at " << at.x << "," << at.y);
    ViewScaleScope scale(zoom);
    EXPECT_EQ((n->getShape()->hitTest(at) & kHitHandle) != 0, handle);
  }
  ViewScaleScope scale(0.05);  // 120 units would pass the shape's half: held at it
  RecordingDC dc;
  n->draw(dc);
  const auto rects = dc.callsOf("rectangle");
  ASSERT_EQ(rects.size(), 5u);
  EXPECT_EQ(rects[1].rect, (RECT{0, 0, 25, 25}));
}
