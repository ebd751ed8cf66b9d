// Stacking list, id index and the operations a container offers its members.
#include "model/GraphicContainer.h"

#include <algorithm>
#include <climits>
#include <string>

#include "commands/Command.h"
#include "model/Graphic.h"
#include "model/SensitiveGraphic.h"

GraphicContainer::GraphicContainer() = default;

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
  attachments_.clear();
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
  while (id == 0 || byId_.count(id) != 0) ++id;
  nextId_ = id + 1;
  return id;
}

std::uint32_t GraphicContainer::add(std::unique_ptr<Graphic> owned) {
  if (!owned) return 0;
  Graphic* g = owned.get();
  if (g->id_ == 0 && members_.size() >= UINT32_MAX - 1)
    throw Graphic::Exception("GraphicContainer::add: no free id left for a new element");
  auto it = members_.insert(members_.end(), Member{std::move(owned), nextOrder_++});
  byPointer_.emplace(g, it);
  if (g->id_ == 0) {
    g->id_ = freshId();
  } else if (g->id_ + 1 > nextId_) {
    nextId_ = g->id_ + 1;
  }
  g->container_ = this;
  byId_.emplace(g->id_, it);
  toMeasure_.push_back(g);  // measured at the next search: it may still be under construction
  return g->id_;
}

void GraphicContainer::unindex(MemberList::iterator it) {
  leaveIndex(*it);
  Graphic* g = it->graphic.get();
  byPointer_.erase(g);
  auto [lo, hi] = byId_.equal_range(g->id_);
  for (auto i = lo; i != hi; ++i) {
    if (i->second == it) {
      byId_.erase(i);
      break;
    }
  }
}

std::unique_ptr<Graphic> GraphicContainer::remove(Graphic& g) {
  if (isBeingDestroyed()) return nullptr;
  if (captured_ == &g) captured_ = nullptr;
  auto found = byPointer_.find(&g);
  if (found == byPointer_.end()) return nullptr;
  // A graphic that leaves the map is dragged in it no more.
  DragState& drag = mapState().drag;
  if (drag.draggedGraphic && static_cast<Graphic*>(drag.draggedGraphic) == &g) drag.draggedGraphic = nullptr;
  auto it = found->second;
  unindex(it);
  std::unique_ptr<Graphic> out = std::move(it->graphic);
  members_.erase(it);
  out->container_ = nullptr;
  return out;
}

void GraphicContainer::idChanged(Graphic* g, std::uint32_t oldId) {
  auto found = byPointer_.find(g);
  if (found == byPointer_.end()) return;
  auto it = found->second;
  auto [lo, hi] = byId_.equal_range(oldId);
  for (auto i = lo; i != hi; ++i) {
    if (i->second == it) {
      byId_.erase(i);
      break;
    }
  }
  byId_.emplace(g->id_, it);
  // A member that takes a new id (reading it from a file) keeps the counter above it, as add does.
  if (g->id_ + 1 > nextId_) nextId_ = g->id_ + 1;
}

void GraphicContainer::clear() {
  captured_ = nullptr;
  clearIndex();
  while (!members_.empty()) {
    auto it = std::prev(members_.end());
    unindex(it);
    std::unique_ptr<Graphic> g = std::move(it->graphic);
    members_.erase(it);
    g->container_ = nullptr;
    g.reset();
  }
  nextId_ = 1;
  nextOrder_ = 0;
  places_.clear();
}

int GraphicContainer::popToFront(Graphic* g) {
  auto found = byPointer_.find(g);
  if (found == byPointer_.end()) {
    reportError(nullptr, 'E', "GraphicContainer::popToFront: can't find graphic");
    return kResultNotHandled;
  }
  members_.splice(members_.end(), members_, found->second);
  found->second->order = nextOrder_++;
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
  auto [lo, hi] = byId_.equal_range(id);
  const Member* best = nullptr;
  for (auto i = lo; i != hi; ++i)
    if (!best || i->second->order < best->order) best = &*i->second;
  return best ? best->graphic.get() : nullptr;
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

namespace {

constexpr std::int32_t kCellSize = 128;
// Hits reach a few pixels beyond a repaint area (line ends, centre handles).
constexpr std::int32_t kIndexSlack = 8;
// A member spanning more cells than this is looked at by every search.
constexpr std::int64_t kMaxCellsPerMember = 256;
// An area spanning more cells than this is searched by walking the whole list.
constexpr std::int64_t kMaxCellsPerSearch = 4096;

std::int32_t cellOf(std::int32_t v) {
  return static_cast<std::int32_t>(v >= 0 ? v / kCellSize : -((-static_cast<std::int64_t>(v) + kCellSize - 1) / kCellSize));
}

std::uint64_t cellKey(std::int32_t cx, std::int32_t cy) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) | static_cast<std::uint32_t>(cy);
}

std::int64_t cellCount(const RECT& r) {
  return (std::int64_t{cellOf(r.right)} - cellOf(r.left) + 1) * (std::int64_t{cellOf(r.bottom)} - cellOf(r.top) + 1);
}

RECT grown(const RECT& r, std::int32_t by) {
  auto clampAdd = [](std::int32_t v, std::int64_t d) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{v} + d, INT32_MIN, INT32_MAX));
  };
  return {clampAdd(r.left, -by), clampAdd(r.top, -by), clampAdd(r.right, by), clampAdd(r.bottom, by)};
}

}  // namespace

void GraphicContainer::memberMayHaveMoved(const Graphic* g) {
  auto found = byPointer_.find(g);
  if (found == byPointer_.end() || found->second->stale) return;
  found->second->stale = true;
  toMeasure_.push_back(g);
}

void GraphicContainer::enterIndex(Member& m) const {
  const RECT& r = m.indexed;
  if (r.right < r.left || r.bottom < r.top) return;
  m.inGrid = true;
  if (cellCount(r) > kMaxCellsPerMember) {
    oversize_.push_back(&m);
    return;
  }
  for (std::int32_t cx = cellOf(r.left); cx <= cellOf(r.right); ++cx)
    for (std::int32_t cy = cellOf(r.top); cy <= cellOf(r.bottom); ++cy) cells_[cellKey(cx, cy)].push_back(&m);
}

void GraphicContainer::leaveIndex(Member& m) const {
  if (!m.inGrid) return;
  m.inGrid = false;
  auto drop = [&m](std::vector<Member*>& list) {
    auto at = std::find(list.begin(), list.end(), &m);
    if (at == list.end()) return;
    *at = list.back();
    list.pop_back();
  };
  const RECT& r = m.indexed;
  if (cellCount(r) > kMaxCellsPerMember) {
    drop(oversize_);
    return;
  }
  for (std::int32_t cx = cellOf(r.left); cx <= cellOf(r.right); ++cx)
    for (std::int32_t cy = cellOf(r.top); cy <= cellOf(r.bottom); ++cy) {
      auto cell = cells_.find(cellKey(cx, cy));
      if (cell == cells_.end()) continue;
      drop(cell->second);
      if (cell->second.empty()) cells_.erase(cell);
    }
}

void GraphicContainer::clearIndex() {
  for (Member& m : members_) m.inGrid = false;
  cells_.clear();
  oversize_.clear();
  toMeasure_.clear();
}

void GraphicContainer::refreshIndex() const {
  // Measuring may make a member's visual, which asks for a repaint and queues the
  // member again; a few rounds settle it.
  for (int round = 0; round < 4 && !toMeasure_.empty(); ++round) {
    std::vector<const Graphic*> pending;
    pending.swap(toMeasure_);
    for (const Graphic* g : pending) {
      auto found = byPointer_.find(g);
      if (found == byPointer_.end() || !found->second->stale) continue;
      Member& m = *found->second;
      m.stale = false;
      leaveIndex(m);
      m.indexed = grown(g->invalidRect(), kIndexSlack);
      enterIndex(m);
    }
  }
}

bool GraphicContainer::candidatesIn(const RECT& area, std::vector<Member*>& out) const {
  out.clear();
  if (cellCount(area) > kMaxCellsPerSearch) return false;
  refreshIndex();
  for (std::int32_t cx = cellOf(area.left); cx <= cellOf(area.right); ++cx)
    for (std::int32_t cy = cellOf(area.top); cy <= cellOf(area.bottom); ++cy) {
      auto cell = cells_.find(cellKey(cx, cy));
      if (cell == cells_.end()) continue;
      for (Member* m : cell->second)
        if (rectsIntersect(m->indexed, area)) out.push_back(m);
    }
  for (Member* m : oversize_)
    if (rectsIntersect(m->indexed, area)) out.push_back(m);
  // Members still to be measured (the rounds above gave up on them) are looked at too.
  for (const Graphic* g : toMeasure_)
    if (auto found = byPointer_.find(g); found != byPointer_.end()) out.push_back(&*found->second);
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
  if (g) attachments_.push_back({g, terminal, targetId});
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
      if (dynamic_cast<SensitiveGraphic*>(g) && g->hitTest(p) != 0) return answer(byPointer_.find(g)->second);
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
  auto found = byPointer_.find(g);
  if (found == byPointer_.end()) return;
  auto next = std::next(found->second);
  places_[g] = {next == members_.end() ? 0 : next->graphic->id(), found->second->order};
}

void GraphicContainer::returnToPlace(Graphic* g) {
  auto place = places_.find(g);
  if (place == places_.end()) return;  // stays in front
  const Place where = place->second;
  places_.erase(place);
  auto self = byPointer_.find(g);
  Graphic* neighbour = where.frontId ? find(where.frontId) : nullptr;
  if (self == byPointer_.end() || !neighbour || neighbour == g) return;
  // Undone in order, the member behind and the one in front are those it stood between;
  // when the order has changed since, the element stays in front.
  auto at = byPointer_.find(neighbour)->second;
  if (at->order <= where.order) return;
  if (at != members_.begin() && std::prev(at)->order >= where.order) return;
  members_.splice(at, members_, self->second);
  self->second->order = where.order;
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
