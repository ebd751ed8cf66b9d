// Stacking list, id index and the operations a container offers its members.
#include "model/GraphicContainer.h"

#include <algorithm>
#include <string>

#include "commands/Command.h"
#include "model/Graphic.h"
#include "model/SensitiveGraphic.h"

GraphicContainer::GraphicContainer() = default;

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
    Graphic* copy = g->clone();
    if (copy) copy->setContainer(this);
  }
}

std::uint32_t GraphicContainer::add(Graphic* g) {
  if (!g) return 0;
  if (contains(g)) return g->id_;
  if (g->container_ && g->container_ != this) g->container_->remove(g);
  auto it = members_.insert(members_.end(), Member{std::unique_ptr<Graphic>(g), nextOrder_++});
  byPointer_.emplace(g, it);
  if (g->id_ == 0) {
    g->id_ = nextId_++;
  } else if (g->id_ + 1 > nextId_) {
    nextId_ = g->id_ + 1;
  }
  g->container_ = this;
  byId_.emplace(g->id_, it);
  return g->id_;
}

void GraphicContainer::unindex(MemberList::iterator it) {
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

void GraphicContainer::remove(Graphic* g) {
  if (isBeingDestroyed()) return;
  if (captured_ == g) captured_ = nullptr;
  auto found = byPointer_.find(g);
  if (found == byPointer_.end()) return;
  auto it = found->second;
  unindex(it);
  (void)it->graphic.release();  // the caller owns it from now on
  members_.erase(it);
  if (g->container_ == this) g->container_ = nullptr;
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
    return -1;
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

void GraphicContainer::draw(DrawingContext& dc) {
  for (Member& m : members_) m.graphic->draw(dc);
}

void GraphicContainer::drawArea(DrawingContext& dc, const RECT& area) {
  // A member paints nothing outside the area it asks to have repainted when it changes.
  for (Member& m : members_)
    if (rectsIntersect(m.graphic->invalidRect(), area)) m.graphic->draw(dc);
}

int GraphicContainer::submitCommand(std::unique_ptr<Command> cmd) {
  if (!cmd) return -245;
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
  auto it = members_.cend();
  if (from && from->started_) {
    if (from->exhausted_ || from->last_ == members_.cbegin()) {
      from->exhausted_ = true;
      return nullptr;
    }
    it = from->last_;
  }
  while (it != members_.cbegin()) {
    --it;
    Graphic* g = it->graphic.get();
    auto* s = dynamic_cast<SensitiveGraphic*>(g);
    if (s && g->hitTest(p) != 0) {
      if (from) {
        from->started_ = true;
        from->last_ = it;
      }
      return s;
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
  if (!cmd || cmd->type() != kCmdDelete) return -1;
  auto* del = dynamic_cast<CommandPtr1<SensitiveGraphic>*>(cmd);
  if (!del || !del->getOld()) {
    reportError(nullptr, 'E', "GraphicContainer::undoOnBehalf: Bad DELETE command, type = %s",
                cmd->className());
    return -1;
  }
  SensitiveGraphic* g = del->getOld();
  g->joinContainer(this);
  returnToPlace(g);
  del->setOld(nullptr);  // the container owns it again
  invalidateRect(g->invalidRect());
  return -1;
}
