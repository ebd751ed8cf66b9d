// The standard prototypes: shapes, connectors, their names and registration.
#include "commands/GraphicsFactory.h"

#include <gtest/gtest.h>

#include "drawing/FrameShape.h"
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

}  // namespace

TEST_F(GraphicsFactoryTest, TheStandardShapesHaveTheirKindsAndColours) {
  struct Case { const char* name; const char* kind; Color fill, border, text; };
  for (const Case& c : {Case{"Rectangle", "RectangleShape", 0xFFFFFF, 0, 0},
                        Case{"Rectangle-Red", "RectangleShape", 0x0000FF, 0, 0},
                        Case{"Rectangle-Red/Blue/Yellow", "RectangleShape", 0x0000FF, 0x0FF000, 0x00FFFF},
                        Case{"Ellipse-Blue", "EllipseShape", 0xFF0000, 0, 0},
                        Case{"RoundRect-Green", "RoundRectShape", 0x00FF00, 0, 0},
                        Case{"frame", "FrameShape", 0xFFFFFF, 0, 0},
                        Case{"no such shape", "RectangleShape", 0xFFFFFF, 0, 0}}) {
    std::unique_ptr<Shape> s = factory.getShape(c.name);
    ASSERT_NE(s, nullptr) << c.name;
    EXPECT_STREQ(s->className(), c.kind) << c.name;
    EXPECT_EQ(s->fillColor(), c.fill) << c.name;
    EXPECT_EQ(s->borderColor(), c.border) << c.name;
    EXPECT_EQ(s->textColor(), c.text) << c.name;
    EXPECT_EQ(s->getRect(), RECT{}) << c.name;
    EXPECT_EQ(s->getLabel(), nullptr) << c.name;
  }
  EXPECT_EQ(factory.shapeNames().size(), 15u);
}

TEST_F(GraphicsFactoryTest, TheStandardConnectorsHaveTheirLegsHeadsFlagsAndLabels) {
  // The label and its kind: none for the plain connectors.
  struct Case { const char* name; std::uint16_t legs; const char* heads; std::uint32_t flags; const char* label, *labelKind; };
  for (const Case& c : {
           Case{"default", 2, ".. ..", 3, nullptr, nullptr},
           Case{"Undirected", 2, ".. ..", 3, nullptr, nullptr},
           Case{"Directed", 2, ".. .B", 3, nullptr, nullptr},
           Case{"Double Directed", 2, "B. .B", 3, nullptr, nullptr},
           Case{"BiDirect", 2, ".B .B", 3, nullptr, nullptr},
           Case{"BiDirect, floating", 2, ".B .B", 2, nullptr, nullptr},
           Case{"DoubleBiDirect", 2, "BB BB", 3, nullptr, nullptr},
           Case{"Trinary Undirected", 3, ".. .. ..", 3, nullptr, nullptr},
           Case{"Trinary Directed black/red", 3, ".. .B .R", 3, nullptr, nullptr},
           Case{"Trinary Directed black/red, floating", 3, ".. .B .R", 2, nullptr, nullptr},
           Case{"Quad Undirected", 4, ".. .. .. ..", 3, nullptr, nullptr},
           Case{"IsA", 2, ".. .B", 2, "IsA", "NullShape"},
           Case{"AGNT", 2, "B. .B", 2, "AGNT", "EllipseShape"},
           Case{"BTWN", 3, ".. .B .R", 2, "BTWN", "EllipseShape"},
       }) {
    std::unique_ptr<Connector> k = factory.getConnector(c.name);
    ASSERT_NE(k, nullptr) << c.name;
    EXPECT_EQ(k->legCount(), c.legs) << c.name;
    EXPECT_EQ(headsOf(*k), c.heads) << c.name;
    EXPECT_EQ(k->connectorFlags(), c.flags) << c.name;
    EXPECT_EQ(k->centre(), (POINT{50, 50})) << c.name;
    auto* labeled = dynamic_cast<LabeledConnector*>(k.get());
    ASSERT_EQ(labeled != nullptr, c.label != nullptr) << c.name;
    if (!labeled) continue;
    EXPECT_STREQ(labeled->getLabel(), c.label);
    EXPECT_STREQ(labeled->labelShape()->className(), c.labelKind);
    EXPECT_EQ(labeled->labelShape()->fillColor(), kWhite);
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

// Registering a name twice keeps the first; connector types share their arrowheads.
TEST_F(GraphicsFactoryTest, RegisteringANameTwiceKeepsTheFirstAndHeadsAreShared) {
  EXPECT_FALSE(factory.addShape("Ellipse", RectangleShape({}, 0x0000FF)));
  EXPECT_STREQ(factory.getShape("Ellipse")->className(), "EllipseShape");
  EXPECT_EQ(factory.getShape("Ellipse")->fillColor(), kWhite);
  registerStandardPrototypes();
  EXPECT_EQ(factory.connectorNames().size(), 14u);
  EXPECT_EQ(factory.getConnector("Directed")->leg(1)->endArrow(), factory.getConnector("BiDirect")->leg(0)->endArrow());
}

TEST_F(GraphicsFactoryTest, ClonesAreIndependentOfThePrototypes) {
  std::unique_ptr<Shape> s = factory.getShape("Ellipse-Red");
  s->setFillColor(0x00FF00);
  s->setLabel("changed");
  std::unique_ptr<Connector> c = factory.getConnector("Directed");
  c->setTerminalPoint(1, {500, 500});
  c->leg(1)->setLineColor(0x0000FF);
  EXPECT_EQ(factory.getShape("Ellipse-Red")->fillColor(), 0x0000FFu);
  EXPECT_EQ(factory.getShape("Ellipse-Red")->getLabel(), nullptr);
  EXPECT_EQ(factory.getConnector("Directed")->terminalPoint(1), (POINT{50, 50}));
  EXPECT_EQ(factory.getConnector("Directed")->leg(1)->lineColor(), kBlack);
}

TEST(GraphicsLibraryTest, FallsBackToDefaultThenToTheFirstName) {
  GraphicsLibrary<Shape> library;
  EXPECT_EQ(library.get("anything"), nullptr);
  library.add("b", EllipseShape());
  library.add("a", FrameShape());
  EXPECT_STREQ(library.get("b")->className(), "EllipseShape");
  EXPECT_STREQ(library.get("missing")->className(), "FrameShape");
  library.add("default", NullShape());
  EXPECT_STREQ(library.get("missing")->className(), "NullShape");
}

TEST(Ref2Test, AnOwnedReferenceClonesOnCopyAndALinkDoesNot) {
  Ref2<Shape> owned(std::make_unique<EllipseShape>());
  Ref2<Shape> copy = owned;
  EXPECT_NE(copy.get(), owned.get());
  EXPECT_STREQ(copy->className(), "EllipseShape");
  EXPECT_TRUE(copy.owned());
  Ref2<Shape> link = Ref2<Shape>::link(owned.get());
  Ref2<Shape> linkCopy = link;
  EXPECT_EQ(linkCopy.get(), owned.get());
  EXPECT_FALSE(linkCopy.owned());
}
