// Node menus, labels, colours, sizes, shapes, their undo, their component text, and context moves.
#include "model/Node.h"

#include "tests/model/ElementFixture.h"

namespace {

using NodeTest = ElementFixture;

/// A node's attributes as one line: id, prototype, shape class, rectangle, label, fill, border
/// and text colours, shape flags (but for the passing note that a layout is due).
std::string fields(Node& n) {
  std::ostringstream out;
  const Shape& s = *n.getShape();
  out << std::hex << n.id() << ' ' << n.prototypeName() << ' ' << s.className() << ' ' << n.getRect() << " \""
      << (n.getLabel() ? n.getLabel() : "(none)") << "\" " << s.fillColor() << ' ' << s.borderColor() << ' '
      << s.textColor() << ' ' << (s.shapeFlags() & ~Shape::kLayoutPending);
  return out.str();
}

// The popup lists its items in order and greys Auto Size while it is on. Auto Size fits the
// label at the next drawing; a resize after it fixes the size, and undoing the resize gives the
// size back to the label.
TEST_F(NodeTest, PopupItemsAndAutoSizeThatAResizeEndsAndItsUndoGivesBack) {
  Node* a = node({0, 0, 300, 200}, "idea");
  std::vector<std::string> expected = {"Delete (100)", "-", "Resize (101)", "Auto Size (110)", "> Change Shape"};
  std::vector<std::string> shapes = GraphicsFactory::instance().shapeNames();
  for (std::size_t i = 0; i < shapes.size(); ++i) expected.push_back("  " + shapes[i] + " (" + std::to_string(500 + i) + ")");
  for (const char* item : {"Fill Color... (114)", "Border Color... (115)", "Text Color... (116)", "Edit Label... (103)"})
    expected.push_back(item);
  EXPECT_EQ(popupAt({10, 10}), expected);

  choose({10, 10}, "Auto Size");
  EXPECT_EQ(popupAt({10, 10})[3], "Auto Size (110) greyed");
  RecordingDC dc;
  map.draw(dc);
  const RECT fitted = a->getRect();
  EXPECT_LT(fitted.right, 300);
  user.dragRectTo({0, 0, 120, 90});
  choose({10, 10}, "Resize");
  EXPECT_FALSE(a->getShape()->isAutoSize());
  EXPECT_EQ(a->getRect(), (RECT{0, 0, 120, 90}));
  undo();
  EXPECT_TRUE(a->getShape()->isAutoSize()) << "the label decides the size again";
  EXPECT_EQ(a->getRect(), fitted);
}

TEST_F(NodeTest, ChangeShapeKeepsRectangleAndLabel) {
  Node* a = node({10, 10, 80, 50}, "keep me");
  const std::string before = fields(*a);
  choose({20, 20}, "Ellipse-Red");
  EXPECT_EQ(fields(*a), "1 Ellipse-Red EllipseShape 10 10 80 50 \"keep me\" ff 0 0 0");
  EXPECT_EQ(a->memberCount(), 1u) << "the old shape is gone";
  undo();
  EXPECT_EQ(fields(*a), before);
}

// Edit Label... offers the whole label, and a cancelled edit is still a step; colours come from
// the colour dialog, which keeps its custom colours, and a cancelled dialog changes nothing.
TEST_F(NodeTest, LabelAndColourDialogsAndTheirCancelling) {
  std::string longLabel(2500, 'x');
  Node* a = node({0, 0, 40, 30}, longLabel.c_str());
  user.typeText("new, \"text\"\nsecond line");
  choose({10, 10}, "Edit Label...");
  EXPECT_EQ(user.prompts.back(), "Edit Label|New Text:");
  EXPECT_EQ(user.textsOffered.back(), longLabel);
  EXPECT_STREQ(a->getLabel(), "new, \"text\"\nsecond line");
  user.typeText(std::nullopt);
  choose({10, 10}, "Edit Label...");
  EXPECT_EQ(steps(), 2u) << "a cancelled edit is a step with equal texts";
  undo(2);
  EXPECT_EQ(a->getLabel(), longLabel);

  user.pickColor(0x00FF0000);
  choose({10, 10}, "Fill Color...");
  user.pickColor(0x0000FF00);
  choose({10, 10}, "Text Color...");
  user.pickColor(std::nullopt);
  choose({10, 10}, "Border Color...");
  EXPECT_EQ(user.colorsOffered, (std::vector<std::uint32_t>{0x00FFFFFF, 0, 0}));
  const std::string coloured = fields(*a);
  EXPECT_EQ(coloured.substr(coloured.rfind('"')), "\" ff0000 0 ff00 0");
  EXPECT_EQ(customColors()[0], 0x0000FF00u) << "custom colours are kept between calls";
}

// Flag commands restore only their bits; Auto Size does nothing on a context.
TEST_F(NodeTest, FlagCommandsRestoreOnlyTheirBitsAndAContextIgnoresAutoSize) {
  Node* a = node({0, 0, 40, 30});
  a->getShape()->setShapeFlags(0x5);
  GraphicObjectLocator here(*a);
  map.history().execute(std::make_unique<Command1<unsigned long>>(here, kCmdSetFlags, 0x3, 0x5 & 0x3));
  EXPECT_EQ(a->getShape()->shapeFlags(), 0x7u);
  map.history().execute(std::make_unique<Command1<unsigned long>>(here, kCmdClearFlags, 0x6, 0x7 & 0x6));
  EXPECT_EQ(a->getShape()->shapeFlags(), 0x1u);
  undo(2);
  EXPECT_EQ(a->getShape()->shapeFlags(), 0x5u);

  ContextBox* frame = context({0, 0, 200, 150});
  const GraphicObjectLocator there(*frame);
  EXPECT_EQ(map.history().execute(std::make_unique<Command1<tagRECT>>(there, kCmdAutoResize, RECT{}, frame->getRect())), 0);
  EXPECT_FALSE(frame->getShape()->isAutoSize());
}

// The component text round-trips in the current syntax; the oldest syntax has no reserved
// fields; newer versions read only the id and the name; damaged fields leave the attributes
// as they were.
TEST_F(NodeTest, ComponentTextInEveryVersionAndDamaged) {
  Node* a = node({10, 20, 110, 60}, "idea");
  a->setId(0x1f);
  a->getShape()->setShapeFlags(1);
  EXPECT_EQ(text(*a), R"(1f,"Rectangle",10 20 110 60,"idea",ffffff,0,,,0,1)");
  const std::string full = R"(2a,"Ellipse",5 6 70 80,"two words, \"quoted\"\n",ff,ff00,,,ff0000,1)";
  Node* b = addTo(map, std::make_unique<Node>("default"));
  readInto(*b, full);
  EXPECT_EQ(fields(*b), "2a Ellipse EllipseShape 5 6 70 80 \"two words, \"quoted\"\n\" ff ff00 ff0000 1");
  EXPECT_EQ(text(*b), full);

  readInto(*a, R"(3,"Rectangle",1 2 3 4,"old",ffffff,0,ff,1)", nullptr);
  const std::string old = fields(*a);
  EXPECT_EQ(old, "3 Rectangle RectangleShape 1 2 3 4 \"old\" ffffff 0 ff 1");
  Version future(0, 2);
  readInto(*a, R"(9,"Ellipse",5 6 7 8,"new",ff,0,,,0,0)", &future);
  EXPECT_TRUE(reports.saw("E: Node::readFrom: Version 0.2 not understood, only understand versions <= 0.1"));
  EXPECT_EQ(fields(*a), "9 Ellipse" + old.substr(old.find(' ', 2))) << "only the id and the name are read";
  readInto(*a, R"(5,"Rectangle",x,"cut)");
  EXPECT_EQ(fields(*a).substr(1), old.substr(1));
}

using ContextTest = ElementFixture;

// A context carries what lies wholly inside it when the move starts, and undo and redo move
// exactly that: not what the move came to cover, nor what came to lie inside before a redo.
// A node inside that is selected too moves by itself and with the frame, and undo gives back
// every position.
TEST_F(ContextTest, MovingAContextCarriesWhatLiesWhollyInsideAndUndoAndRedoMoveExactlyThat) {
  ContextBox* frame = context({0, 0, 200, 150});
  Node* inside = node({20, 30, 60, 60});
  Node* overlapping = node({180, 30, 240, 60});
  Node* covered = node({200, 60, 240, 100});  // inside the frame once it has moved
  auto rects = [&] {
    return std::vector<RECT>{frame->getRect(), inside->getRect(), overlapping->getRect(), covered->getRect()};
  };
  const std::vector<RECT> before = rects();
  drag({100, 2}, {150, 52});  // by the title strip
  const std::vector<RECT> moved = {{50, 50, 250, 200}, {70, 80, 110, 110}, before[2], before[3]};
  EXPECT_EQ(rects(), moved);
  undo();
  EXPECT_EQ(rects(), before) << "what the move came to cover never moved with the frame";
  Node* later = node({50, 60, 70, 80});
  redo();
  EXPECT_EQ(rects(), moved);
  EXPECT_EQ(later->getRect(), (RECT{50, 60, 70, 80}));
  undo();

  click({100, 2});
  click({40, 40}, kKeyControl);
  drag({100, 2}, {150, 52});
  EXPECT_EQ(inside->getRect(), (RECT{70, 80, 110, 110}));
  undo();
  EXPECT_EQ(rects(), before);
}

}  // namespace

// Every receiver names itself, the operation and the command when a command of its type
// arrives in the wrong class; the texts stay as the history has always shown them.
TEST_F(NodeTest, CommandsOfTheWrongClassAreReportedByName) {
  Node* a = node({0, 0, 40, 30});
  ContextBox* frame = context({100, 100, 200, 200});
  SMaplet* m = arc(a, nullptr);
  // The receiver, the command type, whether it is executed or undone, and the report.
  const std::tuple<BehaviouralGraphic*, unsigned, bool, const char*> cases[] = {
      {a, kCmdChangeLabel, true, "Node::execute: Bad CHANGE LABEL command"},
      {a, kCmdClearFlags, false, "Node::undo: Bad CLEAR FLAGS command"},
      {a, kCmdMoveTo, false, "SensitiveGraphic::undo: Bad MOVE TO command"},
      {a, kCmdDelete, true, "SensitiveGraphic::execute: Bad DELETE command"},
      {a, kCmdSetFillColor, true, "Node::execute: Bad SET COLOR command"},
      {&map, kCmdNewNode, true, "CMap::execute: Bad NEW NODE command"},
      {frame, kCmdMoveTo, false, "ContextBox::undo: Bad MOVE TO command"},
      {m, kCmdSetConnection, true, "Maplet::execute: Bad SET CONNECTION command"},
      {m, kCmdSetConnection, false, "Node::undo: Bad SET CONNECTION command"},
      {m, kCmdSetFlags, true, "Maplet::execute: Bad SET FLAGS command"},
      {&map, kCmdNewArc, false, "CMap::undo: Bad NEW ARC command"},
  };
  for (const auto& [receiver, type, forward, text] : cases) {
    Command1<tagRECT> wrong(GraphicObjectLocator(*receiver), type, {}, {});
    if (forward) receiver->execute(&wrong);
    else receiver->undo(&wrong);
    EXPECT_TRUE(reports.saw(std::string("E: ") + text + ", type = Command1<tagRECT>")) << text;
  }
  Command1<tagPOINT> notASize(GraphicObjectLocator(*a), kCmdAutoResize, {}, {});
  a->undo(&notASize);
  EXPECT_TRUE(reports.saw("E: Node::undo: Bad AUTO RESIZE command, type = Command1<tagPOINT>"));
}
