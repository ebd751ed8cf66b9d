// Linking phrases: the label any maplet can show at its centre, typed, kept, written and undone.
#include "drawing/LabeledConnector.h"
#include "drawing/Outline.h"
#include "model/CMap.h"
#include "tests/model/ElementFixture.h"

namespace {

using LinkingPhrase = ElementFixture;

TEST_F(LinkingPhrase, TypedThroughThePopupOrADoubleClickIsWrittenReadBackAndUndone) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({300, 0, 340, 30});
  SMaplet* m = arc(a, b, "Directed");
  const std::string plain = text(*m);
  ASSERT_NE(plain.find(",,,"), std::string::npos) << "a plain connector writes no label";
  const POINT c = m->centre();

  user.typeText("evaporates into");
  choose(c, "Edit Label...");
  ASSERT_STREQ(m->label(), "evaporates into");
  EXPECT_NE(m->getConnector()->leg(1)->endArrow(), nullptr) << "the arrowhead stays";
  const std::string written = text(*m);
  EXPECT_NE(written.find("\"evaporates into\",ffffff,ffffff,0,"), std::string::npos) << written;

  auto* back = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
  readInto(*back, written);
  EXPECT_EQ(text(*back).substr(text(*back).find(',')), written.substr(written.find(',')));
  map.remove(*back);

  undo();
  EXPECT_EQ(m->label(), nullptr);
  EXPECT_EQ(text(*m), plain) << "undone, the maplet writes what it wrote before";
  redo();

  // A double click on the maplet edits the same label; an emptied label goes.
  user.typeText("falls as");
  map.leftDoubleClick(0, c);
  EXPECT_STREQ(m->label(), "falls as");
  user.typeText("");
  map.leftDoubleClick(0, c);
  EXPECT_EQ(text(*m), plain);
}

TEST_F(LinkingPhrase, ChangingTheConnectionTypeKeepsOnlyALabelTheUserTyped) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({300, 0, 340, 30});
  SMaplet* typed = arc(a, b, "Directed");
  typed->setLabel("eats");
  choose(typed->centre(), "AGNT");
  EXPECT_EQ(typed->prototypeName(), "AGNT");
  EXPECT_STREQ(typed->label(), "eats");
  undo();
  EXPECT_STREQ(typed->label(), "eats");

  // The type's own label is the type's: it does not follow to another type.
  Node* c = node({0, 200, 40, 230});
  SMaplet* own = arc(a, c, "AGNT");
  choose(own->centre(), "Directed");
  EXPECT_EQ(own->label(), nullptr);
  choose(own->centre(), "BTWN");
  EXPECT_STREQ(own->label(), "BTWN");
  own->setConnection(2, b);  // hooked, then let go as the type loses its third leg
  undo();
  EXPECT_EQ(hooks(own), (Hooks{a, c}));
  b->moveTo({300, 100});
}

// Ctrl+Enter's quick link: one step that makes a labelled node on free space beside the
// selected one, joined to it; undo takes both, redo brings them back joined.
TEST_F(LinkingPhrase, AQuickLinkMakesAJoinedConceptOnFreeSpaceInOneStep) {
  Node* a = node({0, 0, 40, 30});
  Node* blocker = node({95, 0, 185, 30});
  EXPECT_FALSE(map.quickLinkSelection()) << "nothing selected";
  a->setHighlighted(true);
  user.typeText("rain");
  ASSERT_TRUE(map.quickLinkSelection());
  ASSERT_EQ(map.memberCount(), 4u);
  EXPECT_EQ(steps(), 1u);
  auto* made = dynamic_cast<Node*>(map.selection().at(0));
  ASSERT_NE(made, nullptr);
  RecordingDC dc;
  map.layOutAll(dc);
  EXPECT_FALSE(rectsIntersect(made->getRect(), blocker->getRect()));
  EXPECT_EQ(hooks(maplets().at(0)), (Hooks{a, made}));
  const std::uint32_t id = made->id();
  undo();
  EXPECT_EQ(map.memberCount(), 2u);
  redo();
  made = dynamic_cast<Node*>(map.find(id));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(hooks(maplets().at(0)), (Hooks{a, made}));

  // A double click on empty space makes a node there; a cancelled prompt keeps "Concept".
  user.typeText(std::nullopt);
  map.leftDoubleClick(0, {300, 300});
  ASSERT_EQ(map.memberCount(), 5u);
  Graphic* last = nullptr;
  for (Graphic* g : map) last = g;
  EXPECT_STREQ(dynamic_cast<Node*>(last)->getLabel(), CMap::kNewNodeLabel);
  EXPECT_EQ(last->getRect().left, 300);
}

// The link handle of a selected node, dragged out: to empty space it makes a joined,
// labelled node there; onto another node a maplet joining the two; onto itself nothing.
TEST_F(LinkingPhrase, TheLinkHandleDragsOutAJoinedNodeOrJoinsTwo) {
  Node* a = node({0, 0, 81, 41});
  Node* b = node({300, 0, 381, 41});
  a->setHighlighted(true);
  const RECT h = a->linkHandle();
  ASSERT_FALSE(isEmptyRect(h));
  const POINT grip{(h.left + h.right) / 2, (h.top + h.bottom) / 2};

  user.dragLineTo({60, 20});  // onto itself
  map.leftButtonDown(0, grip);  // the line tracking takes the release
  EXPECT_EQ(map.memberCount(), 2u);

  user.dragLineTo({150, 200});
  user.typeText("ice");
  a->setHighlighted(true);
  map.leftButtonDown(0, grip);  // the line tracking takes the release
  ASSERT_EQ(map.memberCount(), 4u);
  auto* made = dynamic_cast<Node*>(map.selection().at(0));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->origin(), (POINT{150, 200}));
  EXPECT_EQ(hooks(maplets().at(0)), (Hooks{a, made}));

  map.setAllHighlighted(false);
  a->setHighlighted(true);
  user.dragLineTo({340, 20});
  map.leftButtonDown(0, grip);  // the line tracking takes the release
  ASSERT_EQ(map.memberCount(), 5u) << "only a maplet joins two nodes";
  EXPECT_EQ(hooks(maplets().at(1)), (Hooks{a, b}));
  undo(2);
  EXPECT_EQ(map.memberCount(), 2u);
}

}  // namespace
