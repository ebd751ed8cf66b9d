// Where connector ends meet the outlines of the shapes they join.
#include <cmath>

#include "drawing/Outline.h"
#include "tests/MapFixture.h"

namespace {

// For every shape kind and every direction, the answer lies on the line from the middle
// toward the point asked from and on the outline: just inside it going back, outside it
// going on.
TEST(OutlineEdge, EveryDirectionMeetsTheOutlineOnTheLineFromTheMiddle) {
  const RECT r{100, 50, 181, 101};  // drawn box 100..180 x 50..100, middle (140, 75)
  struct Kind {
    const char* name;
    POINT (*edge)(const RECT&, const POINT&);
    bool (*inside)(const RECT&, const POINT&);
  };
  const Kind kinds[] = {
      {"rectangle", rectEdgeToward, [](const RECT& b, const POINT& p) { return pointInRect(b, p); }},
      {"ellipse", ellipseEdgeToward, pointInEllipse},
      {"rounded", [](const RECT& b, const POINT& p) { return roundRectEdgeToward(b, 30, 30, p); },
       [](const RECT& b, const POINT& p) { return pointInRoundRect(b, 30, 30, p); }},
  };
  for (const Kind& k : kinds) {
    for (int degrees = 0; degrees < 360; degrees += 15) {
      SCOPED_TRACE(std::string(k.name) + " at " + std::to_string(degrees));
      const double a = degrees * 3.14159265358979 / 180, dx = std::cos(a), dy = std::sin(a);
      for (double far : {300.0, 10.0}) {  // from outside and from inside
        const POINT from{static_cast<std::int32_t>(std::lround(140 + far * dx)),
                         static_cast<std::int32_t>(std::lround(75 + far * dy))};
        const POINT q = k.edge(r, from);
        const double ux = from.x - 140.0, uy = from.y - 75.0, len = std::hypot(ux, uy);
        EXPECT_LT(std::abs((q.x - 140.0) * uy - (q.y - 75.0) * ux) / len, 1.0) << "off the line";
        EXPECT_GT((q.x - 140.0) * ux + (q.y - 75.0) * uy, 0) << "on the far side";
        auto at = [&](double step) {
          return POINT{static_cast<std::int32_t>(std::lround(q.x + step * ux / len)),
                       static_cast<std::int32_t>(std::lround(q.y + step * uy / len))};
        };
        EXPECT_TRUE(k.inside(r, at(-2))) << q.x << "," << q.y;
        EXPECT_FALSE(k.inside(r, at(3))) << q.x << "," << q.y;
      }
    }
    EXPECT_EQ(k.edge(r, {140, 75}), (POINT{140, 50})) << k.name << ": from the middle, the top";
  }
}

using ConnectorEnds = MapFixture;

// A maplet between two nodes runs straight from outline to outline, whatever the shapes,
// and keeps doing so as the nodes move.
TEST_F(ConnectorEnds, ATwoLeggedMapletRunsStraightFromOutlineToOutline) {
  Node* a = node({0, 0, 81, 41}, nullptr, "Ellipse");
  Node* b = node({300, 200, 381, 241});
  SMaplet* m = arc(a, b, "Directed");
  for (POINT to : {POINT{300, 200}, POINT{100, 300}, POINT{20, 120}}) {
    b->moveTo(to);
    const Connector* c = m->getConnector();
    const POINT e0 = c->terminalPoint(0), e1 = c->terminalPoint(1), mid = m->centre();
    SCOPED_TRACE(std::to_string(to.x) + "," + std::to_string(to.y));
    EXPECT_EQ(e0, ellipseEdgeToward(a->getRect(), {to.x + 40, to.y + 20}));
    EXPECT_EQ(e1, rectEdgeToward(b->getRect(), {40, 20}));
    const double cross = double(mid.x - e0.x) * (e1.y - e0.y) - double(mid.y - e0.y) * (e1.x - e0.x);
    EXPECT_LT(std::abs(cross) / std::hypot(e1.x - e0.x, e1.y - e0.y), 1.0) << "the centre is on the line";
  }
  // A maplet whose centre was placed by hand aims its ends at the centre.
  m->setCentre({200, 0});
  m->getConnector()->setConnectorFlags(m->getConnector()->connectorFlags() & ~Connector::kAutoCentre);
  b->moveTo({300, 200});
  EXPECT_EQ(m->getConnector()->terminalPoint(1), rectEdgeToward(b->getRect(), {200, 0}));
}

}  // namespace
