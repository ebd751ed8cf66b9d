// A map shown zoomed and scrolled: what reaches the window is converted, handles keep their
// size on the screen, and far out labels are left out and tiny shapes become dots.
#include <gtest/gtest.h>

#include "drawing/ViewScale.h"
#include "model/MapView.h"
#include "tests/MapFixture.h"

namespace {

/// Shows the map at 200%, scrolled so that map point (100, 50) is at the window's corner.
class ZoomedView : public MapView {
 public:
  void repaintArea(const RECT& r) override { repaints.push_back(r); }
  NativeWindow nativeWindow() const override { return nullptr; }
  POINT mapToWindow(const POINT& p) const override { return {(p.x - 100) * 2, (p.y - 50) * 2}; }
  POINT windowToMap(const POINT& p) const override { return {p.x / 2 + 100, p.y / 2 + 50}; }
  std::vector<RECT> repaints;
};

class ZoomedViewTest : public MapFixture {
 protected:
  void SetUp() override { map.setView(&view); }
  void TearDown() override { map.setView(nullptr); }
  ZoomedView view;
};

}  // namespace

TEST_F(ZoomedViewTest, PopupsAndRubberBandsAreShownInWindowPixelsAndAnswerInMapUnits) {
  Node* n = node({150, 100, 200, 130}, "a");
  user.dismissMenu();
  map.rightButtonDown(0, {160, 110});
  ASSERT_EQ(user.menuPoints.size(), 1u);
  EXPECT_EQ(user.menuPoints[0], (POINT{120, 120}));

  // A band dragged from (140, 90) to window (220, 200), that is map (210, 150), takes the node in.
  user.dragRectTo({80, 80, 220, 200});
  map.leftButtonDown(0, {140, 90});
  ASSERT_EQ(user.rectsStarted.size(), 1u);
  EXPECT_EQ(user.rectsStarted[0], (RECT{80, 80, 80, 80}));
  EXPECT_TRUE(n->isHighlighted());

  // A resize from a handle gets its window rectangle back in map units.
  user.dragRectTo({100, 100, 300, 200});
  map.leftButtonDown(0, {199, 129});
  map.leftButtonUp(0, {199, 129});
  EXPECT_EQ(user.rectsStarted.back(), (RECT{100, 100, 200, 160}));
  EXPECT_EQ(n->getRect(), (RECT{150, 100, 250, 150}));
}

TEST_F(ZoomedViewTest, HandlesKeepTheirSizeOnTheScreen) {
  map.setView(nullptr);
  Node* n = node({0, 0, 100, 50});
  n->setHighlighted(true);
  struct Case {
    double scale;
    POINT at;
    bool handle;
  };
  // Six pixels: six units at actual size, two at 400% (1.5 rounded), twelve at 50%.
  const Case cases[] = {{1, {5, 5}, true},  {4, {5, 5}, false}, {4, {2, 2}, true},
                        {0.5, {11, 3}, true}, {0.5, {14, 3}, false}, {1, {95, 45}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.scale << " at " << c.at.x << "," << c.at.y);
    ViewScaleScope scale(c.scale);
    EXPECT_EQ((n->getShape()->hitTest(c.at) & kHitHandle) != 0, c.handle);
  }
  ViewScaleScope scale(0.05);  // 120 units would pass the shape's half: held at it
  RecordingDC dc;
  n->draw(dc);
  const auto rects = dc.callsOf("rectangle");
  ASSERT_EQ(rects.size(), 5u);
  EXPECT_EQ(rects[1].rect, (RECT{0, 0, 25, 25}));
}

TEST_F(ZoomedViewTest, FarOutLabelsAreLeftOutAndTinyShapesAreDots) {
  map.setView(nullptr);
  Node* big = node({0, 0, 200, 100}, "label");
  Node* tiny = node({300, 0, 305, 4}, "x");
  RecordingDC near;
  big->layOut(near);
  big->draw(near);
  EXPECT_EQ(near.callsOf("textOut").size(), 1u);
  {
    ViewScaleScope scale(0.2);  // 16-pixel lines are 3.2 pixels high
    RecordingDC far;
    big->draw(far);
    EXPECT_TRUE(far.callsOf("textOut").empty());
    EXPECT_EQ(far.callsOf("rectangle").size(), 1u);
    RecordingDC dot;
    tiny->draw(dot);
    EXPECT_EQ(dot.drawingOps(), (std::vector<std::string>{"rectangle"}));
  }
  RecordingDC back;
  big->draw(back);
  EXPECT_EQ(back.callsOf("textOut").size(), 1u);  // the scale is restored when its scope ends
}
