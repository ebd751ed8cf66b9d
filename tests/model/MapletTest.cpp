// Terminals that float, hook, follow and unhook; maplet menus, commands and component text.
#include "model/Maplet.h"

#include "tests/model/ElementFixture.h"

namespace {

using MapletTest = ElementFixture;

// Floating ends sit beside the connector, and floating again does not drift; a hooked end
// follows its node without moving the centre, beside which the floating end stays, and floats
// when the node is destroyed.
TEST_F(MapletTest, EndsFloatBesideTheCentreOrFollowTheirNode) {
  for (const auto& [type, first, last] : std::vector<std::tuple<const char*, POINT, POINT>>{
           {"Trinary Undirected", {140, 90}, {140, 110}}, {"Quad Undirected", {140, 80}, {140, 120}}}) {
    auto* m = addTo(map, std::make_unique<SMaplet>(type, POINT{100, 100}));
    EXPECT_EQ((std::vector<POINT>{end(m, 1), end(m, m->terminalCount() - 1)}), (std::vector<POINT>{first, last}));
  }
  auto* two = addTo(map, std::make_unique<SMaplet>("Undirected", POINT{100, 100}));
  two->floatTerminal(0);
  two->floatTerminal(0);
  EXPECT_EQ(end(two, 0), (POINT{60, 100}));

  Node* a = node({0, 0, 40, 30});
  SMaplet* m = arc(a, nullptr);
  const POINT centre = m->centre(), hooked = end(m, 0);
  a->moveTo({10, 50});
  EXPECT_EQ(m->centre(), centre) << "one hooked end does not move the centre";
  EXPECT_NE(end(m, 0), hooked);
  // The floating end sits beside the centre and the hooked end, as reading would place it.
  EXPECT_EQ(end(m, 1).x, std::max(centre.x, end(m, 0).x) + 40);
  map.remove(*a);
  EXPECT_EQ((*m)[0], nullptr);
  EXPECT_EQ(end(m, 0).x, m->centre().x - 40);
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
  EXPECT_EQ(steps(), 1u);
  for (Graphic* g : std::initializer_list<Graphic*>{a, ab, ca, loop, onMaplet})
    EXPECT_FALSE(map.contains(g)) << g->id();
  EXPECT_TRUE(map.contains(abc));
  EXPECT_EQ(hooks(abc), (Hooks{nullptr, b, c}));
  EXPECT_EQ(map.memberCount(), before - 5);
  undo();
  EXPECT_EQ(map.memberCount(), before);
  EXPECT_EQ((Hooks{(*ab)[0], (*ca)[1], (*abc)[0], (*onMaplet)[0]}), (Hooks{a, a, a, ab}));
}

// A press on an end of a selected maplet drags that end, whatever else lies there (a node in
// front of it, or the maplet's own other leg passing over it); dropped on a node it hooks
// there and follows it, dropped on empty space nothing happens.
TEST_F(MapletTest, DraggingAnEndOfASelectedMapletOntoANodeHooksIt) {
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
  EXPECT_EQ(cover->getRect(), (RECT{130, 80, 170, 120}));
  undo();
  user.dragLineTo({150, 300});
  m->setHighlighted(true);
  const unsigned before = steps();
  map.leftButtonDown(0, end(m, 1));
  EXPECT_EQ(steps(), before);

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
  const POINT onEnd{end(m, 1).x - 2, end(m, 1).y};
  m->setHighlighted(true);  // ends are handles of a selected maplet only
  const std::vector<std::string> onTheEnd = popupAt(onEnd);
  EXPECT_EQ(onTheEnd[onTheEnd.size() - 3], "Unhook Terminal (109)");
  EXPECT_EQ(onTheEnd[onTheEnd.size() - 2], "Float Handle (113) greyed");
  choose(onEnd, "Unhook Terminal");
  EXPECT_EQ((*m)[1], nullptr);
  undo();

  // Dragging the centre switches auto-centre off; then "Float Handle" is offered off the ends.
  m->setHighlighted(true);
  const POINT centre = m->centre(), moved{centre.x, centre.y + 50};
  drag(centre, moved);
  EXPECT_FALSE(m->getConnector()->isAutoCentre());
  EXPECT_EQ(popupAt(moved)[onTheEnd.size() - 2], "Float Handle (113)");
  choose(moved, "Float Handle");
  EXPECT_TRUE(m->getConnector()->isAutoCentre());
  undo(2);
  EXPECT_EQ(m->centre(), centre);
}

// SET CONNECTION to a missing id is refused. Hooking the second end to the node the first is
// on makes a loop, which keeps its centre; undoing the hook gives the automatic centre back.
TEST_F(MapletTest, SetConnectionRefusesAMissingIdAndItsUndoGivesALoopTheAutomaticCentreBack) {
  Node* a = node({0, 0, 40, 20});
  SMaplet* m = arc(a, nullptr);
  EXPECT_EQ(map.history().execute(m->generateSetConnection(1, 77)), -300);
  EXPECT_TRUE(reports.saw("E: Maplet::execute: SET CONNECTION to id 77, which is not in the map"));
  EXPECT_EQ(steps(), 0u);
  EXPECT_EQ((*m)[5], nullptr);
  EXPECT_TRUE(reports.saw("W: Maplet::operator[]: requested index 5 is out of range 0-2"));

  ASSERT_TRUE(m->getConnector()->isAutoCentre());
  map.submitCommand(m->generateSetConnection(1, a->id()));
  EXPECT_EQ((*m)[1], a);
  EXPECT_FALSE(m->getConnector()->isAutoCentre());
  undo();
  EXPECT_EQ((*m)[1], nullptr);
  EXPECT_TRUE(m->getConnector()->isAutoCentre());
}

// The component text round-trips hooks, colours and labels; each terminal spec reads as
// written or is reported. The older syntax defers targets it cannot find yet.
TEST_F(MapletTest, ComponentTextRoundTripsAndBadTerminalSpecsAreReported) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({200, 0, 240, 30});
  SMaplet* m = arc(a, b);
  m->getConnector()->leg(1)->setLineColor(0xff0000);
  std::string written = text(*m);
  const std::string c = std::to_string(m->centre().x) + " " + std::to_string(m->centre().y);
  EXPECT_EQ(written, "3,\"Undirected\"," + c + " " + c + ",2,(1,0),(2,ff0000),,,,,3");
  auto* back = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
  readInto(*back, written);
  EXPECT_EQ(hooks(back), (Hooks{a, b}));
  back->setId(4);
  EXPECT_EQ(text(*back).substr(1), written.substr(1)) << "the colour and the hooks came back";

  for (int i = 3; i <= 5; ++i) node({100 * i, 0, 100 * i + 40, 30});
  const std::vector<std::tuple<const char*, bool, const char*>> specs = {
      {"(0)", false, nullptr},
      {"(5,ff)", true, nullptr},
      {"(5,ff,0,1,\"arrow)\",0,\"\",0,\"\",0,\"\",0,extra)", true, nullptr},
      {"5,ff)", true, "E: Maplet::readFrom: expecting '(' for Terminal Specs"},
      {"(5 ff)", true, "E: Maplet::readFrom: expecting ',' before LineColor1 in TerminalSpec"},
      {"(63)", false, "I: Maplet::readFrom: can't find id 99 to attach to (not instantiated yet?)"},
  };
  for (const auto& [spec, hooked, message] : specs) {
    reports.shown.clear();
    auto* read = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
    readInto(*read, std::string("9,\"Undirected\",50 50 50 50,2,") + spec + ",(0),,,,,3");
    EXPECT_EQ((*read)[0] != nullptr, hooked) << spec;
    EXPECT_EQ(reports.texts(), message ? std::vector<std::string>{message} : std::vector<std::string>{}) << spec;
    if (std::string(spec) == "(5,ff)") {
      EXPECT_EQ(read->getConnector()->leg(0)->lineColor(), 0xffu);
    }
    EXPECT_EQ(read->getConnector()->connectorFlags(), 3u) << spec;
    map.remove(*read);
  }

  readInto(*back, "9,\"Undirected\",50 50,2,0,20,3", nullptr);
  ASSERT_EQ(map.attachments().size(), 1u);
  EXPECT_EQ(map.attachments()[0].terminal, 1u);
  EXPECT_EQ(map.attachments()[0].targetId, 0x20u);
  map.attachments().clear();
}

// A huge terminal count is not taken (cut and damaged text is left to the component line fuzz
// target), and a terminal hooked to the maplet itself is refused.
TEST_F(MapletTest, AHugeTerminalCountAndAHookToItselfAreRefused) {
  node({0, 0, 40, 30});
  auto* m = addTo(map, std::make_unique<SMaplet>("default", POINT{0, 0}));
  readInto(*m, "9,\"default\",1 1 1 1,2147483647,(9),(9)");
  m->setId(9);
  readInto(*m, "9,\"default\",1 1 1 1,2,(9),(0),,,,,3");
  EXPECT_EQ((*m)[0], nullptr);
}

}  // namespace
