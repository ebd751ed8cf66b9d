// The map fixture with short forms for element tests: steps back and forth, hooks, rectangles.
#pragma once

#include <initializer_list>

#include "tests/MapFixture.h"

class ElementFixture : public MapFixture {
 protected:
  using Hooks = std::vector<RelationableGraphic*>;

  /// Undoes or redoes `n` steps of the history; the first failure, or 0.
  int undo(int n = 1) { return replay(n, &CommandHandler::undo); }
  int redo(int n = 1) { return replay(n, &CommandHandler::redo); }
  int replay(int n, int (CommandHandler::*step)()) {
    int failed = 0;
    while (n-- > 0)
      if (int r = (map.history().*step)(); r != 0 && failed == 0) failed = r;
    return failed;
  }
  unsigned steps() const { return map.history().undoCount(); }
  /// What each end of `m` is hooked to.
  static Hooks hooks(const SMaplet* m) {
    Hooks out;
    for (std::uint16_t i = 0; i < m->terminalCount(); ++i) out.push_back((*m)[i]);
    return out;
  }
  static std::vector<RECT> rects(std::initializer_list<const Graphic*> graphics) {
    std::vector<RECT> out;
    for (const Graphic* g : graphics) out.push_back(g->getRect());
    return out;
  }
  /// The maplets of the map, back to front.
  std::vector<SMaplet*> maplets() const {
    std::vector<SMaplet*> out;
    for (Graphic* g : map)
      if (auto* m = dynamic_cast<SMaplet*>(g)) out.push_back(m);
    return out;
  }
};
