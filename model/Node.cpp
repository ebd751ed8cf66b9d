// Node labels, colours, automatic size, popup menu, commands and component text; context moves.
#include "model/Node.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "commands/Command.h"
#include "commands/GraphicsFactory.h"
#include "drawing/FrameShape.h"
#include "drawing/Outline.h"
#include "drawing/ViewScale.h"
#include "drawing/Shape.h"
#include "support/Fields.h"
#include "model/GraphicObjectLocator.h"
#include "model/CMap.h"
#include "model/Interaction.h"

Node::Node(const std::string& shapeName, const char* label, const RECT* rect)
    : BehaviouralGraphic(shapeName), SRGraphic(shapeName) {
  if (label) setLabel(label);
  if (rect) setRect(*rect);
}

Node::Node(const Node& other)
    : CloneableObject(other), BehaviouralGraphic(other), SRGraphic(other) {
  if (const char* label = other.getLabel()) setLabel(label);
}

Node::~Node() { invalidate(); }

VisualGraphic* Node::getVisual() {
  // Asked for on every hit test and repaint: the cast is left to getShape.
  if (!visualPart()) getShape();
  return visualPart();
}

Shape* Node::getShape() {
  if (!visualPart() && !prototypeName().empty()) {
    if (std::unique_ptr<Shape> made = GraphicsFactory::instance().getShape(prototypeName()))
      setVisualPart(addTo(*this, std::move(made)));
  }
  return dynamic_cast<Shape*>(visualPart());
}

int Node::changeShape(const char* name) {
  if (!name || prototypeName() == name) return 0;
  setPrototypeName(name);
  std::unique_ptr<Shape> fresh = GraphicsFactory::instance().getShape(prototypeName());
  if (!fresh) return 0;
  Shape* made = addTo(*this, std::move(fresh));
  if (VisualGraphic* old = visualPart()) {
    made->copyAttributes(*old);
    removePart(*old);  // and destroyed
  }
  setVisualPart(made);
  made->invalidate();
  notifyObservers();
  return 0;
}

const char* Node::getLabel() const {
  const Shape* s = getShape();
  return s ? s->getLabel() : nullptr;
}

void Node::setLabel(const char* text) {
  if (Shape* s = getShape()) {
    s->setLabel(text);
    s->setShapeFlags(s->shapeFlags() | Shape::kLayoutPending);
    s->invalidate();
  }
}

std::unique_ptr<Command> Node::generateChangeLabel(const char* text) {
  const char* current = getLabel();
  std::string old = current ? current : "";
  std::string wanted;
  if (text) {
    wanted = text;
  } else {
    // The whole label is offered, however long; the answer is taken even on Cancel.
    wanted = old;
    askText(interaction(), "Edit Label", "New Text:", wanted);
  }
  return std::make_unique<Command1<std::string>>(GraphicObjectLocator(*this), kCmdChangeLabel, wanted, old);
}

Menu Node::buildPopupMenu() {
  Menu menu = SensitiveGraphic::buildPopupMenu();
  menu.addSeparator();
  menu.add(kCmdResize, "Resize");
  Shape* s = getShape();
  // Greyed while it is on, so that the items below keep their places.
  menu.add(kCmdAutoResize, "Auto Size", !s || !s->isAutoSize());
  std::vector<std::string> names = GraphicsFactory::instance().shapeNames();
  if (!names.empty()) {
    Menu shapes;
    for (std::size_t i = 0; i < names.size(); ++i) shapes.add(static_cast<unsigned>(kCmdFirstSubmenuItem + i), names[i]);
    menu.addSubmenu("Change Shape", shapes);
  }
  menu.add(kCmdSetFillColor, "Fill Color...");
  menu.add(kCmdSetBorderColor, "Border Color...");
  menu.add(kCmdSetTextColor, "Text Color...");
  menu.add(kCmdChangeLabel, "Edit Label...");
  return menu;
}

std::unique_ptr<Command> Node::doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText) {
  Shape* s = getShape();
  switch (id) {
    case kCmdChangeLabel:
      return generateChangeLabel(nullptr);
    case kCmdAutoResize:
      return std::make_unique<Command1<tagRECT>>(GraphicObjectLocator(*this), kCmdAutoResize, RECT{}, getRect());
    case kCmdSetFillColor:
    case kCmdSetBorderColor:
    case kCmdSetTextColor: {
      std::uint32_t current = !s ? 0 : id == kCmdSetFillColor ? s->fillColor()
                                    : id == kCmdSetBorderColor ? s->borderColor()
                                                               : s->textColor();
      std::uint32_t chosen = chooseColor(interaction(), current);
      return std::make_unique<Command1<unsigned long>>(GraphicObjectLocator(*this), id, chosen, current);
    }
    default:
      return SensitiveGraphic::doGenerateCommand(id, at, itemText);
  }
}

std::unique_ptr<Command> Node::generateResize(const RECT* newRect) {
  auto resize = SRGraphic::generateResize(newRect);
  const Shape* s = getShape();
  if (!s || !s->isAutoSize()) return resize;
  // A user's size ends automatic sizing; the flag goes first, so that it comes back last on undo.
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdResize);
  all->append(std::make_unique<Command1<unsigned long>>(GraphicObjectLocator(*this), kCmdClearFlags,
                                                        Shape::kAutoSize, s->shapeFlags() & Shape::kAutoSize));
  all->append(std::move(resize));
  return all;
}

namespace {
constexpr Color kLinkHandleColour = 0x00E09030;  // a light blue
}  // namespace

RECT Node::linkHandle() const {
  if (dynamic_cast<const ContextBox*>(this)) return {};
  const RECT r = const_cast<Node*>(this)->getRect();
  // Kept at its size on the screen, on the middle of the right side and clear of the
  // label, reaching out no further than the node's repaint margin.
  const std::int32_t d = std::min({unitsForPixels(7), (r.right - r.left) / 3, (r.bottom - r.top) / 2});
  if (d < 3) return {};
  const std::int32_t out = std::min(d / 2, 2), midY = r.top + (r.bottom - r.top) / 2;
  return {r.right - 1 + out - d, midY - d / 2, r.right - 1 + out, midY - d / 2 + d};
}

void Node::draw(DrawingContext& dc) {
  SRGraphic::draw(dc);
  if (!isHighlighted()) return;
  const RECT h = linkHandle();
  if (!isEmptyRect(h)) dc.ellipse(h, kLinkHandleColour, kBlack);
}

int Node::leftButtonDown(unsigned keys, const POINT& p) {
  Shape* s = getShape();
  if (s && isHighlighted()) {
    const RECT h = linkHandle();
    auto* map = dynamic_cast<CMap*>(container());
    if (map && !isEmptyRect(h) && pointInRect(inflateRect(h, unitsForPixels(2)), p)) {
      const POINT from{(h.left + h.right) / 2, (h.top + h.bottom) / 2};
      const POINT end = fromWindow(trackLine(interaction(), toWindow(from), toWindow(p), window()));
      map->linkDraggedTo(*this, end);
      return 1;
    }
    unsigned hit = s->hitTest(p);
    if (hit & 0x20) {
      RECT tracked = fromWindow(trackRect(interaction(), toWindow(getRect()), hit & 0xF, window()));
      submitCommand(generateResize(&tracked));
      return 1;
    }
  }
  return SensitiveGraphic::leftButtonDown(keys, p);
}

namespace {

void setColour(Shape& s, unsigned code, std::uint32_t colour) {
  if (code == kCmdSetFillColor) s.setFillColor(colour);
  else if (code == kCmdSetBorderColor) s.setBorderColor(colour);
  else s.setTextColor(colour);
}

}  // namespace

// CHANGE LABEL, SET FLAGS, CLEAR FLAGS and SET COLOR, forward (execute) or back (undo);
// kResultNotOwnCommand for the types that are not among them.
int Node::applyOwnCommand(Command* cmd, bool forward) {
  const char* operation = forward ? "execute" : "undo";
  Shape* s = getShape();
  switch (cmd->type()) {
    case kCmdChangeLabel:
      if (auto* c = commandAs<Command1<std::string>>(cmd, "Node", operation)) {
        setLabel((forward ? c->getNew() : c->getOld()).c_str());
        notifyObservers();
      }
      return kResultDone;
    case kCmdSetFlags:
    case kCmdClearFlags:
      if (auto* c = dynamic_cast<Command1<unsigned long>*>(cmd); c && s) {
        s->setShapeFlags(flagsAfter(cmd->type(), s->shapeFlags(), static_cast<std::uint32_t>(c->getNew()),
                                    static_cast<std::uint32_t>(c->getOld()), forward));
        s->invalidate();
      } else {
        reportBadCommand(*cmd, "Node", operation);
      }
      return kResultDone;
    case kCmdSetFillColor:
    case kCmdSetBorderColor:
    case kCmdSetTextColor:
      if (auto* c = dynamic_cast<Command1<unsigned long>*>(cmd); c && s) {
        setColour(*s, cmd->type(), static_cast<std::uint32_t>(forward ? c->getNew() : c->getOld()));
        notifyObservers();
      } else {
        reportBadCommand(*cmd, "Node", operation);
      }
      return kResultDone;
    default:
      return kResultNotOwnCommand;
  }
}

int Node::execute(Command* cmd) {
  if (cmd->type() == kCmdAutoResize) {
    // The new size is worked out by the shape when it is next drawn.
    if (Shape* s = getShape()) s->setShapeFlags(s->shapeFlags() | Shape::kAutoSize | Shape::kLayoutPending);
    invalidateRect(invalidRect());
    notifyObservers();
    return 0;
  }
  int r = applyOwnCommand(cmd, true);
  return r == kResultNotOwnCommand ? SensitiveGraphic::execute(cmd) : r;
}

int Node::undo(Command* cmd) {
  if (cmd->type() == kCmdAutoResize) {
    if (auto* c = commandAs<Command1<tagRECT>>(cmd, "Node", "undo")) {
      setRect(c->getOld());
      if (Shape* s = getShape()) s->setShapeFlags(s->shapeFlags() & ~Shape::kAutoSize);
      notifyObservers();
    }
    return kResultDone;
  }
  int r = applyOwnCommand(cmd, false);
  return r == kResultNotOwnCommand ? SensitiveGraphic::undo(cmd) : r;
}

const Shape* Node::looks() const {
  if (const VisualGraphic* v = visualPart()) return dynamic_cast<const Shape*>(v);
  // Until the node needs a shape of its own, the prototype it would be cloned from answers.
  return prototypeName().empty() ? nullptr : GraphicsFactory::instance().shapes().prototypeFor(prototypeName());
}

void Node::printOn(std::ostream& out) const {
  const Shape* s = looks();
  BehaviouralGraphic::printOn(out);
  out.put(kFieldSeparator);
  writeRect(out, s ? s->getRect() : RECT{});
  out.put(kFieldSeparator);
  const char* label = s ? s->getLabel() : nullptr;
  writeQuoted(out, label ? label : "");
  out.put(kFieldSeparator);
  writeHex(out, s ? s->fillColor() : 0xFFFFFFu);
  out.put(kFieldSeparator);
  writeHex(out, s ? s->borderColor() : 0);
  out << ",,,";
  writeHex(out, s ? s->textColor() : 0);
  out.put(kFieldSeparator);
  writeHex(out, s ? s->shapeFlags() : 0);
}

void Node::readFrom(std::istream& in, const Version* version) {
  BehaviouralGraphic::readFrom(in, version);
  if (version && *version >= Version(0, 2)) {
    reportError(nullptr, 'E', "Node::readFrom: Version %s not understood, only understand versions <= 0.1",
                version->text().c_str());
  } else if (expectChar(in, kFieldSeparator) == kFieldRead) {
    // A line that ends after the shape name leaves the node as its prototype is, and
    // the shape is made when first needed.
    if (Shape* s = getShape()) {
      RECT r{};
      if (readRect(in, r) == kFieldRead) s->setRect(r);
      std::string label;
      if (expectChar(in, kFieldSeparator) == kFieldRead && readQuoted(in, label) == kFieldRead) {
        s->setLabel(label.c_str());
        s->setShapeFlags(s->shapeFlags() | Shape::kLayoutPending);
      }
      std::uint32_t colour = 0;
      if (expectChar(in, kFieldSeparator) == kFieldRead && readHex(in, colour) == kFieldRead) s->setFillColor(colour);
      if (expectChar(in, kFieldSeparator) == kFieldRead && readHex(in, colour) == kFieldRead) s->setBorderColor(colour);
      if (version && *version > Version(0, 0)) {
        std::uint32_t ignored = 0;
        for (int reserved = 0; reserved < 2; ++reserved)
          if (expectChar(in, kFieldSeparator) == kFieldRead) readHex(in, ignored);
      }
      if (expectChar(in, kFieldSeparator) == kFieldRead && readHex(in, colour) == kFieldRead) s->setTextColor(colour);
      std::uint32_t flags = 0;
      if (expectChar(in, kFieldSeparator) == kFieldRead && readHex(in, flags) == kFieldRead) s->setShapeFlags(flags);
    }
  }
  notifyObservers();
  notifyObservers();
}

FrameShape* ContextBox::getFrameShape() { return dynamic_cast<FrameShape*>(getShape()); }

int ContextBox::execute(Command* cmd) {
  if (cmd->type() == kCmdAutoResize) return 0;
  if (cmd->type() == kCmdMoveTo) {
    auto* move = commandAs<Command1<tagPOINT>>(cmd, "ContextBox", "execute");
    GraphicContainer* c = container();
    if (move && c) {
      POINT delta{move->getNew().x - move->getOld().x, move->getNew().y - move->getOld().y};
      RelationableGraphic::moveTo(move->getNew());
      CarriedElements& carried = move->carried;
      if (!carried.recorded) {
        // Containment is decided by geometry when the move first happens: what lies
        // wholly inside goes along, now and whenever the move is redone.
        RECT now = getRect();
        RECT before{now.left - delta.x, now.top - delta.y, now.right - delta.x, now.bottom - delta.y};
        for (Graphic* g : c->membersNear(before))
          if (g->id() != id() && rectInside(g->getRect(), before) && !followsItsTerminals(g))
            carried.from.emplace_back(g->id(), g->origin());
        carried.recorded = true;
      }
      for (const auto& [memberId, from] : carried.from)
        if (Graphic* g = c->find(memberId)) g->moveTo({from.x + delta.x, from.y + delta.y});
    } else if (move) {
      RelationableGraphic::moveTo(move->getNew());
    }
  }
  return Node::execute(cmd);
}

int ContextBox::undo(Command* cmd) {
  if (cmd->type() == kCmdAutoResize) return 0;
  if (cmd->type() == kCmdMoveTo) {
    auto* move = commandAs<Command1<tagPOINT>>(cmd, "ContextBox", "undo");
    if (!move) {
      return Node::undo(cmd);
    }
    if (!move->carried.recorded) {
      // Never executed here (read back from text): what lies inside now moves back.
      Command1<tagPOINT> back(*move);
      back.setNew(move->getOld());
      back.setOld(move->getNew());
      return ContextBox::execute(&back);
    }
    // Exactly what the move carried goes back to where it stood.
    RelationableGraphic::moveTo(move->getOld());
    if (GraphicContainer* c = container())
      for (const auto& [memberId, from] : move->carried.from)
        if (Graphic* g = c->find(memberId)) g->moveTo(from);
  }
  return Node::undo(cmd);
}
