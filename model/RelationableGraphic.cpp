// Attach points, notifying moves and the unhooking commands of a deletion.
#include "model/RelationableGraphic.h"

#include <algorithm>

#include "commands/Command.h"
#include "model/Maplet.h"
#include "model/SRGraphic.h"

POINT RelationableGraphic::attachPointToward(const POINT& p) {
  if (VisualGraphic* v = getVisual()) return v->outlinePointToward(p);
  const RECT r = getRect();
  return {r.left, r.top};
}

void RelationableGraphic::setRect(const RECT& r) {
  BehaviouralGraphic::setRect(r);
  notifyObservers();
}

void RelationableGraphic::moveTo(const POINT& p) {
  BehaviouralGraphic::moveTo(p);
  notifyObservers();
}

std::unique_ptr<CompositeCommand> RelationableGraphic::detachCommands() {
  std::vector<const Graphic*> gone{this};
  return detachCommands(gone);
}

std::unique_ptr<CompositeCommand> RelationableGraphic::detachCommands(std::vector<const Graphic*>& gone) {
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdDelete);
  auto isGone = [&gone](const Graphic* g) { return std::find(gone.begin(), gone.end(), g) != gone.end(); };
  // A maplet that stands twice in the list (both ends here) is handled once.
  std::vector<Maplet*> seen;
  for (Observer* o : observers()) {
    auto* maplet = dynamic_cast<Maplet*>(o);
    if (!maplet || std::find(seen.begin(), seen.end(), maplet) != seen.end()) continue;
    // A maplet held by a DELETE is in no container: it keeps its hooks and comes back
    // with them. A command for it could not find it again, and would point at it after
    // an undone NEW ARC has destroyed it.
    if (!maplet->container() || isGone(maplet)) continue;
    seen.push_back(maplet);
    std::uint16_t staying = 0;
    for (std::uint16_t i = 0; i < maplet->terminalCount(); ++i)
      if (RelationableGraphic* t = (*maplet)[i]; t && !isGone(t)) ++staying;
    // A maplet left with fewer than two hooked ends would be a stray line: it goes too,
    // keeping its hooks, so that undoing the deletion brings it back hooked.
    if (auto* element = dynamic_cast<SRGraphic*>(maplet); element && staying < 2) {
      gone.push_back(element);
      all->append(element->generateDelete(gone));
      continue;
    }
    for (auto i = maplet->terminalCount(); i-- > 0;)
      if ((*maplet)[static_cast<std::uint16_t>(i)] == this)
        all->append(maplet->generateSetConnection(static_cast<std::uint16_t>(i), 0));
  }
  return all;
}

void RelationableGraphic::memberChanged(std::uint32_t id) {
  if (visualPart() && visualPart()->id() == id) notifyObservers();
}

std::unique_ptr<Command> SRGraphic::generateDelete() {
  std::vector<const Graphic*> gone{this};
  return generateDelete(gone);
}

std::unique_ptr<Command> SRGraphic::generateDelete(std::vector<const Graphic*>& gone) {
  auto all = detachCommands(gone);
  all->append(SensitiveGraphic::generateDelete());
  return all;
}

void SRGraphic::applyResize(const RECT* r) {
  SensitiveGraphic::applyResize(r);
  notifyObservers();
}
