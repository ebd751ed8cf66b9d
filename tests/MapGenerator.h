// Generated maps of any size and a random editor working through the real commands, for soak tests and benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/Geometry.h"
#include "tests/ScriptedInteraction.h"

class CMap;
class Graphic;
class Node;
class RootMap;

/// Fills an empty map with `elements` elements: a few contexts at the back, half
/// nodes with labels of a few words on a jittered grid, and the rest two-legged
/// maplets each joining a node to another node at most three grid cells away.
/// The same seed gives the same map. Needs the standard prototypes registered.
void generateMap(CMap& map, std::size_t elements, std::uint32_t seed);

/// The width and height of the area generateMap spreads `elements` elements over.
POINT generatedMapExtent(std::size_t elements);

/// The text a map is saved as, with a fixed time on the "Time: " line.
std::string savedText(const CMap& map);

/// Makes random edits of a map through the commands its elements generate and
/// submits them to the map's history: moves, resizes, label, colour and shape
/// changes, new nodes and arcs, connections, deletions and context moves.
class RandomEditor {
 public:
  RandomEditor(RootMap& map, std::uint32_t seed);

  /// Makes and submits one edit; false when the map refused it.
  bool step();

  std::size_t refused() const { return refused_; }

 private:
  std::uint32_t below(std::uint32_t n) { return n == 0 ? 0 : rng_() % n; }
  /// A random current element of the given kind (0 any, 1 node, 2 context, 3 maplet), or null.
  Graphic* pick(int kind);
  void refresh();
  POINT somewhere();

  RootMap& map_;
  std::mt19937 rng_;
  ScriptedInteraction user_;
  std::vector<Graphic*> members_;
  std::size_t sinceRefresh_ = 0;
  std::size_t accepted_ = 0;
  std::size_t refused_ = 0;
};
