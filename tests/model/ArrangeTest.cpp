// Aligning, distributing and sizing: the geometry, and the single undoable step it becomes.
#include "model/Arrange.h"

#include <gtest/gtest.h>

#include "tests/model/ElementFixture.h"

namespace {

struct Case {
  const char* name;
  Arrangement how;
  std::vector<RECT> in;
  std::vector<RECT> out;
};

const std::vector<RECT> kThree = {{10, 50, 40, 70}, {100, 0, 120, 40}, {30, 200, 90, 210}};

}  // namespace

TEST(ArrangeTest, EachArrangementPlacesTheRectanglesByItsRule) {
  const std::vector<Case> cases = {
      {"left", Arrangement::AlignLeft, kThree, {{10, 50, 40, 70}, {10, 0, 30, 40}, {10, 200, 70, 210}}},
      {"right", Arrangement::AlignRight, kThree, {{90, 50, 120, 70}, {100, 0, 120, 40}, {60, 200, 120, 210}}},
      // The bounds run from 10 to 120: centre 65.
      {"centre", Arrangement::AlignCentre, kThree, {{50, 50, 80, 70}, {55, 0, 75, 40}, {35, 200, 95, 210}}},
      {"top", Arrangement::AlignTop, kThree, {{10, 0, 40, 20}, {100, 0, 120, 40}, {30, 0, 90, 10}}},
      {"bottom", Arrangement::AlignBottom, kThree, {{10, 190, 40, 210}, {100, 170, 120, 210}, {30, 200, 90, 210}}},
      {"middle", Arrangement::AlignMiddle, kThree, {{10, 95, 40, 115}, {100, 85, 120, 125}, {30, 100, 90, 110}}},
      {"same width", Arrangement::SameWidth, kThree, {{10, 50, 70, 70}, {100, 0, 160, 40}, {30, 200, 90, 210}}},
      {"same height", Arrangement::SameHeight, kThree, {{10, 50, 40, 90}, {100, 0, 120, 40}, {30, 200, 90, 240}}},
      // Ordered by centre: 0 (25), 2 (60), 1 (110). Span 10..120 = 110, widths 110: no gaps.
      {"distribute touching", Arrangement::DistributeHorizontally, kThree,
       {{10, 50, 40, 70}, {100, 0, 120, 40}, {40, 200, 100, 210}}},
      // Four of width 10 between 0 and 100: gaps of 20, the outer two stay.
      {"distribute four", Arrangement::DistributeHorizontally,
       {{0, 0, 10, 5}, {90, 0, 100, 5}, {11, 9, 21, 14}, {12, 0, 22, 5}},
       {{0, 0, 10, 5}, {90, 0, 100, 5}, {30, 9, 40, 14}, {60, 0, 70, 5}}},
      // Gaps that do not divide evenly: 0..101 less four heights of 10 → gaps 20, 20, 21 (no drift).
      {"distribute rounding", Arrangement::DistributeVertically,
       {{0, 0, 5, 10}, {0, 5, 5, 15}, {0, 6, 5, 16}, {0, 91, 5, 101}},
       {{0, 0, 5, 10}, {0, 30, 5, 40}, {0, 60, 5, 70}, {0, 91, 5, 101}}},
      {"distribute two stays", Arrangement::DistributeVertically, {{0, 0, 5, 5}, {0, 50, 5, 60}},
       {{0, 0, 5, 5}, {0, 50, 5, 60}}},
      {"one alone stays", Arrangement::AlignLeft, {{7, 8, 9, 10}}, {{7, 8, 9, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(arrangeRects(c.how, c.in), c.out);
  }
}

class ArrangeMapTest : public ElementFixture {};

TEST_F(ArrangeMapTest, SameWidthResizesNodesOnlyAndEndsTheirAutomaticSize) {
  Node* a = node({0, 0, 40, 20}, "wide label");
  Node* b = node({0, 50, 90, 70});
  SMaplet* m = arc(a, b);
  a->getShape()->setShapeFlags(a->getShape()->shapeFlags() | Shape::kAutoSize);
  map.submitCommand(makeArrangement(Arrangement::SameWidth, {a, b, m}));
  EXPECT_EQ(a->getRect(), (RECT{0, 0, 90, 20}));
  EXPECT_FALSE(a->getShape()->isAutoSize());
  undo();
  EXPECT_EQ(a->getRect(), (RECT{0, 0, 40, 20}));
  EXPECT_TRUE(a->getShape()->isAutoSize());
}

TEST_F(ArrangeMapTest, ANudgeIsOneStepAndNothingToChangeMakesNone) {
  Node* a = node({10, 10, 50, 30});
  Node* b = node({100, 10, 150, 30});
  map.submitCommand(makeNudge({a, b}, 1, 0));  // smaller than a drag could ever record
  EXPECT_EQ(rects({a, b}), (std::vector<RECT>{{11, 10, 51, 30}, {101, 10, 151, 30}}));
  EXPECT_EQ(steps(), 1u);
  undo();
  EXPECT_EQ(a->getRect(), (RECT{10, 10, 50, 30}));
  EXPECT_EQ(makeNudge({}, 1, 0), nullptr);
  EXPECT_EQ(makeNudge({a}, 0, 0), nullptr);
  // Nothing to change makes no step; maplets between nodes stay out of an arrangement.
  Node* c = node({10, 60, 50, 90});
  SMaplet* m = arc(a, c);
  EXPECT_EQ(makeArrangement(Arrangement::AlignLeft, {a, c}), nullptr);
  // The maplet follows its terminals: aligning it with the nodes would tear it off them.
  EXPECT_EQ(makeArrangement(Arrangement::AlignRight, {a, c, m}), nullptr);
}
