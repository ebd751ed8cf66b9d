// Terminals that float, hook, follow and unhook; maplet menus, commands and component text.
#include "model/Maplet.h"

#include "drawing/LabeledConnector.h"
#include "tests/MapFixture.h"

namespace {

using MapletTest = MapFixture;

TEST_F(MapletTest, FloatingEndsSitBesideTheConnector) {
  auto* m = addTo(map, std::make_unique<SMaplet>("Undirected", POINT{100, 100}));
  const Connector* c = m->getConnector();
  auto* three = addTo(map, std::make_unique<SMaplet>("Trinary Undirected", POINT{100, 100}));
  EXPECT_EQ(three->getConnector()->terminalPoint(1), (POINT{140, 90}));
  EXPECT_EQ(three->getConnector()->terminalPoint(2), (POINT{140, 110}));
  auto* four = addTo(map, std::make_unique<SMaplet>("Quad Undirected", POINT{100, 100}));
  EXPECT_EQ(four->getConnector()->terminalPoint(1), (POINT{140, 80}));
  EXPECT_EQ(four->getConnector()->terminalPoint(3), (POINT{140, 120}));
  m->floatTerminal(0);
  m->floatTerminal(0);
  EXPECT_EQ(c->terminalPoint(0), (POINT{60, 100})) << "floating again does not drift";
}

TEST_F(MapletTest, HookedEndFollowsItsNodeAndFloatsWhenTheNodeIsDestroyed) {
  Node* a = node({0, 0, 40, 30});
  SMaplet* m = arc(a, nullptr);
  POINT centre = m->centre();
  POINT hooked = m->getConnector()->terminalPoint(0);
  a->moveTo({10, 50});
  EXPECT_EQ(m->centre(), centre) << "one hooked end does not move the centre";
  EXPECT_NE(m->getConnector()->terminalPoint(0), hooked);
  // The floating end sits beside the centre and the hooked end, as reading would place it.
  const POINT now = m->getConnector()->terminalPoint(0);
  EXPECT_EQ(m->getConnector()->terminalPoint(1).x, std::max(centre.x, now.x) + 40);
  map.remove(*a);  // and destroyed: the end floats
  EXPECT_EQ((*m)[0], nullptr);
  EXPECT_EQ(m->getConnector()->terminalPoint(0).x, m->centre().x - 40);
}

// Deleting a node takes along, in the same step, the maplets it would leave with fewer
// than two hooked ends; a maplet that keeps two is only unhooked. Undo hooks all again.
TEST_F(MapletTest, DeletingANodeTakesTheMapletsItWouldLeaveStrayAndUndoHooksThemAgain) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({200, 0, 240, 30});
  Node* c = node({0, 200, 40, 230});
  SMaplet* ab = arc(a, b);
  SMaplet* ca = arc(c, a);
  SMaplet* abc = arc(a, b, "Trinary Undirected");
  abc->setConnection(2, c);
  SMaplet* loop = arc(a, a);
  SMaplet* onMaplet = arc(ab, c);  // hooked to a maplet that goes
  const std::size_t before = map.memberCount();
  map.popToFront(a);  // the node's own popup, not a maplet's above it
  choose({10, 10}, "Delete");
  EXPECT_EQ(map.history().undoCount(), 1u);
  for (Graphic* g : std::initializer_list<Graphic*>{a, ab, ca, loop, onMaplet})
    EXPECT_FALSE(map.contains(g)) << g->id();
  EXPECT_TRUE(map.contains(abc));
  EXPECT_EQ((*abc)[0], nullptr);
  EXPECT_EQ((*abc)[1], b);
  EXPECT_EQ(map.memberCount(), before - 5);
  map.history().undo();
  EXPECT_EQ(map.memberCount(), before);
  EXPECT_EQ((*ab)[0], a);
  EXPECT_EQ((*ca)[1], a);
  EXPECT_EQ((*abc)[0], a);
  EXPECT_EQ((*onMaplet)[0], ab);
  EXPECT_EQ(a->observerCount(), 5u);
  map.history().redo();
  EXPECT_EQ(map.memberCount(), before - 5);
}

TEST_F(MapletTest, DraggingATerminalEndOntoANodeHooksIt) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({300, 0, 340, 30});
  SMaplet* m = arc(a, nullptr);
  m->setHighlighted(true);
  POINT end = m->getConnector()->terminalPoint(1);
  user.dragLineTo({320, 15});
  map.leftButtonDown(0, end);
  map.leftButtonUp(0, {320, 15});
  EXPECT_EQ((*m)[1], b);
  b->moveTo({300, 100});
  EXPECT_EQ(m->getConnector()->terminalPoint(1), b->attachPointToward(m->centre()));
  map.history().undo();
  EXPECT_EQ((*m)[1], nullptr);
  user.dragLineTo({150, 300});  // empty space: nothing happens
  m->setHighlighted(true);
  std::size_t before = map.history().undoCount();
  map.leftButtonDown(0, m->getConnector()->terminalPoint(1));
  EXPECT_EQ(map.history().undoCount(), before);
}

// A press on an end of a selected maplet drags that end, whatever else lies there: a node
// in front of it, or the maplet's own other leg passing over it.
TEST_F(MapletTest, AnEndOfASelectedMapletIsGrabbedBeforeWhatLiesOverOrUnderIt) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({300, 0, 340, 30});
  SMaplet* m = arc(a, nullptr);
  m->getConnector()->setTerminalPoint(1, {150, 100});
  Node* cover = node({130, 80, 170, 120});  // in front of the end
  m->setHighlighted(true);
  user.dragLineTo({320, 15});
  map.leftButtonDown(0, {150, 100});
  map.leftButtonUp(0, {320, 15});
  EXPECT_EQ((*m)[1], b);
  EXPECT_FALSE(cover->isHighlighted());
  EXPECT_EQ(cover->getRect(), (RECT{130, 80, 170, 120}));

  // A three-legged maplet whose third end lies on its first leg.
  SMaplet* t = arc(nullptr, nullptr, "Trinary Undirected");
  t->getConnector()->setCentre({400, 200});
  t->getConnector()->setTerminalPoint(0, {600, 200});
  t->getConnector()->setTerminalPoint(1, {400, 400});
  t->getConnector()->setTerminalPoint(2, {500, 200});  // on leg 0
  t->setHighlighted(true);
  EXPECT_EQ(t->getConnector()->terminalAt({500, 200}), 2);
  EXPECT_EQ(t->getConnector()->terminalAt({400, 200}), -1);  // the centre handle stays
}

TEST_F(MapletTest, UnhookAndFloatHandleDependOnWhereThePopupOpened) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({200, 0, 240, 30});
  SMaplet* m = arc(a, b);
  POINT end = m->getConnector()->terminalPoint(1);
  POINT onEnd{end.x - 2, end.y};
  m->setHighlighted(true);  // ends are handles of a selected maplet only
  user.dismissMenu();
  map.rightButtonDown(0, onEnd);
  const std::vector<std::string> onTheEnd = user.menusShown.back();
  EXPECT_EQ(onTheEnd[onTheEnd.size() - 3], "Unhook Terminal (109)");
  EXPECT_EQ(onTheEnd[onTheEnd.size() - 2], "Float Handle (113) greyed");
  choose(onEnd, "Float Handle");  // greyed: nothing happens
  EXPECT_EQ(map.history().undoCount(), 0u);
  choose(onEnd, "Unhook Terminal");
  EXPECT_EQ((*m)[1], nullptr);
  map.history().undo();
  EXPECT_EQ((*m)[1], b);

  // Dragging the centre switches auto-centre off; then "Float Handle" is offered off the ends.
  m->setHighlighted(true);
  POINT centre = m->centre();
  drag(centre, {centre.x, centre.y + 50});
  EXPECT_FALSE(m->getConnector()->isAutoCentre());
  EXPECT_EQ(m->centre(), (POINT{centre.x, centre.y + 50}));
  POINT now = m->centre();
  user.dismissMenu();
  map.rightButtonDown(0, now);
  EXPECT_EQ(user.menusShown.back()[onTheEnd.size() - 2], "Float Handle (113)");
  EXPECT_EQ(user.menusShown.back().size(), onTheEnd.size()) << "the same items in the same places";
  choose(now, "Float Handle");
  EXPECT_TRUE(m->getConnector()->isAutoCentre());
  map.history().undo();
  EXPECT_FALSE(m->getConnector()->isAutoCentre());
  map.history().undo();
  EXPECT_TRUE(m->getConnector()->isAutoCentre());
  EXPECT_EQ(m->centre(), centre);
}

TEST_F(MapletTest, ChangeConnectionTypeFromTwoToThreeLegs) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({200, 0, 240, 30});
  SMaplet* m = arc(a, b);
  POINT mid = m->getConnector()->leg(0)->start();
  POINT onLeg{(mid.x + m->getConnector()->terminalPoint(0).x) / 2, mid.y};
  choose(onLeg, "Trinary Directed black/red");
  EXPECT_EQ(m->terminalCount(), 3);
  EXPECT_EQ(m->prototypeName(), "Trinary Directed black/red");
  EXPECT_EQ((*m)[0], a);
  EXPECT_EQ((*m)[1], b);
  EXPECT_EQ((*m)[2], nullptr);
  map.history().undo();
  EXPECT_EQ(m->terminalCount(), 2);
  EXPECT_EQ(m->prototypeName(), "Undirected");
  EXPECT_EQ((*m)[1], b);
}

TEST_F(MapletTest, SetConnectionToAMissingIdIsRefused) {
  Node* a = node({0, 0, 40, 30});
  SMaplet* m = arc(a, nullptr);
  EXPECT_EQ(map.history().execute(m->generateSetConnection(1, 77)), -300);
  EXPECT_TRUE(reports.saw("E: Maplet::execute: SET CONNECTION to id 77, which is not in the map"));
  EXPECT_EQ(map.history().undoCount(), 0u);
  EXPECT_EQ((*m)[0], a);
  EXPECT_EQ((*m)[5], nullptr);
  EXPECT_TRUE(reports.saw("W: Maplet::operator[]: requested index 5 is out of range 0-2"));
}

TEST_F(MapletTest, ComponentTextRoundTripsWithHooksColoursAndLabels) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({200, 0, 240, 30});
  SMaplet* m = arc(a, b);
  m->getConnector()->leg(1)->setLineColor(0xff0000);
  std::string written = text(*m);
  POINT c = m->centre();
  EXPECT_EQ(written, "3,\"Undirected\"," + std::to_string(c.x) + " " + std::to_string(c.y) + " " +
                         std::to_string(c.x) + " " + std::to_string(c.y) + ",2,(1,0),(2,ff0000),,,,,3");
  auto* back = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
  readInto(*back, written);
  EXPECT_EQ((*back)[0], a);
  EXPECT_EQ((*back)[1], b);
  EXPECT_EQ(back->getConnector()->leg(1)->lineColor(), 0xff0000u);
  EXPECT_EQ(back->id(), 3u);
  back->setId(4);
  EXPECT_EQ(text(*back).substr(1), written.substr(1));
  // A labelled connector writes its label and reads it back.
  written = text(*addTo(map, std::make_unique<SMaplet>("AGNT", POINT{100, 100})));
  EXPECT_NE(written.find(",2,(0),(0),\"AGNT\",ffffff,0,0,"), std::string::npos) << written;
  readInto(*back, written);
  auto* labelled = dynamic_cast<LabeledConnector*>(back->getConnector());
  ASSERT_NE(labelled, nullptr);
  EXPECT_STREQ(labelled->getLabel(), "AGNT");
}

TEST_F(MapletTest, TerminalSpecsAndTheirMessages) {
  node({0, 0, 40, 30});
  node({100, 0, 140, 30});
  node({200, 0, 240, 30});
  node({300, 0, 340, 30});
  node({400, 0, 440, 30});
  struct Case {
    const char* spec;
    bool hooked;
    const char* message;
  };
  const Case cases[] = {
      {"(0)", false, nullptr},
      {"(5,ff)", true, nullptr},
      {"(5)", true, nullptr},
      {"(5,ff,0,1,\"arrow)\",0,\"\",0,\"\",0,\"\",0,extra)", true, nullptr},
      {"5,ff)", true, "E: Maplet::readFrom: expecting '(' for Terminal Specs"},
      {"(5 ff)", true, "E: Maplet::readFrom: expecting ',' before LineColor1 in TerminalSpec"},
      {"(63)", false, "I: Maplet::readFrom: can't find id 99 to attach to (not instantiated yet?)"},
  };
  for (const Case& c : cases) {
    reports.shown.clear();
    auto* m = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
    readInto(*m, std::string("9,\"Undirected\",50 50 50 50,2,") + c.spec + ",(0),,,,,3");
    EXPECT_EQ((*m)[0] != nullptr, c.hooked) << c.spec;
    if (c.message) {
      EXPECT_TRUE(reports.saw(c.message)) << c.spec;
    } else {
      EXPECT_TRUE(reports.shown.empty()) << c.spec << ": " << (reports.shown.empty() ? "" : reports.shown[0].text);
    }
    if (std::string(c.spec) == "(5,ff)") {
      EXPECT_EQ(m->getConnector()->leg(0)->lineColor(), 0xffu);
    }
    EXPECT_EQ(m->getConnector()->connectorFlags(), 3u) << c.spec;
    map.remove(*m);
  }
}

TEST_F(MapletTest, OlderSyntaxDefersUnknownTargets) {
  auto* m = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
  readInto(*m, "9,\"Undirected\",50 50,2,0,20,3", nullptr);
  ASSERT_EQ(map.attachments().size(), 1u);
  EXPECT_EQ(map.attachments()[0].terminal, 1u);
  EXPECT_EQ(map.attachments()[0].targetId, 0x20u);
  map.attachments().clear();
}

TEST_F(MapletTest, DamagedTextNeverHangsOrCrashes) {
  node({0, 0, 40, 30});
  std::string good = "9,\"AGNT\",50 50 50 50,2,(1,ff,0,1,\"\",0,\"\",0,\"\",0,\"\",0),(0),\"AGNT\",ffffff,0,0,3";
  for (std::size_t cut = 0; cut <= good.size(); ++cut) {
    auto* m = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
    readInto(*m, good.substr(0, cut));
    map.remove(*m);
  }
  auto* m = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
  readInto(*m, "9,\"default\",1 1 1 1,2147483647,(9),(9)");
  m->setId(9);
  readInto(*m, "9,\"default\",1 1 1 1,2,(9),(0),,,,,3");
  EXPECT_EQ((*m)[0], nullptr);
}

// A deleted maplet keeps its hooks; deleting one of its nodes afterwards makes no
// command for it, so undoing everything and redoing everything finds every element.
TEST_F(MapletTest, DeletingANodeOfADeletedMapletThenUndoAndRedoAll) {
  Node* a = node({0, 0, 40, 20});
  Node* b = node({200, 0, 240, 20});
  map.submitCommand(map.generateNewArc(GraphicsFactory::instance().makeMaplet("Undirected", {100, 50})));
  auto* m = dynamic_cast<SMaplet*>(map.front());
  ASSERT_NE(m, nullptr);
  const std::uint32_t arc = m->id();
  map.submitCommand(m->generateSetConnection(0, a->id()));
  map.submitCommand(m->generateSetConnection(1, b->id()));
  map.submitCommand(m->generateDelete());
  map.submitCommand(a->generateDelete());
  EXPECT_EQ((*m)[0], a) << "the deleted maplet still holds its node";
  EXPECT_EQ(map.history().undoCount(), 5u);
  while (map.history().undoCount() > 0) ASSERT_EQ(map.history().undo(), 0);
  EXPECT_EQ(map.find(arc), nullptr) << "the NEW ARC is undone";
  while (map.history().canRedo()) ASSERT_EQ(map.history().redo(), 0);
  EXPECT_EQ(ids(), (std::vector<std::uint32_t>{b->id()}));
  while (map.history().undoCount() > 3) ASSERT_EQ(map.history().undo(), 0);  // back to the hooked arc
  auto* back = dynamic_cast<SMaplet*>(map.find(arc));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ((*back)[0], map.find(a->id()));
  EXPECT_EQ((*back)[1], b);
}

// Hooking the second end to the node the first is on makes a loop, which keeps its
// centre; undoing the hook gives the automatic centre back.
TEST_F(MapletTest, UndoOfALoopGivesTheAutomaticCentreBack) {
  Node* a = node({0, 0, 40, 20});
  SMaplet* m = arc(a, nullptr);
  ASSERT_TRUE(m->getConnector()->isAutoCentre());
  map.submitCommand(m->generateSetConnection(1, a->id()));
  EXPECT_EQ((*m)[1], a);
  EXPECT_FALSE(m->getConnector()->isAutoCentre());
  EXPECT_EQ(a->observerCount(), 2u);
  map.history().undo();
  EXPECT_EQ((*m)[1], nullptr);
  EXPECT_TRUE(m->getConnector()->isAutoCentre());
  map.history().redo();
  EXPECT_EQ((*m)[1], a);
  EXPECT_FALSE(m->getConnector()->isAutoCentre());
}

}  // namespace
