// Locators up and down the container chain, and their text form.
#include "model/GraphicObjectLocator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/TestSupport.h"

namespace {

TEST(GraphicObjectLocator, PathsFollowTheChain) {
  TestRoot map;
  addTo(map, std::make_unique<TestElement>());
  auto* node = addTo(map, std::make_unique<TestElement>());
  auto* inner = addTo(*node, std::make_unique<TestElement>());  // an element inside an element
  GraphicObjectLocator toNode(*node);
  EXPECT_EQ(printed(toNode), "(2)");
  EXPECT_EQ(toNode.locate(), static_cast<CommandReceiver*>(node));
  EXPECT_EQ(toNode.root(), &map);

  GraphicObjectLocator toShape(*node->getVisual());
  EXPECT_EQ(printed(toShape), "(1,2)");
  EXPECT_EQ(toShape.locate(), nullptr);
  EXPECT_EQ(toShape.locateContainer(), static_cast<CommandReceiverContainer*>(&map));

  GraphicObjectLocator toInner(*inner);
  EXPECT_EQ(printed(toInner), "(2,2)");
  EXPECT_EQ(toInner.locate(), static_cast<CommandReceiver*>(inner));
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
  // The null locator locates nothing and skips its text.
  NullObjectLocator n;
  EXPECT_EQ(printed(n), "()");
  EXPECT_EQ(n.locateContainer(), nullptr);
  std::istringstream in("(anything)x");
  n.readFrom(in);
  EXPECT_EQ(in.peek(), 'x');
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
