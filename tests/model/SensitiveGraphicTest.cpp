// Clicks, Control-clicks, drags of the selection, resizing, the generic popup and what each map keeps to itself.
#include "model/SensitiveGraphic.h"
#include "model/MapView.h"

#include "tests/model/ElementFixture.h"

namespace {

using Selection = ElementFixture;

TEST_F(Selection, ClickSelectsAloneControlClickAddsClickOnSelectedDeselectsIt) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({100, 0, 140, 30});
  click({20, 15});
  EXPECT_TRUE(a->isHighlighted());
  click({120, 15});
  EXPECT_FALSE(a->isHighlighted());
  EXPECT_TRUE(b->isHighlighted());
  click({20, 15}, kKeyControl);
  EXPECT_TRUE(a->isHighlighted() && b->isHighlighted());
  click({20, 15});
  EXPECT_FALSE(a->isHighlighted());
  EXPECT_EQ(steps(), 0u) << "selection is not an edit";
  // A two-pixel drag moves but leaves no history; a press brings what it hits to the front.
  map.remove(*b);
  drag({20, 15}, {22, 17});
  EXPECT_EQ(a->getRect(), (RECT{2, 2, 42, 32}));
  EXPECT_EQ(steps(), 0u);
  EXPECT_EQ(map.captured(), nullptr);
  node({10, 10, 50, 40});  // in front of a
  drag({5, 5}, {5, 100});  // a press brings what it hits to the front
  EXPECT_EQ(map.front(), a);
}

TEST_F(Selection, DraggingASelectedElementMovesTheSelectionInOneStep) {
  Node* a = node({0, 0, 40, 30});
  Node* b = node({100, 0, 140, 30});
  Node* c = node({200, 0, 240, 30});
  Node* far = node({0, 200, 40, 230});
  SMaplet* m = arc(a, b);  // auto-centred: follows its ends
  for (Graphic* g : std::initializer_list<Graphic*>{a, b, c, m}) g->setHighlighted(true);
  const std::vector<RECT> before = rects({a, b, c, far});
  const POINT centre = m->centre();
  drag({20, 15}, {30, 45});
  EXPECT_EQ(steps(), 1u);
  const std::vector<RECT> moved = {{10, 30, 50, 60}, {110, 30, 150, 60}, {210, 30, 250, 60}, before[3]};
  EXPECT_EQ(rects({a, b, c, far}), moved);
  EXPECT_NE(m->centre(), centre) << "the maplet followed its ends";
  undo();
  EXPECT_EQ(rects({a, b, c, far}), before);
  const POINT e0 = end(m, 0), e1 = end(m, 1);
  EXPECT_EQ(m->centre(), (POINT{(e0.x + e1.x) / 2, (e0.y + e1.y) / 2})) << "still between its ends";
}

TEST_F(Selection, ResizeFromThePopupTracksRightAndBottomAndAPopupWithoutAPoint) {
  Node* a = node({10, 10, 50, 40});
  user.dragRectTo({10, 10, 8, 80});  // dragged past the left edge
  choose({20, 20}, "Resize");
  EXPECT_EQ(user.edgeMasks.back(), 10u);
  EXPECT_EQ(a->getRect(), (RECT{8, 10, 12, 80})) << "normalised and at least 4 wide";
  // A popup without a point anchors at three quarters of the element.
  node({-41, -21, -1, -1})->showPopupMenu(nullptr);
  EXPECT_EQ(user.menuPoints.back(), (POINT{-11, -6}));
}

TEST_F(Selection, UnknownCommandsAndUndoOfADeletionAreRefused) {
  Node* a = node({0, 0, 40, 20});
  EXPECT_EQ(a->doGenerateCommand(42, nullptr, ""), nullptr);
  EXPECT_TRUE(reports.saw("E: SensitiveGraphic::doGenerateCommand(42): unimplemented"));
  CommandPtr1<SensitiveGraphic> del(GraphicObjectLocator(*a), kCmdDelete, nullptr, nullptr);
  EXPECT_EQ(a->undo(&del), -98);
  EXPECT_TRUE(reports.saw("W: Cannot undo a deletion!"));
}

}  // namespace

// Two maps open at once: a drag in one leaves the other alone, each asks its own user, and
// reading one does not silence the repaints of the other.
TEST_F(Selection, EachMapKeepsItsOwnDragQuestionsAndRepaintPause) {
  struct CountingView : MapView {
    int repaints = 0;
    void repaintArea(const RECT&) override { ++repaints; }
    NativeWindow nativeWindow() const override { return nullptr; }
  } shown;
  Node* a = node({0, 0, 40, 30});
  RootMap other;
  other.setView(&shown);
  RECT r{0, 0, 40, 30};
  auto* b = addTo(other, std::make_unique<Node>("Rectangle", nullptr, &r));
  ScriptedInteraction otherUser(false);
  other.setInteraction(&otherUser);

  map.leftButtonDown(0, {20, 15});
  other.leftButtonDown(0, {20, 15});
  map.mouseMove(0, {60, 55});
  map.leftButtonUp(0, {60, 55});
  EXPECT_EQ(a->getRect(), (RECT{40, 40, 80, 70}));
  EXPECT_EQ(b->getRect(), r);
  other.leftButtonUp(0, {20, 15});

  otherUser.chooseItem("New Node");
  other.rightButtonDown(0, {200, 200});
  EXPECT_EQ(other.memberCount(), 2u);
  EXPECT_TRUE(user.menusShown.empty());

  RepaintPause readingTheFirst(map);
  const int before = shown.repaints;
  b->moveTo({100, 100});
  EXPECT_GT(shown.repaints, before);
  RepaintPause readingIt(other);
  const int paused = shown.repaints;
  b->moveTo({150, 150});
  EXPECT_EQ(shown.repaints, paused);
}
