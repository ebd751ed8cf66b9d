// Text form, copies and submitted commands of graphics and composites; locators up and down the container chain.
#include "model/Graphic.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/GraphicObjectLocator.h"
#include "tests/TestSupport.h"

namespace {

TEST(Graphic, TextFormOfVisualAndComposite) {
  TestRoot root;
  auto* element = addTo(root, std::make_unique<TestElement>());
  auto* visual = element->getVisual();
  visual->setHighlighted(true);
  visual->setDepth(7);
  EXPECT_EQ(printed(*visual), "1,7,1");
  element->setPrototypeName("Ellipse, \"big\"");
  EXPECT_EQ(printed(*element), R"(1,"Ellipse, \"big\"")");

  std::istringstream in(R"(2a,"Rectangle")");
  element->readFrom(in, nullptr);
  EXPECT_EQ(root[0x2a], element);
  EXPECT_EQ(element->prototypeName(), "Rectangle");

  std::istringstream cut(R"(3,"Rect)");
  element->readFrom(cut, nullptr);
  EXPECT_EQ(element->prototypeName(), "Rectangle");  // an incomplete name is not taken

  std::istringstream vis(" ,,ff");
  visual->readFrom(vis, nullptr);
  EXPECT_EQ(visual->depth(), 7);
  EXPECT_EQ(visual->flags(), 0xffu);
}

// A copy has the other's id and is nobody's member (its maker adds it where it belongs); a
// composite's copy clones its parts and finds its own visual.
TEST(Graphic, CompositeCopyClonesPartsAndFindsItsVisual) {
  TestRoot root;
  auto* element = addTo(root, std::make_unique<TestElement>(RECT{1, 2, 3, 4}));
  std::unique_ptr<TestElement> loose = cloneOf(*element);
  EXPECT_EQ(loose->container(), nullptr);
  EXPECT_EQ(loose->id(), element->id());
  auto* copy = addTo(root, std::move(loose));
  ASSERT_NE(copy->getVisual(), nullptr);
  EXPECT_EQ(copy->getVisual()->container(), copy);
  EXPECT_EQ(copy->getRect(), (RECT{1, 2, 3, 4}));
  // A composite whose first part is no visual has none, and is never highlighted.
  element->removePart(*element->getVisual());
  element->addPart(std::make_unique<TestElement>());
  std::unique_ptr<TestElement> other = cloneOf(*element);
  EXPECT_EQ(other->getVisual(), nullptr);
  EXPECT_FALSE(other->isHighlighted());
}

TEST(Graphic, MissingCloneIsReported) {
  RecordingReports reports;
  struct NoClone : TestVisual {
    using TestVisual::TestVisual;
    Graphic* clone() const override { return Graphic::clone(); }
    const char* className() const override { return "NoClone"; }
  } g;
  EXPECT_EQ(g.clone(), nullptr);
  EXPECT_TRUE(reports.saw("E: You must override Graphic::clone() in class NoClone"));
  std::unique_ptr<CloneableObject> plain(CloneableObject().clone());
  EXPECT_TRUE(reports.saw("W: ClonableObject::clone() should be overridden"));
}

// Small moves are dropped and others executed through the history; without any container
// the element executes a command itself.
TEST(Graphic, SubmittedCommandsAreDroppedWhenSmallAndRunWithoutAHistory) {
  TestHistoryRoot root;
  auto* element = addTo(root, std::make_unique<TestElement>(RECT{0, 0, 10, 10}));
  GraphicObjectLocator here(*element);
  EXPECT_EQ(element->submitCommand(std::make_unique<Command1<tagPOINT>>(here, kCmdMoveTo, POINT{2, 2}, POINT{0, 0})),
            -245);
  EXPECT_EQ(root.undoCount(), 0u);
  EXPECT_EQ(element->submitCommand(std::make_unique<Command1<tagPOINT>>(here, kCmdMoveTo, POINT{3, 0}, POINT{0, 0})),
            0);
  EXPECT_EQ(root.undoCount(), 1u);
  EXPECT_EQ(element->submitCommand(nullptr), -245);
  TestElement alone({0, 0, 10, 10});
  GraphicObjectLocator there(alone);
  EXPECT_EQ(alone.submitCommand(std::make_unique<Command1<tagRECT>>(there, kCmdResize, RECT{0, 0, 50, 50}, RECT{})), 0);
  EXPECT_EQ(alone.getRect(), (RECT{0, 0, 50, 50}));
}



TEST(GraphicObjectLocator, GoneTargetsFallBackToTheRootAndTheNullLocatorFindsNothing) {
  TestRoot map;
  auto* node = addTo(map, std::make_unique<TestElement>());
  GraphicObjectLocator toNode(*node);
  map.remove(*node);  // and destroyed
  EXPECT_EQ(toNode.locate(), nullptr);
  EXPECT_EQ(toNode.locateContainer(), static_cast<CommandReceiverContainer*>(&map));

  EXPECT_EQ(printed(GraphicObjectLocator(&map)), "(0)");
  TestElement alone;  // a graphic without container is its own root
  GraphicObjectLocator l(alone);
  EXPECT_EQ(l.root(), static_cast<GraphicContainer*>(&alone));
  EXPECT_EQ(printed(l), "(0)");
  // The null locator locates nothing (its text is the command tests' round trip).
  NullObjectLocator n;
  EXPECT_EQ(n.locateContainer(), nullptr);
}

TEST(GraphicObjectLocator, ReadingGrowsThePathAndReportsAMissingParen) {
  RecordingReports reports;
  std::string many = "(";
  for (int i = 1; i <= 500; ++i) many += (i > 1 ? "," : "") + std::to_string(i);
  many += "),rest";
  std::istringstream in(many);
  GraphicObjectLocator l;
  l.readFrom(in);
  EXPECT_EQ(l.path().size(), 500u);
  EXPECT_EQ(in.peek(), ',');

  std::istringstream bad("(1,2 junk) after");
  l.readFrom(bad);
  EXPECT_TRUE(reports.saw("E: Bad locator path on read"));
  std::string rest;
  bad >> rest;
  EXPECT_EQ(rest, "after");
}

}  // namespace
