// Connectors: their centre, legs, hit codes and handles.
#include "drawing/Connector.h"

#include <gtest/gtest.h>

#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

namespace {

/// Routes the legs of `c` from (50, 50) to (0, 50), (100, 50) and (50, 100).
void placeThree(Connector& c) {
  c.setTerminalPoint(0, {0, 50});
  c.setTerminalPoint(1, {100, 50});
  c.setTerminalPoint(2, {50, 100});
}

std::unique_ptr<Connector> threeLegs() {
  auto c = std::make_unique<Connector>(3);
  placeThree(*c);
  return c;
}

}  // namespace

TEST(ConnectorTest, ANewConnectorCentresAtFiftyWithAutoCentreOn) {
  Connector c;
  EXPECT_EQ(c.legCount(), 2);
  EXPECT_EQ(c.centre(), (POINT{50, 50}));
  EXPECT_EQ(c.connectorFlags(), 3u);
  EXPECT_TRUE(c.isAutoCentre());
  EXPECT_EQ(c.leg(1)->start(), (POINT{50, 50}));
  EXPECT_EQ(c.leg(2), nullptr);
}

TEST(ConnectorTest, HitCodesOfCentreAndTerminalsWithTheLastHitTerminal) {
  struct Case {
    POINT p;
    bool selected;
    unsigned expected;
    int lastHit;
  };
  auto c = threeLegs();
  for (Case k : {Case{{52, 52}, false, 0x10, -1}, Case{{52, 52}, true, 0x30, -1},
                 Case{{98, 50}, true, 0x260, 1}, Case{{2, 48}, true, 0x160, 0},
                 Case{{98, 50}, false, 0, -1}, Case{{51, 80}, true, 0x310, -1},
                 Case{{75, 51}, false, 0x210, -1}, Case{{90, 90}, true, 0, -1}}) {
    c->setHighlighted(k.selected);
    EXPECT_EQ(c->hitTest(k.p), k.expected) << k.p.x << "," << k.p.y;
    EXPECT_EQ(c->terminalAt(k.p), k.lastHit) << k.p.x << "," << k.p.y;
  }
}

TEST(ConnectorTest, AnUnselectedTerminalEndStillHitsAnotherLegPassingThere) {
  auto c = threeLegs();
  c->setTerminalPoint(2, {-50, 50});  // leg 2 runs through the end of terminal 0
  EXPECT_EQ(c->hitTest({1, 50}), 0x310u);
}

TEST(ConnectorTest, ASelectedConnectorShowsTerminalAndCentreHandles) {
  auto c = threeLegs();
  c->setHighlighted(true);
  RecordingDC dc;
  c->draw(dc);
  EXPECT_EQ(dc.drawingOps(), (std::vector<std::string>{"line", "line", "line", "ellipse", "ellipse", "ellipse",
                                                       "rectangle"}));
  EXPECT_EQ(dc.calls[3].rect, (RECT{-3, 47, 3, 53}));
  EXPECT_EQ(dc.calls[3].fill, kBlack);
  EXPECT_EQ(dc.calls[6].rect, (RECT{47, 47, 53, 53}));
}

TEST(ConnectorTest, MovingTheCentreReroutesEveryLegAndRepaintsBothAreas) {
  TestRoot root;
  auto* c = addTo(root, std::make_unique<Connector>(3));
  placeThree(*c);
  root.invalidated.clear();
  c->setCentre({60, 40});
  for (std::uint16_t i = 0; i < 3; ++i) EXPECT_EQ(c->leg(i)->start(), (POINT{60, 40}));
  EXPECT_EQ(c->terminalPoint(2), (POINT{50, 100}));
  ASSERT_EQ(root.invalidated.size(), 2u);
  EXPECT_EQ(root.invalidated[0], (RECT{-6, 44, 106, 106}));
  EXPECT_EQ(root.invalidated[1], (RECT{-6, 34, 106, 106}));
}

// Its rectangle is the union of its legs' repaint areas; moving it shifts the whole connector.
TEST(ConnectorTest, ItsRectangleSpansItsLegsAndMovesThemAll) {
  auto c = threeLegs();
  EXPECT_EQ(c->getRect(), (RECT{-3, 47, 103, 103}));
  c->moveTo({7, 57});  // the rectangle's corner moves from (-3, 47) by (10, 10)
  EXPECT_EQ(c->centre(), (POINT{60, 60}));
  EXPECT_EQ(c->terminalPoint(0), (POINT{10, 60}));
  EXPECT_EQ(c->terminalPoint(2), (POINT{60, 110}));
}

TEST(ConnectorTest, CopyAttributesTakesTheCentreAndTheSharedTerminals) {
  auto from = threeLegs();
  from->setCentre({40, 40});
  Connector to(2);
  to.setConnectorFlags(2);
  to.copyAttributes(*from);
  EXPECT_EQ(to.centre(), (POINT{40, 40}));
  EXPECT_EQ(to.terminalPoint(1), (POINT{100, 50}));
  EXPECT_EQ(to.leg(0)->start(), (POINT{40, 40}));
  EXPECT_EQ(to.connectorFlags(), 2u);
}
