// Copies of elements as component lines, pasted back as new elements in one undoable step.
#include "model/Clipboard.h"

#include <gtest/gtest.h>

#include "tests/model/ElementFixture.h"

namespace {

class ClipboardTest : public ElementFixture {
 protected:
  std::vector<Graphic*> added(std::size_t before) {
    std::vector<Graphic*> out;
    std::size_t i = 0;
    for (Graphic* g : map)
      if (i++ >= before) out.push_back(g);
    return out;
  }
};

}  // namespace

TEST_F(ClipboardTest, PastedElementsGetIdsOfTheirOwnAndKeepTheirConnectionsAmongThemselves) {
  Node* a = node({10, 10, 50, 30}, "a");
  Node* b = node({100, 10, 140, 30}, "b");
  Node* outside = node({200, 200, 240, 220}, "left out");
  SMaplet* between = arc(a, b);
  SMaplet* half = arc(a, outside);
  const std::string lines = copyAsComponentLines({a, b, between, half});
  EXPECT_EQ(labelsAsText({a, between, b}), "a\nb\n");

  const std::size_t before = map.memberCount();
  map.submitCommand(makePaste(map, lines, 20, 30));
  ASSERT_EQ(map.memberCount(), before + 4);
  EXPECT_EQ(steps(), 1u);
  const std::vector<Graphic*> fresh = added(before);
  auto* a2 = dynamic_cast<Node*>(fresh[0]);
  auto* b2 = dynamic_cast<Node*>(fresh[1]);
  auto* between2 = dynamic_cast<SMaplet*>(fresh[2]);
  auto* half2 = dynamic_cast<SMaplet*>(fresh[3]);
  ASSERT_TRUE(a2 && b2 && between2 && half2);
  for (Graphic* g : fresh)
    for (Graphic* old : std::initializer_list<Graphic*>{a, b, between, half, outside})
      EXPECT_NE(g->id(), old->id());
  EXPECT_EQ(a2->getRect(), (RECT{30, 40, 70, 60}));
  EXPECT_STREQ(b2->getLabel(), "b");
  EXPECT_EQ(hooks(between2), (Hooks{a2, b2}));
  EXPECT_EQ(hooks(half2), (Hooks{a2, nullptr}));  // its other element was not copied: that end floats
  EXPECT_EQ((*half)[1], outside);                 // and the original keeps its own

  undo();
  EXPECT_EQ(map.memberCount(), before);
}

TEST_F(ClipboardTest, PlainTextBecomesANodePerLineAndNothingUsableMakesNoStep) {
  map.submitCommand(makePasteOfText(map, "first\n\n  \nsecond\r\n", {100, 50}));
  ASSERT_EQ(map.memberCount(), 2u);
  EXPECT_EQ(steps(), 1u);
  std::vector<std::string> labels;
  for (Graphic* g : map) labels.push_back(dynamic_cast<Node*>(g)->getLabel());
  EXPECT_EQ(labels, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ((*map.begin())->getRect().left, 100);
  EXPECT_EQ(makePasteOfText(map, "\n \n", {0, 0}), nullptr);
  EXPECT_EQ(makePaste(map, "1\n;\n;\n", 0, 0), nullptr);
}
