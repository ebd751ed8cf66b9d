// Connectors and their lines: centre, legs, hit codes, handles and arrowheads, and the label of a labelled one.
#include "drawing/Connector.h"

#include <gtest/gtest.h>

#include "drawing/LabeledConnector.h"
#include "drawing/Line.h"
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

// A selected connector shows terminal and centre handles, and hits them first.
TEST(ConnectorTest, HandlesAndHitCodesOfCentreAndTerminalsWithTheLastHitTerminal) {
  auto c = threeLegs();
  c->setHighlighted(true);
  RecordingDC dc;
  c->draw(dc);
  EXPECT_EQ(dc.drawingOps(), (std::vector<std::string>{"line", "line", "line", "ellipse", "ellipse", "ellipse",
                                                       "rectangle"}));
  EXPECT_EQ(dc.calls[3].rect, (RECT{-3, 47, 3, 53}));
  EXPECT_EQ(dc.calls[6].rect, (RECT{47, 47, 53, 53}));
  // The point, whether the connector is selected, the hit code and the last hit terminal.
  for (const auto& [p, selected, expected, lastHit] : std::vector<std::tuple<POINT, bool, unsigned, int>>{
           {{52, 52}, false, 0x10, -1}, {{52, 52}, true, 0x30, -1}, {{98, 50}, true, 0x260, 1},
           {{2, 48}, true, 0x160, 0}, {{98, 50}, false, 0, -1}, {{51, 80}, true, 0x310, -1},
           {{75, 51}, false, 0x210, -1}, {{90, 90}, true, 0, -1}}) {
    c->setHighlighted(selected);
    EXPECT_EQ(c->hitTest(p), expected) << p.x << "," << p.y;
    EXPECT_EQ(c->terminalAt(p), lastHit) << p.x << "," << p.y;
  }
  // An unselected terminal end still hits another leg passing there.
  c->setHighlighted(false);
  c->setTerminalPoint(2, {-50, 50});
  EXPECT_EQ(c->hitTest({1, 50}), 0x310u);
}

// Moving the centre reroutes every leg and repaints both areas; the rectangle is the union of
// the legs' repaint areas, and moving it shifts the whole connector.
TEST(ConnectorTest, TheCentreAndTheRectangleMoveTheLegs) {
  TestRoot root;
  auto* c = addTo(root, std::make_unique<Connector>(3));
  placeThree(*c);
  root.invalidated.clear();
  c->setCentre({60, 40});
  for (std::uint16_t i = 0; i < 3; ++i) EXPECT_EQ(c->leg(i)->start(), (POINT{60, 40}));
  EXPECT_EQ(root.invalidated, (std::vector<RECT>{{-6, 44, 106, 106}, {-6, 34, 106, 106}}));

  c->setCentre({50, 50});
  EXPECT_EQ(c->getRect(), (RECT{-3, 47, 103, 103}));
  c->moveTo({7, 57});  // the rectangle's corner moves from (-3, 47) by (10, 10)
  EXPECT_EQ(c->centre(), (POINT{60, 60}));
  EXPECT_EQ(c->terminalPoint(2), (POINT{60, 110}));
}

// The label sizes itself on the centre, is drawn over the legs, answers hits before them,
// follows the centre and takes a new size for a new text at the next drawing.
TEST(LabeledConnectorTest, TheLabelSitsOnTheCentreAndIsDrawnAndHitOverTheLegs) {
  auto label = std::make_unique<EllipseShape>();
  label->setLabel("AGNT");  // 32 × 16
  LabeledConnector c(2, std::move(label));
  c.setTerminalPoint(0, {0, 50});
  c.setTerminalPoint(1, {100, 50});
  RecordingDC dc;
  layOutAndDraw(c, dc);
  EXPECT_EQ(c.labelShape()->getRect(), (RECT{25, 37, 75, 64}));  // 50 × 27 around (50, 50)
  EXPECT_EQ(dc.drawingOps(), (std::vector<std::string>{"line", "line", "ellipse", "setTextColor", "setCopyPen",
                                                       "setTransparentBackground", "textOut"}));
  EXPECT_EQ(c.getRect(), (RECT{-3, 34, 103, 67}));
  EXPECT_EQ(c.hitTest({50, 45}), 0x14u);
  EXPECT_EQ(c.hitTest({10, 50}), 0x110u);
  c.setHighlighted(true);
  EXPECT_EQ(c.hitTest({27, 39}), 0x25u);  // the label's handle

  c.setCentre({60, 60});
  EXPECT_EQ(c.labelShape()->getRect(), (RECT{35, 47, 85, 74}));
  c.setLabel("BTWN-and-more");
  layOutAndDraw(c, dc);
  RECT r = c.labelShape()->getRect();
  EXPECT_EQ(r.right - r.left, 152);
  EXPECT_EQ((r.left + r.right) / 2, 60);
}

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
