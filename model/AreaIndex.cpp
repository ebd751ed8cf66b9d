// The grid of cells behind hit searches and area drawing.
#include "model/AreaIndex.h"

#include <algorithm>
#include <climits>

#include "model/Graphic.h"

namespace {

constexpr std::int32_t kCellSize = AreaIndex::kCellSize;
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

template <class T>
void drop(std::vector<T>& list, T item) {
  auto at = std::find(list.begin(), list.end(), item);
  if (at == list.end()) return;
  *at = list.back();
  list.pop_back();
}

}  // namespace

void AreaIndex::mayHaveMoved(const Graphic* g) {
  auto [at, fresh] = entries_.try_emplace(g);
  if (!fresh) {
    if (at->second.stale) return;  // waits already
    at->second.stale = true;
  }
  toMeasure_.push_back(g);
}

void AreaIndex::forget(const Graphic* g) {
  auto found = entries_.find(g);
  if (found == entries_.end()) return;
  leave(*found);
  entries_.erase(found);
}

void AreaIndex::enter(Item& item) {
  Entry& e = item.second;
  const RECT& r = e.indexed;
  if (r.right < r.left || r.bottom < r.top) return;
  e.inGrid = true;
  if (cellCount(r) > kMaxCellsPerMember) {
    oversize_.push_back(&item);
    return;
  }
  for (std::int32_t cx = cellOf(r.left); cx <= cellOf(r.right); ++cx)
    for (std::int32_t cy = cellOf(r.top); cy <= cellOf(r.bottom); ++cy) cells_[cellKey(cx, cy)].push_back(&item);
}

void AreaIndex::leave(Item& item) {
  Entry& e = item.second;
  if (!e.inGrid) return;
  e.inGrid = false;
  const RECT& r = e.indexed;
  if (cellCount(r) > kMaxCellsPerMember) {
    drop(oversize_, &item);
    return;
  }
  for (std::int32_t cx = cellOf(r.left); cx <= cellOf(r.right); ++cx)
    for (std::int32_t cy = cellOf(r.top); cy <= cellOf(r.bottom); ++cy) {
      auto cell = cells_.find(cellKey(cx, cy));
      if (cell == cells_.end()) continue;
      drop(cell->second, &item);
      if (cell->second.empty()) cells_.erase(cell);
    }
}

void AreaIndex::refresh() {
  // Measuring may make a member's visual, which asks for a repaint and queues the
  // member again; a few rounds settle it.
  for (int round = 0; round < 4 && !toMeasure_.empty(); ++round) {
    std::vector<const Graphic*> pending;
    pending.swap(toMeasure_);
    for (const Graphic* g : pending) {
      auto found = entries_.find(g);
      if (found == entries_.end() || !found->second.stale) continue;
      found->second.stale = false;
      leave(*found);
      found->second.indexed = grown(g->invalidRect(), kIndexSlack);
      enter(*found);
    }
  }
}

bool AreaIndex::candidates(const RECT& area, std::vector<const Graphic*>& out) {
  if (cellCount(area) > kMaxCellsPerSearch) return false;
  refresh();
  for (std::int32_t cx = cellOf(area.left); cx <= cellOf(area.right); ++cx)
    for (std::int32_t cy = cellOf(area.top); cy <= cellOf(area.bottom); ++cy) {
      auto cell = cells_.find(cellKey(cx, cy));
      if (cell == cells_.end()) continue;
      for (const Item* item : cell->second)
        if (rectsIntersect(item->second.indexed, area)) out.push_back(item->first);
    }
  for (const Item* item : oversize_)
    if (rectsIntersect(item->second.indexed, area)) out.push_back(item->first);
  // Members still to be measured (the rounds above gave up on them) are looked at too.
  for (const Graphic* g : toMeasure_)
    if (auto found = entries_.find(g); found != entries_.end() && found->second.stale) out.push_back(g);
  return true;
}
