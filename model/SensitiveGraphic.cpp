// Selection, dragging, the popup menu and the generic edits of every element.
#include "model/SensitiveGraphic.h"

#include "commands/Command.h"
#include "drawing/Connector.h"
#include "drawing/Shape.h"
#include "model/GraphicObjectLocator.h"
#include "model/Interaction.h"
#include "model/Maplet.h"

bool followsItsTerminals(Graphic* g) {
  auto* maplet = dynamic_cast<Maplet*>(g);
  const Connector* c = maplet ? maplet->getConnector() : nullptr;
  return c && c->isAutoCentre();
}

SensitiveGraphic::~SensitiveGraphic() {
  DragState& drag = mapState().drag;
  if (drag.draggedGraphic == this) drag.draggedGraphic = nullptr;
}

InteractionBackend* SensitiveGraphic::interaction() {
  InteractionBackend* own = mapState().interaction;
  return own ? own : interactionBackend();
}

void SensitiveGraphic::beginDrag(const POINT& p) {
  if (GraphicContainer* c = container()) {
    c->popToFront(this);
    c->setCaptured(this);
  }
  DragState& drag = mapState().drag;
  drag.draggedGraphic = this;
  drag.dragOrigin = dragReference();
  drag.dragOffset = {p.x - drag.dragOrigin.x, p.y - drag.dragOrigin.y};
}

int SensitiveGraphic::leftButtonDown(unsigned, const POINT& p) {
  beginDrag(p);
  return 1;
}

int SensitiveGraphic::mouseMove(unsigned, const POINT& p) {
  DragState& drag = mapState().drag;
  if (drag.draggedGraphic == this) moveTo({p.x - drag.dragOffset.x, p.y - drag.dragOffset.y});
  return 0;
}

int SensitiveGraphic::leftButtonUp(unsigned keys, const POINT& p) {
  DragState& drag = mapState().drag;
  bool dragged = drag.draggedGraphic == this;
  if (dragged && dragReference() != drag.dragOrigin) {
    auto cmd = generateMoveTo({p.x - drag.dragOffset.x, p.y - drag.dragOffset.y});
    if (GraphicContainer* c = container()) c->setCaptured(nullptr);
    drag.draggedGraphic = nullptr;
    submitCommand(std::move(cmd));
    return 1;
  }
  // A click: select alone, add with Control, or deselect a selected element.
  if (GraphicContainer* c = container(); c && !isHighlighted() && !(keys & kKeyControl))
    c->setAllHighlighted(false);
  setHighlighted(!isHighlighted());
  if (dragged) {
    if (GraphicContainer* c = container()) c->setCaptured(nullptr);
    drag.draggedGraphic = nullptr;
  }
  return 1;
}

int SensitiveGraphic::rightButtonDown(unsigned, const POINT& p) {
  showPopupMenu(&p);
  return 1;
}

void SensitiveGraphic::showPopupMenu(const POINT* at) {
  POINT anchor;
  if (at) {
    anchor = *at;
  } else {
    RECT r = getRect();
    auto floorDiv4 = [](std::int64_t v) { return static_cast<std::int32_t>(v >= 0 ? v / 4 : -((-v + 3) / 4)); };
    anchor = {static_cast<std::int32_t>(r.right - floorDiv4(std::int64_t{r.right} - r.left)),
              static_cast<std::int32_t>(r.bottom - floorDiv4(std::int64_t{r.bottom} - r.top))};
  }
  Menu menu = buildPopupMenu();
  std::string text;
  unsigned id = trackPopupMenu(interaction(), menu, toWindow(anchor), &text, window());
  if (id == 0) return;
  if (text.size() > 127) text.resize(127);
  if (auto cmd = doGenerateCommand(static_cast<std::uint16_t>(id), at, text.c_str())) submitCommand(std::move(cmd));
}

Menu SensitiveGraphic::buildPopupMenu() {
  Menu menu;
  menu.add(kCmdDelete, "Delete");
  return menu;
}

std::unique_ptr<Command> SensitiveGraphic::doGenerateCommand(std::uint16_t id, const POINT*, const char* itemText) {
  if (id == kCmdDelete) return generateDelete();
  if (id == kCmdResize) return generateResize(nullptr);
  if (id >= kCmdFirstSubmenuItem && itemText) return generateChangeShape(itemText);
  reportError(nullptr, 'E', "SensitiveGraphic::doGenerateCommand(%u): unimplemented", static_cast<unsigned>(id));
  return nullptr;
}

std::unique_ptr<Command> SensitiveGraphic::generateResize(const RECT* newRect) {
  RECT old = getRect();
  RECT wanted = newRect ? *newRect : fromWindow(trackRect(interaction(), toWindow(old), kEdgeRight | kEdgeBottom, window()));
  return std::make_unique<Command1<tagRECT>>(GraphicObjectLocator(*this), kCmdResize, wanted, old);
}

std::unique_ptr<Command> SensitiveGraphic::generateDelete() {
  return std::make_unique<CommandPtr1<SensitiveGraphic>>(GraphicObjectLocator(*this), kCmdDelete, nullptr, nullptr);
}

std::unique_ptr<Command> SensitiveGraphic::generateChangeShape(const char* name) {
  return std::make_unique<Command1<std::string>>(GraphicObjectLocator(*this), kCmdChangeShape, name ? name : "",
                                                 prototypeName());
}

std::unique_ptr<Command> SensitiveGraphic::makeMoveTo(const POINT& newValue, const POINT& oldValue) const {
  return std::make_unique<Command1<tagPOINT>>(GraphicObjectLocator(*this), kCmdMoveTo, newValue, oldValue);
}

std::unique_ptr<Command> SensitiveGraphic::generateMoveTo(const POINT& p) {
  const POINT from = mapState().drag.dragOrigin;
  auto own = makeMoveTo(p, from);
  GraphicContainer* c = container();
  if (!c || !isHighlighted()) return own;
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdMoveTo);
  all->append(std::move(own));
  const POINT delta{p.x - from.x, p.y - from.y};
  for (Graphic* g : *c) {
    if (g->id() == id() || !g->isHighlighted() || followsItsTerminals(g)) continue;
    POINT o = g->origin();
    all->append(std::make_unique<Command1<tagPOINT>>(GraphicObjectLocator(*g), kCmdMoveTo,
                                                     POINT{o.x + delta.x, o.y + delta.y}, o));
  }
  return all;
}

void SensitiveGraphic::applyResize(const RECT* r) {
  RECT wanted = r ? *r : fromWindow(trackRect(interaction(), toWindow(getRect()), kEdgeRight | kEdgeBottom, window()));
  setRect(wanted);
  if (auto* shape = dynamic_cast<Shape*>(getVisual())) shape->setShapeFlags(shape->shapeFlags() & ~Shape::kAutoSize);
}

int SensitiveGraphic::execute(Command* cmd) {
  switch (cmd->type()) {
    case kCmdDelete: {
      auto* del = commandAs<CommandPtr1<SensitiveGraphic>>(cmd, "SensitiveGraphic", "execute");
      if (!del) return 0;
      if (DragState& drag = mapState().drag; drag.draggedGraphic == this) drag.draggedGraphic = nullptr;
      // The element leaves its container for the command, which owns it until it is undone.
      if (GraphicContainer* c = container()) {
        c->invalidateRect(invalidRect());
        c->rememberPlace(this);
        del->setOld(ownedAs<SensitiveGraphic>(c->remove(*this)));
      }
      return 0;
    }
    case kCmdResize:
      if (auto* resize = commandAs<Command1<tagRECT>>(cmd, "SensitiveGraphic", "execute")) applyResize(&resize->getNew());
      return 0;
    case kCmdChangeShape:
      if (auto* change = commandAs<Command1<std::string>>(cmd, "SensitiveGraphic", "execute")) changeShape(change->getNew().c_str());
      return 0;
    case kCmdMoveTo:
      if (auto* move = commandAs<Command1<tagPOINT>>(cmd, "SensitiveGraphic", "execute")) moveTo(move->getNew());
      return 0;
    default:
      return kResultNotHandled;
  }
}

int SensitiveGraphic::undo(Command* cmd) {
  switch (cmd->type()) {
    case kCmdDelete:
      reportError(nullptr, 'W', "Cannot undo a deletion!");
      return kResultUndoImpossible;
    case kCmdResize:
      if (auto* resize = commandAs<Command1<tagRECT>>(cmd, "SensitiveGraphic", "undo")) applyResize(&resize->getOld());
      return 0;
    case kCmdChangeShape:
      if (auto* change = commandAs<Command1<std::string>>(cmd, "SensitiveGraphic", "undo")) changeShape(change->getOld().c_str());
      return 0;
    case kCmdMoveTo:
      if (auto* move = commandAs<Command1<tagPOINT>>(cmd, "SensitiveGraphic", "undo")) moveTo(move->getOld());
      return 0;
    default:
      return kResultNotHandled;
  }
}
