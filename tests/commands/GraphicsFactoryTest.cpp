// The standard prototypes: shapes, connectors, their names and registration.
#include "commands/GraphicsFactory.h"

#include <gtest/gtest.h>

#include <sstream>

#include "drawing/LabeledConnector.h"
#include "tests/TestSupport.h"

namespace {

class GraphicsFactoryTest : public ::testing::Test {
 protected:
  void SetUp() override { registerStandardPrototypes(); }
  GraphicsFactory& factory = GraphicsFactory::instance();
};

// The arrowheads of a connector, leg by leg: the one at the centre end, then
// the one at the terminal end; '.' none, 'B' black, 'R' red.
std::string headsOf(const Connector& c) {
  auto code = [](const ArrowHead* h) { return !h ? '.' : h->fillColor() == kBlack ? 'B' : 'R'; };
  std::string out;
  for (std::uint16_t i = 0; i < c.legCount(); ++i) {
    if (i) out += ' ';
    out += code(c.leg(i)->startArrow());
    out += code(c.leg(i)->endArrow());
  }
  return out;
}

// A shape as one line: its class, fill, border and text colours, and a rectangle or label if
// it has one.
std::string describe(const Shape& s) {
  std::ostringstream out;
  out << s.className() << std::hex << ' ' << s.fillColor() << ' ' << s.borderColor() << ' ' << s.textColor();
  if (!(s.getRect() == RECT{})) out << " at " << s.getRect();
  if (s.getLabel()) out << " \"" << s.getLabel() << '"';
  return out.str();
}

}  // namespace

TEST_F(GraphicsFactoryTest, TheStandardShapesHaveTheirKindsAndColours) {
  for (const auto& [name, expected] : std::vector<std::pair<const char*, const char*>>{
           {"Rectangle", "RectangleShape ffffff 0 0"},
           {"Rectangle-Red", "RectangleShape ff 0 0"},
           {"Rectangle-Red/Blue/Yellow", "RectangleShape ff ff000 ffff"},
           {"Ellipse-Blue", "EllipseShape ff0000 0 0"},
           {"RoundRect-Green", "RoundRectShape ff00 0 0"},
           {"frame", "FrameShape ffffff 0 0"},
           {"no such shape", "RectangleShape ffffff 0 0"}}) {
    std::unique_ptr<Shape> s = factory.getShape(name);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_EQ(describe(*s), expected) << name;
  }
  EXPECT_EQ(factory.shapeNames().size(), 15u);
}

// The legs, arrowheads and flags of each standard connector, and the label and its shape
// for the labelled ones; every one is centred at (50, 50).
TEST_F(GraphicsFactoryTest, TheStandardConnectorsHaveTheirLegsHeadsFlagsAndLabels) {
  for (const auto& [name, expected] : std::vector<std::pair<const char*, const char*>>{
           {"default", ".. .. 3"},
           {"Directed", ".. .B 3"},
           {"Double Directed", "B. .B 3"},
           {"BiDirect", ".B .B 3"},
           {"DoubleBiDirect", "BB BB 3"},
           {"Trinary Undirected", ".. .. .. 3"},
           {"Trinary Directed black/red", ".. .B .R 3"},
           {"Trinary Directed black/red, floating", ".. .B .R 2"},
           {"Quad Undirected", ".. .. .. .. 3"},
           {"IsA", ".. .B 2 IsA in NullShape ffffff"},
           {"AGNT", "B. .B 2 AGNT in EllipseShape ffffff"},
           {"BTWN", ".. .B .R 2 BTWN in EllipseShape ffffff"}}) {
    std::unique_ptr<Connector> k = factory.getConnector(name);
    ASSERT_NE(k, nullptr) << name;
    EXPECT_EQ(k->centre(), (POINT{50, 50})) << name;
    std::string got = headsOf(*k) + " " + std::to_string(k->connectorFlags());
    if (auto* labeled = dynamic_cast<LabeledConnector*>(k.get())) {
      std::ostringstream kind;
      kind << std::hex << labeled->labelShape()->className() << ' ' << labeled->labelShape()->fillColor();
      got += std::string(" ") + labeled->getLabel() + " in " + kind.str();
    }
    EXPECT_EQ(got, expected) << name;
  }
}

TEST_F(GraphicsFactoryTest, ConnectorNamesComeInByteOrder) {
  EXPECT_EQ(factory.connectorNames(),
            (std::vector<std::string>{"AGNT", "BTWN", "BiDirect", "BiDirect, floating", "Directed",
                                      "Double Directed", "DoubleBiDirect", "IsA", "Quad Undirected",
                                      "Trinary Directed black/red", "Trinary Directed black/red, floating",
                                      "Trinary Undirected", "Undirected", "default"}));
  EXPECT_EQ(factory.lineNames(), (std::vector<std::string>{"Plain", "default"}));
}

// Registering a name twice keeps the first; connector types share their arrowheads; what is
// made from a prototype changes independently of it.
TEST_F(GraphicsFactoryTest, PrototypesStayAsFirstRegisteredAndShareTheirHeads) {
  EXPECT_FALSE(factory.addShape("Ellipse", RectangleShape({}, 0x0000FF)));
  EXPECT_EQ(describe(*factory.getShape("Ellipse")), "EllipseShape ffffff 0 0");
  EXPECT_EQ(factory.getConnector("Directed")->leg(1)->endArrow(), factory.getConnector("BiDirect")->leg(0)->endArrow());
  std::unique_ptr<Shape> s = factory.getShape("Ellipse-Red");
  s->setFillColor(0x00FF00);
  s->setLabel("changed");
  std::unique_ptr<Connector> c = factory.getConnector("Directed");
  c->leg(1)->setLineColor(0x0000FF);
  EXPECT_EQ(describe(*factory.getShape("Ellipse-Red")), "EllipseShape ff 0 0");
  EXPECT_EQ(factory.getConnector("Directed")->leg(1)->lineColor(), kBlack);
}

