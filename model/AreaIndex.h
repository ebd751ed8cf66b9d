// Where the members of a map stand, so that hit searches and area drawing look only near.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "support/Geometry.h"

class Graphic;

/// A grid of square cells holding the members whose repaint areas meet them. Members
/// are measured lazily: one that is new or may have changed waits until the next search.
class AreaIndex {
 public:
  /// Cells are this many pixels on a side.
  static constexpr std::int32_t kCellSize = 128;

  /// Takes in a new member, or notes that a member's looks or geometry may have changed.
  void mayHaveMoved(const Graphic* g);
  /// Forgets a member that leaves.
  void forget(const Graphic* g);

  /// Appends to `out` the members whose repaint areas may meet `area` (every one that
  /// does and perhaps a few near it), in no order and perhaps more than once; false
  /// (appending nothing) when the area is too large for the grid to help.
  bool candidates(const RECT& area, std::vector<const Graphic*>& out);

 private:
  struct Entry {
    RECT indexed{};       // the repaint area, grown a little, when last measured
    bool inGrid = false;  // whether it stands in the cells (or among the oversized)
    bool stale = true;    // whether it must be measured again
  };
  using Entries = std::unordered_map<const Graphic*, Entry>;
  using Item = Entries::value_type;  // stays where it is while it is in the map
  void refresh();
  void enter(Item& item);
  void leave(Item& item);

  Entries entries_;
  std::unordered_map<std::uint64_t, std::vector<Item*>> cells_;
  std::vector<Item*> oversize_;             // members spanning too many cells
  std::vector<const Graphic*> toMeasure_;  // members new or changed since the last search
};
