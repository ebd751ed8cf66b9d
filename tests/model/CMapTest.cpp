// The map's popup, adding elements with undo and redo, deleting the selection, drawing, and pasting copies.
#include "model/CMap.h"

#include "model/Clipboard.h"
#include "model/MapView.h"
#include "tests/model/ElementFixture.h"

namespace {

using CMapTest = ElementFixture;

// The popup on empty space offers the map's items; new elements come where it opened.
TEST_F(CMapTest, NewNodeContextAndArcAtThePointWithUndoAndRedoKeepingTheId) {
  node({0, 0, 10, 10});
  choose({100, 40}, "New Node");
  ASSERT_EQ(user.menusShown.size(), 1u);
  EXPECT_EQ(user.menusShown[0], (std::vector<std::string>{"Delete (100)", "-", "New Node (105)", "New Arc (106)",
                                                          "New Context (107)"}));
  EXPECT_EQ(user.menuPoints[0], (POINT{100, 40}));
  ASSERT_EQ(ids(), (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(map.front()->getRect(), (RECT{100, 40, 130, 60}));
  choose({300, 40}, "New Node");
  undo(2);
  EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1}));
  redo();
  EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1, 2}));
  // Undone in the middle of a drag: the map is left holding no pointer to it.
  map.leftButtonDown(0, {110, 50});
  ASSERT_NE(map.mapState().drag.draggedGraphic, nullptr);
  undo();
  EXPECT_EQ(map.mapState().drag.draggedGraphic, nullptr);
  map.mouseMove(0, {150, 90});
  map.leftButtonUp(0, {150, 90});
  redo();
  choose({400, 400}, "New Context");
  EXPECT_EQ(map.front()->getRect(), (RECT{400, 400, 500, 475}));
  EXPECT_EQ(map.front()->id(), 4u) << "id 3 was given out before and is not reused";
  choose({200, 100}, "New Arc");
  EXPECT_EQ(dynamic_cast<SMaplet*>(map.front())->centre(), (POINT{200, 100}));
  // Undo of a new node that is gone is refused.
  choose({600, 40}, "New Node");
  map.remove(*map.front());
  EXPECT_EQ(undo(), -300);
  EXPECT_TRUE(reports.saw("E: CMap exception: operator[]: Index 6 not found"));
  Command1<tagPOINT> wrong(GraphicObjectLocator(&map), kCmdNewNode, {}, {});
  EXPECT_EQ(map.execute(&wrong), -1);  // its report is in the table of wrongly typed commands
}

// The document sends repaints and window questions to its view while it has one, none
// during its close-down; bringing an element to the front is a change no undo takes back.
TEST_F(CMapTest, DocumentTellsItsViewUntilItClosesAndAFrontChangeIsNotUndone) {
  struct RecordingView : MapView {
    std::vector<RECT> areas;
    void repaintArea(const RECT& r) override { areas.push_back(r); }
    NativeWindow nativeWindow() const override { return const_cast<RecordingView*>(this); }
  } view;
  Node* back = node({0, 0, 40, 30});
  Node* front = node({100, 0, 140, 30});
  map.setView(&view);
  EXPECT_EQ(back->window(), &view);
  back->moveTo({10, 10});
  EXPECT_FALSE(view.areas.empty());
  EXPECT_FALSE(map.isChanged()) << "a move outside any command is not a saved change";

  EXPECT_EQ(map.popToFront(front), 0);
  EXPECT_FALSE(map.isChanged()) << "already in front: the order is as saved";
  EXPECT_EQ(map.popToFront(back), 0);
  EXPECT_TRUE(map.isChanged());
  drag({20, 20}, {60, 60});
  undo();
  EXPECT_TRUE(map.isChanged());

  const std::size_t before = view.areas.size();
  map.closeDown();
  EXPECT_EQ(view.areas.size(), before);
  EXPECT_EQ(map.view(), nullptr);
}

TEST_F(CMapTest, NewIdsAfterTheCounterWrapsSkipZeroAndTakenIds) {
  struct Case {
    std::vector<std::uint32_t> present;
    std::uint32_t counter;
    std::vector<std::uint32_t> expected;
  } cases[] = {
      {{0xfffffffe, 1}, 0xffffffff, {0xfffffffe, 1, 0xffffffff, 2, 3}},
      {{}, 0, {1, 2, 3}},
      {{2, 3}, 2, {2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    map.history().clear();
    map.GraphicContainer::clear();
    for (std::uint32_t id : c.present) node({0, 0, 10, 10})->setId(id);
    map.setNextId(c.counter);
    for (int i = 0; i < 3; ++i) choose({100 * i, 200}, "New Node");
    EXPECT_EQ(ids(), c.expected);
  }
}

TEST_F(CMapTest, DeleteFromTheMapRemovesTheSelectionAsOneStep) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({200, 0, 240, 30});
  Node* c = node({0, 200, 40, 230});
  SMaplet* ab = arc(a, b);
  a->setHighlighted(true);
  ab->setHighlighted(true);
  c->setHighlighted(true);
  choose({500, 500}, "Delete");
  EXPECT_EQ(ids(), (std::vector<std::uint32_t>{2}));
  EXPECT_EQ(steps(), 1u);
  undo();
  EXPECT_EQ(hooks(ab), (Hooks{a, b}));
  map.setAllHighlighted(false);
  choose({500, 500}, "Delete");
  EXPECT_EQ(steps(), 0u) << "nothing selected, nothing done";
}

TEST_F(CMapTest, DrawsItsElementsBackToFrontAndNothingElse) {
  node({0, 0, 40, 30}, nullptr, "Ellipse");
  node({10, 10, 50, 40}, nullptr, "Rectangle");
  RecordingDC dc;
  map.draw(dc);
  std::vector<std::string> outlines;
  for (const auto& call : dc.calls)
    if (call.op == "ellipse" || call.op == "rectangle") outlines.push_back(call.op);
  EXPECT_EQ(outlines, (std::vector<std::string>{"ellipse", "rectangle"}));
  map.getVisual();
  EXPECT_EQ(map.memberCount(), 2u) << "the map's own visual is not an element";
}

TEST_F(CMapTest, CoordinatesNearTheLimitsReadDrawHitMoveAndSave) {
  std::istringstream text(
      "7\n;\n"
      "1,\"Node\",1,\"Rectangle\",2147483600 2147483600 2147483647 2147483647,\"edge of the map\",ffffff,0,,,0,1\n"
      "1,\"Node\",2,\"Ellipse\",-2147483648 -2147483648 -2147483600 -2147483600,\"low\",ffffff,0,,,0,1\n"
      "1,\"Node\",3,\"RoundRect\",-2147483648 0 2147483647 20,\"as wide as can be\",ffffff,0,,,0,0\n"
      "5,\"ContextBox\",5,\"frame\",2147483500 -2147483648 2147483647 -2147483500,\"title\",ffffff,0,,,0,0\n"
      "2,\"SMaplet\",4,\"AGNT\",0 0 0 0,2,(1,0),(2,0),\"a linking phrase\",ffffff,0,0,3\n"
      "2,\"SMaplet\",6,\"BTWN\",2147483647 -2147483648 0 0,3,(0),(3,0),(0),\"between\",ffffff,0,0,0\n"
      ";\n");
  map.readComponentsFrom(text, &kMapSyntaxVersion);
  ASSERT_EQ(map.memberCount(), 6u);
  RecordingDC dc;
  map.draw(dc);
  for (POINT p : {POINT{2147483647, 2147483647}, POINT{-2147483648, -2147483648}, POINT{0, 10}, POINT{0, 0}})
    map.findSensitiveAt(p);
  for (Graphic* g : map) {
    g->invalidRect();
    g->boundingRect();
  }
  drag({2147483640, 2147483640}, {-2147483000, 5});
  choose({2147483647, -2147483648}, "New Context");
  choose({2147483647, 2147483647}, "New Node");
  choose({-2147483648, 2147483647}, "New Arc");
  for (Graphic* g : map) g->setHighlighted(true);
  map.draw(dc);
  for (POINT p : {POINT{2147483647, -2147483648}, POINT{536870911, -536870911}}) map.findSensitiveAt(p);
  std::stringstream saved;
  map.printComponentsOn(saved);
  RootMap reread;
  reread.readComponentsFrom(saved, &kMapSyntaxVersion);
  EXPECT_EQ(reread.memberCount(), map.memberCount());
  undo(steps());
}



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
