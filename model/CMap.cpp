// The map's popup, the commands that add elements, and the passing of mouse events to elements.
#include "model/CMap.h"

#include <algorithm>

#include "commands/Command.h"
#include "commands/GraphicsFactory.h"
#include "drawing/Connector.h"
#include "drawing/Shape.h"
#include "model/GraphicObjectLocator.h"
#include "model/Interaction.h"
#include "model/Maplet.h"
#include "model/Node.h"

CMap::CMap() : BehaviouralGraphic("default"), SRGraphic("default") {}

CMap::CMap(const CMap& other)
    : CloneableObject(other), BehaviouralGraphic(other), SRGraphic(other) {}

VisualGraphic* CMap::getVisual() {
  // Kept out of the element list, so that it takes no id and is neither drawn nor saved.
  if (!visualPart()) {
    backdrop_ = std::make_unique<RectangleShape>(RECT{}, 0x00FFFFFF);
    setVisualPart(backdrop_.get());
  }
  return visualPart();
}

CMap::~CMap() { setVisualPart(nullptr); }

std::unique_ptr<Command> CMap::generateNewNode(std::unique_ptr<Graphic> element) {
  return std::make_unique<CommandPtr1<Node>>(GraphicObjectLocator(*this), kCmdNewNode,
                                             ownedAs<Node>(std::move(element)), nullptr);
}

std::unique_ptr<Command> CMap::generateNewArc(std::unique_ptr<Graphic> element) {
  return std::make_unique<CommandPtr1<SMaplet>>(GraphicObjectLocator(*this), kCmdNewArc,
                                                ownedAs<SMaplet>(std::move(element)), nullptr);
}

int CMap::submitCommand(std::unique_ptr<Command> cmd) {
  if (GraphicContainer* c = container()) return c->submitCommand(std::move(cmd));
  return GraphicContainer::submitCommand(std::move(cmd));
}

void CMap::invalidateRect(const RECT& r) {
  if (GraphicContainer* c = container()) c->invalidateRect(r);
}

Menu CMap::buildPopupMenu() {
  Menu menu = SensitiveGraphic::buildPopupMenu();
  menu.addSeparator();
  menu.add(kCmdNewNode, "New Node");
  menu.add(kCmdNewArc, "New Arc");
  menu.add(kCmdNewContext, "New Context");
  return menu;
}

std::vector<Graphic*> CMap::selection() const {
  std::vector<Graphic*> out;
  for (Graphic* g : *this)
    if (g->isHighlighted()) out.push_back(g);
  return out;
}

std::unique_ptr<Command> CMap::doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText) {
  GraphicsFactory& factory = GraphicsFactory::instance();
  switch (id) {
    case kCmdNewNode:
      return generateLabelledNode(at ? *at : POINT{0, 0});
    case kCmdNewContext: {
      RECT r = rectAt(at ? *at : POINT{0, 0}, 100, 75);
      return generateNewNode(factory.makeContextBox("frame", nullptr, &r));
    }
    case kCmdNewArc: {
      std::unique_ptr<SMaplet> maplet = factory.makeMaplet("default", at ? *at : POINT{50, 50});
      for (auto i = maplet->terminalCount(); i-- > 0;) maplet->floatTerminal(static_cast<std::uint16_t>(i));
      return generateNewArc(std::move(maplet));
    }
    case kCmdDelete: {
      // The map stays in its view: its "Delete" removes the selected elements as one step,
      // maplets first so that undo brings the elements back before it hooks maplets to them.
      std::vector<Graphic*> chosen = selection();
      if (chosen.empty()) return nullptr;
      std::stable_partition(chosen.begin(), chosen.end(), [](Graphic* g) { return dynamic_cast<Maplet*>(g) != nullptr; });
      auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdDelete);
      // Every chosen element counts as gone, so that no maplet is deleted twice and none
      // is unhooked from an element that goes with it.
      std::vector<const Graphic*> gone(chosen.begin(), chosen.end());
      for (Graphic* g : chosen) {
        if (auto* element = dynamic_cast<SRGraphic*>(g)) all->append(element->generateDelete(gone));
        else if (auto* s = dynamic_cast<SensitiveGraphic*>(g)) all->append(s->generateDelete());
      }
      return all;
    }
    default:
      return SensitiveGraphic::doGenerateCommand(id, at, itemText);
  }
}

namespace {

// Adds a fresh clone of the carried prototype; a redo brings back the id the first clone got.
template <class T>
T* addClone(CMap& map, T* prototype) {
  std::unique_ptr<T> copy = cloneOf<T>(*prototype);
  if (!copy) return nullptr;
  // The copy has the prototype's id: none the first time (the map gives it one), the
  // one the first copy got on a redo.
  T* added = addTo(map, std::move(copy));
  prototype->setId(added->id());
  return added;
}

}  // namespace

int CMap::execute(Command* cmd) {
  switch (cmd->type()) {
    case kCmdNewNode: {
      auto* c = dynamic_cast<CommandPtr1<Node>*>(cmd);
      if (!c || !c->getNew()) {
        reportBadCommand(*cmd, "CMap", "execute");
        return kResultNotHandled;
      }
      if (Node* added = addClone(*this, c->getNew())) added->invalidateRect(added->getRect());
      return 0;
    }
    case kCmdNewArc: {
      auto* c = dynamic_cast<CommandPtr1<SMaplet>*>(cmd);
      if (!c || !c->getNew()) {
        reportBadCommand(*cmd, "CMap", "execute");
        return kResultNotHandled;
      }
      if (SMaplet* added = addClone(*this, c->getNew())) added->invalidateRect(kWholeArea);
      return 0;
    }
    default:
      return SensitiveGraphic::execute(cmd);
  }
}

int CMap::undo(Command* cmd) {
  const bool node = cmd->type() == kCmdNewNode;
  if (!node && cmd->type() != kCmdNewArc) return SensitiveGraphic::undo(cmd);
  Graphic* carried = nullptr;
  if (node) {
    if (auto* c = dynamic_cast<CommandPtr1<Node>*>(cmd)) carried = c->getNew();
  } else if (auto* c = dynamic_cast<CommandPtr1<SMaplet>*>(cmd)) {
    carried = c->getNew();
  }
  if (!carried) {
    reportBadCommand(*cmd, "CMap", "undo");
    return kResultNotHandled;
  }
  Graphic* added = find(carried->id());
  if (!added) {
    // The element has gone by other means: refused, and the map left as it is.
    reportError(nullptr, 'E', "CMap exception: operator[]: Index %lu not found",
                static_cast<unsigned long>(carried->id()));
    return kResultNotFound;
  }
  bool right = node ? dynamic_cast<Node*>(added) != nullptr : dynamic_cast<SMaplet*>(added) != nullptr;
  if (!right) {
    reportError(nullptr, 'E', node ? "CMap::undo: Can't find object of NEW NODE command"
                                   : "CMap::undo: Can't find object of NEW ARC command");
    return kResultNotHandled;
  }
  invalidateRect(added->invalidRect());
  remove(*added);  // and destroyed
  return 0;
}

std::unique_ptr<Command> CMap::generateLabelledNode(const POINT& at) {
  std::string label = kNewNodeLabel;
  askText(interaction(), "Edit Label", "New Text:", label);
  RECT r = rectAt(at, 30, 20);
  std::unique_ptr<Node> node = GraphicsFactory::instance().makeNode("default", label.c_str(), &r);
  if (Shape* s = node->getShape()) s->setShapeFlags(s->shapeFlags() | Shape::kAutoSize | Shape::kLayoutPending);
  return generateNewNode(std::move(node));
}

POINT CMap::placeBeside(const RECT& f) const {
  // To the right of it, then below and above in turn, then a column further right: the
  // first place where a new node of about this size covers no other node.
  constexpr std::int32_t kGap = 60, kWidth = 90, kHeight = 30;
  const std::int32_t step = std::max<std::int32_t>(f.bottom - f.top, kHeight) + 20;
  auto isFree = [&](const POINT& p) {
    if (p.y < 0) return false;  // above the map's top a window does not show it
    const RECT wanted{p.x - 10, p.y - 10, p.x + kWidth + 10, p.y + kHeight + 10};
    for (Graphic* g : membersNear(wanted))
      if (dynamic_cast<Node*>(g) && !dynamic_cast<ContextBox*>(g) && rectsIntersect(g->getRect(), wanted)) return false;
    return true;
  };
  for (int column = 0; column < 4; ++column) {
    const std::int32_t x = f.right + kGap + column * (kWidth + kGap);
    for (int k = 0; k < 12; ++k) {
      const std::int32_t rows = (k + 1) / 2, sign = k % 2 ? 1 : -1;
      const POINT p{x, f.top + sign * rows * step};
      if (isFree(p)) return p;
    }
  }
  return {f.right + kGap, f.top};
}

std::unique_ptr<Command> CMap::generateQuickLink(Node& from, std::uint32_t* made, const POINT* at, Node* to) {
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), to ? kCmdNewArc : kCmdNewNode);
  std::uint32_t joined = to ? to->id() : 0;
  if (!to) {
    const POINT place = at ? *at : placeBeside(from.getRect());
    std::unique_ptr<Command> newNode = generateLabelledNode(place);
    auto* adding = dynamic_cast<CommandPtr1<Node>*>(newNode.get());
    Node* carried = adding ? adding->getNew() : nullptr;
    if (!carried) return newNode;
    // The node and the maplet get their ids now, so that the hooks can name them before
    // they are in the map.
    carried->setId(freshId());
    joined = carried->id();
    all->append(std::move(newNode));
  }
  std::unique_ptr<SMaplet> arc = GraphicsFactory::instance().makeMaplet("Directed", from.origin());
  arc->setId(freshId());
  for (auto i = arc->terminalCount(); i-- > 0;) arc->floatTerminal(static_cast<std::uint16_t>(i));
  std::unique_ptr<Command> hookFrom = arc->generateSetConnection(0, from.id());
  std::unique_ptr<Command> hookTo = arc->generateSetConnection(1, joined);
  if (made) *made = joined;
  all->append(generateNewArc(std::move(arc)));
  all->append(std::move(hookFrom));
  all->append(std::move(hookTo));
  GraphicContainer* top = this;
  while (auto* g = dynamic_cast<Graphic*>(top)) {
    if (!g->container()) break;
    top = g->container();
  }
  all->setRoot(top);
  return all;
}

bool CMap::linkDraggedTo(Node& from, const POINT& end) {
  SensitiveGraphic* there = findSensitiveAt(end);
  auto* to = dynamic_cast<Node*>(there);
  if (there && (!to || to == &from)) return false;  // on itself or on a maplet: nothing
  std::uint32_t made = 0;
  if (submitCommand(generateQuickLink(from, &made, &end, to)) < 0) return true;
  setAllHighlighted(false);
  if (Graphic* g = find(made)) g->setHighlighted(true);
  return true;
}

bool CMap::quickLinkSelection() {
  const std::vector<Graphic*> chosen = selection();
  auto* from = chosen.size() == 1 ? dynamic_cast<Node*>(chosen[0]) : nullptr;
  if (!from) return false;
  std::uint32_t made = 0;
  if (submitCommand(generateQuickLink(*from, &made)) < 0) return true;
  // The new node is selected, so that the next link starts from it.
  setAllHighlighted(false);
  if (Graphic* g = find(made)) g->setHighlighted(true);
  return true;
}

int CMap::leftDoubleClick(unsigned keys, const POINT& p) {
  if (passToElements(&SensitiveGraphic::leftDoubleClick, keys, p)) return 1;
  setCaptured(nullptr);
  if (findSensitiveAt(p)) return 0;
  submitCommand(generateLabelledNode(p));
  return 1;
}

int CMap::passToElements(Handler handler, unsigned keys, const POINT& p) {
  if (Graphic* held = captured()) {
    auto* s = dynamic_cast<SensitiveGraphic*>(held);
    return s ? (s->*handler)(keys, p) : 0;
  }
  Position pos;
  for (SensitiveGraphic* s = findSensitiveAt(p, &pos); s; s = findSensitiveAt(p, &pos))
    if ((s->*handler)(keys, p) == 1) return 1;
  return 0;
}

void CMap::rubberBandSelect(unsigned keys, const POINT& p) {
  if (!(keys & kKeyControl)) setAllHighlighted(false);
  RECT band = fromWindow(trackRect(interaction(), toWindow(RECT{p.x, p.y, p.x, p.y}), kEdgeRight | kEdgeBottom, window()));
  for (Graphic* g : *this)
    if (g->isInside(band)) g->setHighlighted(true);
}

int CMap::leftButtonDown(unsigned keys, const POINT& p) {
  // A terminal handle of a selected maplet is grabbed before whatever lies under it.
  if (!captured()) {
    const std::vector<Graphic*> near = membersNear(RECT{p.x - 1, p.y - 1, p.x + 2, p.y + 2});
    for (auto it = near.rbegin(); it != near.rend(); ++it) {
      auto* maplet = dynamic_cast<SMaplet*>(*it);
      if (!maplet || !maplet->isHighlighted() || !maplet->getConnector()) continue;
      if (maplet->getConnector()->terminalAt(p) >= 0 && maplet->leftButtonDown(keys, p) == 1) return 1;
    }
  }
  if (passToElements(&SensitiveGraphic::leftButtonDown, keys, p)) return 1;
  rubberBandSelect(keys, p);
  return 1;
}

int CMap::rightButtonDown(unsigned keys, const POINT& p) {
  if (passToElements(&SensitiveGraphic::rightButtonDown, keys, p)) return 1;
  setCaptured(nullptr);
  showPopupMenu(&p);
  return 1;
}

int CMap::mouseMove(unsigned keys, const POINT& p) {
  return passToElements(&SensitiveGraphic::mouseMove, keys, p);
}

#define BRENLO_PASS_OR_RELEASE(name)                                   \
  int CMap::name(unsigned keys, const POINT& p) {                      \
    if (passToElements(&SensitiveGraphic::name, keys, p)) return 1;    \
    setCaptured(nullptr);                                              \
    return 0;                                                          \
  }
BRENLO_PASS_OR_RELEASE(leftButtonUp)
BRENLO_PASS_OR_RELEASE(rightButtonUp)
BRENLO_PASS_OR_RELEASE(rightDoubleClick)
#undef BRENLO_PASS_OR_RELEASE
