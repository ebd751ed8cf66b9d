// Stacking list, id index and the operations a container offers its members.
#include "model/GraphicContainer.h"

#include <algorithm>
#include <climits>
#include <string>

#include "commands/Command.h"
#include "model/AreaIndex.h"
#include "model/Graphic.h"
#include "model/SensitiveGraphic.h"

GraphicContainer::GraphicContainer() = default;

GraphicContainer::Extras::Extras() = default;
GraphicContainer::Extras::~Extras() = default;

GraphicContainer::Extras& GraphicContainer::extras() const {
  if (!extras_) extras_ = std::make_unique<Extras>();
  return *extras_;
}

const GraphicContainer::ReadTally& GraphicContainer::lastRead() const {
  static const ReadTally none;
  return extras_ ? extras_->lastRead : none;
}

bool GraphicContainer::contains(const Graphic* g) const { return g && g->container_ == this; }

GraphicContainer::MemberList::iterator GraphicContainer::memberOf(const Graphic* g) { return g->member_; }


MapState& GraphicContainer::mapState() {
  static MapState outsideAnyMap;
  return outsideAnyMap;
}

GraphicContainer::GraphicContainer(const GraphicContainer& other) : CommandReceiverContainer(other) {
  copyMembersFrom(other);
}

GraphicContainer& GraphicContainer::operator=(const GraphicContainer& other) {
  if (this == &other) return *this;
  // Every member has one owner, so the assigned container holds clones.
  clear();
  copyMembersFrom(other);
  nextId_ = std::max(nextId_, other.nextId_);
  return *this;
}

GraphicContainer::~GraphicContainer() {
  flags_ |= kBeingDestroyed;
  clear();
  captured_ = nullptr;
  extras_.reset();
}

void GraphicContainer::copyMembersFrom(const GraphicContainer& other) {
  for (Graphic* g : other) {
    std::unique_ptr<Graphic> copy(g->clone());
    if (!copy) continue;
    copy->id_ = 0;  // a fresh id here
    add(std::move(copy));
  }
}

std::uint32_t GraphicContainer::freshId() {
  // Fewer members than ids, so the search ends; after the counter wraps it skips
  // 0 and every id a member still has.
  if (members_.size() >= UINT32_MAX - 1) return 0;
  std::uint32_t id = nextId_;
  while (id == 0 || byId_.contains(id)) ++id;
  nextId_ = id + 1;
  return id;
}

void GraphicContainer::reserveFor(std::uint32_t counter) { byId_.reserve(counter); }

std::uint32_t GraphicContainer::add(std::unique_ptr<Graphic> owned) {
  if (!owned) return 0;
  Graphic* g = owned.get();
  if (g->id_ == 0 && members_.size() >= UINT32_MAX - 1)
    throw Graphic::Exception("GraphicContainer::add: no free id left for a new element");
  auto it = members_.insert(members_.end(), Member{std::move(owned), nextOrder_++});
  if (g->id_ == 0) {
    g->id_ = freshId();
  } else if (g->id_ + 1 > nextId_) {
    nextId_ = g->id_ + 1;
  }
  g->container_ = this;
  g->member_ = it;
  byId_.insert(g->id_, &*it);
  // Measured at the next search: it may still be under construction.
  if (extras_ && extras_->area) extras_->area->mayHaveMoved(g);
  return g->id_;
}

std::unique_ptr<Graphic> GraphicContainer::remove(Graphic& g) {
  if (isBeingDestroyed()) return nullptr;
  if (captured_ == &g) captured_ = nullptr;
  if (!contains(&g)) return nullptr;
  // A graphic that leaves the map is dragged in it no more.
  DragState& drag = mapState().drag;
  if (drag.draggedGraphic && static_cast<Graphic*>(drag.draggedGraphic) == &g) drag.draggedGraphic = nullptr;
  auto it = memberOf(&g);
  if (extras_ && extras_->area) extras_->area->forget(&g);
  byId_.erase(g.id_, &*it);
  std::unique_ptr<Graphic> out = std::move(it->graphic);
  members_.erase(it);
  out->container_ = nullptr;
  out->member_ = {};
  return out;
}

void GraphicContainer::idChanged(Graphic* g, std::uint32_t oldId) {
  if (!contains(g)) return;
  Member* m = &*memberOf(g);
  byId_.erase(oldId, m);
  byId_.insert(g->id_, m);
  // A member that takes a new id (reading it from a file) keeps the counter above it, as add does.
  if (g->id_ + 1 > nextId_) nextId_ = g->id_ + 1;
}

void GraphicContainer::clear() {
  captured_ = nullptr;
  if (extras_) {
    extras_->area.reset();
    extras_->places.clear();
  }
  while (!members_.empty()) {
    auto it = std::prev(members_.end());
    byId_.erase(it->graphic->id_, &*it);
    std::unique_ptr<Graphic> g = std::move(it->graphic);
    members_.erase(it);
    g->container_ = nullptr;
    g->member_ = {};
    g.reset();
  }
  byId_.clear();
  nextId_ = 1;
  nextOrder_ = 0;
}

int GraphicContainer::popToFront(Graphic* g) {
  if (!contains(g)) {
    reportError(nullptr, 'E', "GraphicContainer::popToFront: can't find graphic");
    return kResultNotHandled;
  }
  auto it = memberOf(g);
  members_.splice(members_.end(), members_, it);
  it->order = nextOrder_++;
  return 0;
}

void GraphicContainer::sort() {
  members_.sort([](const Member& a, const Member& b) {
    return std::less<const Graphic*>()(a.graphic.get(), b.graphic.get());
  });
  nextOrder_ = 0;
  for (Member& m : members_) m.order = nextOrder_++;
}

Graphic* GraphicContainer::find(std::uint32_t id) const {
  const Member* m = byId_.find(id, [](const Member* a, const Member* b) { return a->order < b->order; });
  return m ? m->graphic.get() : nullptr;
}

Graphic* GraphicContainer::operator[](std::uint32_t id) const {
  if (Graphic* g = find(id)) return g;
  char buf[64];
  std::snprintf(buf, sizeof buf, "operator[]: Index %lu not found", static_cast<unsigned long>(id));
  throw Graphic::Exception(buf);
}

void GraphicContainer::layOutAll(DrawingContext& dc) {
  for (Member& m : members_) m.graphic->layOut(dc);
}

void GraphicContainer::draw(DrawingContext& dc) {
  layOutAll(dc);
  for (Member& m : members_) m.graphic->draw(dc);
}

void GraphicContainer::memberMayHaveMoved(const Graphic* g) {
  if (extras_ && extras_->area && contains(g)) extras_->area->mayHaveMoved(g);
}

AreaIndex& GraphicContainer::areaIndex() const {
  Extras& x = extras();
  if (!x.area) {
    x.area = std::make_unique<AreaIndex>();
    for (const Member& m : members_) x.area->mayHaveMoved(m.graphic.get());
  }
  return *x.area;
}

bool GraphicContainer::candidatesIn(const RECT& area, std::vector<Member*>& out) const {
  out.clear();
  std::vector<const Graphic*> near;
  if (!areaIndex().candidates(area, near)) return false;
  out.reserve(near.size());
  for (const Graphic* g : near) out.push_back(&*memberOf(g));
  std::sort(out.begin(), out.end(), [](const Member* a, const Member* b) { return a->order > b->order; });
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return true;
}

std::vector<Graphic*> GraphicContainer::membersNear(const RECT& area) const {
  std::vector<Graphic*> out;
  std::vector<Member*> near;
  if (!candidatesIn(area, near)) {
    for (const Member& m : members_) out.push_back(m.graphic.get());
    return out;
  }
  for (auto m = near.rbegin(); m != near.rend(); ++m) out.push_back((*m)->graphic.get());
  return out;
}

void GraphicContainer::drawArea(DrawingContext& dc, const RECT& area) {
  // A member paints nothing outside the area it asks to have repainted when it changes.
  std::vector<Member*> near;
  std::vector<Graphic*> shown;  // back to front
  if (!candidatesIn(area, near)) {
    for (Member& m : members_)
      if (rectsIntersect(m.graphic->invalidRect(), area)) shown.push_back(m.graphic.get());
  } else {
    for (auto m = near.rbegin(); m != near.rend(); ++m)
      if (rectsIntersect((*m)->graphic->invalidRect(), area)) shown.push_back((*m)->graphic.get());
  }
  // A member that finds its size asks for the repaint of its new area itself.
  for (Graphic* g : shown) g->layOut(dc);
  for (Graphic* g : shown) g->draw(dc);
}

int GraphicContainer::submitCommand(std::unique_ptr<Command> cmd) {
  if (!cmd) return kResultDropped;
  int r = cmd->execute();
  // Nobody keeps the command, so nothing it carries can be undone any more.
  cmd->release();
  return r;
}

void GraphicContainer::setAllHighlighted(bool on) {
  for (Member& m : members_) m.graphic->setHighlighted(on);
}

void GraphicContainer::deferAttachment(Graphic* g, std::uint16_t terminal, std::uint32_t targetId) {
  if (g) extras().attachments.push_back({g, terminal, targetId});
}

SensitiveGraphic* GraphicContainer::findSensitiveAt(const POINT& p, Position* from) const {
  if (captured_) return dynamic_cast<SensitiveGraphic*>(captured_);
  if (members_.empty()) return nullptr;
  if (from && from->started_ && (from->exhausted_ || from->last_ == members_.cbegin())) {
    from->exhausted_ = true;
    return nullptr;
  }
  // Only members behind the one answered last time are candidates.
  const std::uint64_t behind = from && from->started_ ? from->last_->order : UINT64_MAX;
  auto answer = [&](MemberList::const_iterator it) {
    if (from) {
      from->started_ = true;
      from->last_ = it;
    }
    return dynamic_cast<SensitiveGraphic*>(it->graphic.get());
  };
  std::vector<Member*> near;
  if (candidatesIn({p.x, p.y, p.x, p.y}, near)) {
    for (const Member* m : near) {
      if (m->order >= behind) continue;
      Graphic* g = m->graphic.get();
      if (dynamic_cast<SensitiveGraphic*>(g) && g->hitTest(p) != 0) return answer(memberOf(g));
    }
  } else {
    auto it = from && from->started_ ? from->last_ : members_.cend();
    while (it != members_.cbegin()) {
      --it;
      Graphic* g = it->graphic.get();
      if (dynamic_cast<SensitiveGraphic*>(g) && g->hitTest(p) != 0) return answer(it);
    }
  }
  if (from) {
    from->started_ = true;
    from->exhausted_ = true;
  }
  return nullptr;
}

void GraphicContainer::rememberPlace(const Graphic* g) {
  if (!contains(g)) return;
  auto it = memberOf(g);
  auto next = std::next(it);
  extras().places[g] = {next == members_.end() ? 0 : next->graphic->id(), it->order};
}

void GraphicContainer::returnToPlace(Graphic* g) {
  if (!extras_) return;
  auto place = extras_->places.find(g);
  if (place == extras_->places.end()) return;  // stays in front
  const Place where = place->second;
  extras_->places.erase(place);
  Graphic* neighbour = where.frontId ? find(where.frontId) : nullptr;
  if (!contains(g) || !neighbour || neighbour == g) return;
  // Undone in order, the member behind and the one in front are those it stood between;
  // when the order has changed since, the element stays in front.
  auto self = memberOf(g);
  auto at = memberOf(neighbour);
  if (at->order <= where.order) return;
  if (at != members_.begin() && std::prev(at)->order >= where.order) return;
  members_.splice(at, members_, self);
  self->order = where.order;
}

int GraphicContainer::undoOnBehalf(Command* cmd) {
  if (!cmd || cmd->type() != kCmdDelete) return kResultNotHandled;
  auto* del = dynamic_cast<CommandPtr1<SensitiveGraphic>*>(cmd);
  if (!del || !del->getOld()) {
    reportBadCommand(*cmd, "GraphicContainer", "undoOnBehalf");
    return kResultNotHandled;
  }
  SensitiveGraphic* g = del->getOld();
  add(del->takeOld());  // the container owns it again, with its own id
  returnToPlace(g);
  invalidateRect(g->invalidRect());
  return kResultNotHandled;
}
